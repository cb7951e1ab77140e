#pragma once

// Builders for the characters made of other parts: glyph fonts, static
// text, morph shapes and buttons. Outlines are rectangles, which keep the
// expected pixels easy to tell.
#include <cstdint>
#include <string>
#include <vector>

#include "swf_builder.h"

namespace swftest {

// A filled rectangle as a SHAPE without style arrays (a glyph, or one side
// of a morph shape), drawn with fill0 = `fill` from (x, y) clockwise.
Bytes RectangleEdges(int32_t x, int32_t y, int32_t width, int32_t height, unsigned fill = 1);

// DefineFont (version 1), DefineFont2 (2) or DefineFont3 (3) tag holding
// `glyphs` (each a RectangleEdges shape).
Bytes FontTag(int version, uint16_t id, const std::vector<Bytes>& glyphs);

struct GlyphEntry {
  uint32_t index = 0;
  int32_t advance = 0;
};

struct TextRecord {
  int fontId = -1;  // -1: no font change
  uint16_t height = 0;
  bool hasColor = false;
  swf::Rgba color = {};
  bool hasX = false;
  int16_t x = 0;
  bool hasY = false;
  int16_t y = 0;
  std::vector<GlyphEntry> glyphs;
};

// DefineText (version 1) or DefineText2 (2).
Bytes TextTag(int version, uint16_t id, const swf::Matrix& textMatrix, const std::vector<TextRecord>& records);

// DefineMorphShape from one rectangle and solid colour to another.
struct MorphRectangle {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  swf::Rgba color = {};
};
Bytes MorphTag(uint16_t id, const MorphRectangle& start, const MorphRectangle& end);

struct ButtonRecord {
  uint8_t states = 0x01;  // b0 up, b1 over, b2 down, b3 hit test
  uint16_t characterId = 0;
  uint16_t depth = 1;
  swf::Matrix matrix = {};
};
// DefineButton (version 1) or DefineButton2 (2, with identity colour transforms).
Bytes ButtonTag(int version, uint16_t id, const std::vector<ButtonRecord>& records);

// One BUTTONCONDACTION: button_condition bits, a key-press code and the
// action records (the end record is appended).
struct ButtonCondition {
  uint16_t conditions = 0;
  uint8_t keyCode = 0;
  std::vector<Bytes> actions;
};
// DefineButton2 with conditional actions.
Bytes Button2Tag(uint16_t id, const std::vector<ButtonRecord>& records, const std::vector<ButtonCondition>& conditions,
                 bool trackAsMenu = false);

}  // namespace swftest
