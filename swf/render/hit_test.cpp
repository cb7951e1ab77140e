#include "swf/render/hit_test.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "swf/parse/morph.h"
#include "swf/render/geometry.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/timeline.h"

namespace swf {
namespace {

// Distance from `p` to the segment a-b.
double DistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double lengthSquared = dx * dx + dy * dy;
  double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool LayerFillsContain(const ShapeLayer& layer, bool nonZero, const Matrix& toDevice, Point point,
                       std::vector<Point>& points) {
  if (layer.fills.empty()) return false;
  // Each fill's winding number along a ray to the right of the point: an edge
  // crossing it adds its direction to the fill on its left and takes it from
  // the fill on its right, so a border shared by two fills counts for both.
  std::vector<int> winding(layer.fills.size() + 1, 0);
  for (const ShapePath& path : layer.paths) {
    if (path.fill0 == path.fill1) continue;
    FlattenPath(path, toDevice, points);
    for (size_t i = 1; i < points.size(); ++i) {
      const Point a = points[i - 1];
      const Point b = points[i];
      if ((a.y <= point.y) == (b.y <= point.y)) continue;  // half-open, so a shared vertex counts once
      const double x = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
      if (x <= point.x) continue;
      const int direction = b.y > a.y ? 1 : -1;
      if (path.fill0 < winding.size()) winding[path.fill0] += direction;
      if (path.fill1 < winding.size()) winding[path.fill1] -= direction;
    }
  }
  for (size_t fill = 1; fill < winding.size(); ++fill) {
    if (nonZero ? winding[fill] != 0 : (winding[fill] & 1) != 0) return true;
  }
  return false;
}

bool LayerStrokesContain(const ShapeLayer& layer, const Matrix& toDevice, Point point, std::vector<Point>& points) {
  const double viewScale = std::sqrt(std::fabs(toDevice.Determinant()));
  for (const ShapePath& path : layer.paths) {
    if (path.line == 0 || path.line > layer.lines.size()) continue;
    const double halfWidth = StrokeDeviceWidth(layer.lines[path.line - 1], toDevice, viewScale) / 2;
    FlattenPath(path, toDevice, points);
    for (size_t i = 1; i < points.size(); ++i) {
      if (DistanceToSegment(point, points[i - 1], points[i]) <= halfWidth) return true;
    }
  }
  return false;
}

// One question about one point: walks the objects and characters below a
// parent, with masks.
class HitTester {
 public:
  HitTester(const Stage& stage, const ParsedMovie& rootMovie, Point point)
      : stage_(stage), rootMovie_(rootMovie), point_(point) {}

  bool Object(const DisplayObject& object, const Matrix& world, bool fillsOnly) {
    if (!object.visible || object.character == nullptr) return false;
    switch (object.kind) {
      case ObjectKind::kMovieClip:
      case ObjectKind::kButton:
        return Children(object, world, fillsOnly);
      default:
        return Character(MovieOf(object), *object.character, world, object.ratio, fillsOnly, 0);
    }
  }

  ObjectHandle TopButton(const DisplayObject& parent, const Matrix& parentWorld) {
    const std::vector<ObjectHandle> candidates = Unmasked(parent, parentWorld);
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      const DisplayObject& child = *stage_.Get(*it);
      if (!child.visible || child.character == nullptr) continue;
      const Matrix world = Matrix::Compose(child.matrix, parentWorld);
      if (child.kind == ObjectKind::kButton) {
        if (HitArea(MovieOf(child), std::get<ButtonDefinition>(*child.character), world, 0)) return child.self;
      } else if (child.kind == ObjectKind::kMovieClip) {
        if (const ObjectHandle found = TopButton(child, world); !found.IsNone()) return found;
      }
    }
    return {};
  }

