#include "swf/render/renderer.h"

#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_compound_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "swf/render/aliased_rasterizer.h"
#include "swf/render/bitmap_cache.h"
#include "swf/render/blend.h"
#include "swf/render/cached_objects.h"
#include "swf/render/fill_cell_cache.h"
#include "swf/render/fill_painter.h"
#include "swf/render/filter_effects.h"
#include "swf/render/geometry.h"
#include "swf/render/glyph_outline.h"
#include "swf/render/layer.h"

namespace swf {
namespace {

// AGG's style-handler interface for the compound renderer: one painter per
// style index (a colour, or spans for gradients and bitmaps).
// Painters work in target pixels; a layer's pixel (x, y) is the target's
// (x + dx, y + dy).
struct PainterStyleHandler {
  const std::vector<FillPainter>* painters;
  int dx = 0;
  int dy = 0;
  bool is_solid(unsigned style) const { return (*painters)[style].IsSolid(); }
  agg::rgba8 color(unsigned style) const { return (*painters)[style].SolidColor(); }
  void generate_span(agg::rgba8* span, int x, int y, unsigned length, unsigned style) {
    (*painters)[style].Generate(span, x + dx, y + dy, length);
  }
};

// Span generator for AGG's scanline renderer over one painter (strokes
// painted with a gradient or bitmap).
struct PainterSpanGenerator {
  const FillPainter* painter;
  int dx = 0;
  int dy = 0;
  void prepare() {}
  void generate(agg::rgba8* span, int x, int y, unsigned length) { painter->Generate(span, x + dx, y + dy, length); }
};

}  // namespace

struct RenderScratch::Buffers {
  agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl> compound;
  agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> strokeRasterizer;
  agg::scanline_u8 scanline;
  agg::span_allocator<agg::rgba8> spanAllocator;
  std::vector<FillPainter> painters;
  std::vector<Point> flattened;
  FillCellCache fillCells;
  BitmapCache pictures;
};

RenderScratch::RenderScratch() : buffers_(std::make_unique<Buffers>()) {}
RenderScratch::~RenderScratch() = default;
size_t RenderScratch::KeptPictures() const { return buffers_->pictures.KeptPictures(); }
size_t RenderScratch::PictureReuses() const { return buffers_->pictures.Reuses(); }

namespace {

// The smallest whole-pixel rectangle around `box`, one pixel more on each
// side for anti-aliased edges and strokes, grown by `margins`.
PixelRect EnclosingRect(const Box& box, const FilterMargins& margins) {
  static constexpr double kLimit = 1 << 24;  // far beyond any target, and exact in an int
  auto clampToLimit = [](double v) { return std::clamp(v, -kLimit, kLimit); };
  if (!std::isfinite(box.xMin) || !std::isfinite(box.yMin) || !std::isfinite(box.xMax) || !std::isfinite(box.yMax)) {
    return {};
  }
  const int x0 = static_cast<int>(std::floor(clampToLimit(box.xMin))) - 1 - margins.left;
  const int y0 = static_cast<int>(std::floor(clampToLimit(box.yMin))) - 1 - margins.top;
  const int x1 = static_cast<int>(std::ceil(clampToLimit(box.xMax))) + 1 + margins.right;
  const int y1 = static_cast<int>(std::ceil(clampToLimit(box.yMax))) + 1 + margins.bottom;
  return {x0, y0, x1 - x0, y1 - y0};
}

template <class PixFmt>
class SceneRenderer {
 public:
  SceneRenderer(const RenderTarget& target, const RenderOptions& options, RenderScratch::Buffers& scratch)
      : buffer_(target.pixels, static_cast<unsigned>(target.width), static_cast<unsigned>(target.height),
                target.stride),
        pixels_(buffer_),
        base_(pixels_),
        options_(options),
        width_(target.width),
        height_(target.height),
        viewScale_(std::sqrt(std::fabs(options.view.Determinant()))),
        compound_(scratch.compound),
        strokeRasterizer_(scratch.strokeRasterizer),
        scanline_(scratch.scanline),
        spanAllocator_(scratch.spanAllocator),
        painters_(scratch.painters),
        flattened_(scratch.flattened),
        fillCells_(scratch.fillCells),
        pictures_(scratch.pictures) {
    compound_.clip_box(0, 0, width_, height_);
    strokeRasterizer_.clip_box(0, 0, width_, height_);
  }

