#include "ui/history/HistoryWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "monitor/AppFolder.h"
#include "resources/app/ResourceIds.h"
#include "ui/base/Artwork.h"
#include "ui/base/ControlInput.h"
#include "ui/base/DibSurface.h"
#include "ui/base/Dpi.h"
#include "ui/base/Fonts.h"
#include "monitor/WideText.h"
#include "ui/history/HistoryBins.h"
#include "ui/history/HistoryFigures.h"
#include "ui/history/HistoryPlot.h"

namespace corvale {
namespace {

constexpr int kFirstSpanButtonId = 100;
constexpr int kLiveButtonId = 110;
constexpr std::array<const char*, kSpanChoicesMs.size()> kSpanCaptions{"15 min", "1 h", "6 h", "24 h"};
constexpr const char* kLiveCaption = "Live";
// Twips.
constexpr float kMargin = 120, kButtonWidth = 900, kButtonHeight = 375, kButtonGap = 60;
// One notch of the wheel away from the user shows this share of the span.
constexpr double kZoomPerNotch = 0.8;

// Memory handed to the clipboard, freed here until the clipboard takes it.
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static bool Free(Handle handle) { return GlobalFree(handle) == nullptr; }
};
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

GlobalMemory GlobalCopy(std::initializer_list<std::pair<const void*, std::size_t>> parts) {
    std::size_t size = 0;
    for (const auto& part : parts) size += part.second;
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
    auto* into = memory ? static_cast<uint8_t*>(GlobalLock(memory.Get())) : nullptr;
    if (!into) return {};
    for (const auto& part : parts) {
        std::memcpy(into, part.first, part.second);
        into += part.second;
    }
    GlobalUnlock(memory.Get());
    return memory;
}

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

}  // namespace

HistoryWindow::HistoryWindow(HistoryHost& host, std::unique_ptr<LocaleFormat> format)
    : host_(host), format_(format ? std::move(format) : UserLocaleFormat()) {}

HistoryWindow::~HistoryWindow() { DestroyOwnWindow(); }