  ObjectHandle TopTarget(const DisplayObject& parent, const Matrix& parentWorld, const MouseCatchTest& catches) {
    const std::vector<ObjectHandle> candidates = Unmasked(parent, parentWorld);
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      const DisplayObject& child = *stage_.Get(*it);
      if (!child.visible) continue;
      const Matrix world = Matrix::Compose(child.matrix, parentWorld);
      if (child.kind == ObjectKind::kButton) {
        if (child.character == nullptr || !catches(child)) continue;
        // A button shown inside another one takes the mouse first.
        if (const ObjectHandle inner = TopTarget(child, world, catches); !inner.IsNone()) return inner;
        if (HitArea(MovieOf(child), std::get<ButtonDefinition>(*child.character), world, 0)) return child.self;
      } else if (child.kind == ObjectKind::kTextField) {
        // A field takes the mouse anywhere in its box.
        if (child.textField == nullptr || !catches(child)) continue;
        if (const std::optional<Matrix> inverse = world.Inverse()) {
          const Point local = inverse->Apply(point_);
          const Rect& box = child.textField->bounds;
          if (local.x >= box.xMin && local.x <= box.xMax && local.y >= box.yMin && local.y <= box.yMax) {
            return child.self;
          }
        }
      } else if (child.kind == ObjectKind::kMovieClip) {
        if (catches(child)) {
          if (Children(child, world, false)) return child.self;
        } else if (const ObjectHandle found = TopTarget(child, world, catches); !found.IsNone()) {
          return found;
        }
      }
    }
    return {};
  }

  ObjectHandle TopDrawn(const DisplayObject& parent, const Matrix& parentWorld, ObjectHandle excluded) {
    const std::vector<ObjectHandle> candidates = Unmasked(parent, parentWorld);
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      const DisplayObject& child = *stage_.Get(*it);
      if (!child.visible || child.self == excluded) continue;
      const Matrix world = Matrix::Compose(child.matrix, parentWorld);
      if (child.kind == ObjectKind::kMovieClip) {
        if (const ObjectHandle found = TopDrawn(child, world, excluded); !found.IsNone()) return found;
      } else if (Object(child, world, false)) {
        return child.self;
      }
    }
    return {};
  }

 private:
  // Nested characters of a hit area deeper than this count as nothing (a
  // sprite that holds itself), and one question looks at this many
  // characters at most (a sprite placing itself twice would otherwise double
  // the work with every level).
  static constexpr int kMaxCharacterNesting = Runtime::kMaxNesting;
  static constexpr size_t kMaxCharactersPerQuestion = 4096;

  const ParsedMovie& MovieOf(const DisplayObject& object) const {
    return object.movie != nullptr ? *object.movie : rootMovie_;
  }

  // The children of `parent` in increasing depth, without masks and without
  // those whose mask does not cover the point.
  std::vector<ObjectHandle> Unmasked(const DisplayObject& parent, const Matrix& parentWorld) {
    struct OpenMask {
      int32_t clipDepth;
      bool covers;
    };
    std::vector<OpenMask> masks;
    std::vector<ObjectHandle> result;
    for (const auto& [depth, handle] : parent.children) {
      while (!masks.empty() && masks.back().clipDepth < depth) masks.pop_back();
      const DisplayObject& child = *stage_.Get(handle);
      if (child.clipDepth > 0) {
        // A mask counts by its fills, whether shown or not, as it is drawn.
        const bool covers = child.character != nullptr &&
                            Masking(child, Matrix::Compose(child.matrix, parentWorld));
        masks.push_back({child.clipDepth, covers});
        continue;
      }
      const bool hidden = std::any_of(masks.begin(), masks.end(), [](const OpenMask& m) { return !m.covers; });
      if (!hidden) result.push_back(handle);
    }
    return result;
  }

  bool Masking(const DisplayObject& mask, const Matrix& world) {
    if (mask.kind == ObjectKind::kMovieClip || mask.kind == ObjectKind::kButton) {
      return Children(mask, world, true);
    }
    return Character(MovieOf(mask), *mask.character, world, mask.ratio, true, 0);
  }

  bool Children(const DisplayObject& parent, const Matrix& parentWorld, bool fillsOnly) {
    for (const ObjectHandle handle : Unmasked(parent, parentWorld)) {
      const DisplayObject& child = *stage_.Get(handle);
      if (Object(child, Matrix::Compose(child.matrix, parentWorld), fillsOnly)) return true;
    }
    return false;
  }

  bool Character(const ParsedMovie& movie, const swf::Character& character, const Matrix& world, uint16_t ratio,
                 bool fillsOnly, int nesting) {
    if (charactersLeft_ == 0) return false;
    --charactersLeft_;
    if (const auto* shape = std::get_if<ShapeDefinition>(&character)) {
      return ShapeContains(*shape, world, point_, !fillsOnly);
    }
    if (const auto* morph = std::get_if<MorphShapeDefinition>(&character)) {
      return ShapeContains(MorphShapeAt(*morph, ratio), world, point_, !fillsOnly);
    }
    if (const auto* text = std::get_if<TextDefinition>(&character)) {
      return std::any_of(text->glyphs.begin(), text->glyphs.end(), [&](const TextGlyph& glyph) {
        return glyph.shape != nullptr &&
               ShapeContains(*glyph.shape, Matrix::Compose(glyph.matrix, world), point_, false);
      });
    }
    if (nesting >= kMaxCharacterNesting) return false;
    if (const auto* sprite = std::get_if<SpriteDefinition>(&character)) {
      // A sprite as a hit area: what its first frame places.
      if (sprite->timeline.frames.empty()) return false;
      for (const auto& [depth, placement] : PlacementsAt(sprite->timeline, 0)) {
        if (placement.clipDepth > 0 || !placement.visible) continue;
        const swf::Character* inner = movie.FindCharacter(placement.characterId);
        if (inner != nullptr && Character(movie, *inner, Matrix::Compose(placement.matrix, world), placement.ratio,
                                          fillsOnly, nesting + 1)) {
          return true;
        }
      }
      return false;
    }
    if (const auto* button = std::get_if<ButtonDefinition>(&character)) {
      return HitArea(movie, *button, world, nesting + 1);
    }
    return false;
  }

  bool HitArea(const ParsedMovie& movie, const ButtonDefinition& button, const Matrix& world, int nesting) {
    for (const ButtonRecord& record : button.records) {
      if ((record.states & button_state::kHitTest) == 0) continue;
      const swf::Character* character = movie.FindCharacter(record.characterId);
      if (character != nullptr &&
          Character(movie, *character, Matrix::Compose(record.matrix, world), 0, false, nesting)) {
        return true;
      }
    }
    return false;
  }

  const Stage& stage_;
  const ParsedMovie& rootMovie_;
  Point point_;
  size_t charactersLeft_ = kMaxCharactersPerQuestion;
};

}  // namespace

