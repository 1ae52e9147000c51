// The preferences dialog's controls: the page buttons, the six pages and what each
// holds, and the command buttons, placed in twips and made in reading order, which is
// also their Tab order; and all of them again at a new scale.
#include <windows.h>
#include <commctrl.h>

#include "resources/app/ResourceIds.h"
#include "ui/base/Artwork.h"
#include "ui/base/Fonts.h"
#include "ui/base/GdiHandles.h"
#include "ui/prefs/frmOptions.h"
#include "ui/tiles/TileDesigns.h"

namespace corvale {
namespace {

struct PageButtonSpec {
    const char* caption;
    float left;
};
constexpr PageButtonSpec kPageButtons[frmOptions::kPageCount] = {
    {"General", 120}, {"Sites", 900}, {"Colors", 1650}, {"Window", 2430}, {"About", 3420}, {"Alerts", 4200}};
constexpr float kPageButtonTop = 30, kPageButtonWidth = 705, kPageButtonHeight = 795;
constexpr float kPageLeft = 0, kPageTop = 870, kPageWidth = 5565, kPageHeight = 3105;

constexpr float kAboutIconSize = 480;

const char kPageClass[] = "Corvale.PrefsPage";

HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

Font MakeFont(const char* face, int dpi) {
    FontDescription description;
    description.face = face;
    description.points = 8.25;
    return CreateFontForDpi(description, dpi);
}

// A page button's picture from the program's resources, at `dpi`.
std::shared_ptr<const Picture> PagePicture(int resourceId, int dpi) {
    Picture decoded = Picture::FromBytes(ResourceBytes(ArtworkResourceFor(resourceId, dpi)));
    if (decoded.Empty() || decoded.IsIcon()) return nullptr;
    Bitmap scaled = ScaleArtwork(decoded.BitmapHandle(), ArtworkDrawnForDpi(dpi), dpi);
    if (!scaled) return nullptr;
    return std::make_shared<Picture>(Picture::FromBitmap(scaled.Release()));
}

}  // namespace

PrefsPage::PrefsPage(HWND dialog, const PixelBox& box) {
    SetPainting(Painting::Direct);
    // A control parent, so Tab and the dialog's keys reach the controls on the page.
    CreateWindowOf({kPageClass}, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS, box, dialog);
}

LRESULT PrefsPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_NOTIFY:
        return SendMessageA(GetParent(hWnd()), message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

void PrefsPage::Paint(HDC dc, const RECT& client) { FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE)); }

