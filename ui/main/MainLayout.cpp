#include "ui/main/MainLayout.h"

#include <array>

namespace corvale {
namespace {

struct ButtonRange {
    std::string_view from;
    float left, right;
    ToolBoxAction action;
};

constexpr float kButtonTop = 60, kButtonBottom = 225;

constexpr std::array<ButtonRange, 10> kButtons{{
    {"form", 90, 240, ToolBoxAction::CheckNow},
    {"bottom", 90, 240, ToolBoxAction::About},
    {"bottom", 2175, 2340, ToolBoxAction::Sites},
    {"bottom", 2430, 2595, ToolBoxAction::Sites},
    {"topright_min", 660, 840, ToolBoxAction::Close},
    {"topright_min", 405, 585, ToolBoxAction::EnterMini},
    {"topright_min", 135, 330, ToolBoxAction::Hide},
    {"topright_max", 660, 840, ToolBoxAction::Close},
    {"topright_max", 405, 585, ToolBoxAction::LeaveMini},
    {"topright_max", 135, 330, ToolBoxAction::Hide},
}};

}  // namespace

MainLayout LayoutFor(bool miniMode, int16_t siteLast, float squareWidth) {
    MainLayout layout;
    if (miniMode) {
        layout.height = kCaptionStripHeight;
        // In 32-bit floating point, as the squares are placed: the tool box lands just
        // right of the last square.
        layout.width = (squareWidth + kSquareGap) * static_cast<float>(siteLast) + 1400.0f + 1.0f;
        layout.captionVisible = false;
        layout.miniToolBoxInFront = true;
    } else {
        // One 405-twip row per tile between the caption strip and the bottom bar, in
        // 16-bit arithmetic; 20 sites are far from its limit.
        layout.height = siteLast <= -1 ? 660 : static_cast<int16_t>((siteLast + 1) * 405 + 660);
        layout.width = kNormalWindowWidth;
        layout.barBottomTop = layout.height - kBottomBarHeight;
    }
    layout.toolBoxLeft = layout.width - kToolBoxWidth;
    return layout;
}

float SquareLeft(int index, float squareWidth) {
    return kSquareLeft + static_cast<float>(index) * (squareWidth + kSquareGap);
}

float TileTop(int index, float tileHeight) { return kFirstTileTop + static_cast<float>(index) * tileHeight; }

ToolBoxAction ToolBoxActionAt(int16_t button, float x, float y, std::string_view from) {
    if (button != 1 || !(y > kButtonTop && y < kButtonBottom)) return ToolBoxAction::None;
    for (const ButtonRange& range : kButtons)
        if (range.from == from && x > range.left && x < range.right) return range.action;
    return ToolBoxAction::None;
}

}  // namespace corvale
