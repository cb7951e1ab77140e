#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/shape.h"

namespace swf {

// The glyph outlines of DefineFont, DefineFont2 or DefineFont3. Every glyph
// is filled with its one style (number 1), which stands for the colour of
// the text that uses it.
struct FontDefinition {
  uint16_t id = 0;
  // Glyph units per twip of text height: DefineFont and DefineFont2 draw on
  // a 1024-unit EM square, DefineFont3 on one twenty times as fine.
  double emScale = 1.0 / 1024;
  std::vector<std::vector<ShapePath>> glyphs;
};

// Body of DefineFont (version 1), DefineFont2 (2) or DefineFont3 (3). The
// glyphs together may hold at most `maxRecords` shape records.
FontDefinition ParseDefineFont(BitReader& reader, int fontVersion, size_t maxRecords);

// Shape records of all of a font's glyphs.
size_t CountFontRecords(const FontDefinition& font);

}  // namespace swf
