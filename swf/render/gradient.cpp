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

uint8_t FromLinear(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<uint8_t>(std::clamp(std::lround(c * 255.0), 0L, 255L));
}

uint8_t Mix(uint8_t from, uint8_t to, double f) {
  return static_cast<uint8_t>(std::clamp(std::lround(from + (to - from) * f), 0L, 255L));
}

Rgba Interpolate(Rgba from, Rgba to, double f, bool linearLight) {
  if (!linearLight) return {Mix(from.r, to.r, f), Mix(from.g, to.g, f), Mix(from.b, to.b, f), Mix(from.a, to.a, f)};
  auto channel = [f](uint8_t a, uint8_t b) {
    const double la = ToLinear(a);
    return FromLinear(la + (ToLinear(b) - la) * f);
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), Mix(from.a, to.a, f)};
}

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
      value = span <= 0 ? b.color : Interpolate(a.color, b.color, static_cast<double>(i - a.ratio) / span, linearLight);
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

int GradientRampIndex(double position, uint8_t spreadMode) {
  if (!std::isfinite(position)) position = 0;
  // Far outside the square every spread mode is as good as any other value.
  position = std::clamp(position, -1e6, 1e6);
  switch (spreadMode) {
    case 1: {  // reflect
      double u = std::fmod(std::fabs(position), 2.0);
      if (u > 1) u = 2 - u;
      position = u;
      break;
    }
    case 2:  // repeat
      position -= std::floor(position);
      break;
    default:  // pad (and the reserved value 3)
      break;
  }
  return static_cast<int>(std::clamp(std::floor(position * 256.0), 0.0, 255.0));
}

}  // namespace swf
