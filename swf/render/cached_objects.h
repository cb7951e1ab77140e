#pragma once

// Objects placed as cached pictures (cache-as-bitmap, opaque backgrounds):
// what they cover, where their picture lands, and the background behind
// them.
#include <optional>

#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"
#include "swf/runtime/stage.h"

namespace swf {

// An axis-aligned box, in whatever units its space has.
struct Box {
  double xMin = 0;
  double yMin = 0;
  double xMax = 0;
  double yMax = 0;
};

// The box around `box` once mapped by `matrix` (around its four corners).
Box MapBox(const Box& box, const Matrix& matrix);

// What the object shows, in its own twips: its character's bounds, or for a
// clip or button the boxes of its children (on `stage`) as placed. Empty when
// it shows nothing.
std::optional<Box> LocalBounds(const Stage& stage, const DisplayObject& object);

// A cached picture is drawn on whole pixels: `world` moved so that the
// device box of `localBounds` starts on the nearest whole pixel.
Matrix SnapToWholePixels(const Matrix& world, const Box& localBounds);

// A shape filling `bounds` with `color` (an opaque background).
ShapeDefinition BackgroundShape(const Box& bounds, Rgba color);

}  // namespace swf
