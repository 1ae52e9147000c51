#include "ui/tiles/TileDesigns.h"

#include <cstddef>

namespace corvale {
namespace tile_data {
extern const uint8_t kBackgroundJpeg[];
extern const std::size_t kBackgroundJpegSize;
extern const uint8_t kTemplateTile[];
extern const std::size_t kTemplateTileSize;
extern const uint8_t kPreviewNormal[];
extern const std::size_t kPreviewNormalSize;
extern const uint8_t kPreviewError[];
extern const std::size_t kPreviewErrorSize;
extern const uint8_t kResponseGraph[];
extern const std::size_t kResponseGraphSize;
}  // namespace tile_data

namespace {
std::string_view Text(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}
}  // namespace

std::span<const uint8_t> TileBackgroundJpeg() {
    return {tile_data::kBackgroundJpeg, tile_data::kBackgroundJpegSize};
}
std::string_view TemplateTileDesign() { return Text(tile_data::kTemplateTile, tile_data::kTemplateTileSize); }
std::string_view PreviewNormalTileDesign() { return Text(tile_data::kPreviewNormal, tile_data::kPreviewNormalSize); }
std::string_view PreviewErrorTileDesign() { return Text(tile_data::kPreviewError, tile_data::kPreviewErrorSize); }
std::string_view ResponseGraphDesign() { return Text(tile_data::kResponseGraph, tile_data::kResponseGraphSize); }

}  // namespace corvale
