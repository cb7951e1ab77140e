#include "swf/render/layer.h"

#include <algorithm>
#include <array>

#include "swf/render/aliased_rasterizer.h"
#include "swf/render/geometry.h"

namespace swf {

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  const int x0 = std::max(a.x, b.x);
  const int y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.width, b.x + b.width);
  const int y1 = std::min(a.y + a.height, b.y + b.height);
  if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
  return {x0, y0, x1 - x0, y1 - y0};
}

Layer::Layer(const PixelRect& rect)
    : rect_(rect.Empty() ? PixelRect{rect.x, rect.y, 0, 0} : rect),
      pixels_(static_cast<size_t>(LayerBytes(rect_.width, rect_.height)), 0) {}

void MarkMaskSamples(const ShapeLayer& layer, bool nonZero, const Matrix& toDevice, agg::rendering_buffer& mask,
                     Point shift) {
  const int width = static_cast<int>(mask.width());
  const int height = static_cast<int>(mask.height());
  // AliasedRasterizer looks at pixel centres; the geometry moved by
  // (centre - sample) puts each sample point where the centre is. The moves
  // are whole eighths of a pixel, so the vertices stay on its grid.
  std::array<AliasedRasterizer, 4> rasterizers{AliasedRasterizer(width, height), AliasedRasterizer(width, height),
                                               AliasedRasterizer(width, height), AliasedRasterizer(width, height)};
  std::vector<Point> points;
  for (const ShapePath& path : layer.paths) {
    if (path.fill0 == 0 && path.fill1 == 0) continue;
    FlattenPath(path, toDevice, points, shift);
    for (size_t s = 0; s < rasterizers.size(); ++s) {
      const double dx = 0.5 - kMaskSamplePoints[s].x;
      const double dy = 0.5 - kMaskSamplePoints[s].y;
      AliasedRasterizer& rasterizer = rasterizers[s];
      rasterizer.Styles(static_cast<int>(path.fill0) - 1, static_cast<int>(path.fill1) - 1);
      rasterizer.MoveTo({points[0].x + dx, points[0].y + dy});
      for (size_t i = 1; i < points.size(); ++i) rasterizer.LineTo({points[i].x + dx, points[i].y + dy});
    }
  }
  const auto rule = nonZero ? AliasedRasterizer::FillRule::kNonZero : AliasedRasterizer::FillRule::kEvenOdd;
  for (size_t s = 0; s < rasterizers.size(); ++s) {
    rasterizers[s].Render(rule, [&](int y, int x0, int x1, int) {
      uint8_t* row = mask.row_ptr(y);
      for (int x = x0; x < x1; ++x) row[static_cast<size_t>(x) * 4 + s] = 255;
    });
  }
}

void CompositeMasked(const Layer& content, const Layer& mask, agg::rendering_buffer& target) {
  const PixelRect area = Intersect(
      Intersect(content.Rect(), mask.Rect()),
      PixelRect{0, 0, static_cast<int>(target.width()), static_cast<int>(target.height())});
  constexpr unsigned kFull = 4 * 255;
  for (int y = area.y; y < area.y + area.height; ++y) {
    const uint8_t* source = content.Row(y - content.Rect().y) + static_cast<size_t>(area.x - content.Rect().x) * 4;
    const uint8_t* samples = mask.Row(y - mask.Rect().y) + static_cast<size_t>(area.x - mask.Rect().x) * 4;
    uint8_t* out = target.row_ptr(y) + static_cast<size_t>(area.x) * 4;
    for (int x = 0; x < area.width; ++x, source += 4, samples += 4, out += 4) {
      const unsigned covered = samples[0] + samples[1] + samples[2] + samples[3];  // 0 .. kFull
      if (covered == 0 || source[3] == 0) continue;
      const unsigned keep = 255 - source[3];
      for (int c = 0; c < 4; ++c) {
        // The premultiplied content over the target, then the mean of the
        // samples: an opaque colour on half the samples gives
        // (colour + below) / 2, rounded down.
        const unsigned over = std::min(255u, source[c] + (out[c] * keep + 127) / 255);
        out[c] = static_cast<uint8_t>((over * covered + out[c] * (kFull - covered)) / kFull);
      }
    }
  }
}

}  // namespace swf
