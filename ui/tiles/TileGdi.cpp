#include "ui/tiles/TileGdi.h"

#include <cmath>
#include <cstring>

#include "ui/widgets/Twips.h"

namespace corvale {

Font CreateDesignFont(const FontSpec& face, BYTE pitchAndFamily, BYTE quality) {
    LOGFONTA lf{};
    lf.lfHeight = FontHeightForPoints(face.points);
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
