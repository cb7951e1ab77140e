#pragma once

#include <array>
#include <cstdint>

#include "swf/parse/color_transform.h"
#include "swf/parse/shape.h"

namespace swf {

// A gradient's colours at the 256 ratios, after the colour transform, not
// premultiplied. Every pixel looks its colour up here.
using GradientRamp = std::array<Rgba, 256>;

GradientRamp BuildGradientRamp(const GradientFill& gradient, const ColorTransform& color);

// Where a point of the gradient square (-16384..16384 twips on each axis)
// lies on the gradient, 0 at the first ratio and 1 at the last; outside
// 0..1 the spread mode decides.
double GradientPosition(const GradientFill& gradient, Point square);

// The ramp entry for a position, after the spread mode: pad clamps, reflect
// mirrors every other period, repeat wraps.
int GradientRampIndex(double position, uint8_t spreadMode);

}  // namespace swf
