#include "monitor/SiteTiles.h"

#include <string>

#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"
#include "monitor/basProcessing.h"
#include "ui/main/MainLayout.h"

namespace corvale {

std::vector<std::unique_ptr<CTooltip>> SiteTooltips;

namespace {

constexpr uint32_t kTipBackColour = 0xFF8080;  // light blue, 0x00BBGGRR
constexpr uint32_t kTipTextColour = 0xFFFFFF;

bool InTable(int index) {
    return index >= 0 && index <= SiteLast && static_cast<std::size_t>(index) < Sites.size();
}

// Everything the site's record holds goes onto its tile and square, so what a tile showed
// for an earlier site at this index is gone.
void ShowSite(ctlSiteStat& tile, ImageBox& square, const SiteRecord& record) {
    tile.SetSiteURL(record.Url);
    tile.SetPingValue(record.PingText);
    tile.SetPingHistory(record.History);
    square.SetBackColor(SquareColourFor(record));
}

}  // namespace

void BuildTiles(frmMain& form) {
    SiteChangeNotices.Restart();
    // The tips of sites that are gone go with them.
    SiteTooltips.clear();
    SiteTooltips.resize(static_cast<std::size_t>(SiteLast + 1));
    for (int i = 0; i <= SiteLast; ++i) {
        ctlSiteStat& tile = form.LoadSiteStat(i);
        ImageBox& square = form.LoadPicSite(i);
        if (i >= 1) {
            // Left to right with a gap of 30, and top to bottom without gaps.
            square.Move(form.picSite(i - 1).Left() + square.Width() + kSquareGap, square.Top());
            tile.Move(kFirstTileLeft, TileTop(i), kTileWidthTwips, kTileHeightTwips);
        }
        tile.SetVisible(true);
        tile.SetBackHue(NormalHue);
        tile.SetBackHueError(ErrorHue);
        ShowSite(tile, square, Sites[static_cast<std::size_t>(i)]);
        square.SetVisible(MiniMode);
        RefreshTile(form, i);
    }
    // Squares of a longer earlier list would stay on the caption strip in mini mode.
    for (int i = SiteLast + 1; i < form.picSiteCount(); ++i) form.picSite(i).SetVisible(false);
}

void CreateTileTooltip(HWND window, int index) {
    if (!InTable(index)) return;
    if (SiteTooltips.size() <= static_cast<std::size_t>(index)) SiteTooltips.resize(static_cast<std::size_t>(index) + 1);
    auto& slot = SiteTooltips[static_cast<std::size_t>(index)];
    // The tip of the site is renewed in place: the user sees the same tip with the new text.
    if (!slot) slot = std::make_unique<CTooltip>();
    CTooltip* tip = slot.get();
    const SiteRecord& record = Sites[static_cast<std::size_t>(index)];
    tip->SetHwndParentControl(window);
    tip->SetText(TooltipText(record));
    tip->SetStyle(1);
    tip->SetBackColor(kTipBackColour);
    tip->SetForeColor(kTipTextColour);
    tip->SetTitle(TooltipTitle(record.Url));
    // Twenty sites, twenty tips: each gets its window when the pointer first comes to it.
    tip->SetMadeOnFirstHover(true);
    tip->Update();  // a site without a tip until its next refresh is no failure to report
}

void RefreshTile(frmMain& form, int index) {
    if (!InTable(index) || index >= form.SiteStatCount()) return;
    ctlSiteStat& tile = form.SiteStat(index);
    const SiteRecord& record = Sites[static_cast<std::size_t>(index)];
    tile.SetSiteURL(record.Url);
    if (MiniMode && index < form.picSiteCount()) CreateTileTooltip(form.picSite(index).hWnd(), index);
    else CreateTileTooltip(tile.hWnd(), index);
    // The colours of the last result, also while the site is being checked again.
    if (record.NotResponding) tile.ApplyColorsError();
    else tile.ApplyColorsNormal();
}

}  // namespace corvale
