#include "ui/tiles/TileGdi.h"

#include <cmath>
#include <cstring>

#include "ui/widgets/Twips.h"

namespace corvale {

int16_t ButtonOfMessage(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
    }
}

int16_t ButtonsHeld(WPARAM keys) {
    return static_cast<int16_t>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                ((keys & MK_MBUTTON) ? 4 : 0));
}

int16_t ShiftState(WPARAM keys) {
    return static_cast<int16_t>(((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
                                (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

bool MouseKindOf(UINT message, MouseKind& kind) {
    switch (message) {
    // A double click's second press is still a press.
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        kind = MouseKind::Down;
        return true;
    case WM_MOUSEMOVE: kind = MouseKind::Move; return true;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: kind = MouseKind::Up; return true;
    default: return false;
    }
}

COLORREF ResolveColour(uint32_t colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return colour & 0x00FFFFFFu;
}

Font CreateDesignFont(const FontSpec& face, BYTE pitchAndFamily, BYTE quality) {
    LOGFONTA lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(face.points * ScreenDpi() / 72.0));
    lf.lfWeight = face.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = static_cast<BYTE>(face.charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    strncpy(lf.lfFaceName, face.name.c_str(), LF_FACESIZE - 1);
    return Font(CreateFontIndirectA(&lf));
}

std::string ResolvedFace(HFONT font) {
    MemoryDC dc;
    if (!dc || !font) return {};
    SelectScope select(dc.Get(), font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.Get(), LF_FACESIZE, face);
    return face;
}

Font CreatePingFont() { return CreateDesignFont({"Arial", 11.25, true, ANSI_CHARSET}); }

Font CreateSiteFont() {
    const BYTE fixed = FIXED_PITCH | FF_MODERN;
    Font terminal = CreateDesignFont({"Terminal", 6, true, OEM_CHARSET}, fixed);
    if (terminal && _stricmp(ResolvedFace(terminal.Get()).c_str(), "Terminal") == 0) return terminal;
    // Bitmap-style look without Terminal: a raster fixed-pitch face, else any fixed-pitch
    // face drawn without smoothing.
    for (const char* face : {"Courier", "Fixedsys", "Lucida Console", "Courier New"}) {
        Font candidate = CreateDesignFont({face, 6, true, ANSI_CHARSET}, fixed, NONANTIALIASED_QUALITY);
        if (candidate && _stricmp(ResolvedFace(candidate.Get()).c_str(), face) == 0) return candidate;
    }
    Font any = CreateDesignFont({"", 6, true, ANSI_CHARSET}, fixed, NONANTIALIASED_QUALITY);
    return any ? std::move(any) : std::move(terminal);
}

}  // namespace corvale
