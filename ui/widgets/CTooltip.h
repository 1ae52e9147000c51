#pragma once
// One platform tooltip window that belongs to one parent window and treats the parent's
// whole client area as its single tool: a standard tip or a balloon, with an optional bold
// title, its own colours and several lines. Set the properties, then Create; the tip window
// is the object's and goes with it or with the next Create. Update brings an existing tip in
// line with changed properties without making a new window. Texts are UTF-8 and reach the
// tip unchanged, whatever the system's ANSI code page.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "ui/base/GdiHandles.h"
#include "ui/base/Window.h"

namespace corvale {

class CTooltip {
public:
    static constexpr uint32_t kSystemForeColor = 0x80000017;  // tooltip text
    static constexpr uint32_t kSystemBackColor = 0x80000018;  // tooltip background

    CTooltip() = default;
    ~CTooltip();
    CTooltip(const CTooltip&) = delete;
    CTooltip& operator=(const CTooltip&) = delete;

    HWND HwndParentControl() const { return parent_; }
    void SetHwndParentControl(HWND lHwnd) { parent_ = lHwnd; }
    int32_t Style() const { return style_; }  // 0 standard, 1 balloon
    void SetStyle(int32_t lngToolTipStyle) { style_ = lngToolTipStyle; }
    bool Centered() const { return centered_; }
    void SetCentered(bool blnCentered) { centered_ = blnCentered; }
    uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(uint32_t lngForeColor) { foreColor_ = lngForeColor; }
    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t lngBackColor) { backColor_ = lngBackColor; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& vData) { title_ = vData; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& strText) { text_ = strText; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool blnMultiLine) { multiLine_ = blnMultiLine; }
    static uint32_t SystemToolTipForeColor() { return kSystemForeColor; }
    static uint32_t SystemToolTipBackColor() { return kSystemBackColor; }

    // Builds the tip window from the properties, replacing an earlier one. True when it
    // finished (also when there is no parent, which makes no window), false when a platform
    // step failed.
    bool Create();
    // The same tip as Create would show, made in place where it can be: the text, a
    // title and custom colours change on the existing window, and the tool follows its
    // parent's size. A new window is made only when there is none yet, or the parent, the
    // style, the centring, the line mode or the parent's scale changed, or a title or colour
    // was taken back to none or the system's. Same result as Create.
    bool Update();
    // The tip window, null when there is none.
    HWND TooltipWindow() const { return tooltip_.Get(); }

    // With this on, Update makes no window until the pointer first moves over the parent:
    // the tip shows as it would have, but a tip nobody points at costs no window of its own
    // (a list of twenty sites has twenty tips, most of them never looked at). Until then
    // Update only takes the properties in. Only a parent of the program's own window base
    // can be watched; any other gets its tip window at once.
    void SetMadeOnFirstHover(bool onFirstHover) { madeOnFirstHover_ = onFirstHover; }

private:
    HWND parent_ = nullptr;
    int32_t style_ = 0;
    bool centered_ = false;
    uint32_t foreColor_ = kSystemForeColor;
    uint32_t backColor_ = kSystemBackColor;
    std::string title_;
    std::string text_;
    bool multiLine_ = true;

    // What the tip window was made or last updated with.
    struct Applied {
        HWND parent = nullptr;
        DWORD style = 0;
        bool centered = false;
        bool multiLine = true;
        int dpi = 0;
        uint32_t foreColor = kSystemForeColor;
        uint32_t backColor = kSystemBackColor;
        std::string title;
        std::string text;
        RECT tool{};
    };

    DWORD WindowStyle() const;
    bool NeedsNewWindow() const;
    void SendTitle(HWND tip) const;
    // Waiting for the pointer over the parent, for a tip made on first hover.
    bool WatchParent();
    void StopWatching();

    bool madeOnFirstHover_ = false;
    HWND watched_ = nullptr;  // the parent watched for the pointer, while there is no tip window

    Font font_;  // for a parent of another scale than the system's; outlives the tip window
    SystemWindow tooltip_;
    TTTOOLINFOW tooltipInfo_{};
    std::wstring tipText_;  // the buffer tooltipInfo_ points to
    Applied applied_;       // meaningful while tooltip_ holds a window
};

}  // namespace corvale
