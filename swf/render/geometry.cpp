#include "swf/render/geometry.h"

#include <agg_math_stroke.h>
#include <agg_vertex_sequence.h>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr int kMaxChordsPerCurve = 256;

// The vertex consumer that agg::math_stroke fills for one cap or join.
struct VertexCollector {
  using value_type = agg::point_d;
  std::vector<agg::point_d> points;
  void remove_all() { points.clear(); }
  void add(const agg::point_d& p) { points.push_back(p); }
};

agg::line_cap_e ToAgg(CapStyle cap) {
  switch (cap) {
    case CapStyle::kNone: return agg::butt_cap;
    case CapStyle::kSquare: return agg::square_cap;
    case CapStyle::kRound: break;
  }
  return agg::round_cap;
}

agg::line_join_e ToAgg(JoinStyle join) {
  switch (join) {
    case JoinStyle::kBevel: return agg::bevel_join;
    case JoinStyle::kMiter: return agg::miter_join_revert;
    case JoinStyle::kRound: break;
  }
  return agg::round_join;
}

}  // namespace

// Chords are spread along the curve so that each strays about equally from
// it, following the parabola-arc-length approach published by R. Levien
// ("Flattening quadratic Béziers", 2019): the curve is mapped onto a segment
// of y = x^2, where an approximate integral says how many chords are needed
// and where they go. The estimate errs on the safe side, so a curve that
// already stays within the tolerance of its own chord gets just that chord.
// Degenerate and cusp-like curves fall back to equal steps in t.
void FlattenQuadratic(Point start, Point control, Point end, std::vector<Point>& out) {
  auto at = [&](double t) {
    const double u = 1 - t;
    return Point{u * u * start.x + 2 * u * t * control.x + t * t * end.x,
                 u * u * start.y + 2 * u * t * control.y + t * t * end.y};
  };
  auto integral = [](double x) {
    constexpr double kD = 0.67;
    return x / (1 - kD + std::pow(kD * kD * kD * kD + 0.25 * x * x, 0.25));
  };
  auto inverseIntegral = [](double x) {
    constexpr double kB = 0.39;
    return x * (1 - kB + std::sqrt(kB * kB + 0.25 * x * x));
  };
  const double ddx = 2 * control.x - start.x - end.x;
  const double ddy = 2 * control.y - start.y - end.y;
  const double cross = (end.x - start.x) * ddy - (end.y - start.y) * ddx;

  // A curve that does not run past its ends strays from its chord by half
  // the control point's distance from it. The slack keeps a curve whose stray
  // is exactly the tolerance (common with whole-twip coordinates) on one
  // chord despite rounding. Most curves of a detailed drawing end here.
  const double chordX = end.x - start.x;
  const double chordY = end.y - start.y;
  const double chordSquared = chordX * chordX + chordY * chordY;
  const double along = (control.x - start.x) * chordX + (control.y - start.y) * chordY;
  const bool staysBetweenEnds = along >= 0 && along <= chordSquared;
  if (staysBetweenEnds && std::fabs(cross) <= 4 * kFlatteningTolerance * (1 + 1e-9) * std::sqrt(chordSquared)) {
    out.push_back(end);
    return;
  }

  const double x0 = ((control.x - start.x) * ddx + (control.y - start.y) * ddy) / cross;
  const double x2 = ((end.x - control.x) * ddx + (end.y - control.y) * ddy) / cross;
  const double scale = std::fabs(cross) / (std::hypot(ddx, ddy) * std::fabs(x2 - x0));
  const double a0 = integral(x0);
  const double a2 = integral(x2);
  const double value = std::fabs(a2 - a0) * std::sqrt(scale);
  const bool mapped = std::isfinite(value) && std::isfinite(a0) && std::isfinite(a2) && x0 != x2;
  double wanted;
  if (mapped) {
    wanted = std::ceil(0.5 * value / std::sqrt(kFlatteningTolerance));
  } else {
    // Chord error of n equal steps is |start - 2 control + end| / (4 n^2).
    const double deviation = std::hypot(ddx, ddy);
    wanted = std::isfinite(deviation) ? std::ceil(std::sqrt(deviation / (4 * kFlatteningTolerance))) : 1;
  }
  // Clamped as a double: a huge curve's count does not fit an int.
  const int chords = static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(kMaxChordsPerCurve)));
  // The ends map through the same approximate inverse as the inner points,
  // so that t runs exactly from 0 to 1.
  const double u0 = inverseIntegral(a0);
  const double u2 = inverseIntegral(a2);
  for (int i = 1; i < chords; ++i) {
    double t = static_cast<double>(i) / chords;
    if (mapped) {
      const double mappedT = (inverseIntegral(a0 + (a2 - a0) * t) - u0) / (u2 - u0);
      if (std::isfinite(mappedT)) t = std::clamp(mappedT, 0.0, 1.0);
    }
    out.push_back(at(t));
  }
  out.push_back(end);
}

Point ClampToDevice(Point p) {
  auto clamp = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, -kMaxDeviceCoordinate, kMaxDeviceCoordinate); };
  return {clamp(p.x), clamp(p.y)};
}

void FlattenPath(const ShapePath& path, const Matrix& toDevice, std::vector<Point>& points, Point shift) {
  points.clear();
  points.reserve(path.segments.size() + 1);
  points.push_back(toDevice.Apply(path.start));
  for (const Segment& segment : path.segments) {
    const Point end = toDevice.Apply(segment.to);
    if (segment.curved) {
      FlattenQuadratic(points.back(), toDevice.Apply(segment.control), end, points);
    } else {
      points.push_back(end);
    }
  }
  for (Point& p : points) p = ClampToDevice({p.x - shift.x, p.y - shift.y});
}

