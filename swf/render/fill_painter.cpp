#include "swf/render/fill_painter.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace swf {
namespace {

agg::rgba8 ToAgg(Rgba c) { return agg::rgba8(c.r, c.g, c.b, c.a); }

// Bitmap coordinates far outside the picture are brought near it first, so
// that the int conversions below cannot overflow.
constexpr double kMaxBitmapCoordinate = 1 << 24;

int WrapOrClamp(int v, int size, bool repeat) {
  if (!repeat) return std::clamp(v, 0, size - 1);
  const int m = v % size;
  return m < 0 ? m + size : m;
}

}  // namespace

FillPainter FillPainter::Solid(Rgba color) {
  FillPainter painter;
  painter.solid_ = ToAgg(color);
  return painter;
}

FillPainter::FillPainter(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& color,
                         const BitmapLibrary* bitmaps)
    : color_(color) {
  if (const auto* solid = std::get_if<SolidFill>(&fill)) {
    solid_ = ToAgg(color.Apply(solid->color));
    return;
  }
  if (const auto* gradient = std::get_if<GradientFill>(&fill)) {
    const auto inverse = Matrix::Compose(gradient->matrix, toDevice).Inverse();
    if (!inverse || gradient->stops.empty()) return;
    kind_ = Kind::kGradient;
    fromDevice_ = *inverse;
    gradient_ = gradient;
    ramp_ = std::make_shared<GradientRamp>(BuildGradientRamp(*gradient, color));
    return;
  }
  const auto& bitmapFill = std::get<BitmapFill>(fill);
  if (bitmaps == nullptr) return;
  const auto found = bitmaps->find(bitmapFill.bitmapId);
  if (found == bitmaps->end() || found->second.pixels.empty()) return;
  const auto inverse = Matrix::Compose(bitmapFill.matrix, toDevice).Inverse();
  if (!inverse) return;
  kind_ = Kind::kBitmap;
  fromDevice_ = *inverse;
  const Bitmap& bitmap = found->second;
  bitmapPixels_ = bitmap.pixels.data();
  bitmapWidth_ = bitmap.width;
  bitmapHeight_ = bitmap.height;
  repeat_ = bitmapFill.repeat;
  smooth_ = bitmapFill.smooth;
  // Bitmap pixels a device pixel spans: from two on, a reduction stands in
  // for the bitmap, and its pixels blend.
  const double span = std::sqrt(std::fabs(fromDevice_.Determinant()));
  size_t level = 0;
  while (level < bitmap.reductions.size() && span >= std::ldexp(2.0, static_cast<int>(level))) ++level;
  if (level > 0) {
    const BitmapReduction& reduced = bitmap.reductions[level - 1];
    fromDevice_ = Matrix::Compose(fromDevice_, Matrix::Scale(static_cast<double>(reduced.width) / bitmap.width,
                                                             static_cast<double>(reduced.height) / bitmap.height));
    bitmapPixels_ = reduced.pixels.data();
    bitmapWidth_ = reduced.width;
    bitmapHeight_ = reduced.height;
    smooth_ = true;
  }
}

void FillPainter::Generate(agg::rgba8* span, int x, int y, unsigned length) const {
  switch (kind_) {
    case Kind::kSolid:
      std::fill(span, span + length, solid_);
      return;
    case Kind::kGradient:
      GenerateGradient(span, x, y, length);
      return;
    case Kind::kBitmap:
      GenerateBitmap(span, x, y, length);
      return;
  }
}

void FillPainter::GenerateGradient(agg::rgba8* span, int x, int y, unsigned length) const {
  const GradientRamp& ramp = *ramp_;
  Point q = fromDevice_.Apply({x + 0.5, y + 0.5});
  for (unsigned i = 0; i < length; ++i) {
    const double position = SpreadGradientPosition(GradientPosition(*gradient_, q), gradient_->spreadMode);
    span[i] = ToAgg(SampleGradientRamp(ramp, position));
    q.x += fromDevice_.a;
    q.y += fromDevice_.b;
  }
}

