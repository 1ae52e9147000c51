#pragma once
// The main window's geometry and its image buttons as plain computation, in twips: the
// layout for a mode and a number of sites, and which image button a press lands on.

#include <cstdint>
#include <string_view>

namespace corvale {

// Design geometry of the main window's controls.
inline constexpr float kCaptionStripHeight = 330;  // the caption strip, and the mini window's height
inline constexpr float kBottomBarHeight = 330;
inline constexpr float kNormalWindowWidth = 2715;
inline constexpr float kToolBoxWidth = 915, kToolBoxHeight = 345;
inline constexpr float kBottomBarWidth = 2685, kBottomBarImageHeight = 345;
inline constexpr float kFirstTileLeft = 0, kFirstTileTop = 330;
inline constexpr float kSquareLeft = 330, kSquareTop = 60, kSquareWidth = 105, kSquareHeight = 195;
inline constexpr float kSquareGap = 30;
inline constexpr float kCaptionLeft = 360, kCaptionTop = 60, kCaptionWidth = 1185, kCaptionHeight = 180;
inline constexpr const char* kCaptionText = "Vestrel Corvale";
inline constexpr uint32_t kCaptionColour = 0x00C0FFFF;  // light yellow, 0x00BBGGRR

struct MainLayout {
    float width = 0, height = 0;
    float barBottomTop = 0;  // normal mode only; mini mode leaves the bar where it was
    float toolBoxLeft = 0;
    bool captionVisible = true;
    bool miniToolBoxInFront = false;
};

// The layout for the mode, the last site index (-1: none) and the status square width.
MainLayout LayoutFor(bool miniMode, int16_t siteLast, float squareWidth = kSquareWidth);

// Left of status square i and top of tile i, as the tiles and squares are placed.
float SquareLeft(int index, float squareWidth = kSquareWidth);
float TileTop(int index, float tileHeight = 405);

enum class ToolBoxAction { None, CheckNow, About, Sites, Close, EnterMini, LeaveMini, Hide };

// The image button under a press: left button only, both coordinates strictly inside the
// button's bounds, on the surface named by `from` ("form", "bottom", "topright_min",
// "topright_max").
ToolBoxAction ToolBoxActionAt(int16_t button, float x, float y, std::string_view from);

}  // namespace corvale
