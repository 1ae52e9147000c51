#pragma once
// The history of one site at a time: "History of <site> - Corvale", an ordinary resizable
// window with a taskbar button. Four spans (buttons and keys 1 to 4), the wheel zooms about
// the pointer, a drag or Left and Right move back and forth, End and "Live" return to now,
// Up and Down show the previous and next site, Ctrl+C copies the plot and its figures,
// Escape closes. It draws only when told of new results or moved; no timer runs.

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "ui/base/ControlInput.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Window.h"
#include "ui/history/HistoryHost.h"
#include "ui/history/HistoryPlot.h"
#include "ui/history/HistoryView.h"
#include "ui/history/LocaleFormat.h"

namespace corvale {

class HistoryWindow : public Window {
public:
    static constexpr const char* kClassName = "CorvaleHistory";

    // Without a format, the user's locale's.
    explicit HistoryWindow(HistoryHost& host, std::unique_ptr<LocaleFormat> format = nullptr);
    ~HistoryWindow() override;

    // Shows `site`: opens the window on the monitor of `owner` (where it was left, when that is
    // there) or, already open, switches it to the site; either way in front.
    bool Open(int site, HWND owner);
    bool IsOpen() const { return hWnd() != nullptr; }
    void Close();
    void ShowSite(int site);
    int ShownSite() const { return site_; }

    // A result has come for `site` (-1: for any): drawn while the view ends at now.
    void ResultsArrived(int site = -1);
    // The site list changed: the index is kept where it still names a site.
    void SitesChanged();

    const HistoryView& View() const { return view_; }
    void SetView(const HistoryView& view);
    // The line of figures of the span shown.
    std::string FiguresText() const;
    // The plot as a bitmap and the line of figures as text; false when the clipboard is busy.
    bool CopyToClipboard();

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void OnWindowGone() override;

    void CreateControls();
    void LayOut();
    void Refresh();
    void ShowViewState();
    void Retitle();
    bool OnKey(WPARAM key);
    void OnCommand(int id);
    void OnWheel(WPARAM wParam, LPARAM lParam);
    bool OnMouse(const MouseEvent& event) override;
    void StorePlace();
    int TextHeight() const;
    // The plot with its labels, and the line of figures under it.
    RECT PlotArea(const RECT& client) const;
    RECT FiguresArea(const RECT& client) const;
    PlotInput InputFor(const TimeRange& range) const;
    double MsPerPixel() const;

    HistoryHost& host_;
    std::unique_ptr<LocaleFormat> format_;
    HistoryView view_;
    int site_ = 0;
    Font font_;
    Icon largeIcon_, smallIcon_;
    std::array<SystemWindow, 4> spanButtons_;
    SystemWindow liveButton_;
    RECT dataBox_{};  // where the results were last drawn
    bool dragging_ = false;
    int dragFromX_ = 0;
    int64_t dragFromRightMs_ = 0;
};

}  // namespace corvale
