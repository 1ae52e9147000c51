#pragma once
// The preferences dialog: six pages behind a row of skinned page buttons, for the site
// list, the check interval and start with Windows, the tile colours with live preview
// tiles, the main window's translucency (previewed on the window itself), the product
// information with its links, and the alerts beyond the balloon (a sound, a program, a web
// address, with a test of the last). Save stores everything and rebuilds the main window's
// tiles; Cancel stores nothing. It also owns the main window's popup menu. Its controls are
// placed in twips, at the scale of the monitor it opens on, and again at a new scale.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/Settings.h"
#include "ui/base/Dialog.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Picture.h"
#include "ui/base/Window.h"
#include "ui/prefs/PrefsValues.h"
#include "ui/prefs/clsRegistry.h"
#include "ui/tiles/ctlSiteStat.h"
#include "ui/widgets/Trackbar.h"
#include "ui/widgets/sknButton.h"

namespace corvale {

// What the dialog asks of the rest of the program.
class PreferencesHost {
public:
    virtual ~PreferencesHost() = default;
    // The window the dialog is modal over.
    virtual HWND OwnerWindow() = 0;
    // The main window's translucency, shown at once while the slider moves.
    virtual void PreviewAlpha(int16_t alpha) = 0;
    // Save: the edited copy of the settings and the list takes effect and is stored (the
    // program holds its checks meanwhile). `edited.SitesText` is the list the user confirmed.
    virtual void SaveEdits(const ProgramSettings& edited) = 0;
    // The shell's "open" of a file or web address.
    virtual void OpenDocument(const std::string& target) = 0;
    // The choices stored at once, outside Save: whether a site that stops or starts answering
    // is told, whether every result is logged, and the start-with-Windows box (stored before
    // the dialog touches the registry). False when the choice could not be stored (the user
    // has been told).
    virtual bool SetNotifyOnChange(bool notify) = 0;
    virtual bool SetKeepLog(bool keep) = 0;
    virtual bool StoreStartup(int16_t stored) = 0;
    // The Alerts page's "Test": "Corvale test message" sent to `url` with `body`, off the
    // user-interface thread; what came back reaches the dialog through ShowWebHookOutcome.
    virtual void TestWebHook(const std::string& url, const std::string& body) = 0;
};

inline constexpr const char* kProductWebPage = "https://www.example.com/corvale/";
inline constexpr const char* kMakerWebPage = "https://www.example.com/";
inline constexpr const char* kReadmeFileName = "readme.txt";

// A panel of the dialog that holds one page's controls and hands their notifications on
// to the dialog, so one message switch serves every page.
class PrefsPage : public Window {
public:
    PrefsPage(HWND dialog, const PixelBox& box);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
};

class frmOptions : private Dialog, private SkinContainer {
public:
    static constexpr int kPageCount = 6;
    static constexpr int kAlertsPage = 5;
    static constexpr UINT kMenuPreferences = 201;
    static constexpr UINT kMenuSecond = 202;
    enum class PopupChoice { None, Preferences, Second };

    explicit frmOptions(PreferencesHost& host);
    ~frmOptions() override;

    using Dialog::hWnd;
    using Dialog::IsOpen;

    // Shows the dialog modally over the main window on `page`, editing a copy of `settings`
    // (the list text among them); returns when it is closed.
    void Show(int16_t page, const ProgramSettings& settings);
    // The log turned itself off while the dialog is open: its box says so.
    void ShowLogOff();
    // What the web hook's test brought back ("Sent (HTTP 200)").
    void ShowWebHookOutcome(std::string_view outcome);
    // Closes the dialog without storing anything (as Cancel).
    void Unload();

    // mnuPopup at the cursor, owned by `owner`, with `secondItem` below "Preferences" where
    // one is given (for this showing only); what was chosen.
    PopupChoice ShowPopupMenu(HWND owner, std::string_view secondItem = {});

    // The controls, for the program's tests.
    sknButton& cmdToolBar(int index) { return *pageButtons_[static_cast<std::size_t>(index)]; }
    HWND picTab(int index) const { return pages_[static_cast<std::size_t>(index)]->hWnd(); }
    int FrontPage() const { return frontPage_; }
    Trackbar& sldPing() { return *sldPing_; }
    Trackbar& sldNormalColor() { return *sldNormalColor_; }
    Trackbar& sldErrorColor() { return *sldErrorColor_; }
    Trackbar& sldTrans() { return *sldTrans_; }
    ctlSiteStat& ssNormal() { return *ssNormal_; }
    ctlSiteStat& ssError() { return *ssError_; }
    HWND txtSites() const { return txtSites_.Get(); }
    HWND txtCurrentInterval() const { return txtCurrentInterval_.Get(); }
    HWND chkStartup() const { return chkStartup_.Get(); }
    HWND chkNotify() const { return chkNotify_.Get(); }
    HWND chkLog() const { return chkLog_.Get(); }
    HWND lblInfo() const { return lblInfo_.Get(); }
    HWND chkSound() const { return chkSound_.Get(); }
    HWND txtCommand() const { return txtCommand_.Get(); }
    HWND txtWebHook() const { return txtWebHook_.Get(); }
    HWND txtWebHookBody() const { return txtWebHookBody_.Get(); }
    HWND lblWebHookOutcome() const { return lblWebHookOutcome_.Get(); }

