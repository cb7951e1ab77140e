#include "swf/render/filter_effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <variant>
#include <vector>

namespace swf {
namespace {

// A filter's blur size in device pixels and how many boxes it takes.
struct BlurSize {
  double x = 0;
  double y = 0;
  int passes = 0;
};

// Blur sizes are device pixels whatever the view: the pictures of a stage
// shown twice as large blur by boxes of the sizes' own width. The player
// takes sizes up to 255 and up to 15 passes; the file's fields hold more.
BlurSize BlurOf(double blurX, double blurY, int passes, FilterScale) {
  constexpr double kMaxBlur = 255;
  constexpr int kMaxPasses = 15;
  return {std::clamp(blurX, 0.0, kMaxBlur), std::clamp(blurY, 0.0, kMaxBlur), std::clamp(passes, 0, kMaxPasses)};
}

// How far one box of a blur `size` pixels wide reaches to each side: half
// the size, rounded down (a blur of 1 leaves a picture as it is, one of 2
// or 3 spreads it by a pixel each way, one of 30 by 15).
int BoxReach(double size) {
  if (!(size >= 2)) return 0;
  return static_cast<int>(std::floor(std::min(size, 4096.0) / 2));
}

int Round(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }

// The offset of a shadow or bevel in device pixels, rounded to whole ones.
struct Offset {
  int x = 0;
  int y = 0;
};
Offset OffsetOf(double angle, double distance, FilterScale scale) {
  return {Round(std::cos(angle) * distance * scale.x), Round(std::sin(angle) * distance * scale.y)};
}

FilterMargins BlurMargins(const BlurSize& blur, Offset offset, bool reachesBothWays) {
  const int rx = BoxReach(blur.x) * blur.passes;
  const int ry = BoxReach(blur.y) * blur.passes;
  FilterMargins m{rx, ry, rx, ry};
  // A shadow moves one way; a bevel's two lights move both ways.
  m.left += std::max(0, -offset.x);
  m.right += std::max(0, offset.x);
  m.top += std::max(0, -offset.y);
  m.bottom += std::max(0, offset.y);
  if (reachesBothWays) {
    m.left += std::max(0, offset.x);
    m.right += std::max(0, -offset.x);
    m.top += std::max(0, offset.y);
    m.bottom += std::max(0, -offset.y);
  }
  return m;
}

// One box pass along a line of `count` values, `step` bytes apart: each
// the mean of the 2 * reach + 1 around it.
void BoxLine(uint8_t* values, int count, size_t step, int reach, std::vector<uint32_t>& prefix) {
  const uint32_t divisor = static_cast<uint32_t>(2 * reach + 1);
  prefix.assign(static_cast<size_t>(count) + 1, 0);
  for (int i = 0; i < count; ++i) prefix[static_cast<size_t>(i) + 1] = prefix[static_cast<size_t>(i)] + values[i * step];
  auto sum = [&](int from, int to) -> uint32_t {  // values from..to inclusive, clipped
    from = std::max(from, 0);
    to = std::min(to, count - 1);
    return to < from ? 0 : prefix[static_cast<size_t>(to) + 1] - prefix[static_cast<size_t>(from)];
  };
  for (int i = 0; i < count; ++i) {
    values[i * step] = static_cast<uint8_t>(std::min<uint32_t>(255, (sum(i - reach, i + reach) + divisor / 2) / divisor));
  }
}

// The alpha byte of every pixel.
std::vector<uint8_t> AlphaPlane(const Layer& picture) {
  std::vector<uint8_t> alpha(static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height()));
  const uint8_t* p = picture.Pixels();
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = p[i * 4 + 3];
  return alpha;
}

// The plane moved by `offset`; what comes in from outside is `outside`.
std::vector<uint8_t> Shifted(const std::vector<uint8_t>& plane, int width, int height, Offset offset, uint8_t outside) {
  if (offset.x == 0 && offset.y == 0) return plane;
  std::vector<uint8_t> moved(plane.size(), outside);
  for (int y = 0; y < height; ++y) {
    const int fromY = y - offset.y;
    if (fromY < 0 || fromY >= height) continue;
    for (int x = 0; x < width; ++x) {
      const int fromX = x - offset.x;
      if (fromX < 0 || fromX >= width) continue;
      moved[static_cast<size_t>(y) * width + x] = plane[static_cast<size_t>(fromY) * width + fromX];
    }
  }
  return moved;
}

inline int Mul(int a, int b) {
  const int t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

inline int Strengthen(int value, double strength) {
  return std::clamp(static_cast<int>(value * strength + 0.5), 0, 255);
}

// A colour as premultiplied bytes in the picture's order, at `coverage`.
using Pixel = std::array<uint8_t, 4>;
Pixel Premultiplied(Rgba color, int coverage, ChannelOrder order) {
  const int alpha = Mul(color.a, coverage);
  Pixel p{};
  p[static_cast<size_t>(order.r)] = static_cast<uint8_t>(Mul(color.r, alpha));
  p[static_cast<size_t>(order.g)] = static_cast<uint8_t>(Mul(color.g, alpha));
  p[static_cast<size_t>(order.b)] = static_cast<uint8_t>(Mul(color.b, alpha));
  p[3] = static_cast<uint8_t>(alpha);
  return p;
}

// `top` over `bottom`, premultiplied.
Pixel Over(const Pixel& top, const uint8_t* bottom) {
  Pixel out{};
  for (size_t c = 0; c < 4; ++c) out[c] = static_cast<uint8_t>(std::min(255, top[c] + Mul(bottom[c], 255 - top[3])));
  return out;
}

Pixel Scaled(const uint8_t* p, int factor) {
  return {static_cast<uint8_t>(Mul(p[0], factor)), static_cast<uint8_t>(Mul(p[1], factor)),
          static_cast<uint8_t>(Mul(p[2], factor)), static_cast<uint8_t>(Mul(p[3], factor))};
}

// How the effect of a shadow, glow or bevel meets the object: which part of
// the effect shows (inside the object, outside it, both), and whether the
// object itself stays.
struct Placement {
  enum class Side { kInner, kOuter, kFull } side = Side::kOuter;
  bool knockout = false;
  bool hideObject = false;
};

// Draws `effect` (premultiplied, per pixel) with the object in `picture`.
template <class EffectAt>
void Combine(Layer& picture, const Placement& placement, EffectAt effectAt) {
  uint8_t* p = picture.Pixels();
  const size_t count = static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
  for (size_t i = 0; i < count; ++i, p += 4) {
    const int objectAlpha = p[3];
    Pixel effect = effectAt(i);
    // Inside: where the object is. Outside: behind the object, so that its
    // anti-aliased edges show the effect through; knocked out, only where
    // the object is not.
    if (placement.side == Placement::Side::kInner) effect = Scaled(effect.data(), objectAlpha);
    if (placement.side == Placement::Side::kOuter && placement.knockout) {
      effect = Scaled(effect.data(), 255 - objectAlpha);
    }
    Pixel out;
    if (placement.knockout || placement.hideObject) {
      out = effect;
    } else if (placement.side == Placement::Side::kOuter) {
      // The object over what surrounds it.
      const Pixel object{p[0], p[1], p[2], p[3]};
      out = Over(object, effect.data());
    } else {
      out = Over(effect, p);
    }
    std::copy(out.begin(), out.end(), p);
  }
}

// 256 colours of a gradient filter (straight alpha), between its stops.
std::array<Rgba, 256> Ramp(const GradientFilter& filter) {
  std::array<Rgba, 256> ramp{};
  const size_t stops = std::min(filter.colors.size(), filter.ratios.size());
  if (stops == 0) return ramp;
  for (int i = 0; i < 256; ++i) {
    size_t next = 0;
    while (next < stops && filter.ratios[next] < i) ++next;
    if (next == 0 || next == stops) {
      ramp[static_cast<size_t>(i)] = filter.colors[next == 0 ? 0 : stops - 1];
      continue;
    }
    const Rgba a = filter.colors[next - 1];
    const Rgba b = filter.colors[next];
    const int span = filter.ratios[next] - filter.ratios[next - 1];
    const double t = span <= 0 ? 1.0 : (i - filter.ratios[next - 1]) / static_cast<double>(span);
    auto mix = [t](uint8_t from, uint8_t to) { return static_cast<uint8_t>(std::lround(from + (to - from) * t)); };
    ramp[static_cast<size_t>(i)] = {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
  }
  return ramp;
}

// The blurred, moved alpha of a shadow or glow (inverted first for an inner
// one), strengthened: how strongly the effect covers each pixel.
std::vector<uint8_t> ShadowCoverage(const Layer& picture, const BlurSize& blur, Offset offset, double strength,
                                    bool inner) {
  const int w = picture.Width();
  const int h = picture.Height();
  std::vector<uint8_t> alpha = AlphaPlane(picture);
  if (inner) {
    for (uint8_t& a : alpha) a = static_cast<uint8_t>(255 - a);
  }
  BoxBlur(alpha.data(), w, h, 1, blur.x, blur.y, blur.passes);
  alpha = Shifted(alpha, w, h, offset, inner ? 255 : 0);
  for (uint8_t& a : alpha) a = static_cast<uint8_t>(Strengthen(a, strength));
  return alpha;
}

void ApplyShadow(Layer& picture, Rgba color, const BlurSize& blur, Offset offset, double strength,
                 const Placement& placement, ChannelOrder order) {
  const std::vector<uint8_t> coverage =
      ShadowCoverage(picture, blur, offset, strength, placement.side == Placement::Side::kInner);
  Combine(picture, placement, [&](size_t i) { return Premultiplied(color, coverage[i], order); });
}

// The bevel's light: blurred alpha seen from the shadow's side minus seen
// from the highlight's, per pixel (positive: shadow, negative: highlight).
std::vector<int> BevelDifference(const Layer& picture, const BlurSize& blur, Offset offset, double strength) {
  const int w = picture.Width();
  const int h = picture.Height();
  std::vector<uint8_t> alpha = AlphaPlane(picture);
  BoxBlur(alpha.data(), w, h, 1, blur.x, blur.y, blur.passes);
  const std::vector<uint8_t> towardLight = Shifted(alpha, w, h, offset, 0);
  const std::vector<uint8_t> awayFromLight = Shifted(alpha, w, h, {-offset.x, -offset.y}, 0);
  std::vector<int> difference(alpha.size());
  for (size_t i = 0; i < alpha.size(); ++i) {
    difference[i] = std::clamp(static_cast<int>((towardLight[i] - awayFromLight[i]) * strength), -255, 255);
  }
  return difference;
}

Placement::Side BevelSide(bool inner, bool onTop) {
  if (inner) return Placement::Side::kInner;
  return onTop ? Placement::Side::kFull : Placement::Side::kOuter;
}

void ApplyColorMatrix(const ColorMatrixFilter& filter, Layer& picture, ChannelOrder order) {
  uint8_t* p = picture.Pixels();
  const size_t count = static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
  const size_t index[4] = {static_cast<size_t>(order.r), static_cast<size_t>(order.g), static_cast<size_t>(order.b), 3};
  for (size_t i = 0; i < count; ++i, p += 4) {
    double in[4];
    const int alpha = p[3];
    for (size_t c = 0; c < 3; ++c) in[c] = alpha == 0 ? 0 : std::min(255, (p[index[c]] * 255 + alpha / 2) / alpha);
    in[3] = alpha;
    double out[4];
    for (size_t row = 0; row < 4; ++row) {
      const float* m = filter.matrix + row * 5;
      out[row] = std::clamp(m[0] * in[0] + m[1] * in[1] + m[2] * in[2] + m[3] * in[3] + m[4], 0.0, 255.0);
    }
    const int a = static_cast<int>(std::lround(out[3]));
    for (size_t c = 0; c < 3; ++c) p[index[c]] = static_cast<uint8_t>(Mul(static_cast<int>(std::lround(out[c])), a));
    p[3] = static_cast<uint8_t>(a);
  }
}

void ApplyConvolution(const ConvolutionFilter& filter, Layer& picture, ChannelOrder order) {
  const int w = picture.Width();
  const int h = picture.Height();
  const int columns = filter.columns;
  const int rows = filter.rows;
  if (columns == 0 || rows == 0 || filter.matrix.size() < static_cast<size_t>(columns * rows)) return;
  // Straight colours to convolve; the default colour stands for pixels
  // beyond the picture unless edges are clamped.
  std::vector<std::array<float, 4>> straight(static_cast<size_t>(w) * static_cast<size_t>(h));
  const uint8_t* p = picture.Pixels();
  const size_t index[4] = {static_cast<size_t>(order.r), static_cast<size_t>(order.g), static_cast<size_t>(order.b), 3};
  for (size_t i = 0; i < straight.size(); ++i, p += 4) {
    const float alpha = p[3];
    for (size_t c = 0; c < 3; ++c) straight[i][c] = alpha == 0 ? 0.0f : p[index[c]] * 255.0f / alpha;
    straight[i][3] = alpha;
  }
  const std::array<float, 4> outside{static_cast<float>(filter.defaultColor.r), static_cast<float>(filter.defaultColor.g),
                                     static_cast<float>(filter.defaultColor.b), static_cast<float>(filter.defaultColor.a)};
  const float divisor = filter.divisor == 0 ? 1.0f : filter.divisor;
  uint8_t* out = picture.Pixels();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x, out += 4) {
      std::array<float, 4> sum{};
      for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
          int sx = x + i - columns / 2;
          int sy = y + j - rows / 2;
          const std::array<float, 4>* source = &outside;
          if (filter.clamp) {
            sx = std::clamp(sx, 0, w - 1);
            sy = std::clamp(sy, 0, h - 1);
          }
          if (sx >= 0 && sx < w && sy >= 0 && sy < h) source = &straight[static_cast<size_t>(sy) * w + sx];
          const float weight = filter.matrix[static_cast<size_t>(j * columns + i)];
          for (size_t c = 0; c < 4; ++c) sum[c] += (*source)[c] * weight;
        }
      }
      const std::array<float, 4>& self = straight[static_cast<size_t>(y) * w + x];
      int result[4];
      for (size_t c = 0; c < 4; ++c) result[c] = std::clamp(static_cast<int>(std::lround(sum[c] / divisor + filter.bias)), 0, 255);
      if (filter.preserveAlpha) result[3] = static_cast<int>(self[3]);
      for (size_t c = 0; c < 3; ++c) out[index[c]] = static_cast<uint8_t>(Mul(result[c], result[3]));
      out[3] = static_cast<uint8_t>(result[3]);
    }
  }
}

}  // namespace

