#pragma once
// Writes 8-bit RGB pictures as PNG files (stored, uncompressed deflate blocks), so that
// screenshot tests can leave something a person can open.

#include <cstdint>
#include <string>
#include <vector>

namespace corvale::test {

// rgb holds width * height pixels, three bytes each, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace corvale::test