    void cmdToolBar_Click(int index);
    void cmdSave_Click();
    void cmdCancel_Click();
    void chkStartup_Click();

    // Control identifiers.
    enum : int {
        kIdSave = 1001, kIdCancel, kIdWebsite, kIdMore, kIdReadme, kIdStartup, kIdNotify,
        kIdSites, kIdInterval, kIdPing, kIdNormal, kIdError, kIdTrans, kIdLog, kIdSound, kIdCommand, kIdWebHook,
        kIdWebHookBody, kIdTestWebHook, kIdPageButtons = 1100,
    };

private:
    // Dialog.
    void OnInit() override;
    void OnDpiChanged() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void Paint(HDC dc, const RECT& client) override;
    void OnWindowGone() override;
    // SkinContainer: the page buttons run in a finished program, never in a designer.
    bool UserMode() const override { return true; }
    std::string DisplayName() const override { return "cmdToolBar"; }
    SkinFontSpec AmbientFont() const override { return {}; }
    bool IsDefaultButton(const sknButton&) const override { return false; }
    Colour AmbientBackColor() const override { return 0xFFFFFF; }
    Colour AmbientForeColor() const override { return 0; }
    void PropertyChanged(sknButton&) override {}

    // frmOptionsPages.cpp: the controls of the dialog and of each page.
    // A control placed in twips of its page or of the dialog, in the text or the button font
    // or none of them; a one-line label is at least as wide as its text.
    enum class ControlFont { None, Text, Button };
    struct PlacedControl {
        HWND window = nullptr;
        TwipsRect box;
        ControlFont font = ControlFont::None;
        bool fitsText = false;
    };
    // Puts a control where its twips place it at the dialog's scale, in its font.
    void Place(const PlacedControl& control);
    // The fonts, the background strip, the page pictures and the icon at the dialog's scale.
    void LoadArtwork();
    void CreatePageButtons();
    void CreatePages();
    void CreateGeneralPage(HWND page);
    void CreateSitesPage(HWND page);
    void CreateColorsPage(HWND page);
    void CreateWindowPage(HWND page);
    void CreateAboutPage(HWND page);
    void CreateAlertsPage(HWND page);
    void CreateCommandButtons();
    HWND MakeControl(SystemWindow& owner, HWND parent, const char* className, const char* text, DWORD style,
                     float left, float top, float width, float height, int id = 0, HFONT font = nullptr);
    std::unique_ptr<Trackbar> MakeSlider(HWND page, const TwipsRect& box, int id);

    // frmOptions.cpp: the load and the handlers.
    void Load();
    void OnCommand(int id, int code, HWND control);
    void SetStartupBox(int16_t stored);
    void ShowIntervalText(std::string_view text);
    std::string SitesBoxText() const;
    static std::string TextOf(HWND control);
    void ReleaseControls();

    PreferencesHost& host_;
    ProgramSettings settings_;  // the copy the dialog edits
    Menu mnuPopup_;  // shown only as a popup, never in a menu bar
    int16_t requestedPage_ = 0;
    int frontPage_ = -1;
    std::optional<clsRegistry> registry_;

    Bitmap strip_;
    Font textFont_;
    Font buttonFont_;
    Icon aboutIcon_;
    std::array<std::shared_ptr<const Picture>, 2 * kPageCount> pagePictures_;
    int picturesDpi_ = 0;  // the scale the page pictures are made for
    std::vector<PlacedControl> placed_;
    std::array<std::unique_ptr<sknButton>, kPageCount> pageButtons_;
    std::array<std::unique_ptr<PrefsPage>, kPageCount> pages_;

    SystemWindow chkStartup_, chkNotify_, chkLog_, lblPingR_, lblLeftEnd_, lblRightEnd_, txtCurrentInterval_;
    SystemWindow lblSites_, txtSites_;
    SystemWindow lblNormal_, lblError_;
    SystemWindow lblTransparency_, lblTransparent_, lblOpaque_;
    SystemWindow picIcon_, lblInfo_, cmdWebsite_, cmdMore_, cmdReadme_;
    SystemWindow chkSound_, lblCommand_, txtCommand_, lblWebHook_, txtWebHook_, lblWebHookBody_, txtWebHookBody_;
    SystemWindow cmdTestWebHook_, lblWebHookOutcome_;
    SystemWindow cmdSave_, cmdCancel_;
    std::unique_ptr<Trackbar> sldPing_, sldNormalColor_, sldErrorColor_, sldTrans_;
    std::unique_ptr<ctlSiteStat> ssNormal_, ssError_;

    // The stored values behind the sliders, and whether the user moved each.
    SliderSetting ping_, normalHue_, errorHue_, trans_;
    // The site text as the box showed it at opening, to tell an edit from none.
    std::string shownSitesText_;
    // The start-up box's state as monitor.ini holds it.
    StartupBox startupStored_ = StartupBox::Unchecked;
};

}  // namespace corvale
