#pragma once

#include <array>
#include <cstdint>

#include "swf/parse/color_transform.h"
#include "swf/parse/shape.h"

namespace swf {

// A gradient's colours at the 256 ratios, after the colour transform, not
// premultiplied. Entries between two stops are interpolated and then
// truncated to whole levels.
using GradientRamp = std::array<Rgba, 256>;

GradientRamp BuildGradientRamp(const GradientFill& gradient, const ColorTransform& color);

// Where a point of the gradient square (-16384..16384 twips on each axis)
// lies on the gradient, 0 at the first ratio and 1 at the last; outside
// 0..1 the spread mode decides.
double GradientPosition(const GradientFill& gradient, Point square);

// A position brought into 0..1 by the spread mode: pad clamps, reflect
// mirrors every other period, repeat wraps. Not a number counts as 0.
double SpreadGradientPosition(double position, uint8_t spreadMode);

// The colour at a spread position (0..1). The ramp's 256 entries sit at the
// centres of 256 equal cells of 0..1; between two centres the colour blends
// the two entries linearly, and below the first centre or beyond the last
// it is that entry's. The blend becomes 8 bits per channel as
// GradientChannel says.
Rgba SampleGradientRamp(const GradientRamp& ramp, double position);

// A channel value blended in floating point (0..255) as the 8-bit level it
// is drawn with. The value keeps 11 significant bits of its fraction of 255,
// the rest dropped, and is then rounded to the nearest level: so a value
// just above a half level (up to an eighth of a level above it, near the
// top) still gives the level below.
uint8_t GradientChannel(double value);

}  // namespace swf
