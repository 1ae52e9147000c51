#pragma once
// The arguments every control's mouse and key events carry, read off window messages,
// and the colour and font values every control resolves the same way.

#include <windows.h>

#include <cstdint>
#include <functional>

namespace corvale {

enum class MouseKind { Down, Move, Up };

// Mouse event handlers: button (1 left, 2 right, 4 middle; on a move the set held),
// shift (1 Shift, 2 Ctrl, 4 Alt) and coordinates in twips of the raising control.
// All four are passed by reference, as the events declare them.
using MouseHandler = std::function<void(int16_t& button, int16_t& shift, float& x, float& y)>;

// One mouse message as the event it raises, in twips of the window that received it (whose
// scale is `dpi`).
struct MouseEvent {
    MouseKind kind = MouseKind::Move;
    int16_t button = 0;  // the message's button for presses and releases, the held set for moves
    int16_t shift = 0;
    float x = 0, y = 0;  // twips
    POINT pixels{0, 0};
    bool doubleClick = false;
    bool buttonsStillHeld = false;  // a button is down after this message (on a release: another one)
};

// False for messages that raise no mouse event.
bool DecodeMouse(UINT message, WPARAM wParam, LPARAM lParam, int dpi, MouseEvent& event);
// Calls the handler for the event's kind, if there is one.
void RaiseMouse(const MouseEvent& event, const MouseHandler& down, const MouseHandler& move,
                const MouseHandler& up, float offsetX = 0, float offsetY = 0);

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

// The LOGFONT height of a font of the given point size at `dpi`.
LONG FontHeightForPoints(double points, int dpi);

}  // namespace corvale
