#pragma once

#include <agg_rendering_buffer.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"

namespace swf {

// A rectangle of whole pixels: where a layer sits in the picture below it.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  bool operator==(const PixelRect&) const = default;
};

PixelRect Intersect(const PixelRect& a, const PixelRect& b);

// An offscreen picture covering `Rect()` of the picture it is drawn onto,
// starting fully transparent.
// Drawn into with the target's own pixel format, it ends up premultiplied
// (AGG's blenders interpolate colour and alpha alike from transparent black).
//
// A layer that holds a mask is read differently: each of a pixel's four
// bytes stands for one of its sample points, 255 inside the mask and 0
// outside (which byte is which sample does not matter). Drawn in opaque
// white with hard edges, all four bytes of a pixel agree.
class Layer {
 public:
  explicit Layer(const PixelRect& rect);
  Layer(int width, int height) : Layer(PixelRect{0, 0, width, height}) {}
  const PixelRect& Rect() const { return rect_; }
  int Width() const { return rect_.width; }
  int Height() const { return rect_.height; }
  uint8_t* Pixels() { return pixels_.data(); }
  const uint8_t* Pixels() const { return pixels_.data(); }
  int Stride() const { return rect_.width * 4; }
  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * Stride(); }
  const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * Stride(); }
  // Moves the layer to another place in the picture below (its pixels stay).
  void MoveTo(int x, int y) {
    rect_.x = x;
    rect_.y = y;
  }

 private:
  PixelRect rect_;
  std::vector<uint8_t> pixels_;
};

// Bytes one layer of this size takes (64-bit: a large target's layers need
// not fit a 32-bit size_t, and are refused before anything is allocated).
inline uint64_t LayerBytes(int width, int height) {
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
}

// Where a high-quality mask looks at a pixel: four points, in pixels from
// its top-left corner. A mask's edge thus covers a pixel by quarters.
inline constexpr Point kMaskSamplePoints[4] = {{0.375, 0.125}, {0.875, 0.375}, {0.125, 0.625}, {0.625, 0.875}};

// Marks in a mask layer's pixels (4 bytes a pixel) the sample points that
// the fills of `layer`, mapped by `toDevice`, cover by the shape's fill
// rule: byte s of a pixel becomes 255 when kMaskSamplePoints[s] lies inside.
// Vertices go on AliasedRasterizer's grid, and it decides the ties. `shift`
// places the mask layer on the device (as FlattenPath has it).
void MarkMaskSamples(const ShapeLayer& layer, bool nonZero, const Matrix& toDevice, agg::rendering_buffer& mask,
                     Point shift = {});

// Composites `content` over `target` through `mask` (both covering the same
// rectangle of `target`, which clips them): in each pixel, the
// mask's covered samples show the content over the target, the others the
// target alone, and the pixel is their mean, truncated. 32-bit pixels with
// alpha as the fourth byte; the order of the colour bytes is the same in
// content and target.
void CompositeMasked(const Layer& content, const Layer& mask, agg::rendering_buffer& target);

}  // namespace swf
