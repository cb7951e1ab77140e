#pragma once

#include <agg_rendering_buffer.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// An offscreen picture as large as the target, starting fully transparent.
// Drawn into with the target's own pixel format, it ends up premultiplied
// (AGG's blenders interpolate colour and alpha alike from transparent black).
class Layer {
 public:
  Layer(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint8_t* Pixels() { return pixels_.data(); }
  int Stride() const { return width_ * 4; }
  const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * Stride(); }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> pixels_;
};

// Bytes one layer of this size takes (64-bit: a large target's layers need
// not fit a 32-bit size_t, and are refused before anything is allocated).
inline uint64_t LayerBytes(int width, int height) {
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
}

// Composites `content` over `target`, each pixel weighted by the coverage of
// `mask` (its alpha). 32-bit pixels with alpha as the fourth byte; the order
// of the colour bytes is the same in all three.
void CompositeMasked(const Layer& content, const Layer& mask, agg::rendering_buffer& target);

}  // namespace swf
