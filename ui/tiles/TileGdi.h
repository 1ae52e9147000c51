#pragma once
// Window-system helpers shared by the tile and its graph: fonts, colour references and
// the mouse arguments of their events.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/tiles/GraphBars.h"
#include "ui/widgets/ControlInput.h"
#include "ui/widgets/GdiHandles.h"

namespace corvale {

// Mouse event handlers: button (1 left, 2 right, 4 middle; on a move the set held),
// shift (1 Shift, 2 Ctrl, 4 Alt) and coordinates in twips of the raising control.
// All four are passed by reference, as the events declare them.
using MouseHandler = std::function<void(int16_t& button, int16_t& shift, float& x, float& y)>;


// A font of a face, size in points (at the screen's DPI), weight and character set.
Font CreateDesignFont(const FontSpec& face, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE,
                      BYTE quality = DEFAULT_QUALITY);
// The face a font really resolved to on this system.
std::string ResolvedFace(HFONT font);

// "Arial" 11.25 pt bold, for the ping text.
Font CreatePingFont();
// "Terminal" 6 pt bold in the OEM character set; where that face is missing, a small
// fixed-pitch bitmap-style font of the same size.
Font CreateSiteFont();

}  // namespace corvale