  void Draw(const Stage& stage) {
    const Rgba bg = options_.background;
    base_.clear(agg::rgba8(bg.r, bg.g, bg.b, 255));
    stage_ = &stage;
    // Level 0 fills the view; the movies loaded into other levels lie over it.
    for (const auto& [level, root] : stage.Levels()) {
      const DisplayObject& object = *stage.Get(root);
      if (level == 0) {
        DrawChildren(object, options_.view, ColorTransform::Identity());
      } else if (object.visible) {
        DrawChildren(object, Matrix::Compose(object.matrix, options_.view), object.colorTransform);
      }
    }
    fillCells_.EndFrame();
    pictures_.EndDrawing();
  }

 private:
  // The picture drawn into now: the target, or a group's layer, and where
  // its top-left pixel lies on the target. World matrices map to the
  // target; DrawShape moves them onto the surface.
  struct Surface {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    int x = 0;
    int y = 0;
  };

  Surface Current() {
    return {buffer_.buf(), width_, height_, buffer_.stride(), surfaceX_, surfaceY_};
  }

  void Attach(const Surface& surface) {
    buffer_.attach(surface.pixels, static_cast<unsigned>(surface.width), static_cast<unsigned>(surface.height),
                   surface.stride);
    width_ = surface.width;
    height_ = surface.height;
    surfaceX_ = surface.x;
    surfaceY_ = surface.y;
    base_.reset_clipping(true);
    compound_.clip_box(0, 0, width_, height_);
    strokeRasterizer_.clip_box(0, 0, width_, height_);
  }

  // Sends drawing into `layer` (placed at its rectangle on the current
  // surface) and returns what to Attach once it is done.
  Surface Enter(Layer& layer) {
    const Surface below = Current();
    Attach({layer.Pixels(), layer.Width(), layer.Height(), layer.Stride(), surfaceX_ + layer.Rect().x,
            surfaceY_ + layer.Rect().y});
    return below;
  }

  // Where the surface lies on the target, taken off device points.
  Point Shift() const { return {static_cast<double>(surfaceX_), static_cast<double>(surfaceY_)}; }

  // Takes `bytes` of the groups' memory, or says there is none left.
  bool Reserve(uint64_t bytes) {
    const uint64_t ceiling = options_.maxGroupBytes;
    if (bytes > ceiling - std::min(ceiling, groupBytes_)) return false;
    groupBytes_ += bytes;
    return true;
  }

  // A mask of the list being drawn: the objects up to `clipDepth` go into
  // `content`, which is then composited through `mask` onto what was the
  // surface before (`below`). Both cover the mask's own bounds.
  struct OpenMask {
    int32_t clipDepth = 0;
    std::unique_ptr<Layer> mask;
    std::unique_ptr<Layer> content;
    Surface below;
  };

