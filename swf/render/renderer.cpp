#include "swf/render/renderer.h"

#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_compound_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>

#include <cmath>
#include <variant>
#include <vector>

#include "swf/render/aliased_rasterizer.h"
#include "swf/render/geometry.h"

namespace swf {
namespace {

agg::rgba8 ToAgg(Rgba c) { return agg::rgba8(c.r, c.g, c.b, c.a); }

// AGG's style-handler interface for the compound renderer: solid colours
// per style index; kinds of fill not drawn yet are transparent.
struct SolidStyleHandler {
  const std::vector<agg::rgba8>* colors;
  bool is_solid(unsigned) const { return true; }
  agg::rgba8 color(unsigned style) const { return (*colors)[style]; }
  void generate_span(agg::rgba8*, int, int, unsigned, unsigned) {}
};

template <class PixFmt>
class SceneRenderer {
 public:
  SceneRenderer(const RenderTarget& target, const RenderOptions& options)
      : buffer_(target.pixels, static_cast<unsigned>(target.width), static_cast<unsigned>(target.height),
                target.stride),
        pixels_(buffer_),
        base_(pixels_),
        options_(options),
        width_(target.width),
        height_(target.height),
        viewScale_(std::sqrt(std::fabs(options.view.Determinant()))) {}

  void Draw(const DisplayList& list) {
    const Rgba bg = options_.background;
    base_.clear(agg::rgba8(bg.r, bg.g, bg.b, 255));
    DrawList(list, options_.view, ColorTransform::Identity());
  }

 private:
  void DrawList(const DisplayList& list, const Matrix& parentWorld, const ColorTransform& parentColor) {
    for (const auto& [depth, object] : list) {
      // Masks are never drawn themselves; clipping by them comes later.
      if (!object.visible || object.clipDepth > 0 || object.character == nullptr) continue;
      const Matrix world = Matrix::Compose(object.matrix, parentWorld);
      const ColorTransform color = ColorTransform::Compose(object.colorTransform, parentColor);
      if (const auto* shape = std::get_if<ShapeDefinition>(object.character)) {
        DrawShape(*shape, world, color);
      } else if (object.sprite) {
        DrawList(object.sprite->List(), world, color);
      }
    }
  }

  void DrawShape(const ShapeDefinition& shape, const Matrix& world, const ColorTransform& color) {
    for (const ShapeLayer& layer : shape.layers) {
      FillLayer(layer, shape.nonZeroWinding, world, color);
      StrokeLayer(layer, world, color);
    }
  }

  void FillLayer(const ShapeLayer& layer, bool nonZero, const Matrix& world, const ColorTransform& color) {
    if (layer.fills.empty()) return;
    std::vector<agg::rgba8> colors(layer.fills.size(), agg::rgba8(0, 0, 0, 0));
    for (size_t i = 0; i < layer.fills.size(); ++i) {
      if (const auto* solid = std::get_if<SolidFill>(&layer.fills[i])) colors[i] = ToAgg(color.Apply(solid->color));
    }
    if (options_.quality == Quality::kLow) {
      AliasedRasterizer rasterizer(width_, height_);
      for (const ShapePath& path : layer.paths) {
        if (path.fill0 == 0 && path.fill1 == 0) continue;
        const std::vector<Point> points = FlattenPath(path, world);
        rasterizer.Styles(static_cast<int>(path.fill0) - 1, static_cast<int>(path.fill1) - 1);
        rasterizer.MoveTo(points[0]);
        for (size_t i = 1; i < points.size(); ++i) rasterizer.LineTo(points[i]);
      }
      PaintAliased(rasterizer, nonZero, colors);
      return;
    }
    agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl> rasterizer;
    rasterizer.clip_box(0, 0, width_, height_);
    rasterizer.filling_rule(nonZero ? agg::fill_non_zero : agg::fill_even_odd);
    rasterizer.layer_order(agg::layer_direct);
    bool any = false;
    for (const ShapePath& path : layer.paths) {
      if (path.fill0 == 0 && path.fill1 == 0) continue;
      const std::vector<Point> points = FlattenPath(path, world);
      rasterizer.styles(static_cast<int>(path.fill0) - 1, static_cast<int>(path.fill1) - 1);
      rasterizer.move_to_d(points[0].x, points[0].y);
      for (size_t i = 1; i < points.size(); ++i) rasterizer.line_to_d(points[i].x, points[i].y);
      any = true;
    }
    if (!any) return;
    SolidStyleHandler styles{&colors};
    agg::scanline_u8 scanline;
    agg::span_allocator<agg::rgba8> allocator;
    agg::render_scanlines_compound_layered(rasterizer, scanline, base_, allocator, styles);
  }

  void PaintAliased(const AliasedRasterizer& rasterizer, bool nonZero, const std::vector<agg::rgba8>& colors) {
    rasterizer.Render(nonZero ? AliasedRasterizer::FillRule::kNonZero : AliasedRasterizer::FillRule::kEvenOdd,
                      [&](int y, int x0, int x1, int style) {
                        base_.blend_hline(x0, y, x1 - 1, colors[static_cast<size_t>(style)], agg::cover_full);
                      });
  }

