// The preferences dialog: its load, the page switch, the previews, Save, Cancel and the
// links, and the popup menu it lends the main window.
#include "ui/prefs/frmOptions.h"

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"
#include "resources/app/ResourceIds.h"
#include "ui/base/Artwork.h"
#include "ui/base/DibSurface.h"
#include "ui/base/Fonts.h"
#include "monitor/WideText.h"
#include "ui/main/VersionInfo.h"

namespace corvale {
namespace {

constexpr float kClientWidth = 5595, kClientHeight = 4575;
constexpr float kLineLeft = 3270, kLineTop = 30, kLineBottom = 780;
constexpr COLORREF kLineColour = 0x00C0C0C0;
constexpr const char* kPreviewSite = "www.example.com";
constexpr int32_t kPreviewRoundTripMs = 10;

}  // namespace

frmOptions::frmOptions(PreferencesHost& host) : host_(host) {
    mnuPopup_.Reset(CreatePopupMenu());
    AppendMenuA(mnuPopup_.Get(), MF_STRING, kMenuPreferences, "Preferences");
}

frmOptions::~frmOptions() {
    Unload();
}

void frmOptions::Show(int16_t page, const ProgramSettings& settings) {
    if (IsOpen()) return;
    requestedPage_ = page;
    settings_ = settings;
    RunModal(host_.OwnerWindow(), {"Preferences", kClientWidth, kClientHeight});
}

void frmOptions::Unload() {
    if (!IsOpen()) return;
    ShowWindow(hWnd(), SW_HIDE);
    End(IDCANCEL);
}

frmOptions::PopupChoice frmOptions::ShowPopupMenu(HWND owner, std::string_view secondItem) {
    if (!secondItem.empty()) {
        // An ampersand of the text is shown, not taken for an access key.
        std::string text;
        for (char c : secondItem) {
            text += c;
            if (c == '&') text += '&';
        }
        AppendMenuW(mnuPopup_.Get(), MF_STRING, kMenuSecond, Widen(text).c_str());
    }
    POINT at{};
    GetCursorPos(&at);
    // Without the owner in front, the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(mnuPopup_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         at.x, at.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    DeleteMenu(mnuPopup_.Get(), kMenuSecond, MF_BYCOMMAND);
    if (chosen == kMenuPreferences) return PopupChoice::Preferences;
    return chosen == kMenuSecond ? PopupChoice::Second : PopupChoice::None;
}

void frmOptions::OnInit() {
    LoadArtwork();
    CreatePageButtons();
    CreatePages();
    CreateCommandButtons();
    Load();
    // What the opening asked for: the list in force, a line per line whatever its line
    // ends, and the page.
    SetWindowTextW(txtSites_.Get(), Widen(WithCrLfLineEnds(settings_.SitesText)).c_str());
    shownSitesText_ = SitesBoxText();
    cmdToolBar_Click(requestedPage_ >= 0 && requestedPage_ < kPageCount ? requestedPage_ : 0);
}

void frmOptions::Load() {
    registry_.emplace(settings_.AppFolder);
    const ProgramVersion& version = ProgramVersionInfo();
    SetWindowTextW(lblInfo_.Get(), Widen(ProductInfoText(version.productName, version.major, version.minor,
                                                         version.revision, version.companyName))
                                       .c_str());

    const ProgramSettings& s = settings_;
    ping_ = {s.CheckInterval, false};
    sldPing_->SetValue(ping_.StartPosition(sldPing_->Minimum(), sldPing_->Maximum()));
    // The stored value as it is, even where the slider cannot show it.
    ShowIntervalText(FormatIniNumber(s.CheckInterval));

    SetStartupBox(s.Startup);
    SendMessageA(chkNotify_.Get(), BM_SETCHECK, s.Notify ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(chkLog_.Get(), BM_SETCHECK, s.Log ? BST_CHECKED : BST_UNCHECKED, 0);

    SendMessageA(chkSound_.Get(), BM_SETCHECK, s.Sound ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextW(txtCommand_.Get(), Widen(s.Command).c_str());
    SetWindowTextW(txtWebHook_.Get(), Widen(s.WebHook).c_str());
    SetWindowTextW(txtWebHookBody_.Get(), Widen(s.WebHookBody).c_str());

    trans_ = {static_cast<double>(s.TransPerc), false};
    normalHue_ = {static_cast<double>(s.NormalHue), false};
    errorHue_ = {static_cast<double>(s.ErrorHue), false};
    sldTrans_->SetValue(trans_.StartPosition(sldTrans_->Minimum(), sldTrans_->Maximum()));
    sldNormalColor_->SetValue(normalHue_.StartPosition(0, 255));
    sldErrorColor_->SetValue(errorHue_.StartPosition(0, 255));

    ssNormal_->SetBackHue(s.NormalHue);
    ssError_->SetBackHueError(s.ErrorHue);
    ssNormal_->ApplyColorsNormal();
    ssError_->ApplyColorsError();
    ssNormal_->SetSiteURL(kPreviewSite);
    ssError_->SetSiteURL(kPreviewSite);
    ssNormal_->SetPingValue(RoundTripText(kPreviewRoundTripMs));
    ssError_->SetPingValue(kNotRespondingText);

    sldPing_->Scrolled = [this](int value) {
        ping_.moved = true;
        ShowIntervalText(std::to_string(value));
    };
    sldNormalColor_->Scrolled = [this](int value) {
        normalHue_.moved = true;
        ssNormal_->SetBackHue(value);
        ssNormal_->ApplyColorsNormal();
    };
    sldErrorColor_->Scrolled = [this](int value) {
        errorHue_.moved = true;
        ssError_->SetBackHueError(value);
        ssError_->ApplyColorsError();
    };
    sldTrans_->Scrolled = [this](int value) {
        trans_.moved = true;
        host_.PreviewAlpha(static_cast<int16_t>(value));
    };
}

void frmOptions::SetStartupBox(int16_t stored) {
    startupStored_ = StartupBoxFor(stored);
    SendMessageA(chkStartup_.Get(), BM_SETCHECK, static_cast<WPARAM>(startupStored_), 0);
    // Leaving the unchecked state it starts in counts as a click: "Startup" 1 registers
    // the program again (the file says so already), unless another copy holds the entry.
    if (startupStored_ == StartupBox::Checked && registry_) registry_->ApplyStoredStartup(1);
}

void frmOptions::ShowIntervalText(std::string_view text) {
    SetWindowTextA(txtCurrentInterval_.Get(), std::string(text).c_str());
}

std::string frmOptions::TextOf(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return Narrow(text);
}

std::string frmOptions::SitesBoxText() const { return TextOf(txtSites_.Get()); }

bool frmOptions::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        result = TRUE;
        return true;
    case WM_HSCROLL:
        for (Trackbar* slider : {sldPing_.get(), sldNormalColor_.get(), sldErrorColor_.get(), sldTrans_.get()})
            if (slider && slider->OnParentScroll(wParam, lParam)) break;
        result = TRUE;
        return true;
    default:
        return false;
    }
}

void frmOptions::OnCommand(int id, int code, HWND control) {
    const bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDCANCEL:  // Escape and the close box
    case kIdCancel:
        if (id == IDCANCEL || clicked) cmdCancel_Click();
        break;
    case IDOK: {
        // Enter with no push button focused: a focused page button is pressed.
        const HWND focus = GetFocus();
        for (auto& button : pageButtons_)
            if (button && button->hWnd() == focus) button->AccessKeyPressed();
        break;
    }
    case kIdSave:
        if (clicked) cmdSave_Click();
        break;
    case kIdStartup:
        if (clicked) {
            const auto state = static_cast<StartupBox>(SendMessageA(control, BM_GETCHECK, 0, 0));
            SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(StartupBoxAfterClick(state)), 0);
            chkStartup_Click();
        }
        break;
    case kIdNotify:
    case kIdLog:
        if (clicked) {
            const bool on = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            const bool stored = id == kIdNotify ? host_.SetNotifyOnChange(on) : host_.SetKeepLog(on);
            // A choice the file could not take is not shown as made.
            if (!stored) SendMessageA(control, BM_SETCHECK, on ? BST_UNCHECKED : BST_CHECKED, 0);
        }
        break;
    case kIdTestWebHook:
        if (clicked) {
            SetWindowTextW(lblWebHookOutcome_.Get(), L"Sending...");
            host_.TestWebHook(TextOf(txtWebHook_.Get()), TextOf(txtWebHookBody_.Get()));
        }
        break;
    case kIdWebsite:
        if (clicked) host_.OpenDocument(kProductWebPage);
        break;
    case kIdMore:
        if (clicked) host_.OpenDocument(kMakerWebPage);
        break;
    case kIdReadme:
        if (clicked) host_.OpenDocument(settings_.AppFolder + kReadmeFileName);
        break;
    default:
        break;
    }
}

