#include "ui/tiles/TileFonts.h"

#include <cstdlib>
#include <cstring>

namespace corvale {

Font CreateDesignFont(const FontSpec& face, int dpi, BYTE pitchAndFamily, BYTE quality) {
    FontDescription description;
    description.face = face.name;
    description.points = face.points;
    description.bold = face.bold;
    description.charset = static_cast<BYTE>(face.charset);
    description.pitchAndFamily = pitchAndFamily;
    description.quality = quality;
    return CreateFontForDpi(description, dpi);
}

Font CreatePingFont(int dpi) { return CreateDesignFont({"Arial", 11.25, true, ANSI_CHARSET}, dpi); }

Font CreateStandInFont(HFONT font, int dpi) {
    LOGFONTA like{};
    if (!font || !GetObjectA(font, sizeof like, &like)) return {};
    FontDescription description;
    description.face = "MS Shell Dlg 2";
    description.points = std::abs(like.lfHeight) * 72.0 / dpi;
    description.bold = like.lfWeight >= FW_BOLD;
    description.charset = DEFAULT_CHARSET;
    return CreateFontForDpi(description, dpi);
}

Font CreateSiteFont(int dpi) {
    const BYTE fixed = FIXED_PITCH | FF_MODERN;
    Font terminal = CreateDesignFont({"Terminal", 6, true, OEM_CHARSET}, dpi, fixed);
    if (terminal && _stricmp(ResolvedFace(terminal.Get()).c_str(), "Terminal") == 0) return terminal;
    // Bitmap-style look without Terminal: a raster fixed-pitch face, else any fixed-pitch
    // face drawn without smoothing.
    for (const char* face : {"Courier", "Fixedsys", "Lucida Console", "Courier New"}) {
        Font candidate = CreateDesignFont({face, 6, true, ANSI_CHARSET}, dpi, fixed, NONANTIALIASED_QUALITY);
        if (candidate && _stricmp(ResolvedFace(candidate.Get()).c_str(), face) == 0) return candidate;
    }
    Font any = CreateDesignFont({"", 6, true, ANSI_CHARSET}, dpi, fixed, NONANTIALIASED_QUALITY);
    return any ? std::move(any) : std::move(terminal);
}

}  // namespace corvale
