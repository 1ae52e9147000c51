#pragma once
// The sites on the main window: one tile, one status square and one balloon tooltip per
// site of the table, made and placed for the table, and each showing what its site's record
// holds. The view reads the program object and changes nothing in it.

#include <windows.h>

#include <memory>
#include <vector>

#include "monitor/ProgramModel.h"
#include "ui/main/frmMain.h"
#include "ui/widgets/CTooltip.h"

namespace corvale {

class SiteTiles {
public:
    SiteTiles(frmMain& form, const ProgramModel& model) : form_(form), model_(model) {}

    // Makes the tiles and squares the table needs, places them and shows on each what its
    // site's record holds. Tiles of a longer earlier list stay below the window; their
    // squares are hidden and their tooltips released. Every tile takes the hues in effect.
    void BuildTiles();
    // Pushes site `index`'s record into its tile and square (text, graph, colours) and renews
    // its tooltip on whichever of the two is on show. Indexes outside the table are ignored.
    void RefreshTile(int index);
    // The site's check began: its tile says so, and keeps the colours of its last result.
    void ShowChecking(int index);
    // Site `index`'s tooltip, on `window`, renewed in place.
    void CreateTileTooltip(HWND window, int index);
    // The tips go (the last step of the shut-down).
    void ReleaseTooltips() { SiteTooltips.clear(); }

    // One per site index 0..SiteLast, made with the tiles; an entry may be empty.
    std::vector<std::unique_ptr<CTooltip>> SiteTooltips;

private:
    bool InTable(int index) const { return index >= 0 && index <= model_.SiteLast(); }

    frmMain& form_;
    const ProgramModel& model_;
};

}  // namespace corvale
