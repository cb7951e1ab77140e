#include "swf/render/gradient.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr double kSquareHalf = 16384.0;
constexpr double kMaxFocalPoint = 0.98;

double ToLinear(double channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Truncated like the other entries; a millionth of a level of slack keeps
// the floating-point error of the way to linear light and back from taking
// a stop's own colour a level down.
uint8_t FromLinear(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<uint8_t>(std::clamp(std::floor(c * 255.0 + 1e-6), 0.0, 255.0));
}

// `step` of `span` steps from `from` to `to`, truncated; in integers, so that
// entries meant to be whole levels are exactly that.
uint8_t Mix(uint8_t from, uint8_t to, int step, int span) {
  return static_cast<uint8_t>((from * (span - step) + to * step) / span);
}

Rgba Interpolate(Rgba from, Rgba to, int step, int span, bool linearLight) {
  if (!linearLight) {
    return {Mix(from.r, to.r, step, span), Mix(from.g, to.g, step, span), Mix(from.b, to.b, step, span),
            Mix(from.a, to.a, step, span)};
  }
  const double f = static_cast<double>(step) / span;
  auto channel = [f](uint8_t a, uint8_t b) {
    const double la = ToLinear(a);
    return FromLinear(la + (ToLinear(b) - la) * f);
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), Mix(from.a, to.a, step, span)};
}

// kChannelThresholds[level]: the least blended value drawn as level + 1
// rather than `level` (see GradientChannel). It is the first value, at or
// above level + 0.5, whose fraction of 255 is a whole number of units of the
// 11th significant bit.
struct ChannelThresholds {
  std::array<double, 255> values{};
  ChannelThresholds() {
    for (int level = 0; level < 255; ++level) {
      const double half = (level + 0.5) / 255.0;
      int exponent = 0;
      std::frexp(half, &exponent);  // half = m * 2^exponent, 0.5 <= m < 1
      const double unit = std::ldexp(1.0, exponent - 11);
      values[static_cast<size_t>(level)] = std::ceil(half / unit) * unit * 255.0;
    }
  }
};

}  // namespace

GradientRamp BuildGradientRamp(const GradientFill& gradient, const ColorTransform& color) {
  GradientRamp ramp{};
  const auto& stops = gradient.stops;
  if (stops.empty()) {
    ramp.fill(Rgba{0, 0, 0, 0});
    return ramp;
  }
  const bool linearLight = gradient.interpolationMode == 1;
  for (int i = 0; i < 256; ++i) {
    // The first stop at or beyond this ratio and the one before it; ratios
    // out of order are taken as they come, so every ratio still gets a colour.
    size_t next = 0;
    while (next < stops.size() && stops[next].ratio < i) ++next;
    Rgba value;
    if (next == 0) {
      value = stops.front().color;
    } else if (next == stops.size()) {
      value = stops.back().color;
    } else {
      const GradientStop& a = stops[next - 1];
      const GradientStop& b = stops[next];
      const int span = b.ratio - a.ratio;
      value = span <= 0 ? b.color : Interpolate(a.color, b.color, i - a.ratio, span, linearLight);
    }
    ramp[static_cast<size_t>(i)] = color.Apply(value);
  }
  return ramp;
}

double GradientPosition(const GradientFill& gradient, Point q) {
  switch (gradient.kind) {
    case GradientFill::Kind::kLinear:
      return (q.x + kSquareHalf) / (2 * kSquareHalf);
    case GradientFill::Kind::kRadial:
      return std::hypot(q.x, q.y) / kSquareHalf;
    case GradientFill::Kind::kFocal:
      break;
  }
  // The ray from the focal point F through Q meets the circle at F + s (Q - F);
  // Q's position is 1 / s. The focal point stays within 0.98 of the radius:
  // closer to the circle the ramp would crowd into a sliver beside it, and
  // the reference pictures show such gradients drawn as at 0.98.
  const double fx = std::clamp(gradient.focalPoint, -kMaxFocalPoint, kMaxFocalPoint) * kSquareHalf;
  const double dx = q.x - fx;
  const double dy = q.y;
  const double dd = dx * dx + dy * dy;
  if (dd == 0) return 0;
  const double fd = fx * dx;
  const double discriminant = fd * fd - dd * (fx * fx - kSquareHalf * kSquareHalf);
  const double s = (-fd + std::sqrt(std::max(0.0, discriminant))) / dd;
  return s > 0 ? 1 / s : 0;
}

double SpreadGradientPosition(double position, uint8_t spreadMode) {
  if (!std::isfinite(position)) position = 0;
  // Far outside the square every spread mode is as good as any other value.
  position = std::clamp(position, -1e6, 1e6);
  switch (spreadMode) {
    case 1: {  // reflect
      const double u = std::fmod(std::fabs(position), 2.0);
      return u > 1 ? 2 - u : u;
    }
    case 2:  // repeat
      return position - std::floor(position);
    default:  // pad (and the reserved value 3)
      return std::clamp(position, 0.0, 1.0);
  }
}

Rgba SampleGradientRamp(const GradientRamp& ramp, double position) {
  double cell = position * 256 - 0.5;  // in entries: entry i's centre is at i
  if (!(cell > 0)) cell = 0;           // NaN too
  cell = std::min(cell, 255.0);
  const int index = std::min(254, static_cast<int>(cell));
  const double f = cell - index;
  const Rgba& a = ramp[static_cast<size_t>(index)];
  const Rgba& b = ramp[static_cast<size_t>(index) + 1];
  auto blend = [f](uint8_t from, uint8_t to) { return GradientChannel(from + (to - from) * f); };
  return {blend(a.r, b.r), blend(a.g, b.g), blend(a.b, b.b), blend(a.a, b.a)};
}

uint8_t GradientChannel(double value) {
  static const ChannelThresholds thresholds;
  if (!(value > 0)) return 0;  // NaN too
  if (value >= 255) return 255;
  const int level = static_cast<int>(value);
  return static_cast<uint8_t>(level + (value >= thresholds.values[static_cast<size_t>(level)] ? 1 : 0));
}

}  // namespace swf
