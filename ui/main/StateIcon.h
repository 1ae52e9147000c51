#pragma once
// The program's icon with the overall state's mark on it, for the notification area.

#include <windows.h>

#include <cstdint>

#include "monitor/OverallState.h"
#include "ui/base/GdiHandles.h"

namespace corvale {

// The mark's colour (0x00RRGGBB) for a state.
uint32_t StateMarkColour(OverallColour colour);

// A copy of `base` at `size` pixels with the mark of `colour` in its corner; empty when the
// system could not make it (the caller then keeps the plain icon).
Icon IconWithStateMark(HICON base, int size, OverallColour colour);

}  // namespace corvale
