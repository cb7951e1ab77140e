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

void FlattenQuadratic(Point start, Point control, Point end, std::vector<Point>& out) {
  // Chord error of n equal steps is |start - 2 control + end| / (4 n^2).
  const double dx = start.x - 2 * control.x + end.x;
  const double dy = start.y - 2 * control.y + end.y;
  const double deviation = std::sqrt(dx * dx + dy * dy);
  int chords = static_cast<int>(std::ceil(std::sqrt(deviation / (4 * kFlatteningTolerance))));
  if (!std::isfinite(deviation)) chords = 1;
  chords = std::clamp(chords, 1, kMaxChordsPerCurve);
  for (int i = 1; i < chords; ++i) {
    const double t = static_cast<double>(i) / chords;
    const double u = 1 - t;
    out.push_back({u * u * start.x + 2 * u * t * control.x + t * t * end.x,
                   u * u * start.y + 2 * u * t * control.y + t * t * end.y});
  }
  out.push_back(end);
}

std::vector<Point> FlattenPath(const ShapePath& path, const Matrix& toDevice) {
  std::vector<Point> points;
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
  return points;
}

std::vector<std::vector<Point>> StrokePolyline(const std::vector<Point>& input, bool closed,
                                               const StrokeStyle& style) {
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