void frmOptions::cmdToolBar_Click(int index) {
    if (index < 0 || index >= kPageCount || !pages_[static_cast<std::size_t>(index)]) return;
    frontPage_ = index;
    for (int i = 0; i < kPageCount; ++i) {
        // Only the front page is shown, so hidden pages keep their controls out of the Tab
        // order; the z-order stays as made, which keeps Tab in reading order.
        ShowWindow(pages_[static_cast<std::size_t>(i)]->hWnd(), i == index ? SW_SHOWNA : SW_HIDE);
    }
}

void frmOptions::chkStartup_Click() {
    if (!registry_) return;
    const auto state = static_cast<StartupBox>(SendMessageA(chkStartup_.Get(), BM_GETCHECK, 0, 0));
    if (state == StartupBox::Greyed) return;
    // The file first: the next start applies "Startup" to the registry, so an entry the
    // file could not record would be removed again. Such a choice is not made at all.
    if (!host_.StoreStartup(state == StartupBox::Checked ? 1 : 0)) {
        SendMessageA(chkStartup_.Get(), BM_SETCHECK, static_cast<WPARAM>(startupStored_), 0);
        return;
    }
    startupStored_ = state;
    if (state == StartupBox::Checked) registry_->AddToStartup();
    else registry_->RemoveFromStartup();
}

