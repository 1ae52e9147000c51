#pragma once
// The sites on the main window: one tile, one status square and one balloon tooltip per
// site of the table, made and placed for the table, and each kept in step with its record.

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/main/frmMain.h"
#include "ui/widgets/CTooltip.h"

namespace corvale {

// One per site index 0..SiteLast, made afresh with the tiles; an entry may be empty.
extern std::vector<std::unique_ptr<CTooltip>> SiteTooltips;

// Makes the tiles and squares the table needs, places them and shows on each what its
// site's record holds (text, graph, square colour, tile colours, tooltip). Tiles of a longer
// earlier list stay below the window; their squares are hidden and their tooltips released.
// Every site starts afresh for the change notices.
void BuildTiles(frmMain& form);
// Pushes site `index`'s record into its tile and renews its tooltip on whichever of tile
// and square is on show. Indexes outside the table are ignored.
void RefreshTile(frmMain& form, int index);
// Site `index`'s tooltip, on `window`, replacing the one it had.
void CreateTileTooltip(HWND window, int index);

}  // namespace corvale
