#pragma once
// Designs and artwork of the tiles, compiled into the program: the background picture
// as JPEG bytes, and the saved design values of the tile instances as PropertyBag texts.

#include <cstdint>
#include <span>
#include <string_view>

namespace corvale {

// The tile's 179 x 28 background picture (JPEG).
std::span<const uint8_t> TileBackgroundJpeg();

// The main window's template tile (every tile of the site column is loaded from it).
std::string_view TemplateTileDesign();
// The preferences dialog's two preview tiles.
std::string_view PreviewNormalTileDesign();
std::string_view PreviewErrorTileDesign();
// The response graph inside every tile.
std::string_view ResponseGraphDesign();

}  // namespace corvale
