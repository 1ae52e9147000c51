// The main window: its controls, layout, image buttons, mini mode and pointer events.
#include "ui/main/frmMain.h"

#include "monitor/AppFolder.h"
#include "resources/app/ResourceIds.h"
#include "ui/base/Artwork.h"
#include "ui/base/Dpi.h"
#include "ui/base/Fonts.h"
#include "ui/tiles/TileDesigns.h"

namespace corvale {
namespace {

// Where no control covers the window: the dark steel blue of the artwork's bars.
constexpr uint32_t kWindowBackColour = 0x003A2C22;
constexpr uint32_t kDesignSquareColour = 0x0000FF00;

}  // namespace

frmMain::frmMain(MainWindowActions& actions, const ProgramModel& model) : actions_(actions), model_(model) {}

UINT frmMain::ShowRequestMessage() { return RegisterWindowMessageA("Corvale.ShowMainWindow"); }

frmMain::~frmMain() {
    if (checkTimerOn_ && hWnd()) KillTimer(hWnd(), kCheckTimerId);
    TrayOff();
    // The controls go before the window that holds them.
    siteStat_.clear();
    picSite_.clear();
    barBottom_.reset();
    toolBoxMin_.reset();
    toolBoxMax_.reset();
    DestroyOwnWindow();
}

bool frmMain::Load() {
    if (hWnd()) return true;
    largeIcon_ = Icon(LoadProgramIcon(IDI_CORVALE, GetSystemMetrics(SM_CXICON)));
    smallIcon_ = Icon(LoadProgramIcon(IDI_CORVALE, GetSystemMetrics(SM_CXSMICON)));
    taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
    showRequestMessage_ = ShowRequestMessage();

    SetPainting(Painting::Buffered);
    // Where it was left, made on that monitor at its scale; else made as an overlapped window,
    // so the window system picks its place as for any new window. Turned borderless before
    // it is ever shown.
    const std::optional<OpeningPlace> stored = StoredPlace();
    const int dpi = stored ? stored->dpi : SystemDpi();
    const Placement placement{stored ? stored->x : CW_USEDEFAULT, stored ? stored->y : CW_USEDEFAULT,
                              TwipsToPixels(kNormalWindowWidth, dpi), TwipsToPixels(660, dpi)};
    if (!CreateWindowOf({kClassName, CS_DBLCLKS, nullptr, largeIcon_.Get(), smallIcon_.Get()}, WS_EX_APPWINDOW,
                        WS_OVERLAPPED | WS_CLIPCHILDREN, placement, nullptr, nullptr, kProgramTitle))
        return false;
    LoadArtwork();
    SetWindowLongPtrA(hWnd(), GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    // Run as administrator, the window would otherwise never hear the shell's return or a
    // later start of the program.
    for (UINT message : {taskbarCreatedMessage_, showRequestMessage_})
        if (message) ChangeWindowMessageFilterEx(hWnd(), message, MSGFLT_ALLOW, nullptr);
    CreateControls();

    TrayOn();
    ResizeWindow();
    ApplyTranslucency();
    return true;
}

void frmMain::LoadArtwork() {
    const int dpi = Dpi();
    captionImage_ = corvale::LoadArtwork(IDB_CAPTION, dpi);
    bottomBarImage_ = corvale::LoadArtwork(IDB_BOTTOM_BAR, dpi);
    toolBoxNormalImage_ = corvale::LoadArtwork(IDB_TOOLBOX_NORMAL, dpi);
    toolBoxMiniImage_ = corvale::LoadArtwork(IDB_TOOLBOX_MINI, dpi);
    FontDescription caption;
    caption.face = "Arial";
    caption.points = 6.75;
    captionFont_ = CreateFontForDpi(caption, dpi);
}

void frmMain::OnDpiChanged(const RECT& suggested) {
    LoadArtwork();
    if (!barBottom_) return;
    barBottom_->SetImage(bottomBarImage_.Get());
    toolBoxMin_->SetImage(toolBoxNormalImage_.Get());
    toolBoxMax_->SetImage(toolBoxMiniImage_.Get());
    for (ImageBox* box : {barBottom_.get(), toolBoxMin_.get(), toolBoxMax_.get()}) box->Rescale();
    for (auto& square : picSite_) square->Rescale();
    for (auto& tile : siteStat_) tile->Rescale();
    SetWindowPos(hWnd(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ResizeWindow();
    // The sites' tooltips take the new sizes of the tiles and squares, and the new scale.
    for (int i = 0; i <= model_.SiteLast() && i < SiteStatCount(); ++i) actions_.RefreshTile(i);
}

void frmMain::CreateControls() {
    barBottom_ = std::make_unique<ImageBox>(hWnd(), 0, 330, kBottomBarWidth, kBottomBarImageHeight);
    barBottom_->SetImage(bottomBarImage_.Get());
    barBottom_->SetVisible(true);
    WireSurface(*barBottom_, "bottom", true, true);
    // Clicks on the window background hand the keyboard focus to the bar.
    SetWindowLongPtrA(barBottom_->hWnd(), GWL_STYLE, GetWindowLongPtrA(barBottom_->hWnd(), GWL_STYLE) | WS_TABSTOP);

    toolBoxMax_ = std::make_unique<ImageBox>(hWnd(), 1770, 0, kToolBoxWidth, kToolBoxHeight);
    toolBoxMax_->SetImage(toolBoxMiniImage_.Get());
    toolBoxMax_->SetVisible(true);
    WireSurface(*toolBoxMax_, "topright_max", true, true);
    toolBoxMin_ = std::make_unique<ImageBox>(hWnd(), 1770, 0, kToolBoxWidth, kToolBoxHeight);
    toolBoxMin_->SetImage(toolBoxNormalImage_.Get());
    toolBoxMin_->SetVisible(true);
    WireSurface(*toolBoxMin_, "topright_min", true, true);

    // Element 0 of each array belongs to the design; it shows nothing until it has a site.
    LoadSiteStat(0);
    LoadPicSite(0);
}

ctlSiteStat& frmMain::LoadSiteStat(int index) {
    while (static_cast<int>(siteStat_.size()) <= index) {
        const int i = static_cast<int>(siteStat_.size());
        auto tile = std::make_unique<ctlSiteStat>(hWnd(), kFirstTileLeft, TileTop(i));
        if (auto design = PropertyBag::Parse(TemplateTileDesign())) tile->ReadProperties(*design);
        // New elements go beneath the bars, so a left-over tile never covers the bottom bar.
        SetWindowPos(tile->hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        tile->MouseDown = [this, i](int16_t&, int16_t&, float&, float&) { actions_.RefreshTile(i); };
        tile->MouseMove = [this](int16_t& button, int16_t&, float&, float&) { SurfaceMouseMove(button); };
        tile->MouseUp = [this, i](int16_t& button, int16_t&, float&, float&) { ShowPopupMenu(button, i); };
        siteStat_.push_back(std::move(tile));
    }
    return SiteStat(index);
}

ImageBox& frmMain::LoadPicSite(int index) {
    while (static_cast<int>(picSite_.size()) <= index) {
        const int i = static_cast<int>(picSite_.size());
        auto square = std::make_unique<ImageBox>(hWnd(), SquareLeft(i), kSquareTop, kSquareWidth, kSquareHeight);
        square->SetBackColor(kDesignSquareColour);
        SetWindowPos(square->hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        square->MouseMove = [this](int16_t& button, int16_t&, float&, float&) { SurfaceMouseMove(button); };
        square->MouseUp = [this, i](int16_t& button, int16_t&, float&, float&) { ShowPopupMenu(button, i); };
        picSite_.push_back(std::move(square));
    }
    return picSite(index);
}

void frmMain::WireSurface(ImageBox& box, const char* from, bool clicks, bool popup) {
    if (clicks)
        box.MouseDown = [this, from](int16_t& button, int16_t&, float& x, float& y) {
            FormToolBoxClick(button, x, y, from);
        };
    box.MouseMove = [this](int16_t& button, int16_t&, float&, float&) { SurfaceMouseMove(button); };
    if (popup) box.MouseUp = [this](int16_t& button, int16_t&, float&, float&) { ShowPopupMenu(button); };
}

void frmMain::SurfaceMouseMove(int16_t buttonsHeld) {
    // A move request without the button held would start a drag that nothing ends.
    const bool dragged = (buttonsHeld & 1) != 0;
    if (dragged) MoveForm();
    Snap(*this, kSnapTolerance);
    if (dragged) StorePosition();
}

void frmMain::ShowPopupMenu(int16_t button, int site) {
    if (button == 2) actions_.ShowPopupMenu(site);
}

void frmMain::SizeWindow(float widthTwips, float heightTwips) {
    if (hWnd())
        SetWindowPos(hWnd(), nullptr, 0, 0, ToPixels(widthTwips), ToPixels(heightTwips),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::ResizeWindow() {
    if (!hWnd()) return;
    const bool mini = model_.Settings().MiniMode;
    const MainLayout layout = LayoutFor(mini, model_.SiteLast(), picSite_.empty() ? kSquareWidth : picSite(0).Width());
    captionVisible_ = layout.captionVisible;
    (layout.miniToolBoxInFront ? toolBoxMax_ : toolBoxMin_)->BringToFront();
    SizeWindow(layout.width, layout.height);
    if (!mini) barBottom_->Move(0, layout.barBottomTop);
    toolBoxMin_->Move(layout.toolBoxLeft, toolBoxMin_->Top());
    toolBoxMax_->Move(layout.toolBoxLeft, toolBoxMax_->Top());
    InvalidateRect(hWnd(), nullptr, FALSE);
}

void frmMain::FormToolBoxClick(int16_t Button, float X, float Y, std::string_view sFrom) {
    switch (ToolBoxActionAt(Button, X, Y, sFrom)) {
    case ToolBoxAction::None: break;
    case ToolBoxAction::CheckNow:
        actions_.CheckNow();
        SetCheckTimerDelay(kCheckTimerInterval);
        break;
    case ToolBoxAction::About: actions_.OpenPreferences(4); break;
    case ToolBoxAction::Sites: actions_.OpenPreferences(1); break;
    case ToolBoxAction::Close: actions_.ShutDown(); break;
    case ToolBoxAction::EnterMini: EnterMiniMode(); break;
    case ToolBoxAction::LeaveMini: LeaveMiniMode(); break;
    case ToolBoxAction::Hide:
        ShowWindow(hWnd(), SW_MINIMIZE);
        // Hidden, it is reached again through the notification-area icon. Without an icon it
        // stays on the taskbar: a hidden window could then be found by nothing.
        if (tray_.Shown()) ShowWindow(hWnd(), SW_HIDE);
        break;
    }
}

void frmMain::EnterMiniMode() {
    actions_.StoreMiniMode(true);
    ResizeWindow();
    toolBoxMax_->BringToFront();
    for (int i = 0; i <= model_.SiteLast() && i < picSiteCount(); ++i) {
        picSite(i).SetVisible(true);
        actions_.RefreshTile(i);  // the site's tooltip moves onto its square
    }
}

void frmMain::LeaveMiniMode() {
    actions_.StoreMiniMode(false);
    ResizeWindow();
    toolBoxMin_->BringToFront();
    for (int i = 0; i <= model_.SiteLast() && i < picSiteCount(); ++i) {
        picSite(i).SetVisible(false);
        actions_.RefreshTile(i);  // and back onto its tile
    }
}

void frmMain::SetCheckTimerEnabled(bool enabled) {
    if (!hWnd() || enabled == checkTimerOn_) return;
    checkTimerDelay_ = kCheckTimerInterval;
    checkTimerOn_ = enabled ? SetTimer(hWnd(), kCheckTimerId, kCheckTimerInterval, nullptr) != 0
                            : (KillTimer(hWnd(), kCheckTimerId), false);
}

void frmMain::SetCheckTimerDelay(UINT ms) {
    // Off stays off: a tick that ends after the shut-down began must not bring it back.
    if (!checkTimerOn_ || ms == checkTimerDelay_) return;
    if (SetTimer(hWnd(), kCheckTimerId, ms, nullptr)) checkTimerDelay_ = ms;
}

float frmMain::LeftTwips() const {
    RECT r{};
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwips(r.left);
}
float frmMain::TopTwips() const {
    RECT r{};
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwips(r.top);
}
float frmMain::WidthTwips() const {
    RECT r{};
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwips(r.right - r.left);
}
float frmMain::HeightTwips() const {
    RECT r{};
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwips(r.bottom - r.top);
}

bool frmMain::InCaptionLabel(float x, float y) const {
    return captionVisible_ && x >= kCaptionLeft && y >= kCaptionTop && x < kCaptionLeft + kCaptionWidth &&
           y < kCaptionTop + kCaptionHeight;
}

bool frmMain::OnMouse(const MouseEvent& event) {
    if (event.kind == MouseKind::Down) SetCapture(hWnd());
    if (event.kind == MouseKind::Up && !event.buttonsStillHeld && GetCapture() == hWnd()) ReleaseCapture();
    const bool onCaption = InCaptionLabel(event.x, event.y);
    switch (event.kind) {
    case MouseKind::Down:
        if (event.button == 1) backgroundPressed_ = true;
        if (!onCaption) FormToolBoxClick(event.button, event.x, event.y, "form");
        break;
    case MouseKind::Move:
        SurfaceMouseMove(event.button);
        break;
    case MouseKind::Up:
        if (event.button == 1 && backgroundPressed_ && !onCaption && barBottom_) SetFocus(barBottom_->hWnd());
        if (event.button == 1) backgroundPressed_ = false;
        ShowPopupMenu(event.button);
        break;
    }
    return true;
}

void frmMain::Paint(HDC dc, const RECT& client) {
    Brush background(CreateSolidBrush(kWindowBackColour));
    FillRect(dc, &client, background.Get());
    if (captionImage_) {
        MemoryDC source(dc);
        SelectScope select(source.Get(), captionImage_.Get());
        BITMAP info{};
        GetObjectA(captionImage_.Get(), sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
    }
    if (captionVisible_ && captionFont_) {
        SelectScope select(dc, captionFont_.Get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kCaptionColour);
        RECT box{ToPixels(kCaptionLeft), ToPixels(kCaptionTop), ToPixels(kCaptionLeft + kCaptionWidth),
                 ToPixels(kCaptionTop + kCaptionHeight)};
        DrawTextA(dc, kCaptionText, -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
}

LRESULT frmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage_ && message != 0) {
        // The shell's notification area came back (Explorer restarted): so does the icon,
        // and nothing else changes.
        tray_.ShellRestarted();
        return 0;
    }
    if (message == showRequestMessage_ && message != 0) {
        // A later start of the program from this folder; not once this one is ending.
        if (tray_.Wanted()) ShowAndRestore();
        return 0;
    }
    switch (message) {
    case WM_DPICHANGED:
        OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kCheckTimerId) actions_.CheckTimerTick();
        if (wParam == kTrayRetryTimerId) tray_.Retry();
        return 0;
    case kTrayMessage:
        OnTrayMessage(wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == kMenuRestore) mnuRestore_Click();
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == kMenuHistory) mnuHistory_Click();
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == kMenuExit) mnuexit_Click();
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == kMenuMute) actions_.ToggleMute();
        return 0;
    case kWebHookOutcomeMessage: {
        const std::unique_ptr<std::string> outcome(reinterpret_cast<std::string*>(lParam));
        if (outcome) actions_.WebHookOutcome(*outcome);
        return 0;
    }
    case WM_CLOSE:
    case WM_ENDSESSION:
        if (message == WM_ENDSESSION && !wParam) return 0;
        // Alt+F4, the taskbar, the end of the session or the task manager: never refused.
        SetCheckTimerEnabled(false);
        actions_.ShutDown();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) actions_.ComputerSuspending();
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) actions_.ComputerResumed();
        return TRUE;
    default:
        return Default(message, wParam, lParam);
    }
}

}  // namespace corvale
