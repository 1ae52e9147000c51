// The window and dialog bases: binding, the paint path, unbinding, the mouse decoder.
#include <gtest/gtest.h>

#include <vector>

#include "WinTestSupport.h"
#include "ui/base/ControlInput.h"
#include "ui/base/Dialog.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/base/Window.h"

namespace corvale {
namespace {

class ProbeWindow : public Window {
public:
    ProbeWindow(HWND parent, Painting painting) {
        SetPainting(painting);
        CreateWindowOf({"CorvaleProbeWindow"}, 0, WS_CHILD | WS_VISIBLE, {0, 0, 40, 20}, parent);
    }
    std::vector<UINT> seen;
    int paints = 0;
    bool gone = false;
    MouseEvent lastMouse;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (DecodeMouse(message, wParam, lParam, Dpi(), lastMouse)) return 0;
        return Default(message, wParam, lParam);
    }
    void Paint(HDC dc, const RECT& client) override {
        ++paints;
        Brush red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(dc, &client, red.Get());
    }
    void OnWindowGone() override { gone = true; }
};

bool Saw(const ProbeWindow& w, UINT message) {
    for (UINT m : w.seen)
        if (m == message) return true;
    return false;
}

TEST(WindowBase, BoundFromCreationToDestruction) {
    test::TestHostWindow host(100, 60);
    auto probe = std::make_unique<ProbeWindow>(host.Handle(), Window::Painting::Buffered);
    ASSERT_NE(probe->hWnd(), nullptr);
    // The first messages of a window reach the object, not only those after creation.
    EXPECT_EQ(probe->seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(Saw(*probe, WM_CREATE));

    // The parent takes the child down first: the object forgets its handle, and its own
    // destruction later touches nothing.
    DestroyWindow(host.Handle());
    EXPECT_TRUE(probe->gone);
    EXPECT_EQ(probe->hWnd(), nullptr);
    probe.reset();

    // The object goes first: its window goes with it.
    test::TestHostWindow second(100, 60);
    auto other = std::make_unique<ProbeWindow>(second.Handle(), Window::Painting::Direct);
    HWND handle = other->hWnd();
    other.reset();
    EXPECT_FALSE(IsWindow(handle));
}

TEST(WindowBase, PaintAndPrintClientTakeTheSamePathBufferedOrNot) {
    test::TestHostWindow host(100, 60);
    for (auto painting : {Window::Painting::Buffered, Window::Painting::Direct}) {
        ProbeWindow probe(host.Handle(), painting);
        UpdateWindow(probe.hWnd());
        test::PumpMessages();
        EXPECT_GE(probe.paints, 1);
        EXPECT_FALSE(Saw(probe, WM_PAINT)) << "WM_PAINT goes to Paint, not to the message switch";
        const int before = probe.paints;

        MemoryDC dc;
        Bitmap target(CreateCompatibleBitmap(WindowDC(nullptr).Get(), 40, 20));
        SelectScope select(dc.Get(), target.Get());
        SendMessageA(probe.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        EXPECT_EQ(probe.paints, before + 1);
        EXPECT_EQ(GetPixel(dc.Get(), 39, 19), RGB(255, 0, 0));
    }
}

TEST(WindowBase, MouseArrivesInTwipsOfTheControlWithItsButtons) {
    test::TestHostWindow host(100, 60);
    ProbeWindow probe(host.Handle(), Window::Painting::Direct);
    SendMessageA(probe.hWnd(), WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(6, 10));
    EXPECT_EQ(probe.lastMouse.kind, MouseKind::Up);
    EXPECT_EQ(probe.lastMouse.button, 2);
    EXPECT_EQ(probe.lastMouse.shift & 1, 1);
    EXPECT_FLOAT_EQ(probe.lastMouse.x, static_cast<float>(PixelsToTwips(6, SystemDpi())));
    EXPECT_FLOAT_EQ(probe.lastMouse.y, static_cast<float>(PixelsToTwips(10, SystemDpi())));
    SendMessageA(probe.hWnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(-3, 2));
    EXPECT_EQ(probe.lastMouse.kind, MouseKind::Move);
    EXPECT_EQ(probe.lastMouse.button, 3) << "a move carries the set of buttons held";
    EXPECT_LT(probe.lastMouse.x, 0) << "coordinates left of the control stay negative";
    SendMessageA(probe.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    EXPECT_EQ(probe.lastMouse.kind, MouseKind::Down);
    EXPECT_TRUE(probe.lastMouse.doubleClick);
}

class ProbeDialog : public Dialog {
public:
    INT_PTR Run(HWND owner) { return RunModal(owner, {"Probe", 1845, 675}); }
    RECT client{};
    bool ownerWasEnabled = true;
    HWND owner = nullptr;
    UINT sendOnInit = 0;

private:
    void OnInit() override {
        GetClientRect(hWnd(), &client);
        ownerWasEnabled = IsWindowEnabled(owner) != FALSE;
        PostMessageA(hWnd(), sendOnInit, 0, 0);
    }
    bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) override {
        if (message != WM_APP) return false;
        End(42);
        result = TRUE;
        return true;
    }
};

TEST(DialogBase, ModalWithExactClientSizeOwnerDisabledAndItsOwnResult) {
    test::TestHostWindow owner(100, 60);
    ProbeDialog dialog;
    dialog.owner = owner.Handle();
    dialog.sendOnInit = WM_APP;
    EXPECT_EQ(dialog.Run(owner.Handle()), 42);
    EXPECT_EQ(dialog.client.right, TwipsToPixels(1845, SystemDpi()));
    EXPECT_EQ(dialog.client.bottom, TwipsToPixels(675, SystemDpi()));
    EXPECT_FALSE(dialog.ownerWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(dialog.IsOpen());

    // A dialog that handles nothing closes on Escape (IDCANCEL) like any other.
    ProbeDialog plain;
    plain.owner = owner.Handle();
    plain.sendOnInit = WM_CLOSE;  // the close box and Escape both arrive as IDCANCEL
    EXPECT_EQ(plain.Run(owner.Handle()), IDCANCEL);
}

}  // namespace
}  // namespace corvale
