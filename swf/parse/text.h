#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/fonts.h"
#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"

namespace swf {

// One glyph of a static text: its outline as a shape filled with the text's
// colour, and where it goes in the text's own coordinates (the text matrix
// included). Glyphs of the same outline and colour share one shape.
struct TextGlyph {
  std::shared_ptr<const ShapeDefinition> shape;
  Matrix matrix;
};

struct TextDefinition {
  uint16_t id = 0;
  Rect bounds;
  std::vector<TextGlyph> glyphs;
};

using FontLookup = std::function<const FontDefinition*(uint16_t fontId)>;

// Body of DefineText (version 1, RGB colours) or DefineText2 (2, RGBA).
// Glyphs of fonts that are not defined, or beyond a font's glyph count, are
// left out. The coloured outlines made for the text and its glyphs (one
// record each) may count at most `maxRecords` records.
TextDefinition ParseDefineText(BitReader& reader, int textVersion, const FontLookup& fonts, size_t maxRecords);

// Records of a text as the ceilings count them: its glyphs and the shape
// records of its coloured outlines.
size_t CountTextRecords(const TextDefinition& text);

}  // namespace swf
