#pragma once
// Designs and artwork of the tiles, compiled into the program: the background picture
// as a 24-bit bitmap file, and the saved design values of the tile instances as PropertyBag
// texts.

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/tiles/cColourise.h"

namespace corvale {

// The tile's 179 x 28 background picture, read where it lies in the program's image: every
// tile colours from these same bytes, and no picture codec is needed to get at them.
PixelView TileBackgroundPixels();
// The same picture drawn for 192 dots per inch, 358 x 56.
PixelView LargeTileBackgroundPixels();

// The pixels of a bitmap file (BMP) of 24 bits per pixel, uncompressed, rows stored bottom
// first, as a view into `file`; an empty view for anything else or a file cut short.
PixelView BitmapFilePixels(std::span<const uint8_t> file);

// The main window's template tile (every tile of the site column is loaded from it).
std::string_view TemplateTileDesign();
// The preferences dialog's two preview tiles.
std::string_view PreviewNormalTileDesign();
std::string_view PreviewErrorTileDesign();
// The response graph inside every tile.
std::string_view ResponseGraphDesign();

}  // namespace corvale
