#include "monitor/SiteTiles.h"

#include <string>

#include "monitor/Settings.h"
#include "monitor/SiteList.h"
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

}  // namespace

void BuildTiles(frmMain& form) {
    SiteChangeNotices.Restart();
    if (SiteLast < 0) return;
    SiteTooltips.clear();
    SiteTooltips.resize(static_cast<std::size_t>(SiteLast) + 1);
    for (int i = 0; i <= SiteLast; ++i) {
        ctlSiteStat& tile = form.LoadSiteStat(i);
        ImageBox& square = form.LoadPicSite(i);
        if (i >= 1) {
            // Left to right with a gap of 30, and top to bottom without gaps.
            square.Move(form.picSite(i - 1).Left() + square.Width() + kSquareGap, square.Top());
            tile.Move(kFirstTileLeft, TileTop(i), kTileWidthTwips, kTileHeightTwips);
        }
        tile.RefreshGraph();
        tile.SetVisible(true);
        tile.SetBackHue(NormalHue);
        tile.SetBackHueError(ErrorHue);
        square.SetVisible(MiniMode);
        CreateTileTooltip(tile.hWnd(), i);
        RefreshTile(form, i);
    }
}

void CreateTileTooltip(HWND window, int index) {
    if (!InTable(index)) return;
    if (SiteTooltips.size() <= static_cast<std::size_t>(index)) SiteTooltips.resize(static_cast<std::size_t>(index) + 1);
    auto& slot = SiteTooltips[static_cast<std::size_t>(index)];
    slot.reset();  // the old tip window goes before the new one is made
    auto tip = std::make_unique<CTooltip>();
    const SiteRecord& record = Sites[static_cast<std::size_t>(index)];
    tip->SetHwndParentControl(window);
    tip->SetText("Ping: " + std::to_string(record.PingMs) + " ms ");
    tip->SetStyle(1);
    tip->SetBackColor(kTipBackColour);
    tip->SetForeColor(kTipTextColour);
    tip->SetTitle(record.Url);
    tip->Create();  // a site without a tip until its next refresh is no failure to report
    slot = std::move(tip);
}

void RefreshTile(frmMain& form, int index) {
    if (!InTable(index) || index >= form.SiteStatCount()) return;
    ctlSiteStat& tile = form.SiteStat(index);
    const SiteRecord& record = Sites[static_cast<std::size_t>(index)];
    tile.SetSiteURL(record.Url);
    if (MiniMode && index < form.picSiteCount()) CreateTileTooltip(form.picSite(index).hWnd(), index);
    else CreateTileTooltip(tile.hWnd(), index);
    if (Sites[static_cast<std::size_t>(index)].NotResponding) tile.ApplyColorsError();
    else tile.ApplyColorsNormal();
}

}  // namespace corvale