  // The children of a clip or button, in increasing depth.
  void DrawChildren(const DisplayObject& parent, const Matrix& parentWorld, const ColorTransform& parentColor) {
    std::vector<OpenMask> masks;
    for (const auto& [depth, handle] : parent.children) {
      CloseMasks(masks, depth);
      const DisplayObject& object = *stage_->Get(handle);
      // A clip a script made or a movie was loaded into has no character.
      if (object.character == nullptr && !object.timeline) continue;
      Matrix world = Matrix::Compose(object.matrix, parentWorld);
      if (object.clipDepth > 0) {
        // A mask is never drawn itself; inside another mask's shape it adds nothing.
        if (!maskMode_) OpenMaskFor(object, world, masks);
        continue;
      }
      if (!object.visible) continue;
      const ColorTransform color = ColorTransform::Compose(object.colorTransform, parentColor);
      // An object with filters is a cached picture too.
      const bool cachedPicture = object.cacheAsBitmap || !object.filters.filters.empty();
      if (cachedPicture || object.opaqueBackground) {
        if (const auto bounds = LocalBounds(*stage_, object)) {
          if (cachedPicture) world = SnapToWholePixels(world, *bounds);
          if (object.opaqueBackground && !maskMode_) {
            DrawShape(BackgroundShape(*bounds, *object.opaqueBackground), world, color, Lifetime::kThisDrawing);
          }
        }
      }
      if (!maskMode_) {
        const BlendMode blend = ToBlendMode(object.blendMode);
        // Alpha and erase change the opacity of the group they are drawn
        // in; with none open there is nothing of theirs to show.
        const bool opacityOnly = blend == BlendMode::kAlpha || blend == BlendMode::kErase;
        if (opacityOnly && openGroups_ == 0) continue;
        if ((blend != BlendMode::kNormal || object.cacheAsBitmap || !object.filters.filters.empty()) &&
            (DrawGroup(object, world, color, blend) || opacityOnly)) {
          continue;  // drawn, or (alpha, erase) nothing to show without its group
        }
      }
      DrawObject(object, world, color);
    }
    CloseMasks(masks, std::numeric_limits<int64_t>::max());
  }

  // How many device pixels a pixel of a filter's sizes is: the view's scale.
  FilterScale ViewFilterScale() const {
    const Matrix& v = options_.view;
    return {std::hypot(v.a, v.b) * kTwipsPerPixel, std::hypot(v.c, v.d) * kTwipsPerPixel};
  }

  // Draws the object alone into a layer around its bounds (grown by its
  // filters' reach), filters it, and blends it onto the surface; an object
  // with filters or cached as a picture keeps that picture for the next
  // drawing. False when the groups' memory is used up: the caller draws
  // the object directly.
  bool DrawGroup(const DisplayObject& object, const Matrix& world, const ColorTransform& color, BlendMode blend) {
    const auto bounds = LocalBounds(*stage_, object);
    if (!bounds) return true;  // shows nothing
    const std::span<const Filter> filters = object.filters.filters;
    const FilterScale scale = ViewFilterScale();
    const FilterMargins margins = MarginsOf(filters, scale);
    const PixelRect whole = EnclosingRect(MapBox(*bounds, world), margins);
    // Beyond the surface only what the filters can bring into it counts.
    const PixelRect reach{surfaceX_ - margins.left, surfaceY_ - margins.top, width_ + margins.left + margins.right,
                          height_ + margins.top + margins.bottom};
    PixelRect onTarget = Intersect(whole, reach);
    if (onTarget.Empty()) return true;
    const BlendMode composite = blend == BlendMode::kLayer ? BlendMode::kNormal : blend;
    const bool cached = object.cacheAsBitmap || !filters.empty();

    std::optional<CachedContent> content;
    if (cached) {
      content = DescribeContent(*stage_, object, world);
      content->color = color;
      content->viewScaleX = scale.x;
      content->viewScaleY = scale.y;
      content->quality = static_cast<int>(options_.quality);
      content->bitmaps = bitmaps_;
      if (options_.reuseCachedPictures) {
        if (const BitmapCache::Picture* kept = pictures_.Find(object.self, *content)) {
          // The same picture, moved by the whole pixels the object moved.
          BlendLayer(composite, kept->pixels, buffer_, static_cast<int>(std::lround(world.tx - kept->worldX)) - surfaceX_,
                     static_cast<int>(std::lround(world.ty - kept->worldY)) - surfaceY_);
          return true;
        }
      }
    }

    const uint64_t bytes = LayerBytes(onTarget.width, onTarget.height);
    if (!Reserve(bytes)) return false;
    Layer group(PixelRect{onTarget.x - surfaceX_, onTarget.y - surfaceY_, onTarget.width, onTarget.height});
    const Surface below = Enter(group);
    ++openGroups_;
    // A filtered object's colour transform (its own and its parents') tints
    // what its filters make too: it applies to the filtered picture.
    DrawObject(object, world, filters.empty() ? color : ColorTransform::Identity());
    --openGroups_;
    Attach(below);
    groupBytes_ -= bytes;
    const ChannelOrder order{PixFmt::order_type::R, PixFmt::order_type::G, PixFmt::order_type::B};
    for (const Filter& filter : filters) ApplyFilter(filter, group, scale, order);
    if (!filters.empty()) ApplyColorTransform(group, color, order);
    BlendLayer(composite, group, buffer_);
    // A picture cut by the surface's edge would not do elsewhere.
    if (cached && onTarget == whole) {
      group.MoveTo(onTarget.x, onTarget.y);
      pictures_.Keep(object.self, {std::move(*content), world.tx, world.ty, std::move(group)});
    }
    return true;
  }

