#pragma once

// Drawing the stage's display objects with AGG.
//
// Shapes keep the format's edge model: every edge carries the fill on its
// left (fill0) and on its right (fill1), for its direction of travel:
//
//            fill0 (left)
//     start ------------------> end
//            fill1 (right)
//
// Edges go one by one into AGG's compound rasterizer with styles(fill0 - 1,
// fill1 - 1), so that a border shared by two fills is one edge and the two
// sides' coverage sums to a whole pixel: no seams, no joining of edges into
// closed loops. Strokes are separate outlines built with math_stroke and
// filled with the non-zero rule after the fills of their layer. Low quality
// feeds the same edges to AliasedRasterizer, which samples pixel centres.

#include <cstddef>
#include <memory>

#include "swf/render/render_target.h"
#include "swf/runtime/stage.h"

namespace swf {

struct RenderOptions {
  Quality quality = Quality::kHigh;
  Matrix view;        // twips of the stage to device pixels
  Rgba background;    // painted over the whole target first (always opaque)
  const BitmapLibrary* bitmaps = nullptr;  // for bitmap fills; without it they draw nothing
  // Pictures of cached objects (cache-as-bitmap, filters) drawn in an
  // earlier drawing are used again while nothing they show has changed.
  // Off, every one is drawn anew (the pictures must come out the same).
  bool reuseCachedPictures = true;
};

// The memory the renderer draws with (rasterizer cells, scanlines, point
// buffers). Whoever draws frame after frame keeps one, so that it is taken
// once instead of for every frame. One drawing at a time may use it.
class RenderScratch {
 public:
  RenderScratch();
  ~RenderScratch();
  RenderScratch(const RenderScratch&) = delete;
  RenderScratch& operator=(const RenderScratch&) = delete;

  struct Buffers;  // defined where AGG is known
  Buffers& Get() { return *buffers_; }

  // Pictures of cached objects kept now, and how many times one was used
  // again instead of drawing its object.
  size_t KeptPictures() const;
  size_t PictureReuses() const;

 private:
  std::unique_ptr<Buffers> buffers_;
};

// Paints the background and then the stage's tree from its root, children
// in increasing depth, clips and buttons recursively, into the target. The
// stage is only read.
void RenderStage(const Stage& stage, const RenderTarget& target, const RenderOptions& options, RenderScratch& scratch);
void RenderStage(const Stage& stage, const RenderTarget& target, const RenderOptions& options);

}  // namespace swf
