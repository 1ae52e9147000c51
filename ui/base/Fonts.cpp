#include "ui/base/Fonts.h"

#include "ui/base/ControlInput.h"
#include "ui/base/Dpi.h"

namespace corvale {

Font CreateFontForDpi(const FontDescription& description, int dpi) {
    LOGFONTA lf{};
    lf.lfHeight = FontHeightForPoints(description.points, dpi);
    lf.lfWeight = description.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = description.italic;
    lf.lfUnderline = description.underline;
    lf.lfStrikeOut = description.strikeout;
    lf.lfCharSet = description.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = description.quality;
    lf.lfPitchAndFamily = description.pitchAndFamily;
    lstrcpynA(lf.lfFaceName, description.face.c_str(), LF_FACESIZE);
    return Font(CreateFontIndirectA(&lf));
}

Font CreateTooltipFont(int dpi) {
    LOGFONTW lf{};
    return TooltipLogFontForDpi(dpi, lf) ? Font(CreateFontIndirectW(&lf)) : Font();
}

std::string ResolvedFace(HFONT font) {
    MemoryDC dc;
    if (!dc || !font) return {};
    SelectScope select(dc.Get(), font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.Get(), LF_FACESIZE, face);
    return face;
}

}  // namespace corvale