void ApplyColorTransform(Layer& picture, const ColorTransform& transform, ChannelOrder order) {
  if (transform.IsIdentity()) return;
  uint8_t* p = picture.Pixels();
  const size_t count = static_cast<size_t>(picture.Width()) * static_cast<size_t>(picture.Height());
  const size_t r = static_cast<size_t>(order.r);
  const size_t g = static_cast<size_t>(order.g);
  const size_t b = static_cast<size_t>(order.b);
  for (size_t i = 0; i < count; ++i, p += 4) {
    const int alpha = p[3];
    auto straight = [alpha](uint8_t v) {
      return static_cast<uint8_t>(alpha == 0 ? 0 : std::min(255, (v * 255 + alpha / 2) / alpha));
    };
    const Rgba out = transform.Apply(Rgba{straight(p[r]), straight(p[g]), straight(p[b]), p[3]});
    p[r] = static_cast<uint8_t>(Mul(out.r, out.a));
    p[g] = static_cast<uint8_t>(Mul(out.g, out.a));
    p[b] = static_cast<uint8_t>(Mul(out.b, out.a));
    p[3] = out.a;
  }
}

void BoxBlur(uint8_t* pixels, int width, int height, int channels, double sizeX, double sizeY, int passes) {
  std::vector<uint32_t> prefix;
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
  const int reachX = BoxReach(sizeX);
  const int reachY = BoxReach(sizeY);
  for (int pass = 0; pass < passes; ++pass) {
    if (reachX > 0) {
      for (int y = 0; y < height; ++y) {
        for (int c = 0; c < channels; ++c) {
          BoxLine(pixels + y * rowBytes + static_cast<size_t>(c), width, static_cast<size_t>(channels), reachX, prefix);
        }
      }
    }
    if (reachY > 0) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < channels; ++c) {
          BoxLine(pixels + static_cast<size_t>(x) * channels + static_cast<size_t>(c), height, rowBytes, reachY, prefix);
        }
      }
    }
  }
}