bool HistoryWindow::Open(int site, HWND owner) {
    if (host_.SiteCount() <= 0) return false;
    if (!hWnd()) {
        const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                       : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(monitor, &info)) return false;
        const WorkArea area{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom,
                            MonitorDpi(monitor)};
        SetPainting(Painting::Buffered);
        if (!CreateWindowOf({kClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}, WS_EX_APPWINDOW,
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            HistoryOpeningBox(host_.StoredPlace(), area, SystemDpi()), nullptr))
            return false;
        // The window's own icons: the class outlives any one window object.
        largeIcon_ = Icon(LoadProgramIcon(IDI_CORVALE, GetSystemMetrics(SM_CXICON)));
        smallIcon_ = Icon(LoadProgramIcon(IDI_CORVALE, GetSystemMetrics(SM_CXSMICON)));
        SendMessageW(hWnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
        SendMessageW(hWnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
        view_ = HistoryView();
        CreateControls();
    }
    ShowSite(site);
    ShowWindow(hWnd(), IsIconic(hWnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hWnd());
    SetFocus(hWnd());
    return true;
}

void HistoryWindow::Close() { DestroyOwnWindow(); }

void HistoryWindow::ShowSite(int site) {
    const int count = host_.SiteCount();
    if (count <= 0) return;
    site_ = std::clamp(site, 0, count - 1);
    Retitle();
    Refresh();
}

void HistoryWindow::ResultsArrived(int site) {
    if (hWnd() && view_.Live() && (site < 0 || site == site_)) InvalidateRect(hWnd(), nullptr, FALSE);
}

void HistoryWindow::SitesChanged() {
    if (host_.SiteCount() <= 0) {
        Close();
        return;
    }
    ShowSite(site_);
}

void HistoryWindow::SetView(const HistoryView& view) {
    view_ = view;
    Refresh();
}

void HistoryWindow::Refresh() {
    if (!hWnd()) return;
    ShowViewState();
    InvalidateRect(hWnd(), nullptr, FALSE);
}

std::string HistoryWindow::FiguresText() const {
    if (site_ >= host_.SiteCount()) return {};
    return FiguresLine(SummarizeRange(host_.History(site_), view_.Range(host_.NowMs())), *format_);
}

void HistoryWindow::Retitle() {
    if (!hWnd()) return;
    const std::wstring title = Widen("History of " + host_.SiteTitle(site_) + " - " + kProgramTitle);
    // Stored as UTF-16 whatever the window's character set, so any script shows.
    DefWindowProcW(hWnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

void HistoryWindow::CreateControls() {
    for (std::size_t i = 0; i < spanButtons_.size(); ++i)
        spanButtons_[i].Create(0, "BUTTON", kSpanCaptions[i], WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_RADIOBUTTON, 0, 0,
                               0, 0, hWnd(), IdOf(kFirstSpanButtonId + static_cast<int>(i)));
    liveButton_.Create(0, "BUTTON", kLiveCaption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, hWnd(),
                       IdOf(kLiveButtonId));
    LayOut();
    ShowViewState();
}

void HistoryWindow::LayOut() {
    Font font = CreateTooltipFont(Dpi());
    if (!font) {
        FontDescription fallback;
        fallback.face = "MS Shell Dlg";
        font = CreateFontForDpi(fallback, Dpi());
    }
    const auto place = [this, &font](SystemWindow& button, float left, float width) {
        const PixelBox box = TwipsBoxToPixels(left, kMargin, width, kButtonHeight, Dpi());
        SetWindowPos(button.Get(), nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(button.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    };
    float left = kMargin;
    for (SystemWindow& button : spanButtons_) {
        place(button, left, kButtonWidth);
        left += kButtonWidth + kButtonGap;
    }
    place(liveButton_, left + 3 * kButtonGap, kButtonWidth);
    font_ = std::move(font);  // the buttons have let go of the earlier one
}

void HistoryWindow::ShowViewState() {
    for (std::size_t i = 0; i < spanButtons_.size(); ++i)
        SendMessageW(spanButtons_[i].Get(), BM_SETCHECK,
                     view_.SpanChoice() == static_cast<int>(i) ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(liveButton_.Get(), !view_.Live());
}

int HistoryWindow::TextHeight() const {
    const WindowDC screen(nullptr);
    SelectScope font(screen.Get(), font_.Get());
    TEXTMETRICW metrics{};
    return GetTextMetricsW(screen.Get(), &metrics) ? metrics.tmHeight : ToPixels(195);
}

RECT HistoryWindow::PlotArea(const RECT& client) const {
    return {client.left, ToPixels(kMargin + kButtonHeight + kMargin / 2), client.right,
            client.bottom - TextHeight() - ToPixels(kMargin)};
}

RECT HistoryWindow::FiguresArea(const RECT& client) const {
    return {ToPixels(kMargin), client.bottom - TextHeight() - ToPixels(kMargin), client.right - ToPixels(kMargin),
            client.bottom - ToPixels(kMargin / 2)};
}

PlotInput HistoryWindow::InputFor(const TimeRange& range) const {
    return {host_.History(site_), host_.SleepSpans(), range, GapAfterMs(host_.CheckIntervalMs()), *format_, font_.Get()};
}

void HistoryWindow::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (site_ >= host_.SiteCount()) return;
    const TimeRange range = view_.Range(host_.NowMs());
    dataBox_ = DrawHistoryPlot(dc, PlotArea(client), InputFor(range), Dpi());
    const std::wstring figures = Widen(FiguresLine(SummarizeRange(host_.History(site_), range), *format_));
    SelectScope font(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT area = FiguresArea(client);
    DrawTextW(dc, figures.c_str(), static_cast<int>(figures.size()), &area,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

bool HistoryWindow::CopyToClipboard() {
    if (!hWnd() || site_ >= host_.SiteCount()) return false;
    RECT client{};
    GetClientRect(hWnd(), &client);
    const RECT area = PlotArea(client);
    const int width = area.right - area.left, height = area.bottom - area.top;
    const TimeRange range = view_.Range(host_.NowMs());
    const MemoryDC dc;
    DibBits picture = dc ? CreateDib(dc.Get(), width, height, 24, false) : DibBits{};
    if (!picture) return false;
    {
        SelectScope select(dc.Get(), picture.bitmap.Get());
        DrawHistoryPlot(dc.Get(), {0, 0, width, height}, InputFor(range), Dpi());
        GdiFlush();
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // rows from the bottom, as the section holds them
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>((static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * height);
    const std::wstring text = Widen(FiguresLine(SummarizeRange(host_.History(site_), range), *format_));
    GlobalMemory dib = GlobalCopy({{&header, sizeof header}, {picture.bits, header.biSizeImage}});
    GlobalMemory words = GlobalCopy({{text.c_str(), (text.size() + 1) * sizeof(wchar_t)}});
    if (!dib || !words || !OpenClipboard(hWnd())) return false;
    EmptyClipboard();
    // The clipboard owns what it took.
    const bool tookPicture = SetClipboardData(CF_DIB, dib.Get()) != nullptr;
    if (tookPicture) dib.Release();
    const bool tookText = SetClipboardData(CF_UNICODETEXT, words.Get()) != nullptr;
    if (tookText) words.Release();
    CloseClipboard();
    return tookPicture && tookText;
}

void HistoryWindow::StorePlace() {
    if (!hWnd() || IsIconic(hWnd()) || IsZoomed(hWnd())) return;
    RECT bounds{};
    GetWindowRect(hWnd(), &bounds);
    host_.StorePlace(HistoryPlaceOf({bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top},
                                    Dpi(), SystemDpi()));
}

double HistoryWindow::MsPerPixel() const {
    return static_cast<double>(view_.SpanMs()) / std::max<LONG>(dataBox_.right - dataBox_.left, 1);
}

bool HistoryWindow::OnKey(WPARAM key) {
    const int64_t now = host_.NowMs();
    if (key >= '1' && key < '1' + kSpanChoicesMs.size()) key = VK_NUMPAD1 + (key - '1');
    switch (key) {
    case VK_ESCAPE: Close(); return true;
    case VK_UP: ShowSite(site_ - 1); return true;
    case VK_DOWN: ShowSite(site_ + 1); return true;
    case VK_LEFT: view_.MoveBy(-view_.SpanMs() / 10, now); break;
    case VK_RIGHT: view_.MoveBy(view_.SpanMs() / 10, now); break;
    case VK_END: view_.GoLive(); break;
    case 'C':
        if (GetKeyState(VK_CONTROL) >= 0) return false;
        CopyToClipboard();
        return true;
    default:
        if (key < VK_NUMPAD1 || key >= VK_NUMPAD1 + kSpanChoicesMs.size()) return false;
        view_.SetSpan(kSpanChoicesMs[key - VK_NUMPAD1], now);
        break;
    }
    Refresh();
    return true;
}

void HistoryWindow::OnCommand(int id) {
    const int64_t now = host_.NowMs();
    if (id == kLiveButtonId) view_.GoLive();
    else if (id >= kFirstSpanButtonId && id < kFirstSpanButtonId + static_cast<int>(kSpanChoicesMs.size()))
        view_.SetSpan(kSpanChoicesMs[static_cast<std::size_t>(id - kFirstSpanButtonId)], now);
    else return;
    Refresh();
    SetFocus(hWnd());  // the keys stay the window's
}

void HistoryWindow::OnWheel(WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hWnd(), &at);
    const double fraction =
        static_cast<double>(at.x - dataBox_.left) / std::max<LONG>(dataBox_.right - dataBox_.left, 1);
    view_.ZoomAbout(fraction, std::pow(kZoomPerNotch, GET_WHEEL_DELTA_WPARAM(wParam) / double(WHEEL_DELTA)),
                    host_.NowMs());
    Refresh();
}

bool HistoryWindow::OnMouse(const MouseEvent& event) {
    switch (event.kind) {
    case MouseKind::Down:
        SetFocus(hWnd());
        if (event.button != 1 || !PtInRect(&dataBox_, event.pixels)) return true;
        SetCapture(hWnd());
        dragging_ = true;
        dragFromX_ = event.pixels.x;
        dragFromRightMs_ = view_.Range(host_.NowMs()).toMs;
        return true;
    case MouseKind::Move:
        if (!dragging_) return true;
        // The plot follows the pointer: dragged to the right, it shows earlier times.
        view_.MoveRightEdgeTo(dragFromRightMs_ - std::llround((event.pixels.x - dragFromX_) * MsPerPixel()),
                              host_.NowMs());
        Refresh();
        return true;
    case MouseKind::Up:
        if (event.button == 1 && dragging_) ReleaseCapture();
        return true;
    }
    return true;
}

void HistoryWindow::OnWindowGone() {
    dragging_ = false;
    dataBox_ = {};
}

LRESULT HistoryWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        return OnKey(wParam) ? 0 : Default(message, wParam, lParam);
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return 0;
    case WM_SIZE:
        InvalidateRect(hWnd(), nullptr, FALSE);
        return 0;
    case WM_EXITSIZEMOVE:
        StorePlace();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {ToPixels(kHistoryMinWidth), ToPixels(kHistoryMinHeight)};
        return 0;
    }
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hWnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        LayOut();
        InvalidateRect(hWnd(), nullptr, FALSE);
        return 0;
    }
    default:
        return Default(message, wParam, lParam);
    }
}

}  // namespace corvale