  // Draws the mask's fill geometry, opaque, into a layer of its own and
  // sends the drawing that follows into a second one.
  // What the object shows by its kind; bitmaps placed directly and text
  // fields are not drawn yet.
  void DrawObject(const DisplayObject& object, const Matrix& world, const ColorTransform& color) {
    // An imported character fills with its own movie's bitmaps.
    bitmaps_ = object.movie != nullptr ? &object.movie->bitmaps : options_.bitmaps;
    switch (object.kind) {
      case ObjectKind::kShape:
        DrawShape(std::get<ShapeDefinition>(*object.character), world, color);
        return;
      case ObjectKind::kStaticText:
        DrawText(std::get<TextDefinition>(*object.character), world, color);
        return;
      case ObjectKind::kMorphShape:
        DrawShape(MorphShapeAt(std::get<MorphShapeDefinition>(*object.character), object.ratio), world, color,
                  Lifetime::kThisDrawing);
        return;
      case ObjectKind::kMovieClip:
      case ObjectKind::kButton:
        DrawChildren(object, world, color);
        return;
      case ObjectKind::kTextField:
        if (object.textField) DrawTextField(*object.textField, world, color);
        return;
      case ObjectKind::kBitmap:
      case ObjectKind::kEmpty:
        return;
    }
  }

  // The mask and what it clips take a layer each, around the mask's bounds
  // on the surface: nothing outside them shows.
  void OpenMaskFor(const DisplayObject& object, const Matrix& world, std::vector<OpenMask>& masks) {
    const auto bounds = LocalBounds(*stage_, object);
    PixelRect rect{};
    if (bounds) rect = EnclosingRect(MapBox(*bounds, world), {});
    rect = Intersect(PixelRect{rect.x - surfaceX_, rect.y - surfaceY_, rect.width, rect.height},
                     PixelRect{0, 0, width_, height_});
    const uint64_t bytes = 2 * LayerBytes(rect.width, rect.height);
    if (!Reserve(bytes)) return;
    OpenMask open;
    open.clipDepth = object.clipDepth;
    open.mask = std::make_unique<Layer>(rect);
    open.content = std::make_unique<Layer>(rect);
    open.below = Enter(*open.mask);
    maskMode_ = true;
    DrawObject(object, world, ColorTransform::Identity());
    maskMode_ = false;
    Attach(open.below);
    Enter(*open.content);
    masks.push_back(std::move(open));
  }

  // Composites every open mask whose range ends before `depth`, innermost
  // first, and returns drawing to the picture below it.
  void CloseMasks(std::vector<OpenMask>& masks, int64_t depth) {
    while (!masks.empty() && masks.back().clipDepth < depth) {
      OpenMask& open = masks.back();
      Attach(open.below);
      CompositeMasked(*open.content, *open.mask, buffer_);
      groupBytes_ -= 2 * LayerBytes(open.mask->Width(), open.mask->Height());
      masks.pop_back();
    }
  }

