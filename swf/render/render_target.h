#pragma once

#include <cstdint>

#include "swf/parse/matrix.h"
#include "swf/parse/types.h"

namespace swf {

enum class PixelFormat { kBgra32, kRgba32 };

// High quality anti-aliases edges; low quality draws only whole pixels, so
// that only exact fill colours appear.
enum class Quality { kLow, kHigh };

// A caller-owned picture of 32-bit pixels. `stride` is the byte distance
// between rows; a negative stride means the rows are stored bottom-up (as in
// Windows DIBs), `pixels` still pointing at the start of the memory block.
struct RenderTarget {
  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  PixelFormat format = PixelFormat::kBgra32;
};

// The transform that shows the whole stage inside a picture of the given
// size, keeping the aspect ratio and centring it ("show all"): twips of the
// stage rectangle to device pixels.
Matrix ShowAllTransform(const Rect& stage, int width, int height);

}  // namespace swf