bool ShapeContains(const ShapeDefinition& shape, const Matrix& toDevice, Point point, bool withStrokes) {
  std::vector<Point> points;
  for (const ShapeLayer& layer : shape.layers) {
    if (LayerFillsContain(layer, shape.nonZeroWinding, toDevice, point, points)) return true;
    if (withStrokes && LayerStrokesContain(layer, toDevice, point, points)) return true;
  }
  return false;
}

bool ObjectContains(const Stage& stage, const ParsedMovie& rootMovie, const DisplayObject& object,
                    const Matrix& world, Point point) {
  if (object.clipDepth > 0) return false;
  return HitTester(stage, rootMovie, point).Object(object, world, false);
}

ObjectHandle ButtonAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point) {
  const DisplayObject* root = stage.Get(stage.Root());
  if (root == nullptr) return {};
  return HitTester(stage, rootMovie, point).TopButton(*root, view);
}

ObjectHandle MouseTargetAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point,
                           const MouseCatchTest& catches) {
  const DisplayObject* root = stage.Get(stage.Root());
  if (root == nullptr) return {};
  return HitTester(stage, rootMovie, point).TopTarget(*root, view, catches);
}

ObjectHandle DrawnObjectAt(const Stage& stage, const ParsedMovie& rootMovie, const Matrix& view, Point point,
                           ObjectHandle excluded) {
  const DisplayObject* root = stage.Get(stage.Root());
  if (root == nullptr) return {};
  return HitTester(stage, rootMovie, point).TopDrawn(*root, view, excluded);
}

}  // namespace swf
