#pragma once

#include "swf/render/render_target.h"
#include "swf/timeline/timeline.h"

namespace swf {

struct RenderOptions {
  Quality quality = Quality::kHigh;
  Matrix view;        // twips of the stage to device pixels
  Rgba background;    // painted over the whole target first (always opaque)
};

// Paints the background and then the display list, depth by depth, sprites
// recursively, into the target.
void RenderDisplayList(const DisplayList& list, const RenderTarget& target, const RenderOptions& options);

}  // namespace swf
