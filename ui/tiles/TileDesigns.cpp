#include "ui/tiles/TileDesigns.h"

#include <cstddef>

namespace corvale {
namespace tile_data {
extern const uint8_t kBackgroundBmp[];
extern const std::size_t kBackgroundBmpSize;
extern const uint8_t kLargeBackgroundBmp[];
extern const std::size_t kLargeBackgroundBmpSize;
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

uint32_t Le(std::span<const uint8_t> bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}
}  // namespace

PixelView BitmapFilePixels(std::span<const uint8_t> file) {
    // The 14-byte file header, then an information header of at least 40 bytes.
    constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;
    if (file.size() < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M') return {};
    const uint32_t offset = Le(file, 10, 4), infoSize = Le(file, 14, 4);
    const auto width = static_cast<int32_t>(Le(file, 18, 4)), height = static_cast<int32_t>(Le(file, 22, 4));
    const uint32_t bitCount = Le(file, 28, 2), compression = Le(file, 30, 4);
    if (infoSize < kInfoHeader || bitCount != 24 || compression != 0 || width <= 0 || height <= 0 ||
        width > 65535 || height > 65535)
        return {};
    const int32_t stride = BytesPerScanLine(width);
    const uint64_t end = uint64_t{offset} + static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    if (offset < kFileHeader + infoSize || end > file.size()) return {};
    return {file.data() + offset, width, height, stride};
}

PixelView TileBackgroundPixels() {
    return BitmapFilePixels({tile_data::kBackgroundBmp, tile_data::kBackgroundBmpSize});
}
PixelView LargeTileBackgroundPixels() {
    return BitmapFilePixels({tile_data::kLargeBackgroundBmp, tile_data::kLargeBackgroundBmpSize});
}
std::string_view TemplateTileDesign() { return Text(tile_data::kTemplateTile, tile_data::kTemplateTileSize); }
std::string_view PreviewNormalTileDesign() { return Text(tile_data::kPreviewNormal, tile_data::kPreviewNormalSize); }
std::string_view PreviewErrorTileDesign() { return Text(tile_data::kPreviewError, tile_data::kPreviewErrorSize); }
std::string_view ResponseGraphDesign() { return Text(tile_data::kResponseGraph, tile_data::kResponseGraphSize); }

}  // namespace corvale
