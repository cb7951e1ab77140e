#pragma once

#include <functional>
#include <vector>

#include "swf/parse/types.h"

namespace swf {

// Low-quality rasterizing: a pixel belongs to a style when the pixel's
// centre is inside it, so edges are hard and only exact colours appear. Ties
// follow the top-left rule: a centre exactly on an edge belongs to the area
// to the edge's right (or below it). Vertices are put on a grid of 1/256
// pixel, as the anti-aliasing rasterizer does, so that an edge meant to run
// through pixel centres (half-pixel coordinates are common in twips) does
// so exactly and ties are decided on exact values.
//
// Edges carry a style on each side, like the compound rasterizer's
// styles(left, right); -1 is none. "Left" is the left for the direction of
// travel in device space (y down).
class AliasedRasterizer {
 public:
  enum class FillRule { kEvenOdd, kNonZero };

  AliasedRasterizer(int width, int height) : width_(width), height_(height) {}

  void Styles(int left, int right) {
    left_ = left;
    right_ = right;
  }
  void MoveTo(Point p) { pen_ = Snap(p); }
  void LineTo(Point p);
  bool Empty() const { return edges_.empty(); }

  // Calls paint(y, x0, x1, style) for runs of pixels [x0, x1) on row y. Where
  // several styles cover a pixel, the lowest style number is taken, as the
  // high-quality path does.
  void Render(FillRule rule, const std::function<void(int y, int x0, int x1, int style)>& paint) const;

 private:
  static Point Snap(Point p);

  struct Edge {
    double x0, y0, x1, y1;
    int left, right;
  };

  int width_;
  int height_;
  int left_ = -1;
  int right_ = -1;
  Point pen_;
  std::vector<Edge> edges_;
};

}  // namespace swf