void FillPainter::GenerateBitmap(agg::rgba8* span, int x, int y, unsigned length) const {
  // Every pixel of every bitmap fill passes through here, so the loop avoids
  // library calls: floors are taken by truncation, and opaque samples (all
  // of a JPEG) skip the divisions that take premultiplication off, which
  // give the value back unchanged at alpha 255.
  const int w = bitmapWidth_;
  const int h = bitmapHeight_;
  const uint8_t* pixels = bitmapPixels_;
  const bool repeat = repeat_;
  auto at = [&](int px, int py) {
    return pixels + (static_cast<size_t>(WrapOrClamp(py, h, repeat)) * w + WrapOrClamp(px, w, repeat)) * 4;
  };
  // floor() for the clamped coordinates below (well inside an int).
  auto floorToInt = [](double v) {
    const int truncated = static_cast<int>(v);
    return truncated > v ? truncated - 1 : truncated;
  };
  const bool identity = color_.IsIdentity();
  const double py = y + 0.5;
  if (smooth_ && length > 0 && GenerateInteriorBitmap(span, x, py, length, identity)) return;
  for (unsigned i = 0; i < length; ++i) {
    Point p = fromDevice_.Apply({x + i + 0.5, py});
    p.x = std::isfinite(p.x) ? std::clamp(p.x, -kMaxBitmapCoordinate, kMaxBitmapCoordinate) : 0;
    p.y = std::isfinite(p.y) ? std::clamp(p.y, -kMaxBitmapCoordinate, kMaxBitmapCoordinate) : 0;
    unsigned premultiplied[4];
    if (smooth_) {
      // Bilinear on premultiplied values, so that transparent neighbours
      // do not darken the edges.
      const double u = p.x - 0.5;
      const double v = p.y - 0.5;
      const int x0 = floorToInt(u);
      const int y0 = floorToInt(v);
      const unsigned fx = static_cast<unsigned>((u - x0) * 256);
      const unsigned fy = static_cast<unsigned>((v - y0) * 256);
      // Columns and rows wrapped or clamped once each, not once per neighbour.
      const size_t left = static_cast<size_t>(WrapOrClamp(x0, w, repeat)) * 4;
      const size_t right = static_cast<size_t>(WrapOrClamp(x0 + 1, w, repeat)) * 4;
      const uint8_t* top = pixels + static_cast<size_t>(WrapOrClamp(y0, h, repeat)) * w * 4;
      const uint8_t* bottom = pixels + static_cast<size_t>(WrapOrClamp(y0 + 1, h, repeat)) * w * 4;
      const uint8_t* p00 = top + left;
      const uint8_t* p10 = top + right;
      const uint8_t* p01 = bottom + left;
      const uint8_t* p11 = bottom + right;
      for (int c = 0; c < 4; ++c) {
        const unsigned upper = p00[c] * (256 - fx) + p10[c] * fx;
        const unsigned lower = p01[c] * (256 - fx) + p11[c] * fx;
        premultiplied[c] = (upper * (256 - fy) + lower * fy + (1u << 15)) >> 16;
      }
    } else {
      const uint8_t* s = at(floorToInt(p.x), floorToInt(p.y));
      for (int c = 0; c < 4; ++c) premultiplied[c] = s[c];
    }
    span[i] = Unpremultiplied(premultiplied, identity);
  }
}

agg::rgba8 FillPainter::Unpremultiplied(const unsigned* premultiplied, bool identity) const {
  const unsigned alpha = premultiplied[3];
  Rgba straight{0, 0, 0, static_cast<uint8_t>(alpha)};
  if (alpha == 255) {
    straight.r = static_cast<uint8_t>(premultiplied[0]);
    straight.g = static_cast<uint8_t>(premultiplied[1]);
    straight.b = static_cast<uint8_t>(premultiplied[2]);
  } else if (alpha > 0) {
    auto unmultiply = [alpha](unsigned c) { return static_cast<uint8_t>(std::min(255u, (c * 255 + alpha / 2) / alpha)); };
    straight.r = unmultiply(premultiplied[0]);
    straight.g = unmultiply(premultiplied[1]);
    straight.b = unmultiply(premultiplied[2]);
  }
  return ToAgg(identity ? straight : color_.Apply(straight));
}

// The common case of a scaled picture: every sample of the span and its
// right and lower neighbours lie inside the bitmap, so no coordinate needs
// clamping or wrapping. Sample positions change monotonically along a span
// (rounding keeps the order of an affine map's values), so checking its two
// ends is enough. Gives the same colours as the general loop.
bool FillPainter::GenerateInteriorBitmap(agg::rgba8* span, int x, double py, unsigned length, bool identity) const {
  // The ends computed exactly as the loop below computes them.
  const Point first = fromDevice_.Apply({x + 0u + 0.5, py});
  const Point last = fromDevice_.Apply({x + (length - 1) + 0.5, py});
  const double maxU = bitmapWidth_ - 1;
  const double maxV = bitmapHeight_ - 1;
  auto inside = [&](const Point& p) {
    const double u = p.x - 0.5;
    const double v = p.y - 0.5;
    return u >= 0 && u < maxU && v >= 0 && v < maxV;  // false for NaN too
  };
  if (!inside(first) || !inside(last)) return false;
  const size_t rowBytes = static_cast<size_t>(bitmapWidth_) * 4;
  for (unsigned i = 0; i < length; ++i) {
    const Point p = fromDevice_.Apply({x + i + 0.5, py});
    const double u = p.x - 0.5;
    const double v = p.y - 0.5;
    const int x0 = static_cast<int>(u);  // u and v are not negative: truncation is floor
    const int y0 = static_cast<int>(v);
    const unsigned fx = static_cast<unsigned>((u - x0) * 256);
    const unsigned fy = static_cast<unsigned>((v - y0) * 256);
    const uint8_t* p00 = bitmapPixels_ + static_cast<size_t>(y0) * rowBytes + static_cast<size_t>(x0) * 4;
    const uint8_t* p10 = p00 + 4;
    const uint8_t* p01 = p00 + rowBytes;
    const uint8_t* p11 = p01 + 4;
    unsigned premultiplied[4];
    for (int c = 0; c < 4; ++c) {
      const unsigned upper = p00[c] * (256 - fx) + p10[c] * fx;
      const unsigned lower = p01[c] * (256 - fx) + p11[c] * fx;
      premultiplied[c] = (upper * (256 - fy) + lower * fy + (1u << 15)) >> 16;
    }
    span[i] = Unpremultiplied(premultiplied, identity);
  }
  return true;
}

}  // namespace swf
