#pragma once

// Lines of a field's text: where each character goes, in twips from the
// field's top-left corner inside its 2-pixel gutter.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "swf/text/font.h"
#include "swf/text/styled_text.h"

namespace swf::text {

// The space between a field's edge and its text, on every side.
inline constexpr double kGutterTwips = 40;

struct PlacedGlyph {
  Font* font = nullptr;  // null: nothing to draw (a missing glyph, a break)
  uint32_t glyph = 0;
  double x = 0;          // of the glyph's origin, from the line's left edge
  double size = 0;       // text height in twips
  uint32_t color = 0;    // 0xRRGGBB
  bool underline = false;
  double advance = 0;
  size_t index = 0;      // of the character in the text
};

struct LayoutLine {
  size_t start = 0;  // characters [start, end), its break included
  size_t end = 0;
  double x = 0;      // left edge of the first glyph from the gutter's edge
  double width = 0;  // without trailing spaces
  double ascent = 0;
  double descent = 0;
  double leading = 0;
  double top = 0;    // from the gutter's top: where the line's ascent starts
  std::vector<PlacedGlyph> glyphs;

  double Baseline() const { return top + ascent; }
  double Height() const { return ascent + descent + leading; }
};

struct LayoutBox {
  double width = 0;  // the field's, gutter included (twips)
  bool wordWrap = false;
  bool multiline = false;
  bool password = false;
};

struct TextLayout {
  std::vector<LayoutLine> lines;  // at least one
  double textWidth = 0;   // widest line, margins included (twips)
  double textHeight = 0;  // every line, the last one's leading left out
};

// The font of a run's format; null when there is none (its characters take
// room by a fallback measure and draw nothing).
using FontResolver = std::function<Font*(const TextFormat& format)>;

TextLayout LayOut(const StyledText& text, const LayoutBox& box, const FontResolver& fonts);

// The line that holds character `index`.
size_t LineOfCharacter(const TextLayout& layout, size_t index);

}  // namespace swf::text
