#include "swf/render/blend.h"

#include <algorithm>

namespace swf {
namespace {

// a * b / 255, rounded to nearest.
inline int Mul(int a, int b) {
  const int t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Source over destination: the alpha every separable mode ends with.
inline int OverAlpha(int sa, int da) { return sa + Mul(da, 255 - sa); }

// The separable modes in premultiplied form: f(s, d) where both are
// present, plus the source where the destination is not and the
// destination where the source is not.
template <class Mix>
inline void Separable(const uint8_t* s, uint8_t* d, Mix mix) {
  const int sa = s[3];
  const int da = d[3];
  for (int c = 0; c < 3; ++c) {
    const int both = mix(s[c], d[c], sa, da);
    d[c] = Clamp(both + Mul(s[c], 255 - da) + Mul(d[c], 255 - sa));
  }
  d[3] = Clamp(OverAlpha(sa, da));
}

// Overlay with the roles given: `base` decides which half applies.
inline int OverlayMix(int top, int base, int topAlpha, int baseAlpha) {
  if (2 * base <= baseAlpha) return Mul(2 * top, base);
  return Mul(topAlpha, baseAlpha) - Mul(2 * (baseAlpha - base), topAlpha - top);
}

void BlendPixel(BlendMode mode, const uint8_t* s, uint8_t* d) {
  const int sa = s[3];
  switch (mode) {
    case BlendMode::kNormal:
    case BlendMode::kLayer:
      if (sa == 0) return;
      for (int c = 0; c < 4; ++c) d[c] = Clamp(s[c] + Mul(d[c], 255 - sa));
      return;
    case BlendMode::kMultiply:
      Separable(s, d, [](int sc, int dc, int, int) { return Mul(sc, dc); });
      return;
    case BlendMode::kScreen:
      Separable(s, d, [](int sc, int dc, int sa_, int da) { return Mul(sc, da) + Mul(dc, sa_) - Mul(sc, dc); });
      return;
    case BlendMode::kLighten:
      Separable(s, d, [](int sc, int dc, int sa_, int da) { return std::max(Mul(sc, da), Mul(dc, sa_)); });
      return;
    case BlendMode::kDarken:
      Separable(s, d, [](int sc, int dc, int sa_, int da) { return std::min(Mul(sc, da), Mul(dc, sa_)); });
      return;
    case BlendMode::kDifference:
      Separable(s, d, [](int sc, int dc, int sa_, int da) {
        const int a = Mul(sc, da);
        const int b = Mul(dc, sa_);
        return a > b ? a - b : b - a;
      });
      return;
    case BlendMode::kOverlay:
      Separable(s, d, [](int sc, int dc, int sa_, int da) { return OverlayMix(sc, dc, sa_, da); });
      return;
    case BlendMode::kHardLight:
      Separable(s, d, [](int sc, int dc, int sa_, int da) { return OverlayMix(dc, sc, da, sa_); });
      return;
    case BlendMode::kAdd:
      for (int c = 0; c < 4; ++c) d[c] = Clamp(d[c] + s[c]);
      return;
    case BlendMode::kSubtract:
      if (sa == 0) return;
      for (int c = 0; c < 3; ++c) d[c] = Clamp(d[c] - s[c]);
      d[3] = Clamp(OverAlpha(sa, d[3]));
      return;
    case BlendMode::kInvert: {
      // The destination's colours inverted where the source covers it.
      if (sa == 0) return;
      const int da = d[3];
      for (int c = 0; c < 3; ++c) d[c] = Clamp(Mul(da - d[c], sa) + Mul(d[c], 255 - sa));
      return;
    }
    case BlendMode::kAlpha:
      // Only where the object is drawn: the rest of its layer is not part
      // of it.
      if (sa == 0) return;
      for (int c = 0; c < 4; ++c) d[c] = Clamp(Mul(d[c], sa));
      return;
    case BlendMode::kErase:
      for (int c = 0; c < 4; ++c) d[c] = Clamp(Mul(d[c], 255 - sa));
      return;
  }
}

}  // namespace

void BlendRow(BlendMode mode, const uint8_t* source, uint8_t* destination, int count) {
  for (int i = 0; i < count; ++i, source += 4, destination += 4) BlendPixel(mode, source, destination);
}

void BlendLayer(BlendMode mode, const Layer& source, agg::rendering_buffer& target, int dx, int dy) {
  const PixelRect placed{source.Rect().x + dx, source.Rect().y + dy, source.Width(), source.Height()};
  const PixelRect area =
      Intersect(placed, PixelRect{0, 0, static_cast<int>(target.width()), static_cast<int>(target.height())});
  for (int y = area.y; y < area.y + area.height; ++y) {
    const uint8_t* from = source.Row(y - placed.y) + static_cast<size_t>(area.x - placed.x) * 4;
    BlendRow(mode, from, target.row_ptr(y) + static_cast<size_t>(area.x) * 4, area.width);
  }
}

}  // namespace swf