void frmOptions::Place(const PlacedControl& control) {
    PixelBox box = TwipsBoxToPixels(control.box, Dpi());
    const HFONT font = control.font == ControlFont::Text     ? textFont_.Get()
                       : control.font == ControlFont::Button ? buttonFont_.Get()
                                                             : nullptr;
    // A one-line label grows to its text, as a label sized to fit would: where the face is
    // replaced by a wider one, the text is shown whole rather than cut.
    if (control.fitsText && font) {
        const int length = GetWindowTextLengthW(control.window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(control.window, text.data(), length + 1);
        WindowDC screen(nullptr);
        SelectScope select(screen.Get(), font);
        SIZE extent{};
        if (GetTextExtentPoint32W(screen.Get(), text.c_str(), length, &extent) && extent.cx + 1 > box.width)
            box.width = extent.cx + 1;
    }
    SetWindowPos(control.window, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HWND frmOptions::MakeControl(SystemWindow& owner, HWND parent, const char* className, const char* text, DWORD style,
                             float left, float top, float width, float height, int id, HFONT font) {
    owner.Create(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, IdOf(id));
    if (!owner) return nullptr;
    PlacedControl control{owner.Get(), {left, top, width, height}, ControlFont::Text, false};
    if (font == buttonFont_.Get() && font) control.font = ControlFont::Button;
    if (lstrcmpiA(className, "STATIC") == 0 && (style & SS_TYPEMASK) == SS_ICON) control.font = ControlFont::None;
    control.fitsText = control.font != ControlFont::None && lstrcmpiA(className, "STATIC") == 0 && text && *text;
    Place(control);
    placed_.push_back(control);
    return owner.Get();
}

std::unique_ptr<Trackbar> frmOptions::MakeSlider(HWND page, const TwipsRect& box, int id) {
    auto slider = std::make_unique<Trackbar>(page, TwipsBoxToPixels(box, Dpi()), id);
    placed_.push_back({slider->hWnd(), box, ControlFont::None, false});
    return slider;
}

void frmOptions::CreatePageButtons() {
    SkinContainer& container = *this;
    for (int i = 0; i < kPageCount; ++i) {
        const TwipsRect place{kPageButtons[i].left, kPageButtonTop, kPageButtonWidth, kPageButtonHeight};
        const PixelBox box = TwipsBoxToPixels(place, Dpi());
        auto button = std::make_unique<sknButton>(hWnd(), container, box.x, box.y, box.width, box.height,
                                                  kIdPageButtons + i);
        placed_.push_back({button->hWnd(), place, ControlFont::None, false});
        button->DisableRefresh();
        button->SetButtonType(8);
        button->SetColorScheme(2);
        button->SetShowFocusRect(false);
        button->SetBackColor(0xFFFFFF);
        button->SetBackOver(0xFFFFFF);
        button->SetForeColor(0);
        button->SetForeOver(0);
        button->SetMaskColor(0xC0C0C0);
        button->SetMousePointer(1);
        button->SetUseMaskColor(false);
        button->SetSoftBevel(false);
        button->SetPicturePosition(2);
        button->SetUseGreyscale(false);
        button->SetSpecialEffect(0);
        button->SetHandPointer(false);
        button->SetCheckBoxBehaviour(false);
        button->SetValue(false);
        button->SetFont(SkinFontSpec{});
        button->SetCaption(kPageButtons[i].caption);
        button->SetPictureNormal(pagePictures_[2 * i]);
        button->SetPictureOver(pagePictures_[2 * i + 1]);
        button->Events().Click = [this, i] { cmdToolBar_Click(i); };
        button->Refresh();
        pageButtons_[i] = std::move(button);
    }
}

void frmOptions::CreatePages() {
    const TwipsRect place{kPageLeft, kPageTop, kPageWidth, kPageHeight};
    for (auto& page : pages_) {
        page = std::make_unique<PrefsPage>(hWnd(), TwipsBoxToPixels(place, Dpi()));
        placed_.push_back({page->hWnd(), place, ControlFont::None, false});
    }
    CreateGeneralPage(pages_[0]->hWnd());
    CreateSitesPage(pages_[1]->hWnd());
    CreateColorsPage(pages_[2]->hWnd());
    CreateWindowPage(pages_[3]->hWnd());
    CreateAboutPage(pages_[4]->hWnd());
    CreateAlertsPage(pages_[kAlertsPage]->hWnd());
}

void frmOptions::CreateGeneralPage(HWND page) {
    MakeControl(chkStartup_, page, "BUTTON", "Start automatically at Windows startup", BS_3STATE | WS_TABSTOP, 270, 270,
                3255, 195, kIdStartup);
    MakeControl(lblPingR_, page, "STATIC", "Ping Refresh (seconds)", SS_LEFT, 570, 720, 1650, 195);
    sldPing_ = MakeSlider(page, {510, 990, 4665, 405}, kIdPing);
    MakeControl(lblLeftEnd_, page, "STATIC", "10", SS_LEFT, 630, 1380, 180, 195);
    MakeControl(lblRightEnd_, page, "STATIC", "120", SS_LEFT, 4770, 1410, 270, 195);
    MakeControl(txtCurrentInterval_, page, "EDIT", "", ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                2130, 1680, 1215, 315, kIdInterval);
    // The boxes added later go below the interval's text box, a row apart.
    MakeControl(chkNotify_, page, "BUTTON", "Notify me when a site stops or starts answering",
                BS_AUTOCHECKBOX | WS_TABSTOP, 270, 2205, 4200, 195, kIdNotify);
    MakeControl(chkLog_, page, "BUTTON", "Keep a log of every result in the program folder",
                BS_AUTOCHECKBOX | WS_TABSTOP, 270, 2415, 4200, 195, kIdLog);
    sldPing_->SetRange(10, 120);
    sldPing_->SetTickFrequency(5);
    sldPing_->SetSteps(1, 5);
}

void frmOptions::CreateSitesPage(HWND page) {
    MakeControl(lblSites_, page, "STATIC", "Enter website addresses below, one website per line:", SS_LEFT, 300, 60,
                3735, 195);
    MakeControl(txtSites_, page, "EDIT", "",
                ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 270,
                300, 5175, 2745, kIdSites);
    // No limit of the box's own: a long list is shown and saved whole.
    SendMessageA(txtSites_.Get(), EM_SETLIMITTEXT, 0, 0);
}

void frmOptions::CreateColorsPage(HWND page) {
    MakeControl(lblNormal_, page, "STATIC", "Normal Color", SS_LEFT, 660, 450, 900, 195);
    sldNormalColor_ = MakeSlider(page, {1800, 360, 3195, 435}, kIdNormal);
    ssNormal_ = std::make_unique<ctlSiteStat>(page, 2070, 840, 435);
    // The designs hold the tiles' saturations, so the previews show the tiles' colours.
    if (auto design = PropertyBag::Parse(PreviewNormalTileDesign())) ssNormal_->ReadProperties(*design);
    ssNormal_->SetVisible(true);
    MakeControl(lblError_, page, "STATIC", "Error Color", SS_LEFT, 660, 1650, 735, 195);
    sldErrorColor_ = MakeSlider(page, {1800, 1590, 3195, 435}, kIdError);
    ssError_ = std::make_unique<ctlSiteStat>(page, 2070, 2070, 435);
    if (auto design = PropertyBag::Parse(PreviewErrorTileDesign())) ssError_->ReadProperties(*design);
    ssError_->SetVisible(true);
    for (Trackbar* slider : {sldNormalColor_.get(), sldErrorColor_.get()}) {
        slider->SetRange(0, 255);
        slider->SetTickFrequency(10);
        slider->SetSteps(1, 5);
    }
}

void frmOptions::CreateWindowPage(HWND page) {
    MakeControl(lblTransparency_, page, "STATIC", "Transparency", SS_LEFT, 240, 570, 975, 195);
    sldTrans_ = MakeSlider(page, {1470, 450, 3795, 465}, kIdTrans);
    MakeControl(lblTransparent_, page, "STATIC", "Transparent", SS_LEFT, 1620, 1020, 855, 195);
    MakeControl(lblOpaque_, page, "STATIC", "Opaque", SS_LEFT, 4560, 990, 570, 195);
    sldTrans_->SetRange(30, 255);
    sldTrans_->SetTickFrequency(5);
    sldTrans_->SetSteps(1, 5);
}

void frmOptions::CreateAboutPage(HWND page) {
    MakeControl(picIcon_, page, "STATIC", "", SS_ICON | SS_REALSIZECONTROL, 360, 270, kAboutIconSize, kAboutIconSize);
    if (aboutIcon_) SendMessageA(picIcon_.Get(), STM_SETICON, reinterpret_cast<WPARAM>(aboutIcon_.Get()), 0);
    MakeControl(lblInfo_, page, "STATIC", "", SS_LEFT | SS_NOPREFIX, 1110, 270, 4305, 1035);
    MakeControl(cmdWebsite_, page, "BUTTON", "Visit Product Website", BS_PUSHBUTTON | WS_TABSTOP, 1080, 1290, 3255,
                405, kIdWebsite, buttonFont_.Get());
    MakeControl(cmdMore_, page, "BUTTON", "More freeware programs by Vestrel", BS_PUSHBUTTON | WS_TABSTOP, 1050, 1770,
                3285, 405, kIdMore, buttonFont_.Get());
    MakeControl(cmdReadme_, page, "BUTTON", "Readme.txt", BS_PUSHBUTTON | WS_TABSTOP, 1050, 2250, 3285, 405, kIdReadme,
                buttonFont_.Get());
}

void frmOptions::CreateAlertsPage(HWND page) {
    constexpr DWORD kTextBox = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    MakeControl(chkSound_, page, "BUTTON", "Play a sound", BS_AUTOCHECKBOX | WS_TABSTOP, 270, 180, 3000, 195, kIdSound);
    MakeControl(lblCommand_, page, "STATIC", "Run a program", SS_LEFT, 270, 540, 3000, 195);
    MakeControl(txtCommand_, page, "EDIT", "", kTextBox, 270, 780, 5025, 315, kIdCommand);
    MakeControl(lblWebHook_, page, "STATIC", "Send to a web address", SS_LEFT, 270, 1230, 3000, 195);
    MakeControl(txtWebHook_, page, "EDIT", "", kTextBox, 270, 1470, 5025, 315, kIdWebHook);
    MakeControl(lblWebHookBody_, page, "STATIC", "Message", SS_LEFT, 270, 1920, 3000, 195);
    MakeControl(txtWebHookBody_, page, "EDIT", "", kTextBox, 270, 2160, 5025, 315, kIdWebHookBody);
    MakeControl(cmdTestWebHook_, page, "BUTTON", "Test", BS_PUSHBUTTON | WS_TABSTOP, 270, 2610, 1155, 405,
                kIdTestWebHook, buttonFont_.Get());
    MakeControl(lblWebHookOutcome_, page, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 1560, 2715, 3735, 195);
    // No limit of the boxes' own: an address with a long key is kept whole.
    for (HWND box : {txtCommand_.Get(), txtWebHook_.Get(), txtWebHookBody_.Get()}) SendMessageA(box, EM_SETLIMITTEXT, 0, 0);
}

void frmOptions::LoadArtwork() {
    const int dpi = Dpi();
    textFont_ = MakeFont("MS Sans Serif", dpi);
    buttonFont_ = MakeFont("Lucida Sans Unicode", dpi);
    strip_ = corvale::LoadArtwork(IDB_PREFS_STRIP, dpi);
    aboutIcon_.Reset(LoadProgramIcon(IDI_CORVALE, TwipsToPixels(kAboutIconSize, dpi)));
    if (picturesDpi_ != dpi) {
        for (std::size_t i = 0; i < pagePictures_.size(); ++i)
            pagePictures_[i] = PagePicture(IDR_PAGE_PICTURES + static_cast<int>(i), dpi);
        picturesDpi_ = dpi;
    }
}

void frmOptions::OnDpiChanged() {
    // The controls keep the fonts they have until they are given the new ones.
    const Font oldText = std::move(textFont_), oldButton = std::move(buttonFont_);
    const Icon oldIcon = std::move(aboutIcon_);
    LoadArtwork();
    for (const PlacedControl& control : placed_) Place(control);
    for (int i = 0; i < kPageCount; ++i) {
        sknButton* button = pageButtons_[static_cast<std::size_t>(i)].get();
        if (!button) continue;
        button->SetPictureNormal(pagePictures_[static_cast<std::size_t>(2 * i)]);
        button->SetPictureOver(pagePictures_[static_cast<std::size_t>(2 * i + 1)]);
        button->Rescale();
    }
    for (ctlSiteStat* preview : {ssNormal_.get(), ssError_.get()})
        if (preview) preview->Rescale();
    if (picIcon_) SendMessageA(picIcon_.Get(), STM_SETICON, reinterpret_cast<WPARAM>(aboutIcon_.Get()), 0);
    InvalidateRect(hWnd(), nullptr, TRUE);
}

void frmOptions::CreateCommandButtons() {
    MakeControl(cmdSave_, hWnd(), "BUTTON", "Save", BS_PUSHBUTTON | WS_TABSTOP, 3120, 4050, 1155, 405, kIdSave,
                buttonFont_.Get());
    MakeControl(cmdCancel_, hWnd(), "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 4320, 4050, 1155, 405, kIdCancel,
                buttonFont_.Get());
}

}  // namespace corvale
