#pragma once

#include <agg_rasterizer_compound_aa.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "swf/parse/matrix.h"

namespace swf {

// Rasterized fills kept from one frame to the next. Turning a detailed
// shape's edges into sorted coverage cells costs far more than painting
// them, and most of a movie stays where it is from frame to frame; a fill
// layer drawn again with the same matrix onto a target of the same size
// reuses its cells and only paints.
//
// A layer is kept on its second frame in a row (a picture drawn once keeps
// nothing), only when it is large enough to be worth it, and only within a
// memory budget. Whatever a frame does not draw is dropped when it ends, so
// the cache never holds more than one frame's worth. Layers are known by
// address: the cache serves the shapes of one movie, which live as long as
// it does.
class FillCellCache {
 public:
  using Rasterizer = agg::rasterizer_compound_aa<agg::rasterizer_sl_clip_dbl>;

  struct Key {
    const void* layer = nullptr;
    Matrix world;
    bool nonZero = false;
    int width = 0;
    int height = 0;
    bool operator==(const Key&) const = default;
  };

  // Layers whose edges run for fewer device pixels than this are drawn
  // directly: their cells are cheap, and every kept rasterizer costs its
  // cell blocks.
  static constexpr double kMinEdgePixels = 4096;
  // Kept cells, estimated from edge lengths, stay below this many bytes.
  static constexpr size_t kMaxBytes = size_t{32} << 20;

  // The kept rasterizer of `key`, ready to paint, or null.
  Rasterizer* Find(const Key& key);

  // For a layer that Find did not have: a fresh rasterizer (clipped to the
  // key's target) for the caller to fill and then paint, which is kept; or
  // null when the layer is not to be kept (first sighting, too small, over
  // budget), and the caller draws it as usual.
  Rasterizer* Keep(const Key& key, double edgePixels);

  // Drops every layer that this frame neither found nor kept.
  void EndFrame();

  size_t KeptLayers() const { return kept_.size(); }

 private:
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  struct Kept {
    std::unique_ptr<Rasterizer> rasterizer;
    size_t bytes = 0;
    bool used = false;
  };

  std::unordered_map<Key, Kept, KeyHash> kept_;
  std::unordered_map<Key, bool, KeyHash> seen_;  // large layers drawn, not kept; true: in this frame
  size_t bytes_ = 0;
};

}  // namespace swf