  // Static text: each glyph is a shape of its own placed in the text, drawn
  // with its curves followed closely (a glyph outline made for this drawing).
  void DrawText(const TextDefinition& text, const Matrix& world, const ColorTransform& color) {
    for (const TextGlyph& glyph : text.glyphs) {
      const Matrix toDevice = GlyphToDevice(glyph.matrix, world, options_.view);
      DrawShape(FollowGlyphCurves(*glyph.shape, toDevice, glyphOutline_), toDevice, color, Lifetime::kThisDrawing);
    }
  }

  // A text field: its background, border and glyphs, as its text layer made
  // them.
  void DrawTextField(const text::TextFieldState& field, const Matrix& world, const ColorTransform& color) {
    for (const text::FieldShape& item : field.shapes) {
      if (item.glyph) {
        const Matrix toDevice = GlyphToDevice(item.matrix, world, options_.view);
        DrawShape(FollowGlyphCurves(*item.shape, toDevice, glyphOutline_), toDevice, color, Lifetime::kThisDrawing);
      } else {
        DrawShape(*item.shape, Matrix::Compose(item.matrix, world), color, Lifetime::kThisDrawing);
      }
    }
  }

  // Shapes of the movie live as long as it does; a morph's shape for one
  // ratio is made for one drawing and must not be remembered by address.
  enum class Lifetime { kMovie, kThisDrawing };

  void DrawShape(const ShapeDefinition& shape, const Matrix& world, const ColorTransform& color,
                 Lifetime lifetime = Lifetime::kMovie) {
    for (const ShapeLayer& layer : shape.layers) {
      FillLayer(layer, shape.nonZeroWinding, world, color, lifetime);
      StrokeLayer(layer, world, color);
    }
  }

  void FillLayer(const ShapeLayer& layer, bool nonZero, const Matrix& world, const ColorTransform& color,
                 Lifetime lifetime) {
    if (layer.fills.empty()) return;
    if (maskMode_ && options_.quality == Quality::kHigh) {
      MarkMaskSamples(layer, nonZero, world, buffer_, Shift());  // a mask's edges cover pixels by quarters
      return;
    }
    std::vector<FillPainter>& painters = painters_;
    painters.clear();
    painters.reserve(layer.fills.size());
    for (const FillStyle& fill : layer.fills) {
      // Inside a mask only the geometry counts.
      painters.push_back(maskMode_ ? FillPainter::Solid(Rgba{255, 255, 255, 255})
                                   : FillPainter(fill, world, color, bitmaps_));
    }
    if (options_.quality == Quality::kLow) {
      AliasedRasterizer rasterizer(width_, height_);
      for (const ShapePath& path : layer.paths) {
        if (path.fill0 == 0 && path.fill1 == 0) continue;
        std::vector<Point>& points = flattened_;
        FlattenPath(path, world, points, Shift());
        rasterizer.Styles(static_cast<int>(path.fill0) - 1, static_cast<int>(path.fill1) - 1);
        rasterizer.MoveTo(points[0]);
        for (size_t i = 1; i < points.size(); ++i) rasterizer.LineTo(points[i]);
      }
      PaintAliased(rasterizer, nonZero, painters);
      return;
    }
    // The surface's place is part of where the cells land.
    Matrix placed = world;
    placed.tx -= surfaceX_;
    placed.ty -= surfaceY_;
    const FillCellCache::Key key{&layer, placed, nonZero, width_, height_};
    FillCellCache::Rasterizer* rasterizer = lifetime == Lifetime::kMovie ? fillCells_.Find(key) : nullptr;
    if (rasterizer == nullptr) {
      rasterizer = lifetime == Lifetime::kMovie ? fillCells_.Keep(key, EdgePixels(layer, world)) : nullptr;
      if (rasterizer == nullptr) {
        rasterizer = &compound_;
        rasterizer->reset();
      }
      if (!FeedFillEdges(layer, nonZero, world, *rasterizer)) return;
    }
    PainterStyleHandler styles{&painters, surfaceX_, surfaceY_};
    agg::render_scanlines_compound_layered(*rasterizer, scanline_, base_, spanAllocator_, styles);
  }

