#include "swf/render/aliased_rasterizer.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

struct Crossing {
  double x;
  int enter;  // style entered when crossing in +x, -1 none
  int leave;  // style left
};

// First row whose centre (row + 0.5) is at or below `y`.
int FirstRowAtOrBelow(double y) { return static_cast<int>(std::ceil(y - 0.5)); }

}  // namespace

Point AliasedRasterizer::Snap(Point p) {
  constexpr double kGrid = 256;
  return {std::round(p.x * kGrid) / kGrid, std::round(p.y * kGrid) / kGrid};
}

void AliasedRasterizer::LineTo(Point p) {
  p = Snap(p);
  if (p.y != pen_.y && (left_ >= 0 || right_ >= 0) && std::isfinite(p.x) && std::isfinite(p.y)) {
    edges_.push_back({pen_.x, pen_.y, p.x, p.y, left_, right_});
  }
  pen_ = p;
}

void AliasedRasterizer::Render(FillRule rule, const std::function<void(int, int, int, int)>& paint) const {
  if (edges_.empty() || width_ <= 0 || height_ <= 0) return;
  int styleCount = 0;
  for (const Edge& e : edges_) styleCount = std::max({styleCount, e.left + 1, e.right + 1});

  // Edges grouped by the first row they cross; a row crosses an edge when
  // its centre lies in [top, bottom). Only the rows the edges reach are kept.
  int firstRow = height_;
  int endRow = 0;
  std::vector<std::pair<int, size_t>> starts;  // first row, edge
  starts.reserve(edges_.size());
  for (size_t i = 0; i < edges_.size(); ++i) {
    const Edge& e = edges_[i];
    const int first = std::max(0, FirstRowAtOrBelow(std::min(e.y0, e.y1)));
    const int end = std::min(height_, FirstRowAtOrBelow(std::max(e.y0, e.y1)));
    if (first >= end) continue;
    starts.emplace_back(first, i);
    firstRow = std::min(firstRow, first);
    endRow = std::max(endRow, end);
  }
  std::sort(starts.begin(), starts.end());

  std::vector<size_t> active;
  std::vector<Crossing> crossings;
  std::vector<int> counts(static_cast<size_t>(styleCount), 0);
  size_t nextStart = 0;
  for (int row = firstRow; row < endRow; ++row) {
    const double centerY = row + 0.5;
    while (nextStart < starts.size() && starts[nextStart].first == row) active.push_back(starts[nextStart++].second);
    crossings.clear();
    size_t kept = 0;
    for (size_t index : active) {
      const Edge& e = edges_[index];
      const double top = std::min(e.y0, e.y1);
      const double bottom = std::max(e.y0, e.y1);
      if (centerY >= bottom) continue;  // finished
      active[kept++] = index;
      if (centerY < top) continue;
      const double x = e.x0 + (centerY - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
      // Travelling down (y grows), the left side is the +x side.
      if (e.y1 > e.y0) {
        crossings.push_back({x, e.left, e.right});
      } else {
        crossings.push_back({x, e.right, e.left});
      }
    }
    active.resize(kept);
    if (crossings.empty()) continue;
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });

    std::fill(counts.begin(), counts.end(), 0);
    for (size_t i = 0; i < crossings.size(); ++i) {
      const Crossing& c = crossings[i];
      if (rule == FillRule::kEvenOdd) {
        if (c.enter >= 0) counts[static_cast<size_t>(c.enter)] ^= 1;
        if (c.leave >= 0) counts[static_cast<size_t>(c.leave)] ^= 1;
      } else {
        if (c.enter >= 0) ++counts[static_cast<size_t>(c.enter)];
        if (c.leave >= 0) --counts[static_cast<size_t>(c.leave)];
      }
      if (i + 1 == crossings.size()) break;
      // Pixels whose centres lie in [this crossing, next crossing).
      const double nextX = crossings[i + 1].x;
      const double x0 = std::max(0.0, std::ceil(c.x - 0.5));
      const double x1 = std::min(static_cast<double>(width_), std::ceil(nextX - 0.5));
      if (x0 >= x1) continue;
      const auto inside = std::find_if(counts.begin(), counts.end(), [](int n) { return n != 0; });
      if (inside == counts.end()) continue;
      paint(row, static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(inside - counts.begin()));
    }
  }
}

}  // namespace swf
