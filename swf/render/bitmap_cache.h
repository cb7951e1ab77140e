#pragma once

// Pictures of objects drawn as cached bitmaps (cache-as-bitmap, and every
// object with filters), kept from one drawing to the next and reused while
// what the object shows and how it is transformed (but for a move by whole
// pixels) stay the same.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "swf/parse/color_transform.h"
#include "swf/parse/filters.h"
#include "swf/parse/matrix.h"
#include "swf/render/layer.h"
#include "swf/runtime/stage.h"

namespace swf {

// Everything about an object and the objects under it that its picture
// depends on, but for the object's own place: compared whole, so that any
// change draws the picture again.
struct CachedContent {
  struct Node {
    const void* character = nullptr;
    const void* movie = nullptr;
    ObjectKind kind = ObjectKind::kEmpty;
    int32_t depth = 0;
    size_t children = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    bool visible = true;
    int32_t clipDepth = 0;
    uint8_t blendMode = 0;
    bool cacheAsBitmap = false;
    std::optional<Rgba> opaqueBackground;
    uint8_t buttonState = 0;
    std::vector<Filter> filters;
    bool operator==(const Node&) const = default;
  };
  std::vector<Node> nodes;  // the object and its descendants, depth first
  // How it is drawn: the linear part of its world transform, the fractions
  // of pixels of its translation, its composed colour transform, the view's
  // scale (filters follow it), quality and bitmaps.
  Matrix linear;
  double fractionX = 0;
  double fractionY = 0;
  ColorTransform color;
  double viewScaleX = 1;
  double viewScaleY = 1;
  int quality = 0;
  const void* bitmaps = nullptr;
  bool operator==(const CachedContent&) const = default;
};

// What `object` (on `stage`) shows, drawn with `world`.
CachedContent DescribeContent(const Stage& stage, const DisplayObject& object, const Matrix& world);

class BitmapCache {
 public:
  // Kept pictures together stay below this many bytes.
  static constexpr uint64_t kMaxBytes = uint64_t{64} << 20;

  struct Picture {
    CachedContent content;
    double worldX = 0;  // the translation it was drawn with
    double worldY = 0;
    Layer pixels{PixelRect{}};  // filtered, placed where it was drawn
  };

  // The kept picture of `handle` if it was drawn from `content`, else null.
  const Picture* Find(ObjectHandle handle, const CachedContent& content);
  // Keeps a picture (replacing the object's older one) if it fits.
  void Keep(ObjectHandle handle, Picture picture);
  // Drops the pictures that this drawing did not use or keep.
  void EndDrawing();

  size_t KeptPictures() const { return kept_.size(); }
  size_t Reuses() const { return reuses_; }

 private:
  struct HandleHash {
    size_t operator()(const ObjectHandle& handle) const;
  };
  struct Entry {
    Picture picture;
    bool used = false;
  };
  std::unordered_map<ObjectHandle, Entry, HandleHash> kept_;
  uint64_t bytes_ = 0;
  size_t reuses_ = 0;
};

}  // namespace swf