  // The layer's fill edges, flattened, into the compound rasterizer; false
  // if it has none.
  bool FeedFillEdges(const ShapeLayer& layer, bool nonZero, const Matrix& world, FillCellCache::Rasterizer& rasterizer) {
    rasterizer.filling_rule(nonZero ? agg::fill_non_zero : agg::fill_even_odd);
    rasterizer.layer_order(agg::layer_direct);
    bool any = false;
    for (const ShapePath& path : layer.paths) {
      if (path.fill0 == 0 && path.fill1 == 0) continue;
      std::vector<Point>& points = flattened_;
      FlattenPath(path, world, points, Shift());
      rasterizer.styles(static_cast<int>(path.fill0) - 1, static_cast<int>(path.fill1) - 1);
      rasterizer.move_to_d(points[0].x, points[0].y);
      for (size_t i = 1; i < points.size(); ++i) rasterizer.line_to_d(points[i].x, points[i].y);
      any = true;
    }
    return any;
  }

  // About how many device pixels the layer's fill edges run through (curves
  // by their control polygons): the measure of its rasterized cells.
  static double EdgePixels(const ShapeLayer& layer, const Matrix& world) {
    double length = 0;
    for (const ShapePath& path : layer.paths) {
      if (path.fill0 == 0 && path.fill1 == 0) continue;
      Point previous = world.Apply(path.start);
      auto add = [&](Point p) {
        const Point q = world.Apply(p);
        length += std::fabs(q.x - previous.x) + std::fabs(q.y - previous.y);
        previous = q;
      };
      for (const Segment& segment : path.segments) {
        if (segment.curved) add(segment.control);
        add(segment.to);
      }
    }
    return length;
  }

  void PaintAliased(const AliasedRasterizer& rasterizer, bool nonZero, const std::vector<FillPainter>& painters) {
    std::vector<agg::rgba8> span;
    rasterizer.Render(nonZero ? AliasedRasterizer::FillRule::kNonZero : AliasedRasterizer::FillRule::kEvenOdd,
                      [&](int y, int x0, int x1, int style) {
                        const FillPainter& painter = painters[static_cast<size_t>(style)];
                        if (painter.IsSolid()) {
                          base_.blend_hline(x0, y, x1 - 1, painter.SolidColor(), agg::cover_full);
                          return;
                        }
                        span.resize(static_cast<size_t>(x1 - x0));
                        painter.Generate(span.data(), x0 + surfaceX_, y + surfaceY_, static_cast<unsigned>(x1 - x0));
                        base_.blend_color_hspan(x0, y, x1 - x0, span.data(), nullptr, agg::cover_full);
                      });
  }

