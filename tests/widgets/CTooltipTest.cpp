// The tooltip wrapper against the real common-controls tip window. What it sends is seen
// through a hook on this thread's sent messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "ui/widgets/CTooltip.h"

namespace corvale {
namespace {

std::vector<UINT>* gSent = nullptr;
std::wstring gTitleSent;  // the text of the last TTM_SETTITLEW

LRESULT CALLBACK RecordSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && gSent) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message >= WM_USER) gSent->push_back(message->message);
        if (message->message == TTM_SETTITLEW) gTitleSent = reinterpret_cast<const wchar_t*>(message->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A pane of the program's own window base, as every tile and square is.
class Pane : public Window {
public:
    explicit Pane(HWND parent) {
        CreateWindowOf({"CorvaleTipTestPane"}, 0, WS_CHILD | WS_VISIBLE, {0, 0, 120, 40}, parent);
    }
};

class CTooltipTest : public ::testing::Test {
protected:
    CTooltipTest() : host_(200, 80) {}
    void SetUp() override {
        gSent = &sent_;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &RecordSent, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        gSent = nullptr;
    }
    bool Sent(UINT message) const {
        for (UINT m : sent_)
            if (m == message) return true;
        return false;
    }
    static int TipWindowsOf(HWND owner) {
        struct Count {
            HWND owner;
            int tips = 0;
        } count{owner};
        EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Count*>(p);
            char name[32] = {};
            GetClassNameA(w, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(w, GW_OWNER) == c->owner) ++c->tips;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&count));
        return count.tips;
    }

    // A new text each time: one tip window stays, and nothing leaks.
    static void RenewHundredsOfTimes(CTooltip& tip, bool (CTooltip::*renew)(), HWND owner) {
        gSent = nullptr;
        const long gdi = test::GdiObjectGauge();
        for (int i = 0; i < 500; ++i) {
            tip.SetText("Ping: " + std::to_string(i) + " ms ");
            ASSERT_TRUE((tip.*renew)());
        }
        EXPECT_EQ(TipWindowsOf(owner), 1);
        EXPECT_LE(test::GdiObjectGauge() - gdi, 20);
    }

    test::TestHostWindow host_;
    std::vector<UINT> sent_;
    HHOOK hook_ = nullptr;
};

TEST_F(CTooltipTest, NoParentMakesNoWindowAndIsNoFailure) {
    CTooltip tip;
    EXPECT_EQ(tip.ForeColor(), 0x80000017u);
    EXPECT_EQ(tip.BackColor(), 0x80000018u);
    EXPECT_TRUE(tip.MultiLine());
    EXPECT_TRUE(tip.Create());
    EXPECT_EQ(tip.TooltipWindow(), nullptr);
}

TEST_F(CTooltipTest, SiteTipIsABalloonWithTitleColoursAndTheWholeClientAsTool) {
    CTooltip tip;
    tip.SetHwndParentControl(host_.Handle());
    tip.SetText("Ping: 0 ms ");
    tip.SetStyle(1);
    tip.SetBackColor(0xFF8080);
    tip.SetForeColor(0xFFFFFF);
    tip.SetTitle("site.example");
    ASSERT_TRUE(tip.Create());
    HWND w = tip.TooltipWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE) & (TTS_BALLOON | TTS_ALWAYSTIP | TTS_NOPREFIX),
              TTS_BALLOON | TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_EQ(SendMessageA(w, TTM_GETTIPBKCOLOR, 0, 0), 0xFF8080);
    EXPECT_EQ(SendMessageA(w, TTM_GETTIPTEXTCOLOR, 0, 0), 0xFFFFFF);
    EXPECT_TRUE(Sent(TTM_SETTITLEW));

    char text[64] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = host_.Handle();
    info.uId = 0;
    info.lpszText = text;
    ASSERT_TRUE(SendMessageA(w, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, "Ping: 0 ms ");
    EXPECT_EQ(info.uFlags & (TTF_SUBCLASS | TTF_CENTERTIP), static_cast<UINT>(TTF_SUBCLASS));
    RECT client;
    GetClientRect(host_.Handle(), &client);
    EXPECT_TRUE(EqualRect(&info.rect, &client));
    EXPECT_GT(SendMessageA(w, TTM_GETMAXTIPWIDTH, 0, 0), 10000) << "line breaks, never wrapping";
}

TEST_F(CTooltipTest, DefaultsSendNoTitleOrColourAndAnExplicitSystemColourIsTheDefault) {
    CTooltip tip;
    tip.SetHwndParentControl(host_.Handle());
    tip.SetText("plain");
    tip.SetBackColor(0x80000018);
    tip.SetMultiLine(false);
    ASSERT_TRUE(tip.Create());
    EXPECT_TRUE(Sent(TTM_ADDTOOLW));
    EXPECT_FALSE(Sent(TTM_SETTITLEW));
    EXPECT_FALSE(Sent(TTM_SETTIPTEXTCOLOR));
    EXPECT_FALSE(Sent(TTM_SETTIPBKCOLOR));
    EXPECT_FALSE(Sent(TTM_SETMAXTIPWIDTH));
    EXPECT_EQ(GetWindowLongPtrA(tip.TooltipWindow(), GWL_STYLE) & TTS_BALLOON, 0);
}

