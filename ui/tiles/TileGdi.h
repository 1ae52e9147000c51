#pragma once
// Window-system helpers shared by the tile and its graph: fonts, colour references and
// the mouse arguments of their events.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/tiles/GraphBars.h"
#include "ui/widgets/GdiHandles.h"

namespace corvale {

// Mouse event handlers: button (1 left, 2 right, 4 middle; on a move the set held),
// shift (1 Shift, 2 Ctrl, 4 Alt) and coordinates in twips of the raising control.
// All four are passed by reference, as the events declare them.
using MouseHandler = std::function<void(int16_t& button, int16_t& shift, float& x, float& y)>;

enum class MouseKind { Down, Move, Up };

// The button a button message is about (0 for other messages).
int16_t ButtonOfMessage(UINT message);
// The buttons held according to a mouse message's key flags.
int16_t ButtonsHeld(WPARAM keys);
// Shift, Ctrl and Alt as held now (Alt is not part of the message flags).
int16_t ShiftState(WPARAM keys);
// Which event a mouse message raises; false for messages that raise none.
bool MouseKindOf(UINT message, MouseKind& kind);

// A colour value 0x00BBGGRR, or 0x800000nn for the system colour nn.
COLORREF ResolveColour(uint32_t colour);

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
