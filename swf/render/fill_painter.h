#pragma once

#include <agg_color_rgba.h>

#include <memory>

#include "swf/parse/bitmaps.h"
#include "swf/parse/color_transform.h"
#include "swf/parse/shape.h"
#include "swf/render/gradient.h"

namespace swf {

// The colours one fill style gives the pixels of the device: a single colour
// for solid fills, a span per run of pixels for gradient and bitmap fills.
// Colours come out not premultiplied, the colour transform applied, as AGG's
// blenders take them. A fill that cannot be drawn (an undefined bitmap, a
// matrix that flattens everything) is a transparent solid.
class FillPainter {
 public:
  // `toDevice` maps the shape's twips to device pixels. Bitmaps are smoothed
  // as their fill says, at either quality (low quality only hardens edges).
  FillPainter(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& color,
              const BitmapLibrary* bitmaps);
  static FillPainter Solid(Rgba color);

  bool IsSolid() const { return kind_ == Kind::kSolid; }
  agg::rgba8 SolidColor() const { return solid_; }

  // Colours of the pixels (x .. x + length - 1, y), sampled at their centres.
  void Generate(agg::rgba8* span, int x, int y, unsigned length) const;

 private:
  FillPainter() = default;
  void GenerateGradient(agg::rgba8* span, int x, int y, unsigned length) const;
  void GenerateBitmap(agg::rgba8* span, int x, int y, unsigned length) const;
  bool GenerateInteriorBitmap(agg::rgba8* span, int x, double py, unsigned length, bool identity) const;
  agg::rgba8 Unpremultiplied(const unsigned* premultiplied, bool identity) const;

  enum class Kind { kSolid, kGradient, kBitmap } kind_ = Kind::kSolid;
  agg::rgba8 solid_{0, 0, 0, 0};
  Matrix fromDevice_;  // device pixels to gradient square / bitmap pixels
  const GradientFill* gradient_ = nullptr;
  std::shared_ptr<const GradientRamp> ramp_;
  const uint8_t* bitmapPixels_ = nullptr;  // the bitmap or the reduction chosen for the scale
  int bitmapWidth_ = 0;
  int bitmapHeight_ = 0;
  bool repeat_ = false;
  bool smooth_ = false;
  ColorTransform color_;
};

}  // namespace swf
