#pragma once

#include "swf/parse/bit_reader.h"
#include "swf/parse/color_transform.h"
#include "swf/parse/matrix.h"
#include "swf/parse/types.h"

namespace swf {

// Readers of the small byte-aligned records shared by many tags.
Rect ReadRect(BitReader& reader);
Matrix ReadMatrix(BitReader& reader);
Rgba ReadRgb(BitReader& reader);
Rgba ReadRgba(BitReader& reader);
ColorTransform ReadColorTransform(BitReader& reader, bool withAlpha);

}  // namespace swf
