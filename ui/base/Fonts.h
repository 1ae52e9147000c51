#pragma once
// The one font factory of the program: every font of every window is made here, sized in
// points at the screen's resolution.

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
Font CreateScreenFont(const FontDescription& description);

// The face a font really resolved to on this system.
std::string ResolvedFace(HFONT font);

}  // namespace corvale
