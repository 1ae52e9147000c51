#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "ui/tiles/cDIBSection.h"
#include "ui/tiles/cltGraph.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

class GraphWindowTest : public ::testing::Test {
protected:
    GraphWindowTest() : host_(100, 40), graph_(host_.Handle(), 0, 0) {}

    // The graph as drawn, through WM_PRINTCLIENT.
    COLORREF Drawn(int x, int y) {
        cDIBSection canvas;
        canvas.Create(41, 21);
        SendMessageA(graph_.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
        GdiFlush();
        return GetPixel(canvas.hdc(), x, y);
    }

    test::TestHostWindow host_;
    cltGraph graph_;
};

TEST_F(GraphWindowTest, DesignBarsUntilTheFirstRedrawThenNoBarWithoutAResult) {
    RECT r;
    GetClientRect(graph_.hWnd(), &r);
    EXPECT_EQ(r.right, TwipsToPixels(615, SystemDpi()));
    EXPECT_EQ(r.bottom, TwipsToPixels(315, SystemDpi()));
    EXPECT_EQ(Drawn(38, 0), RGB(0, 255, 0));

    // A site not checked yet has neither answered nor failed: its graph is empty.
    graph_.RePaint();
    for (int i = 0; i < kGraphBarCount; ++i) EXPECT_EQ(graph_.Bar(i).height, 0.0f);
    EXPECT_EQ(Drawn(38, 20), RGB(0, 0, 0));
    int32_t none = 0;
    graph_.AddItem(none);
    EXPECT_EQ(Drawn(38, 20), RGB(255, 0, 0));
    EXPECT_EQ(Drawn(38, 2), RGB(0, 0, 0)) << "black background above a short bar";
    EXPECT_EQ(Drawn(30, 20), RGB(0, 0, 0)) << "the older bars stay empty";
}

TEST_F(GraphWindowTest, AddItemScrollsAndRecolours) {
    for (int32_t v : {150, 300, 699, 720}) graph_.AddItem(v);
    EXPECT_EQ(graph_.Bar(0).colour, kBarSlow);
    EXPECT_EQ(graph_.Bar(0).top, 0.0f);
    EXPECT_EQ(graph_.Bar(1).height, 315.0f);
    EXPECT_EQ(graph_.Bar(2).height, 151.0f);
    EXPECT_EQ(graph_.Bar(4).height, 0.0f) << "four results, four bars";
    EXPECT_EQ(Drawn(38, 0), RGB(255, 255, 0));

    int32_t none = 0;
    graph_.AddItem(none);
    EXPECT_EQ(graph_.Bar(0).colour, kBarNoAnswer);
    EXPECT_EQ(graph_.Bar(1).colour, kBarSlow);
    EXPECT_EQ(graph_.Value(1), 720);
    for (int32_t v = 1; v <= 11; ++v) graph_.AddItem(v);
    EXPECT_EQ(graph_.Value(9), 2);
}

TEST_F(GraphWindowTest, PropertiesRoundTripAndReportChanges) {
    int changes = 0;
    graph_.PropertyChanged = [&](std::string_view) { ++changes; };
    graph_.SetBackColor(0x00202020);
    graph_.SetBorderStyle(1);
    graph_.SetEnabled(false);
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(IsWindowEnabled(graph_.hWnd()));
    EXPECT_TRUE(GetWindowLongPtrA(graph_.hWnd(), GWL_STYLE) & WS_BORDER);
    const FontSpec container{"Tahoma", 8, false, 0};
    PropertyBag bag;
    graph_.WriteProperties(bag, container);
    EXPECT_EQ(bag.ReadInt("BackColor", 0), 0x00202020);
    EXPECT_TRUE(bag.Contains("Font"));
    cltGraph other(host_.Handle(), 0, 0);
    other.ReadProperties(bag, container);
    EXPECT_EQ(other.BackColor(), 0x00202020u);
    EXPECT_EQ(other.BorderStyle(), 1);
    EXPECT_FALSE(other.Enabled());
}

TEST_F(GraphWindowTest, ClickNeedsPressAndReleaseInside) {
    int clicks = 0, doubles = 0;
    graph_.Click = [&] { ++clicks; };
    graph_.DblClick = [&] { ++doubles; };
    SendMessageA(graph_.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(graph_.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(graph_.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(graph_.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    SendMessageA(graph_.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubles, 1);
}

}  // namespace
}  // namespace corvale
