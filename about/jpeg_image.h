#pragma once
// Decoding of the JPEG pictures the About window shows (its logo), with
// libjpeg, into rows of 24-bit pixels ready for a Windows DIB section.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/handles.h"

namespace about {

// A decoded picture: rows top-down, each pixel blue, green, red (the byte
// order of a 24-bit DIB), each row padded to a multiple of four bytes.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  int Stride() const { return (width * 3 + 3) & ~3; }
  COLORREF PixelAt(int x, int y) const;
};

// Decodes JPEG data; throws std::runtime_error naming libjpeg's complaint
// when the data is not a picture libjpeg can read.
DecodedImage DecodeJpeg(std::span<const std::uint8_t> jpegData);

// A top-down 24-bit DIB section holding the picture, for BitBlt.
ui::UniqueBitmap MakeDibSection(const DecodedImage& image);

}  // namespace about
