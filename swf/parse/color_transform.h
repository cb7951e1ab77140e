#pragma once

#include <cstdint>

#include "swf/parse/types.h"

namespace swf {

// CXFORM / CXFORMWITHALPHA: per channel c' = clamp(c * mult / 256 + add).
// Multipliers are 8.8 fixed point (256 = 1.0).
struct ColorTransform {
  int32_t redMult = 256;
  int32_t greenMult = 256;
  int32_t blueMult = 256;
  int32_t alphaMult = 256;
  int32_t redAdd = 0;
  int32_t greenAdd = 0;
  int32_t blueAdd = 0;
  int32_t alphaAdd = 0;

  static constexpr ColorTransform Identity() { return {}; }
  bool IsIdentity() const { return *this == ColorTransform{}; }

  Rgba Apply(Rgba color) const;

  // The child's transform applies first, then the parent's; no clamping in
  // between (the terms are kept wide enough for nesting).
  static ColorTransform Compose(const ColorTransform& inner, const ColorTransform& outer);

  bool operator==(const ColorTransform&) const = default;
};

}  // namespace swf