  // Consecutive paths with the same line style that continue where the
  // previous one ended are one stroke (joins, not caps, between them).
  void StrokeLayer(const ShapeLayer& layer, const Matrix& world, const ColorTransform& color) {
    const double worldScale = std::sqrt(std::fabs(world.Determinant()));
    uint32_t runLine = 0;
    Point runStart;  // shape space, to tell closed strokes
    Point runEnd;
    std::vector<Point> run;  // device pixels
    auto flush = [&]() {
      if (runLine != 0) {
        DrawStroke(layer.lines[runLine - 1], run, runStart == runEnd, world, worldScale, color);
      }
      runLine = 0;
      run.clear();
    };
    for (const ShapePath& path : layer.paths) {
      const bool continues = runLine != 0 && path.line == runLine && path.start == runEnd;
      if (!continues) flush();
      if (path.line == 0) continue;
      if (runLine == 0) {
        runLine = path.line;
        runStart = path.start;
        run.push_back(world.Apply(path.start));
      }
      for (const Segment& segment : path.segments) {
        if (segment.curved) {
          FlattenQuadratic(run.back(), world.Apply(segment.control), world.Apply(segment.to), run);
        } else {
          run.push_back(world.Apply(segment.to));
        }
      }
      runEnd = path.segments.back().to;
    }
    flush();
  }

  // A stroke is outlined in the shape's own space and then transformed, so
  // that a shape scaled more in x than in y gets accordingly wider vertical
  // lines and elliptic round ends. Hairlines, strokes thinner than a pixel
  // and non-scaling strokes are outlined on the device, at least a pixel wide.
  void DrawStroke(const LineStyle& line, const std::vector<Point>& points, bool closedPath, const Matrix& world,
                  double worldScale, const ColorTransform& color) {
    if (points.size() < 2 || line.fill) return;  // gradient and bitmap strokes come later
    const bool closed = closedPath && !line.noClose;
    StrokeStyle style;
    style.startCap = line.startCap;
    style.endCap = line.endCap;
    style.join = line.join;
    style.miterLimit = line.miterLimit;
    const bool nonScaling = line.noHScale && line.noVScale;
    const double deviceWidth = line.width * (nonScaling ? viewScale_ : worldScale);
    const auto inverse = world.Inverse();
    std::vector<std::vector<Point>> contours;
    if (nonScaling || deviceWidth < 1 || !inverse) {
      style.width = std::max(1.0, deviceWidth);
      contours = StrokePolyline(points, closed, style);
    } else {
      std::vector<Point> local;
      local.reserve(points.size());
      for (const Point& p : points) local.push_back(inverse->Apply(p));
      style.width = line.width;
      style.approximationScale = worldScale;
      contours = StrokePolyline(local, closed, style);
      for (auto& contour : contours) {
        for (Point& p : contour) p = world.Apply(p);
      }
    }
    for (auto& contour : contours) {
      for (Point& p : contour) p = ClampToDevice(p);
    }
    const agg::rgba8 strokeColor = ToAgg(color.Apply(line.color));
    if (options_.quality == Quality::kLow) {
      AliasedRasterizer aliased(width_, height_);
      aliased.Styles(0, -1);
      for (const auto& contour : contours) {
        if (contour.size() < 3) continue;
        aliased.MoveTo(contour[0]);
        for (size_t i = 1; i < contour.size(); ++i) aliased.LineTo(contour[i]);
        aliased.LineTo(contour[0]);
      }
      PaintAliased(aliased, true, {strokeColor});
      return;
    }
    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> rasterizer;
    rasterizer.clip_box(0, 0, width_, height_);
    rasterizer.filling_rule(agg::fill_non_zero);
    for (const auto& contour : contours) {
      if (contour.size() < 3) continue;
      rasterizer.move_to_d(contour[0].x, contour[0].y);
      for (size_t i = 1; i < contour.size(); ++i) rasterizer.line_to_d(contour[i].x, contour[i].y);
      rasterizer.close_polygon();
    }
    agg::scanline_u8 scanline;
    agg::render_scanlines_aa_solid(rasterizer, scanline, base_, strokeColor);
  }

  agg::rendering_buffer buffer_;
  PixFmt pixels_;
  agg::renderer_base<PixFmt> base_;
  const RenderOptions& options_;
  int width_;
  int height_;
  double viewScale_;
};

}  // namespace

Matrix ShowAllTransform(const Rect& stage, int width, int height) {
  const double stageWidth = stage.Width() / kTwipsPerPixel;
  const double stageHeight = stage.Height() / kTwipsPerPixel;
  if (stageWidth <= 0 || stageHeight <= 0 || width <= 0 || height <= 0) {
    return Matrix::Scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
  }
  const double scale = std::min(width / stageWidth, height / stageHeight);
  const double offsetX = (width - stageWidth * scale) / 2;
  const double offsetY = (height - stageHeight * scale) / 2;
  const double perTwip = scale / kTwipsPerPixel;
  return {perTwip, 0, 0, perTwip, offsetX - stage.xMin * perTwip, offsetY - stage.yMin * perTwip};
}

void RenderDisplayList(const DisplayList& list, const RenderTarget& target, const RenderOptions& options) {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return;
  if (target.format == PixelFormat::kRgba32) {
    SceneRenderer<agg::pixfmt_rgba32>(target, options).Draw(list);
  } else {
    SceneRenderer<agg::pixfmt_bgra32>(target, options).Draw(list);
  }
}

}  // namespace swf
