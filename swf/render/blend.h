#pragma once

// Blend modes over premultiplied 8-bit pixels (four bytes, alpha last; the
// order of the colour bytes does not matter, every mode treats them alike).
// Plain functions over pixel rows, so that whatever holds pixels (the
// renderer's layers, a script's bitmap) can blend with them.
#include <agg_rendering_buffer.h>

#include <cstdint>

#include "swf/parse/filters.h"
#include "swf/render/layer.h"

namespace swf {

// Blends `count` source pixels onto as many destination pixels, in place.
// Layer draws as normal; alpha and erase change only the destination's
// opacity (they are meant for a group: see the renderer).
void BlendRow(BlendMode mode, const uint8_t* source, uint8_t* destination, int count);

// Blends `source` onto `target` where its rectangle lies, moved by (dx, dy)
// (clipped to the target).
void BlendLayer(BlendMode mode, const Layer& source, agg::rendering_buffer& target, int dx = 0, int dy = 0);

}  // namespace swf
