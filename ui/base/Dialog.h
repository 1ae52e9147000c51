#pragma once
// The base of the program's dialogs: a captioned modal dialog with an exact client size in
// twips, built from an in-memory template (no resource script), its object bound from
// WM_INITDIALOG to WM_NCDESTROY. The platform's dialog manager gives Tab order, Enter
// (IDOK or the default button) and Escape (IDCANCEL) as on any dialog. The dialog takes the
// scale of the monitor it opens on, and a new scale when it is moved to another monitor.

#include <windows.h>

namespace corvale {

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND hWnd() const { return window_; }
    // The dialog's scale, dots per inch.
    int Dpi() const;
    bool IsOpen() const { return window_ != nullptr; }
    // Closes the dialog; RunModal returns `result`.
    void End(INT_PTR result);

protected:
    Dialog() = default;

    struct Frame {
        const char* caption = "";
        float clientWidth = 0;  // twips inside the frame
        float clientHeight = 0;
    };
    // Shows the dialog over `owner`, which is disabled until it closes, and returns the
    // value given to End (-1 when the dialog could not be made).
    INT_PTR RunModal(HWND owner, const Frame& frame);

    // The controls are made here; the window already has its final size and scale.
    virtual void OnInit() {}
    // The dialog has a new scale and its size for it; the controls follow.
    virtual void OnDpiChanged() {}
    // The class's message switch: true when it handled the message, with the value to
    // return in `result` (TRUE/FALSE as dialog procedures return).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) { return false; }
    // Draws over the dialog's background for WM_PAINT and WM_PRINTCLIENT alike.
    virtual void Paint(HDC dc, const RECT& client) {}
    // The window has gone; hWnd() is already null.
    virtual void OnWindowGone() {}

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void FitAndCentre();
    SIZE OuterSize(int dpi) const;
    void FitClientArea();
    void OnDpiNotice(int dpi, const RECT& suggested);

    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    Frame frame_;
};

}  // namespace corvale
