#pragma once

#include <vector>

#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"

namespace swf {

// Largest distance, in device pixels, between a curve and the chords that
// replace it.
inline constexpr double kFlatteningTolerance = 0.1;

// Device coordinates given to the rasterizers stay within this distance of
// the origin: nothing beyond it changes a picture, and both rasterizers turn
// coordinates into ints.
inline constexpr double kMaxDeviceCoordinate = 1e9;

// `p` with each coordinate clamped to +-kMaxDeviceCoordinate; NaN becomes 0.
Point ClampToDevice(Point p);

// The path's edges mapped by `toDevice`, with every quadratic curve replaced
// by enough straight chords to stay within the tolerance. The first point is
// the path's start. The points are clamped with ClampToDevice. They replace
// what `points` held: the renderer passes one vector for all the paths of a
// frame, so that its storage is allocated once. `shift` is taken off every
// point once it is mapped and flattened (a whole-pixel move onto a layer:
// exact, so a path comes out on a layer as it would on the target).
void FlattenPath(const ShapePath& path, const Matrix& toDevice, std::vector<Point>& points, Point shift = {});

// Appends the chords of one quadratic curve (start excluded) to `out`.
void FlattenQuadratic(Point start, Point control, Point end, std::vector<Point>& out);

struct StrokeStyle {
  double width = 1;  // in the units of the points
  double approximationScale = 1;  // device pixels per unit, so round parts stay smooth on screen
  CapStyle startCap = CapStyle::kRound;
  CapStyle endCap = CapStyle::kRound;
  JoinStyle join = JoinStyle::kRound;
  double miterLimit = 3;
};

// How wide, in device pixels, a line of this style is drawn under `toDevice`
// (the placement and the view), `viewScale` being the view's own scale.
// Strokes are outlined on the device with one width, so their round ends and
// joins stay circles however the shape is stretched. The width follows the
// scale along the shape's y axis for a line that keeps its horizontal scale,
// along its x axis for one that keeps its vertical scale, only the view's
// for one that keeps both, and the smaller of the two axis scales otherwise.
// A line never gets thinner than a pixel.
double StrokeDeviceWidth(const LineStyle& line, const Matrix& toDevice, double viewScale);

// The outline of a stroke along `points` as closed contours, to be filled
// with the non-zero rule. A closed polyline gets a join where it meets
// itself; an open one gets caps.
std::vector<std::vector<Point>> StrokePolyline(const std::vector<Point>& points, bool closed,
                                               const StrokeStyle& style);

// Lines at most this wide on the device are hairlines at high quality: a
// pixel, with room for rounding (a width of exactly one pixel computed as
// 20 twips times 0.05 comes out a hair above 1 where the arithmetic keeps
// extra precision, as the 32-bit Windows build does).
inline constexpr double kHairlineMaxWidth = 1 + 1e-9;

// The outline of a line at most a pixel wide along `points`: each segment
// becomes a band a pixel high (a pixel wide where it is steeper than 45
// degrees) centred on it, ending square at its end points, with no caps or
// joins. The bands all wind the same way, for the non-zero rule.
std::vector<std::vector<Point>> HairlinePolyline(const std::vector<Point>& points);

}  // namespace swf
