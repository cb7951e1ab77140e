#include "swf/render/cached_objects.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "swf/parse/morph.h"

namespace swf {
namespace {

Box FromRect(const Rect& rect) {
  return {static_cast<double>(std::min(rect.xMin, rect.xMax)), static_cast<double>(std::min(rect.yMin, rect.yMax)),
          static_cast<double>(std::max(rect.xMin, rect.xMax)), static_cast<double>(std::max(rect.yMin, rect.yMax))};
}

void Include(std::optional<Box>& total, const Box& box) {
  if (!total) {
    total = box;
    return;
  }
  total->xMin = std::min(total->xMin, box.xMin);
  total->yMin = std::min(total->yMin, box.yMin);
  total->xMax = std::max(total->xMax, box.xMax);
  total->yMax = std::max(total->yMax, box.yMax);
}

// The morph's bounds at the placement's ratio, between its two boxes.
Box MorphBounds(const MorphShapeDefinition& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  const Box a = FromRect(morph.startBounds);
  const Box b = FromRect(morph.endBounds);
  auto mix = [t](double from, double to) { return from + (to - from) * t; };
  return {mix(a.xMin, b.xMin), mix(a.yMin, b.yMin), mix(a.xMax, b.xMax), mix(a.yMax, b.yMax)};
}

}  // namespace

Box MapBox(const Box& box, const Matrix& matrix) {
  const Point corners[] = {matrix.Apply({box.xMin, box.yMin}), matrix.Apply({box.xMax, box.yMin}),
                           matrix.Apply({box.xMin, box.yMax}), matrix.Apply({box.xMax, box.yMax})};
  Box mapped{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
  for (const Point& p : corners) {
    mapped.xMin = std::min(mapped.xMin, p.x);
    mapped.yMin = std::min(mapped.yMin, p.y);
    mapped.xMax = std::max(mapped.xMax, p.x);
    mapped.yMax = std::max(mapped.yMax, p.y);
  }
  return mapped;
}

std::optional<Box> LocalBounds(const Stage& stage, const DisplayObject& object) {
  switch (object.kind) {
    case ObjectKind::kShape:
      return FromRect(std::get<ShapeDefinition>(*object.character).bounds);
    case ObjectKind::kStaticText:
      return FromRect(std::get<TextDefinition>(*object.character).bounds);
    case ObjectKind::kMorphShape:
      return MorphBounds(std::get<MorphShapeDefinition>(*object.character), object.ratio);
    case ObjectKind::kMovieClip:
    case ObjectKind::kButton: {
      // Clips nest at most Runtime::kMaxNesting deep.
      std::optional<Box> total;
      for (const auto& [depth, handle] : object.children) {
        const DisplayObject& child = *stage.Get(handle);
        if (const auto childBounds = LocalBounds(stage, child)) Include(total, MapBox(*childBounds, child.matrix));
      }
      return total;
    }
    case ObjectKind::kTextField:
      if (!object.textField) return std::nullopt;
      return FromRect(object.textField->bounds);
    case ObjectKind::kBitmap:
    case ObjectKind::kEmpty:
      return std::nullopt;
  }
  return std::nullopt;
}

Matrix SnapToWholePixels(const Matrix& world, const Box& localBounds) {
  const Box device = MapBox(localBounds, world);
  Matrix snapped = world;
  const double dx = std::round(device.xMin) - device.xMin;
  const double dy = std::round(device.yMin) - device.yMin;
  if (std::isfinite(dx) && std::isfinite(dy)) {
    snapped.tx += dx;
    snapped.ty += dy;
  }
  return snapped;
}

ShapeDefinition BackgroundShape(const Box& bounds, Rgba color) {
  ShapePath path;
  path.fill0 = 1;
  path.start = {bounds.xMin, bounds.yMin};
  path.segments = {{false, {}, {bounds.xMax, bounds.yMin}},
                   {false, {}, {bounds.xMax, bounds.yMax}},
                   {false, {}, {bounds.xMin, bounds.yMax}},
                   {false, {}, {bounds.xMin, bounds.yMin}}};
  ShapeDefinition shape;
  shape.layers.push_back(ShapeLayer{{SolidFill{color}}, {}, {std::move(path)}});
  return shape;
}

}  // namespace swf