void frmOptions::cmdSave_Click() {
    ProgramSettings edited = settings_;
    edited.TransPerc = SafeInt(trans_.ValueToSave(sldTrans_->GetValue()));
    edited.CheckInterval = static_cast<float>(ping_.ValueToSave(sldPing_->GetValue()));
    edited.NormalHue = SafeInt(normalHue_.ValueToSave(sldNormalColor_->GetValue()));
    edited.ErrorHue = SafeInt(errorHue_.ValueToSave(sldErrorColor_->GetValue()));

    edited.Sound = SendMessageA(chkSound_.Get(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    edited.Command = TextOf(txtCommand_.Get());
    edited.WebHook = TextOf(txtWebHook_.Get());
    edited.WebHookBody = TextOf(txtWebHookBody_.Get());
    if (edited.WebHookBody.empty()) edited.WebHookBody = kDefaultWebHookBody;

    const std::string text = SitesBoxText();
    // A box the user did not edit keeps the list as it was read, even where the box cannot
    // hold it byte for byte (a NUL in the file, say).
    if (text != shownSitesText_ && text != settings_.SitesText) {
        edited.SitesText = text;
        edited.SitesFileUnreadable = false;
    }
    host_.SaveEdits(edited);
    End(IDOK);
}

void frmOptions::ShowWebHookOutcome(std::string_view outcome) {
    if (lblWebHookOutcome_) SetWindowTextW(lblWebHookOutcome_.Get(), Widen(outcome).c_str());
}

void frmOptions::ShowLogOff() {
    settings_.Log = false;
    if (chkLog_) SendMessageA(chkLog_.Get(), BM_SETCHECK, BST_UNCHECKED, 0);
}

void frmOptions::cmdCancel_Click() { End(IDCANCEL); }

void frmOptions::Paint(HDC dc, const RECT& client) {
    if (strip_) {
        MemoryDC source(dc);
        if (source) {
            SelectScope select(source.Get(), strip_.Get());
            const SIZE size = BitmapSize(strip_.Get());
            BitBlt(dc, 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
        }
    }
    const PixelBox line = TwipsBoxToPixels(kLineLeft, kLineTop, 15, kLineBottom - kLineTop, Dpi());
    Brush silver(CreateSolidBrush(kLineColour));
    RECT box{line.x, line.y, line.x + (line.width > 0 ? line.width : 1), line.y + line.height};
    if (silver) FillRect(dc, &box, silver.Get());
    (void)client;
}

void frmOptions::OnWindowGone() { ReleaseControls(); }

void frmOptions::ReleaseControls() {
    // The windows went with the dialog; what is left are the objects and the GDI handles.
    for (auto& button : pageButtons_) button.reset();
    for (auto& page : pages_) page.reset();
    sldPing_.reset();
    sldNormalColor_.reset();
    sldErrorColor_.reset();
    sldTrans_.reset();
    ssNormal_.reset();
    ssError_.reset();
    for (SystemWindow* control :
         {&chkStartup_, &chkNotify_, &chkLog_, &lblPingR_, &lblLeftEnd_, &lblRightEnd_, &txtCurrentInterval_, &lblSites_,
          &txtSites_, &lblNormal_, &lblError_, &lblTransparency_, &lblTransparent_, &lblOpaque_, &picIcon_,
          &lblInfo_, &cmdWebsite_, &cmdMore_, &cmdReadme_, &chkSound_, &lblCommand_, &txtCommand_, &lblWebHook_,
          &txtWebHook_, &lblWebHookBody_, &txtWebHookBody_, &cmdTestWebHook_, &lblWebHookOutcome_, &cmdSave_,
          &cmdCancel_})
        control->Reset();
    textFont_ = Font();
    buttonFont_ = Font();
    strip_ = Bitmap();
    aboutIcon_.Reset();
    placed_.clear();
    registry_.reset();
    frontPage_ = -1;
}

}  // namespace corvale