  // Consecutive paths with the same line style that continue where the
  // previous one ended are one stroke (joins, not caps, between them).
  void StrokeLayer(const ShapeLayer& layer, const Matrix& world, const ColorTransform& color) {
    uint32_t runLine = 0;
    Point runStart;  // shape space, to tell closed strokes
    Point runEnd;
    std::vector<Point> run;  // device pixels
    auto flush = [&]() {
      if (runLine != 0) DrawStroke(layer.lines[runLine - 1], run, runStart == runEnd, world, color);
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

  // A stroke is outlined on the device with one width (StrokeDeviceWidth), so
  // that its round ends and joins stay circles. At high quality a line a
  // pixel wide or less is a hairline (HairlinePolyline); at low quality thin
  // lines keep their caps and joins, as the low-quality reference pictures
  // show.
  void DrawStroke(const LineStyle& line, const std::vector<Point>& points, bool closedPath, const Matrix& world,
                  const ColorTransform& color) {
    if (points.size() < 2 || maskMode_) return;  // masks ignore strokes
    StrokeStyle style;
    style.width = StrokeDeviceWidth(line, world, viewScale_);
    style.startCap = line.startCap;
    style.endCap = line.endCap;
    style.join = line.join;
    style.miterLimit = line.miterLimit;
    const bool hairline = style.width <= kHairlineMaxWidth && options_.quality == Quality::kHigh;
    std::vector<std::vector<Point>> contours = hairline ? HairlinePolyline(points)
                                                        : StrokePolyline(points, closedPath && !line.noClose, style);
    for (auto& contour : contours) {
      for (Point& p : contour) p = ClampToDevice({p.x - surfaceX_, p.y - surfaceY_});
    }
    const FillPainter painter = line.fill ? FillPainter(*line.fill, world, color, bitmaps_)
                                          : FillPainter::Solid(color.Apply(line.color));
    if (options_.quality == Quality::kLow) {
      AliasedRasterizer aliased(width_, height_);
      aliased.Styles(0, -1);
      for (const auto& contour : contours) {
        if (contour.size() < 3) continue;
        aliased.MoveTo(contour[0]);
        for (size_t i = 1; i < contour.size(); ++i) aliased.LineTo(contour[i]);
        aliased.LineTo(contour[0]);
      }
      PaintAliased(aliased, true, {painter});
      return;
    }
    auto& rasterizer = strokeRasterizer_;
    rasterizer.reset();
    rasterizer.filling_rule(agg::fill_non_zero);
    for (const auto& contour : contours) {
      if (contour.size() < 3) continue;
      rasterizer.move_to_d(contour[0].x, contour[0].y);
      for (size_t i = 1; i < contour.size(); ++i) rasterizer.line_to_d(contour[i].x, contour[i].y);
      rasterizer.close_polygon();
    }
    if (painter.IsSolid()) {
      agg::render_scanlines_aa_solid(rasterizer, scanline_, base_, painter.SolidColor());
      return;
    }
    PainterSpanGenerator spans{&painter, surfaceX_, surfaceY_};
    agg::render_scanlines_aa(rasterizer, scanline_, base_, spanAllocator_, spans);
  }

  agg::rendering_buffer buffer_;
  PixFmt pixels_;
  agg::renderer_base<PixFmt> base_;
  const RenderOptions& options_;
  // The bitmaps of the object being drawn: the root movie's, or an imported
  // character's own.
  const BitmapLibrary* bitmaps_ = options_.bitmaps;
  int width_;
  int height_;
  double viewScale_;
  // Reused by every fill and stroke (reset before each) and kept from frame
  // to frame, so that a movie of thousands of small shapes does not allocate
  // cell blocks, scanlines and point buffers thousands of times a frame.
  // Fills and strokes are drawn one at a time, never nested.
  agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl>& compound_;
  agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>& strokeRasterizer_;
  agg::scanline_u8& scanline_;
  agg::span_allocator<agg::rgba8>& spanAllocator_;
  std::vector<FillPainter>& painters_;
  std::vector<Point>& flattened_;
  FillCellCache& fillCells_;
  BitmapCache& pictures_;
  const Stage* stage_ = nullptr;
  ShapeDefinition glyphOutline_;  // the glyph being drawn, its curves followed closely
  bool maskMode_ = false;   // drawing a mask's geometry: fills opaque white, no strokes, no nested masks
  uint64_t groupBytes_ = 0;  // of the groups open now, against options_.maxGroupBytes
  int openGroups_ = 0;       // objects drawn alone (blend modes, filters, pictures) around the one drawn now
  int surfaceX_ = 0;         // where the surface's top-left pixel lies on the target
  int surfaceY_ = 0;
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

void RenderStage(const Stage& stage, const RenderTarget& target, const RenderOptions& options, RenderScratch& scratch) {
  if (target.pixels == nullptr || target.width <= 0 || target.height <= 0) return;
  if (target.format == PixelFormat::kRgba32) {
    SceneRenderer<agg::pixfmt_rgba32>(target, options, scratch.Get()).Draw(stage);
  } else {
    SceneRenderer<agg::pixfmt_bgra32>(target, options, scratch.Get()).Draw(stage);
  }
}

void RenderStage(const Stage& stage, const RenderTarget& target, const RenderOptions& options) {
  RenderScratch scratch;
  RenderStage(stage, target, options, scratch);
}

}  // namespace swf