FilterMargins MarginsOf(const Filter& filter, FilterScale scale) {
  return std::visit(
      [&](const auto& f) -> FilterMargins {
        using T = std::decay_t<decltype(f)>;
        if constexpr (std::is_same_v<T, BlurFilter>) {
          return BlurMargins(BlurOf(f.blurX, f.blurY, f.passes, scale), {}, false);
        } else if constexpr (std::is_same_v<T, GlowFilter>) {
          return f.inner ? FilterMargins{} : BlurMargins(BlurOf(f.blurX, f.blurY, f.passes, scale), {}, false);
        } else if constexpr (std::is_same_v<T, DropShadowFilter>) {
          if (f.inner) return {};
          return BlurMargins(BlurOf(f.blurX, f.blurY, f.passes, scale), OffsetOf(f.angle, f.distance, scale), false);
        } else if constexpr (std::is_same_v<T, BevelFilter> || std::is_same_v<T, GradientFilter>) {
          if (f.inner) return {};
          return BlurMargins(BlurOf(f.blurX, f.blurY, f.passes, scale), OffsetOf(f.angle, f.distance, scale), true);
        } else {
          return {};  // colour matrix and convolution stay inside the picture
        }
      },
      filter);
}

FilterMargins MarginsOf(std::span<const Filter> filters, FilterScale scale) {
  FilterMargins total;
  for (const Filter& filter : filters) {
    const FilterMargins m = MarginsOf(filter, scale);
    total.left += m.left;
    total.top += m.top;
    total.right += m.right;
    total.bottom += m.bottom;
  }
  return total;
}

