#include "ui/widgets/CTooltip.h"

namespace corvale {
namespace {

bool CommonControlsReady() {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    return ready;
}

// Wide enough for any screen: line breaks start new lines, width never wraps them.
constexpr LPARAM kUnlimitedTipWidth = 32767;

}  // namespace

bool CTooltip::Create() {
    tooltip_.Reset();
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (style_ == 1) style |= TTS_BALLOON;
    if (!parent_) return true;

    CommonControlsReady();
    if (!tooltip_.Create(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, parent_))
        return false;
    HWND tip = tooltip_.Get();

    tooltipInfo_ = {};
    // The record as version 5.8 and 6 of the common controls both take it.
    tooltipInfo_.cbSize = TTTOOLINFOA_V2_SIZE;
    tooltipInfo_.uFlags = TTF_SUBCLASS | (centered_ ? TTF_CENTERTIP : 0);
    tooltipInfo_.hwnd = parent_;
    tooltipInfo_.uId = 0;
    tooltipInfo_.hinst = GetModuleHandleA(nullptr);
    tooltipInfo_.lpszText = text_.data();
    if (!GetClientRect(parent_, &tooltipInfo_.rect)) return false;
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tooltipInfo_))) return false;

    if (!title_.empty()) SendMessageA(tip, TTM_SETTITLEA, TTI_NONE, reinterpret_cast<LPARAM>(title_.c_str()));
    if (foreColor_ != kSystemForeColor) SendMessageA(tip, TTM_SETTIPTEXTCOLOR, foreColor_, 0);
    if (backColor_ != kSystemBackColor) SendMessageA(tip, TTM_SETTIPBKCOLOR, backColor_, 0);
    if (multiLine_) SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kUnlimitedTipWidth);
    return true;
}

}  // namespace corvale
