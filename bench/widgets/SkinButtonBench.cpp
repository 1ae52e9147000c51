// Prints what a full redraw of each look costs, and what a mouse move that changes
// nothing costs, so the "only a comparison" promise can be checked by eye.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "WinTestSupport.h"
#include "ui/widgets/sknButton.h"

namespace {

class BenchContainer : public corvale::SkinContainer {
public:
    bool UserMode() const override { return true; }
    std::string DisplayName() const override { return "bench"; }
    corvale::SkinFontSpec AmbientFont() const override { return {}; }
    bool IsDefaultButton(const corvale::sknButton&) const override { return false; }
    corvale::Colour AmbientBackColor() const override { return 0xFFFFFF; }
    corvale::Colour AmbientForeColor() const override { return 0; }
    void PropertyChanged(corvale::sknButton&) override {}
};

double MicrosecondsPer(int count, std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count() / count;
}

}  // namespace

int main() {
    corvale::test::TestHostWindow host(200, 100, "skin button bench");
    BenchContainer container;
    constexpr int kRounds = 2000;
    std::printf("type  full redraw (us)\n");
    for (int type = 1; type <= 14; ++type) {
        corvale::sknButton button(host.Handle(), container, 10, 10, 47, 53);
        button.SetColorScheme(2);
        button.SetBackColor(0xFFFFFF);
        button.SetButtonType(type);
        button.SetCaption("General");
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRounds; ++i) button.Refresh();
        std::printf("%4d  %8.2f\n", type, MicrosecondsPer(kRounds, std::chrono::steady_clock::now() - start));
    }

    corvale::sknButton button(host.Handle(), container, 10, 10, 47, 53);
    button.SetCaption("General");
    POINT p{20, 20};
    ClientToScreen(button.hWnd(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(button.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    long draws = button.DrawCount();
    constexpr int kMoves = 20000;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMoves; ++i) SendMessageA(button.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20 + i % 5, 20));
    double perMove = MicrosecondsPer(kMoves, std::chrono::steady_clock::now() - start);
    std::printf("unchanged mouse move: %.2f us each, %ld full draws over %d moves\n", perMove,
                button.DrawCount() - draws, kMoves);
    return 0;
}