TEST_F(CTooltipTest, UpdateChangesTheTipInPlaceAndTextsArriveAsTyped) {
    CTooltip tip;
    tip.SetHwndParentControl(host_.Handle());
    tip.SetText("Ping: 0 ms ");
    tip.SetStyle(1);
    tip.SetBackColor(0xFF8080);
    tip.SetTitle("site.example");
    ASSERT_TRUE(tip.Update()) << "no window yet: one is made";
    HWND first = tip.TooltipWindow();
    ASSERT_NE(first, nullptr);

    sent_.clear();
    tip.SetTitle("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84");  // Cyrillic
    tip.SetText("Ping: 12 ms \xE2\x80\x94 \xE4\xBE\x8B");
    ASSERT_TRUE(tip.Update());
    EXPECT_EQ(tip.TooltipWindow(), first);
    EXPECT_FALSE(Sent(TTM_ADDTOOLW));
    EXPECT_TRUE(Sent(TTM_UPDATETIPTEXTW));
    wchar_t text[64] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = host_.Handle();
    info.lpszText = text;
    ASSERT_TRUE(SendMessageW(first, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, L"Ping: 12 ms \x2014 \x4F8B");
    // The title is seen as sent: only version 6 of the common controls, which the program's
    // manifest selects and the tests do not, reads a title back.
    EXPECT_EQ(gTitleSent, L"\x43F\x440\x438\x43C\x435\x440.\x440\x444");
    EXPECT_EQ(SendMessageW(first, TTM_GETTIPBKCOLOR, 0, 0), 0xFF8080);

    // The parent grown: the tool covers it whole again.
    SetWindowPos(host_.Handle(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tip.Update());
    RECT client;
    GetClientRect(host_.Handle(), &client);
    ASSERT_TRUE(SendMessageW(first, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(EqualRect(&info.rect, &client));

    // Another parent: the tip moves there, and only there.
    test::TestHostWindow other(50, 50);
    tip.SetHwndParentControl(other.Handle());
    ASSERT_TRUE(tip.Update());
    EXPECT_NE(tip.TooltipWindow(), first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(TipWindowsOf(other.Handle()), 1);

    RenewHundredsOfTimes(tip, &CTooltip::Update, other.Handle());
}

TEST_F(CTooltipTest, ATipMadeOnFirstHoverHasNoWindowUntilThePointerComesThenTheLatestText) {
    Pane pane(host_.Handle());
    CTooltip tip;
    tip.SetMadeOnFirstHover(true);
    tip.SetHwndParentControl(pane.hWnd());
    for (const char* text : {"Not checked yet", "Ping: 7 ms "}) {
        tip.SetText(text);
        ASSERT_TRUE(tip.Update());
    }
    EXPECT_EQ(tip.TooltipWindow(), nullptr);
    EXPECT_EQ(TipWindowsOf(host_.Handle()), 0);

    test::PointerMovesOver(pane.hWnd());
    ASSERT_NE(tip.TooltipWindow(), nullptr);
    wchar_t text[64] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = pane.hWnd();
    info.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip.TooltipWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, L"Ping: 7 ms ");
    test::PointerMovesOver(pane.hWnd());
    EXPECT_EQ(TipWindowsOf(host_.Handle()), 1) << "made once";

    // Moved to another parent (the mode switch moves site tips): the old window goes, and
    // the new parent waits for the pointer in its turn; a parent that goes first is no fault,
    // nor is a tip that goes first.
    {
        test::TestHostWindow otherHost(50, 50);
        Pane other(otherHost.Handle());
        tip.SetHwndParentControl(other.hWnd());
        ASSERT_TRUE(tip.Update());
        EXPECT_EQ(TipWindowsOf(host_.Handle()), 0);
        EXPECT_EQ(tip.TooltipWindow(), nullptr);
    }
    tip.SetHwndParentControl(pane.hWnd());
    ASSERT_TRUE(tip.Update());
    test::PointerMovesOver(pane.hWnd());
    EXPECT_EQ(TipWindowsOf(host_.Handle()), 1);
    {
        CTooltip gone;
        gone.SetMadeOnFirstHover(true);
        gone.SetHwndParentControl(host_.Handle());  // not the program's own: made at once
        ASSERT_TRUE(gone.Update());
        EXPECT_NE(gone.TooltipWindow(), nullptr);
        gone.SetHwndParentControl(pane.hWnd());
        ASSERT_TRUE(gone.Update());
    }
    test::PointerMovesOver(pane.hWnd());
}

TEST_F(CTooltipTest, RecreatingKeepsOneWindowAndNothingLeaksOverHundreds) {
    CTooltip tip;
    tip.SetHwndParentControl(host_.Handle());
    tip.SetText("x");
    tip.SetStyle(1);
    tip.SetTitle("t");
    ASSERT_TRUE(tip.Create());
    ASSERT_TRUE(tip.Create());
    EXPECT_EQ(TipWindowsOf(host_.Handle()), 1);

    for (int i = 0; i < 50; ++i) tip.Create();  // warm up
    RenewHundredsOfTimes(tip, &CTooltip::Create, host_.Handle());

    // Its owner going first takes the window along; the object then forgets it quietly.
    {
        test::TestHostWindow other(50, 50);
        CTooltip orphan;
        orphan.SetHwndParentControl(other.Handle());
        ASSERT_TRUE(orphan.Create());
    }
}

}  // namespace
}  // namespace corvale
