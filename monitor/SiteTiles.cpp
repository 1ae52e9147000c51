#include "monitor/SiteTiles.h"

#include <string>

#include "monitor/UserTexts.h"
#include "monitor/basProcessing.h"
#include "ui/main/MainLayout.h"

namespace corvale {
namespace {

constexpr uint32_t kTipBackColour = 0xFF8080;  // light blue, 0x00BBGGRR
constexpr uint32_t kTipTextColour = 0xFFFFFF;

// The graph's ten bars from the site's history, newest first.
ResponseHistory GraphValues(const SiteHistory& history) {
    ResponseHistory values;
    for (const TimedResult& result : history.Last(kGraphBarCount)) values.Add(result.roundTripMs);
    return values;
}

}  // namespace

void SiteTiles::BuildTiles() {
    const ProgramSettings& settings = model_.Settings();
    const int last = model_.SiteLast();
    // The tips of sites that are gone go with them.
    SiteTooltips.clear();
    SiteTooltips.resize(static_cast<std::size_t>(last + 1));
    for (int i = 0; i <= last; ++i) {
        ctlSiteStat& tile = form_.LoadSiteStat(i);
        ImageBox& square = form_.LoadPicSite(i);
        if (i >= 1) {
            // Left to right with a gap of 30, and top to bottom without gaps.
            square.Move(form_.picSite(i - 1).Left() + square.Width() + kSquareGap, square.Top());
            tile.Move(kFirstTileLeft, TileTop(i), kTileWidthTwips, kTileHeightTwips);
        }
        tile.SetVisible(true);
        square.SetVisible(settings.MiniMode);
    }
    // Every tile takes the hues, also those left below the window from a longer list.
    for (int i = 0; i < form_.SiteStatCount(); ++i) {
        form_.SiteStat(i).SetBackHue(settings.NormalHue);
        form_.SiteStat(i).SetBackHueError(settings.ErrorHue);
    }
    for (int i = 0; i <= last; ++i) RefreshTile(i);
    // Squares of a longer earlier list would stay on the caption strip in mini mode.
    for (int i = last + 1; i < form_.picSiteCount(); ++i) form_.picSite(i).SetVisible(false);
}

void SiteTiles::CreateTileTooltip(HWND window, int index) {
    if (!InTable(index)) return;
    if (SiteTooltips.size() <= static_cast<std::size_t>(index)) SiteTooltips.resize(static_cast<std::size_t>(index) + 1);
    auto& slot = SiteTooltips[static_cast<std::size_t>(index)];
    // The tip of the site is renewed in place: the user sees the same tip with the new text.
    if (!slot) slot = std::make_unique<CTooltip>();
    CTooltip* tip = slot.get();
    const SiteRecord& record = model_.Sites()[static_cast<std::size_t>(index)];
    tip->SetHwndParentControl(window);
    tip->SetText(TooltipText(record));
    tip->SetStyle(1);
    tip->SetBackColor(kTipBackColour);
    tip->SetForeColor(kTipTextColour);
    tip->SetTitle(SiteTitle(record));
    // Twenty sites, twenty tips: each gets its window when the pointer first comes to it.
    tip->SetMadeOnFirstHover(true);
    tip->Update();  // a site without a tip until its next refresh is no failure to report
}

void SiteTiles::RefreshTile(int index) {
    if (!InTable(index) || index >= form_.SiteStatCount()) return;
    ctlSiteStat& tile = form_.SiteStat(index);
    const SiteRecord& record = model_.Sites()[static_cast<std::size_t>(index)];
    // Everything the record holds goes onto the tile and square, so what they showed for an
    // earlier site at this index is gone.
    tile.SetSiteURL(ShownName(record));
    tile.SetPingValue(record.PingText);
    tile.SetPingHistory(GraphValues(record.History));
    const bool onSquare = model_.Settings().MiniMode && index < form_.picSiteCount();
    if (index < form_.picSiteCount()) form_.picSite(index).SetBackColor(SquareColourFor(record));
    CreateTileTooltip(onSquare ? form_.picSite(index).hWnd() : tile.hWnd(), index);
    // The colours of the last result, also while the site is being checked again.
    if (record.NotResponding) tile.ApplyColorsError();
    else tile.ApplyColorsNormal();
}

void SiteTiles::ShowChecking(int index) {
    if (InTable(index) && index < form_.SiteStatCount()) form_.SiteStat(index).SetPingValue(kPingingText);
}

}  // namespace corvale
