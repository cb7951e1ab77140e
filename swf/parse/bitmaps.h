#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "swf/parse/bit_reader.h"

namespace swf {

// A decoded bitmap character: premultiplied RGBA, 4 bytes a pixel, rows top
// to bottom without padding (colour channels never exceed alpha).
struct BitmapReduction {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

struct Bitmap {
  uint16_t id = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  // The picture halved again and again (sides rounded up, 2 x 2 pixels
  // averaged) down to 1 x 1: drawn much smaller than its size, a bitmap is
  // sampled from the reduction nearest the scale instead of skipping pixels.
  std::vector<BitmapReduction> reductions;
};

using BitmapLibrary = std::unordered_map<uint16_t, Bitmap>;

// Ceilings: one bitmap's side and pixels, and all of a movie's bitmap pixels
// together, reductions included (they stay decoded in memory, and the program
// is 32-bit). A bitmap beyond them is refused with a ParseError, so its tag is
// skipped alone; reductions that no longer fit are left out.
inline constexpr int kMaxBitmapSide = 8192;
inline constexpr size_t kMaxBitmapPixels = size_t{16} << 20;
inline constexpr size_t kMaxMovieBitmapPixels = size_t{48} << 20;

// Tag bodies. `jpegTables` is the movie's JPEGTables body (may be empty).
// `pixelBudget` is what the movie may still decode; the bitmap's pixels are
// taken off it. Throw ParseError for damaged or oversized data.
Bitmap ParseDefineBits(BitReader& body, std::span<const uint8_t> jpegTables, size_t& pixelBudget);
Bitmap ParseDefineBitsJpeg(BitReader& body, int version, size_t& pixelBudget);  // JPEG2 (2), 3, 4
Bitmap ParseDefineBitsLossless(BitReader& body, int version, size_t& pixelBudget);  // Lossless (1), Lossless2 (2)

}  // namespace swf
