#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// A PNG file (8-bit RGBA, not interlaced) of `rgba`, which holds width *
// height pixels of 4 bytes, rows top to bottom. Written with zlib alone so
// that every build can produce pictures.
std::vector<uint8_t> EncodePngRgba(int width, int height, std::span<const uint8_t> rgba);

}  // namespace swf