void ApplyFilter(const Filter& filter, Layer& picture, FilterScale scale, ChannelOrder order) {
  if (picture.Rect().Empty()) return;
  std::visit(
      [&](const auto& f) {
        using T = std::decay_t<decltype(f)>;
        if constexpr (std::is_same_v<T, BlurFilter>) {
          const BlurSize blur = BlurOf(f.blurX, f.blurY, f.passes, scale);
          BoxBlur(picture.Pixels(), picture.Width(), picture.Height(), 4, blur.x, blur.y, blur.passes);
        } else if constexpr (std::is_same_v<T, GlowFilter>) {
          const Placement placement{f.inner ? Placement::Side::kInner : Placement::Side::kOuter, f.knockout, false};
          ApplyShadow(picture, f.color, BlurOf(f.blurX, f.blurY, f.passes, scale), {}, f.strength, placement, order);
        } else if constexpr (std::is_same_v<T, DropShadowFilter>) {
          const Placement placement{f.inner ? Placement::Side::kInner : Placement::Side::kOuter, f.knockout,
                                    !f.compositeSource};
          ApplyShadow(picture, f.color, BlurOf(f.blurX, f.blurY, f.passes, scale), OffsetOf(f.angle, f.distance, scale),
                      f.strength, placement, order);
        } else if constexpr (std::is_same_v<T, BevelFilter>) {
          const std::vector<int> difference = BevelDifference(
              picture, BlurOf(f.blurX, f.blurY, f.passes, scale), OffsetOf(f.angle, f.distance, scale), f.strength);
          const Placement placement{BevelSide(f.inner, f.onTop), f.knockout, false};
          Combine(picture, placement, [&](size_t i) {
            const int d = difference[i];
            return d >= 0 ? Premultiplied(f.shadowColor, d, order) : Premultiplied(f.highlightColor, -d, order);
          });
        } else if constexpr (std::is_same_v<T, GradientFilter>) {
          const std::array<Rgba, 256> ramp = Ramp(f);
          const BlurSize blur = BlurOf(f.blurX, f.blurY, f.passes, scale);
          const Offset offset = OffsetOf(f.angle, f.distance, scale);
          if (f.bevel) {
            const std::vector<int> difference = BevelDifference(picture, blur, offset, f.strength);
            const Placement placement{BevelSide(f.inner, f.onTop), f.knockout, false};
            Combine(picture, placement, [&](size_t i) {
              return Premultiplied(ramp[static_cast<size_t>(std::clamp(128 + difference[i] / 2, 0, 255))], 255, order);
            });
          } else {
            const bool inner = f.inner;
            const std::vector<uint8_t> coverage = ShadowCoverage(picture, blur, offset, f.strength, inner);
            const Placement placement{inner ? Placement::Side::kInner : Placement::Side::kOuter, f.knockout, false};
            Combine(picture, placement, [&](size_t i) { return Premultiplied(ramp[coverage[i]], 255, order); });
          }
        } else if constexpr (std::is_same_v<T, ColorMatrixFilter>) {
          ApplyColorMatrix(f, picture, order);
        } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
          ApplyConvolution(f, picture, order);
        }
      },
      filter);
}

}  // namespace swf
