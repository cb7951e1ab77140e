#include "swf/render/sampled_coverage.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "swf/render/aliased_rasterizer.h"

namespace swf {

void SampledCoverage::Render(const std::vector<std::vector<Point>>& contours, int width, int height,
                             std::vector<uint8_t>& counts,
                             const std::function<void(int y, int x0, int x1, int samples)>& paint) {
  if (width <= 0 || height <= 0) return;
  // Only the rows and columns the outline reaches get counters.
  constexpr double kNone = std::numeric_limits<double>::infinity();
  double minX = kNone, minY = kNone, maxX = -kNone, maxY = -kNone;
  for (const auto& contour : contours) {
    if (contour.size() < 3) continue;
    for (const Point& p : contour) {
      minX = std::min(minX, p.x);
      minY = std::min(minY, p.y);
      maxX = std::max(maxX, p.x);
      maxY = std::max(maxY, p.y);
    }
  }
  if (!(minX <= maxX) || !(minY <= maxY)) return;
  const int left = static_cast<int>(std::clamp(std::floor(minX) - 1, 0.0, static_cast<double>(width)));
  const int right = static_cast<int>(std::clamp(std::ceil(maxX) + 1, 0.0, static_cast<double>(width)));
  const int top = static_cast<int>(std::clamp(std::floor(minY) - 1, 0.0, static_cast<double>(height)));
  const int bottom = static_cast<int>(std::clamp(std::ceil(maxY) + 1, 0.0, static_cast<double>(height)));
  if (left >= right || top >= bottom) return;
  const size_t boxWidth = static_cast<size_t>(right - left);
  counts.assign(boxWidth * static_cast<size_t>(bottom - top), 0);

  // AliasedRasterizer looks at pixel centres; the outline moved by
  // (centre - sample) puts each sample point where the centre is. The moves
  // are quarters of a pixel, so the vertices stay on its grid.
  for (const Point& sample : kStrokeSamplePoints) {
    const double dx = 0.5 - sample.x;
    const double dy = 0.5 - sample.y;
    AliasedRasterizer rasterizer(width, height);
    rasterizer.Styles(0, -1);
    for (const auto& contour : contours) {
      if (contour.size() < 3) continue;
      rasterizer.MoveTo({contour[0].x + dx, contour[0].y + dy});
      for (size_t i = 1; i < contour.size(); ++i) rasterizer.LineTo({contour[i].x + dx, contour[i].y + dy});
      rasterizer.LineTo({contour[0].x + dx, contour[0].y + dy});
    }
    rasterizer.Render(AliasedRasterizer::FillRule::kNonZero, [&](int y, int x0, int x1, int) {
      if (y < top || y >= bottom) return;
      uint8_t* row = counts.data() + static_cast<size_t>(y - top) * boxWidth;
      for (int x = std::max(x0, left); x < std::min(x1, right); ++x) ++row[x - left];
    });
  }

  for (int y = top; y < bottom; ++y) {
    const uint8_t* row = counts.data() + static_cast<size_t>(y - top) * boxWidth;
    int x = left;
    while (x < right) {
      const uint8_t samples = row[x - left];
      int end = x + 1;
      while (end < right && row[end - left] == samples) ++end;
      if (samples > 0) paint(y, x, end, samples);
      x = end;
    }
  }
}

}  // namespace swf
