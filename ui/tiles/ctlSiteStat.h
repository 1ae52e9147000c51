#pragma once
// The site tile: a child window showing one site's address, last check text and response
// graph over a background picture recoloured to the colour pair in force.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/tiles/SiteStatModel.h"
#include "ui/tiles/TileFonts.h"
#include "ui/tiles/cDIBSection.h"
#include "ui/tiles/cltGraph.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/PropertyBag.h"
#include "ui/base/Window.h"

namespace corvale {

// Geometry of the tile and its children, in twips.
inline constexpr float kTileWidthTwips = 2685;
inline constexpr float kTileHeightTwips = 405;         // the main window's tiles
inline constexpr float kPreviewTileHeightTwips = 435;  // the preferences dialog's previews
inline constexpr float kPingLabelLeft = 60, kPingLabelTop = 30;
inline constexpr float kSiteLabelLeft = 90, kSiteLabelTop = 270;
inline constexpr float kGraphLeft = 2040, kGraphTop = 60;

class ctlSiteStat : public Window {
public:
    // A tile showing its picture uncoloured, with empty labels and default properties.
    ctlSiteStat(HWND parent, float leftTwips, float topTwips, float heightTwips = kTileHeightTwips);
    ctlSiteStat(const ctlSiteStat&) = delete;
    ctlSiteStat& operator=(const ctlSiteStat&) = delete;
    ~ctlSiteStat() override;

    // Places the tile in twips of its parent.
    void Move(float leftTwips, float topTwips, float widthTwips, float heightTwips);
    // Lays the tile out again at its window's scale, which has changed: place, fonts,
    // picture and graph.
    void Rescale();
    void SetVisible(bool visible);

    // Texts are UTF-8 and shown as typed, whatever the system's ANSI code page.
    const std::string& SiteURL() const { return properties_.siteUrl; }
    void SetSiteURL(std::string_view address);
    const std::string& PingValue() const { return properties_.pingValue; }
    void SetPingValue(std::string_view text);
    int32_t BackHue() const { return properties_.normal.hue; }
    void SetBackHue(int32_t value);
    int32_t BackSaturation() const { return properties_.normal.saturation; }
    void SetBackSaturation(int32_t value);
    int32_t BackHueError() const { return properties_.error.hue; }
    void SetBackHueError(int32_t value);
    int32_t BackSaturationError() const { return properties_.error.saturation; }
    void SetBackSaturationError(int32_t value);
    int32_t BackHueSelect() const { return properties_.select.hue; }
    void SetBackHueSelect(int32_t value);
    int32_t BackSaturationSelect() const { return properties_.select.saturation; }
    void SetBackSaturationSelect(int32_t value);
    bool DefaultControl() const { return properties_.defaultControl; }
    void SetDefaultControl(bool value);
    bool Selected() const { return properties_.selected; }
    void SetSelected(bool value);

    // Colour applications. Each returns Ok, or the error that stopped it; after an error
    // the tile still shows its previous picture.
    ColourStatus ApplyColorsError();
    ColourStatus ApplyColorsNormal();
    ColourStatus ApplyColorsSelect();
    ColourStatus ApplyColorsUnselect();

    // A check's round-trip time in ms (0: no answer) into the graph.
    void SetPingNumeric(int32_t newVal);
    // The graph's whole history at once, newest first.
    void SetPingHistory(const ResponseHistory& history);
    void RefreshGraph();

    // Loads the ten design values (applying the normal pair on the way, the labels stay
    // empty); returns the status of that application.
    ColourStatus ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    cltGraph& Graph() { return *graph_; }
    ColourPair CurrentPair() const { return colouring_.Current(); }
    ColourPair PreviousPair() const { return colouring_.Previous(); }
    // The persistent surface the picture is painted on (labels and graph are not on it).
    HDC SurfaceDC() const { return surfaceDc_.Get(); }
    const std::string& SiteLabelText() const { return siteLabel_.text; }
    const std::string& PingLabelText() const { return pingLabel_.text; }
    // The font the address is drawn in: the design font, or a stand-in with the glyphs the
    // address needs where the design font lacks them.
    HFONT SiteLabelFont() const { return siteLabel_.Drawn(); }
    // Bounds of the labels in twips of the tile.
    TwipsRect SiteLabelBounds() const { return Bounds(siteLabel_); }
    TwipsRect PingLabelBounds() const { return Bounds(pingLabel_); }

    // Mouse events of the tile and its children, in twips of the tile.
    MouseHandler MouseDown;
    MouseHandler MouseMove;
    MouseHandler MouseUp;
    // Told the name of every property a setter changes, so the container saves it.
    std::function<void(std::string_view property)> PropertyChanged;

private:
    // A windowless label: drawn by the tile, sized to its text.
    struct Label {
        std::string text;
        std::wstring shown;  // the text as the system's wide-character calls take it
        float left = 0, top = 0;
        int widthPx = 0, heightPx = 0;
        COLORREF colour = 0;
        Font font;
        Font standIn;  // made the first time the font lacks a glyph of the text
        bool useStandIn = false;
        // Measures the texts. The font stays selected in it between texts: a font selection
        // is among the dearest calls a text change would make.
        MemoryDC measure;
        HFONT inMeasure = nullptr;
        HFONT Drawn() const { return useStandIn ? standIn.Get() : font.Get(); }
    };

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    bool OnMouse(const MouseEvent& event) override;
    // Its twips are laid out at the scale it was last made or rescaled for.
    int MouseDpi() const override { return dpi_; }
    ColourStatus ApplyColorPair(ColourPair pair);
    ColourStatus ApplyRequest(ColourRequest request);
    void LoadArtwork();
    void PrepareDestination();
    // The picture onto the surface as it is shown: in the pair shown, or uncoloured.
    void ShowArtwork();
    void SetLabelText(Label& label, std::string text);
    void SetLabelFont(Label& label, Font font);
    void ResizeSurface(int width, int height);
    void Changed(std::string_view property);
    TwipsRect Bounds(const Label& label) const;

    // The place in twips of the parent, and the scale the tile is laid out at.
    TwipsRect box_;
    int dpi_;
    SiteStatProperties properties_;
    SiteStatColouring colouring_;
    // The picture every colour application starts from: the program's own, shared by every
    // tile, or this tile's copy scaled for a scale it is not drawn for.
    PixelView artwork_;
    cDIBSection scaledArtwork_;
    cDIBSection destination_;
    // The pair whose picture the surface shows; none while it shows the picture uncoloured.
    std::optional<ColourPair> shownPair_;
    MemoryDC surfaceDc_;
    Bitmap surface_;
    HGDIOBJ surfacePrevious_ = nullptr;
    SIZE surfaceSize_{0, 0};
    Label pingLabel_;
    Label siteLabel_;
    std::unique_ptr<cltGraph> graph_;
};

}  // namespace corvale
