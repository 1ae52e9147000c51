#pragma once
// The fonts of the tile and its graph.

#include <windows.h>

#include "ui/tiles/GraphBars.h"
#include "ui/base/ControlInput.h"
#include "ui/base/Fonts.h"
#include "ui/base/GdiHandles.h"

namespace corvale {

// Every font is made for a window of scale `dpi`.

// The graph's stored font (face, size, weight, character set).
Font CreateDesignFont(const FontSpec& face, int dpi, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE,
                      BYTE quality = DEFAULT_QUALITY);

// "Arial" 11.25 pt bold, for the ping text.
Font CreatePingFont(int dpi);
// "Terminal" 6 pt bold in the OEM character set; where that face is missing, a small
// fixed-pitch bitmap-style font of the same size.
Font CreateSiteFont(int dpi);
// For a text `font` (made for `dpi`) has no glyphs for: a face of the same size and weight
// that covers far more scripts, with the system's font linking behind it for the rest.
Font CreateStandInFont(HFONT font, int dpi);

}  // namespace corvale
