#include "ui/widgets/CTooltip.h"

#include "ui/base/Dpi.h"
#include "ui/base/Fonts.h"
#include "monitor/WideText.h"

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

DWORD CTooltip::WindowStyle() const {
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (style_ == 1) style |= TTS_BALLOON;
    return style;
}

void CTooltip::SendTitle(HWND tip) const {
    const std::wstring title = Widen(title_);
    SendMessageW(tip, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(title.c_str()));
}

CTooltip::~CTooltip() { StopWatching(); }

bool CTooltip::WatchParent() {
    StopWatching();
    Window* parent = Window::Of(parent_);
    if (!parent) return false;
    parent->WatchPointerOnce(this, [this](const MSG& move) {
        watched_ = nullptr;
        // The tip sees this first move itself, so it shows after its usual delay.
        if (Create() && tooltip_) {
            MSG relayed = move;
            SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
    });
    watched_ = parent_;
    return true;
}

void CTooltip::StopWatching() {
    if (Window* parent = Window::Of(watched_)) parent->StopWatchingPointer(this);
    watched_ = nullptr;
}

bool CTooltip::Create() {
    StopWatching();
    tooltip_.Reset();
    applied_ = {};
    if (!parent_) return true;

    CommonControlsReady();
    if (!tooltip_.Create(0, TOOLTIPS_CLASSA, nullptr, WindowStyle(), CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, parent_))
        return false;
    HWND tip = tooltip_.Get();

    tipText_ = Widen(text_);
    tooltipInfo_ = {};
    // The record as version 5.8 and 6 of the common controls both take it.
    tooltipInfo_.cbSize = TTTOOLINFOW_V2_SIZE;
    tooltipInfo_.uFlags = TTF_SUBCLASS | (centered_ ? TTF_CENTERTIP : 0);
    tooltipInfo_.hwnd = parent_;
    tooltipInfo_.uId = 0;
    tooltipInfo_.hinst = GetModuleHandleA(nullptr);
    tooltipInfo_.lpszText = tipText_.data();
    if (!GetClientRect(parent_, &tooltipInfo_.rect)) return false;
    if (!SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tooltipInfo_))) return false;

    if (!title_.empty()) SendTitle(tip);
    if (foreColor_ != kSystemForeColor) SendMessageW(tip, TTM_SETTIPTEXTCOLOR, foreColor_, 0);
    if (backColor_ != kSystemBackColor) SendMessageW(tip, TTM_SETTIPBKCOLOR, backColor_, 0);
    if (multiLine_) SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kUnlimitedTipWidth);
    // At the system's scale the tip keeps the font the system gives it.
    const int dpi = WindowDpi(parent_);
    font_ = dpi != SystemDpi() ? CreateTooltipFont(dpi) : Font();
    if (font_) SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    applied_ = {parent_, WindowStyle(), centered_, multiLine_, dpi,
                foreColor_, backColor_, title_, text_, tooltipInfo_.rect};
    return true;
}

bool CTooltip::NeedsNewWindow() const {
    // A window the parent took down with itself, or one of a parent since replaced.
    if (!tooltip_ || !IsWindow(tooltip_.Get()) || applied_.parent != parent_) return true;
    if (applied_.style != WindowStyle() || applied_.centered != centered_ || applied_.multiLine != multiLine_ ||
        applied_.dpi != WindowDpi(parent_))
        return true;
    // Taking a title or a colour back to none is what only a fresh window shows for sure.
    return (title_.empty() && !applied_.title.empty()) ||
           (foreColor_ == kSystemForeColor && applied_.foreColor != kSystemForeColor) ||
           (backColor_ == kSystemBackColor && applied_.backColor != kSystemBackColor);
}

bool CTooltip::Update() {
    if (madeOnFirstHover_ && parent_ && NeedsNewWindow()) {
        // Any window made for what the tip was is of no use now; the next hover makes one.
        // A parent that is not one of the program's windows cannot be watched: made now.
        tooltip_.Reset();
        applied_ = {};
        if (WatchParent()) return true;
    }
    if (!parent_ || NeedsNewWindow()) return Create();
    HWND tip = tooltip_.Get();
    if (text_ != applied_.text) {
        tipText_ = Widen(text_);
        tooltipInfo_.lpszText = tipText_.data();
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tooltipInfo_));
        applied_.text = text_;
    }
    RECT client{};
    if (!GetClientRect(parent_, &client)) return false;
    if (!EqualRect(&client, &applied_.tool)) {
        tooltipInfo_.rect = client;
        SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tooltipInfo_));
        applied_.tool = client;
    }
    if (title_ != applied_.title) {
        SendTitle(tip);
        applied_.title = title_;
    }
    if (foreColor_ != applied_.foreColor) {
        SendMessageW(tip, TTM_SETTIPTEXTCOLOR, foreColor_, 0);
        applied_.foreColor = foreColor_;
    }
    if (backColor_ != applied_.backColor) {
        SendMessageW(tip, TTM_SETTIPBKCOLOR, backColor_, 0);
        applied_.backColor = backColor_;
    }
    return true;
}

}  // namespace corvale
