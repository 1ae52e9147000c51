#pragma once
// The arguments every control's mouse and key events carry, read off window messages,
// and the colour and font values every control resolves the same way.

#include <windows.h>

#include <cstdint>

namespace corvale {

enum class MouseKind { Down, Move, Up };

// Which event a mouse message raises; false for messages that raise none.
// A double click's second press is still a press.
bool MouseKindOf(UINT message, MouseKind& kind);
// The button a button message is about: 1 left, 2 right, 4 middle (0 for other messages).
int16_t ButtonOfMessage(UINT message);
// The buttons held according to a mouse message's key flags.
int16_t ButtonsHeld(WPARAM mouseFlags);
// Shift (1), Ctrl (2) and Alt (4) for a mouse message; Alt is not part of its flags.
int16_t MouseShiftState(WPARAM mouseFlags);
// Shift, Ctrl and Alt as held now, for key messages.
int16_t KeyShiftState();

// A colour value 0x00BBGGRR, or 0x800000nn for the system colour nn, as a plain colour.
COLORREF ResolveColour(uint32_t colour);

// The LOGFONT height of a font of the given point size on the screen.
LONG FontHeightForPoints(double points);

}  // namespace corvale
