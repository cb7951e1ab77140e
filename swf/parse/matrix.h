#pragma once

#include <optional>

#include "swf/parse/types.h"

namespace swf {

// A 2x3 affine transform as the file stores it:
//   x' = a*x + c*y + tx
//   y' = b*x + d*y + ty
// (a = ScaleX, b = RotateSkew0, c = RotateSkew1, d = ScaleY; tx/ty in the
// parent's units). Kept in our own type because the AGG parts that multiply
// and invert live in its compiled sources, which we do not link.
struct Matrix {
  double a = 1;
  double b = 0;
  double c = 0;
  double d = 1;
  double tx = 0;
  double ty = 0;

  static constexpr Matrix Identity() { return {}; }
  static constexpr Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static constexpr Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }

  Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

  // The one composition order of the engine: the result maps a point through
  // `inner` first and then through `outer`. A child on the display list is
  // drawn with Compose(child.matrix, parentWorld).
  static Matrix Compose(const Matrix& inner, const Matrix& outer);

  double Determinant() const { return a * d - b * c; }
  std::optional<Matrix> Inverse() const;

  bool operator==(const Matrix&) const = default;
};

}  // namespace swf
