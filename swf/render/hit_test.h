#pragma once

// What lies under a point of the stage, by the same geometry the renderer
// draws: a shape's paths flattened as for drawing, its fills by the edges'
// fill sides, its strokes by the width they are drawn with. Only reads the
// stage.

#include <functional>

#include "swf/parse/movie.h"
#include "swf/runtime/stage.h"

namespace swf {

// The point (device pixels) lies in one of the shape's fills or on one of its
// strokes, the shape drawn with `toDevice` (shape twips to device pixels).
// `withStrokes` false: fills only, as a mask counts.
bool ShapeContains(const ShapeDefinition& shape, const Matrix& toDevice, Point point, bool withStrokes = true);

// The picture a display object shows, with its children and a button's hit
// area (below), covers the point. `world` maps the object's own twips to
// device pixels. Invisible objects and masks cover nothing themselves; a
// child outside its mask's fills is not there.
bool ObjectContains(const Stage& stage, const ParsedMovie& rootMovie, const DisplayObject& object,
                    const Matrix& world, Point point);

// The topmost button whose hit area (its hit-state records) covers the point,
// among the visible objects below `view` (stage twips to device pixels); none
// when there is none. Only buttons catch the mouse: the shapes and clips
// drawn above a button do not hide it from the mouse.
ObjectHandle ButtonAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point);

// Whether an object takes the mouse: a button, a clip that acts as one
// (it then takes it for everything drawn inside it, its children's buttons
// included), or a text field (anywhere in its box). Clips it refuses are
// looked into.
using MouseCatchTest = std::function<bool(const DisplayObject&)>;

// The topmost object that `catches` accepts and whose picture covers the
// point (a button by its hit area); none when there is none.
ObjectHandle MouseTargetAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point,
                           const MouseCatchTest& catches);

// The topmost object drawn at the point (a shape, text, or a button), not
// counting `excluded` and what it holds; none when nothing is drawn there.
ObjectHandle DrawnObjectAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point,
                           ObjectHandle excluded);

}  // namespace swf
