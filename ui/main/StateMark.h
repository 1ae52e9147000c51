#pragma once
// The overall state as a small coloured disc in the lower right corner of the program's
// icon, painted into the icon's own pixels, so the notification area shows it at a glance.

#include <cstdint>

namespace corvale {

// Pixels as 0xAARRGGBB with straight (not premultiplied) alpha, rows from the top, `size` by
// `size`. The disc is drawn over them with smooth edges and a darker rim of its own colour
// (0x00RRGGBB), so it stands out on any background of the notification area.
void PaintStateMark(uint32_t* pixels, int size, uint32_t colour);

}  // namespace corvale
