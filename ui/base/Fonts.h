#pragma once
// The one font factory of the program: every font of every window is made here, sized in
// points at the scale of the window it is for.

#include <windows.h>

#include <string>

#include "ui/base/GdiHandles.h"

namespace corvale {

struct FontDescription {
    std::string face;
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    BYTE charset = DEFAULT_CHARSET;
    BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    BYTE quality = DEFAULT_QUALITY;
};

// Empty when the platform makes no font.
Font CreateFontForDpi(const FontDescription& description, int dpi);
// The system's font of tooltips at `dpi`; empty when the system does not tell it.
Font CreateTooltipFont(int dpi);

// The face a font really resolved to on this system.
std::string ResolvedFace(HFONT font);

}  // namespace corvale