double StrokeDeviceWidth(const LineStyle& line, const Matrix& toDevice, double viewScale) {
  const double xScale = std::hypot(toDevice.a, toDevice.b);
  const double yScale = std::hypot(toDevice.c, toDevice.d);
  double scale;
  if (line.noHScale && line.noVScale) {
    scale = viewScale;
  } else if (line.noHScale) {
    scale = yScale;
  } else if (line.noVScale) {
    scale = xScale;
  } else {
    scale = std::min(xScale, yScale);
  }
  const double width = line.width * scale;
  return std::isfinite(width) ? std::max(1.0, width) : 1.0;
}

std::vector<std::vector<Point>> HairlinePolyline(const std::vector<Point>& points) {
  std::vector<std::vector<Point>> bands;
  for (size_t i = 1; i < points.size(); ++i) {
    const Point a = points[i - 1];
    const Point b = points[i];
    if (a == b) continue;
    const bool steep = std::fabs(b.y - a.y) > std::fabs(b.x - a.x);
    const double ox = steep ? 0.5 : 0;
    const double oy = steep ? 0 : 0.5;
    std::vector<Point> band = {{a.x - ox, a.y - oy}, {b.x - ox, b.y - oy}, {b.x + ox, b.y + oy}, {a.x + ox, a.y + oy}};
    // Clockwise on the device (y down), whichever way the segment runs.
    const double turn = (b.x - a.x) * oy - (b.y - a.y) * ox;
    if (turn < 0) std::reverse(band.begin(), band.end());
    bands.push_back(std::move(band));
  }
  return bands;
}

std::vector<std::vector<Point>> StrokePolyline(const std::vector<Point>& input, bool closed,
                                               const StrokeStyle& style) {
  // Beyond these sizes the stroker's arithmetic overflows: its round parts
  // would get no step at all (and an unbounded count of points), its joins
  // NaN angles. Such strokes lie far outside any picture.
  constexpr double kMaxCoordinate = 1e15;
  constexpr double kMaxDeviceWidth = 1e5;
  const auto sane = [&](double v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate; };
  if (!(style.width > 0) || !sane(style.width) || !(style.approximationScale > 0) || !sane(style.approximationScale)) {
    return {};
  }
  for (const Point& p : input) {
    if (!sane(p.x) || !sane(p.y)) return {};
  }
  // Drop repeated points: joins need a direction on both sides.
  std::vector<agg::vertex_dist> v;
  v.reserve(input.size());
  for (const Point& p : input) {
    agg::vertex_dist vd(p.x, p.y);
    if (!v.empty() && !v.back()(vd)) continue;
    v.push_back(vd);
  }
  if (closed && v.size() > 2 && !v.back()(v.front())) v.pop_back();
  if (closed && v.size() < 3) closed = false;
  // dist of vertex i = length of the edge from i to the next one.
  for (size_t i = 0; i + 1 < v.size(); ++i) v[i](v[i + 1]);
  if (!v.empty()) v.back()(v.front());

  agg::math_stroke<VertexCollector> stroker;
  stroker.width(style.width);
  stroker.approximation_scale(std::min(style.approximationScale, kMaxDeviceWidth / style.width));
  stroker.line_join(ToAgg(style.join));
  stroker.miter_limit(std::max(1.0, style.miterLimit));
  stroker.inner_join(agg::inner_round);
  VertexCollector piece;
  std::vector<std::vector<Point>> contours;
  auto append = [&piece](std::vector<Point>& contour) {
    for (const auto& p : piece.points) contour.push_back({p.x, p.y});
  };

  if (v.size() == 1) {
    // A single point: a dot, as wide as the stroke, unless the caps are flat.
    if (style.startCap == CapStyle::kNone) return contours;
    agg::vertex_dist a = v[0];
    agg::vertex_dist b(a.x + 1e-3, a.y);
    a(b);
    b(a);
    std::vector<Point> contour;
    stroker.line_cap(ToAgg(style.startCap));
    stroker.calc_cap(piece, a, b, a.dist);
    append(contour);
    stroker.calc_cap(piece, b, a, a.dist);
    append(contour);
    contours.push_back(std::move(contour));
    return contours;
  }
  if (v.empty()) return contours;

  const size_t n = v.size();
  if (closed) {
    std::vector<Point> outer;
    for (size_t i = 0; i < n; ++i) {
      const auto& prev = v[(i + n - 1) % n];
      stroker.calc_join(piece, prev, v[i], v[(i + 1) % n], prev.dist, v[i].dist);
      append(outer);
    }
    std::vector<Point> inner;
    for (size_t k = n; k-- > 0;) {
      const auto& next = v[(k + 1) % n];
      const auto& prev = v[(k + n - 1) % n];
      stroker.calc_join(piece, next, v[k], prev, v[k].dist, prev.dist);
      append(inner);
    }
    contours.push_back(std::move(outer));
    contours.push_back(std::move(inner));
    return contours;
  }

  std::vector<Point> contour;
  stroker.line_cap(ToAgg(style.startCap));
  stroker.calc_cap(piece, v[0], v[1], v[0].dist);
  append(contour);
  for (size_t i = 1; i + 1 < n; ++i) {
    stroker.calc_join(piece, v[i - 1], v[i], v[i + 1], v[i - 1].dist, v[i].dist);
    append(contour);
  }
  stroker.line_cap(ToAgg(style.endCap));
  stroker.calc_cap(piece, v[n - 1], v[n - 2], v[n - 2].dist);
  append(contour);
  for (size_t i = n - 1; i-- > 1;) {
    stroker.calc_join(piece, v[i + 1], v[i], v[i - 1], v[i].dist, v[i - 1].dist);
    append(contour);
  }
  contours.push_back(std::move(contour));
  return contours;
}

}  // namespace swf
