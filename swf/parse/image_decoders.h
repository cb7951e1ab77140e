#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// An image decoded by one of the codec libraries: straight (not
// premultiplied) RGBA, rows top to bottom.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// Each throws ParseError when the data cannot be decoded, or when the image
// has a side beyond `maxSide` or more than `maxPixels` pixels (checked
// before the pixels are allocated).
DecodedImage DecodeJpeg(std::span<const uint8_t> jpeg, int maxSide, size_t maxPixels);
DecodedImage DecodePng(std::span<const uint8_t> png, int maxSide, size_t maxPixels);
DecodedImage DecodeGif(std::span<const uint8_t> gif, int maxSide, size_t maxPixels);  // first frame

// The format's JPEG quirks undone: a leading EOI + SOI pair dropped, and an
// EOI + SOI pair between the table segments and the image removed, so that
// "SOI tables EOI SOI image EOI" becomes one ordinary stream.
std::vector<uint8_t> NormalizeJpeg(std::span<const uint8_t> data);

}  // namespace swf
