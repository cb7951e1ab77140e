#include "swf/text/text_layout.h"

#include <algorithm>
#include <cmath>

namespace swf::text {
namespace {

constexpr double kTwipsPerPixel = 20;

// A character of a line before it is placed.
struct Measured {
  PlacedGlyph glyph;
  char16_t character = 0;
  double ascent = 0;
  double descent = 0;
};

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

class LineBuilder {
 public:
  LineBuilder(const StyledText& text, const LayoutBox& box, const FontResolver& fonts)
      : text_(text), box_(box), fonts_(fonts) {}

  TextLayout Build() {
    const size_t length = text_.Length();
    size_t start = 0;
    while (true) {
      const size_t end = text_.ParagraphEnd(start);
      Paragraph(start, end);
      if (end >= length) break;
      start = end + 1;
    }
    for (const LayoutLine& line : layout_.lines) {
      layout_.textWidth = std::max(layout_.textWidth, line.width);
    }
    if (!layout_.lines.empty()) {
      const LayoutLine& last = layout_.lines.back();
      layout_.textHeight = last.top + last.ascent + last.descent;
    }
    return std::move(layout_);
  }

 private:
  Measured Measure(size_t index, char16_t previous) {
    const TextFormat& format = text_.FormatAt(index);
    const char16_t character = box_.password ? u'*' : text_.Text()[index];
    Measured m;
    m.character = character;
    const double size = format.size.value_or(12) * kTwipsPerPixel;
    m.glyph.size = size;
    m.glyph.color = format.color.value_or(0);
    m.glyph.underline = format.underline.value_or(false);
    m.glyph.index = index;
    Font* font = fonts_(format);
    double advance = size / 2;
    if (font != nullptr) {
      const double scale = size / font->UnitsPerEm();
      m.ascent = std::round(font->Ascent() * scale);
      m.descent = std::round(font->Descent() * scale);
      if (const auto glyph = font->GlyphOf(character)) {
        m.glyph.font = font;
        m.glyph.glyph = *glyph;
        advance = std::floor(font->Advance(*glyph) * scale);
      } else if (!font->GlyphOf(u' ')) {
        advance = size / 2;
      } else {
        advance = 0;  // a character the font lacks takes no room
      }
      if (format.kerning.value_or(false) && previous != 0) kerning_ = font->Kerning(previous, character) * scale;
    } else {
      m.ascent = size * 0.9;
      m.descent = size * 0.22;
    }
    m.glyph.advance = advance + format.letterSpacing.value_or(0) * kTwipsPerPixel;
    return m;
  }

  void Paragraph(size_t start, size_t end) {
    const TextFormat& format = text_.FormatAt(start);
    const double left = (format.leftMargin.value_or(0) + format.blockIndent.value_or(0)) * kTwipsPerPixel;
    const double right = format.rightMargin.value_or(0) * kTwipsPerPixel;
    const double indent = format.indent.value_or(0) * kTwipsPerPixel;
    const double leading = format.leading.value_or(0) * kTwipsPerPixel;
    const Align align = format.align.value_or(Align::kLeft);

    std::vector<Measured> measured;
    measured.reserve(end - start);
    char16_t previous = 0;
    for (size_t i = start; i < end; ++i) {
      kerning_ = 0;
      Measured m = Measure(i, previous);
      if (!measured.empty()) measured.back().glyph.advance += kerning_;
      measured.push_back(m);
      previous = m.character;
    }

    bool first = true;
    size_t from = 0;
    do {
      const double lineLeft = left + (first ? indent : 0);
      const double available = box_.width - 2 * kGutterTwips - lineLeft - right;
      double x = 0;
      size_t to = from;
      size_t lastBreak = 0;  // after the last space of the line (0: none)
      for (; to < measured.size(); ++to) {
        const Measured& m = measured[to];
        if (box_.wordWrap && to > from && !IsSpace(m.character) && x + m.glyph.advance > available) break;
        x += m.glyph.advance;
        if (IsSpace(m.character)) lastBreak = to + 1;
      }
      if (to < measured.size() && lastBreak > from) to = lastBreak;
      // Spaces after the break still belong to this line.
      while (to < measured.size() && IsSpace(measured[to].character)) ++to;

      LayoutLine line;
      line.start = start + from;
      line.end = to < measured.size() ? start + to : (end < text_.Length() ? end + 1 : end);
      line.leading = leading;
      double pen = 0;
      double width = 0;
      for (size_t i = from; i < to; ++i) {
        PlacedGlyph glyph = measured[i].glyph;
        glyph.x = pen;
        pen += glyph.advance;
        if (!IsSpace(measured[i].character)) width = pen;
        line.ascent = std::max(line.ascent, measured[i].ascent);
        line.descent = std::max(line.descent, measured[i].descent);
        line.glyphs.push_back(glyph);
      }
      if (from == to) {
        // An empty line is as high as its format's font.
        const size_t at = std::min(start + from, text_.Length() == 0 ? 0 : text_.Length() - 1);
        Measured m = text_.Length() == 0 ? EmptyMetrics() : Measure(at, 0);
        line.ascent = m.ascent;
        line.descent = m.descent;
      }
      line.width = width;
      switch (align) {
        case Align::kRight: line.x = lineLeft + std::max(0.0, available - width); break;
        case Align::kCenter: line.x = lineLeft + std::max(0.0, (available - width) / 2); break;
        default: line.x = lineLeft; break;
      }
      line.top = layout_.lines.empty() ? 0 : layout_.lines.back().top + layout_.lines.back().Height();
      layout_.lines.push_back(std::move(line));
      first = false;
      from = to;
    } while (from < measured.size());
  }

  Measured EmptyMetrics() {
    Measured m;
    const TextFormat& format = text_.FormatAt(0);
    const double size = format.size.value_or(12) * kTwipsPerPixel;
    if (Font* font = fonts_(format)) {
      m.ascent = font->Ascent() * size / font->UnitsPerEm();
      m.descent = font->Descent() * size / font->UnitsPerEm();
    } else {
      m.ascent = size * 0.9;
      m.descent = size * 0.22;
    }
    return m;
  }

  const StyledText& text_;
  const LayoutBox& box_;
  const FontResolver& fonts_;
  TextLayout layout_;
  double kerning_ = 0;
};

}  // namespace

TextLayout LayOut(const StyledText& text, const LayoutBox& box, const FontResolver& fonts) {
  return LineBuilder(text, box, fonts).Build();
}

size_t LineOfCharacter(const TextLayout& layout, size_t index) {
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    if (index < layout.lines[i].end) return i;
  }
  return layout.lines.empty() ? 0 : layout.lines.size() - 1;
}

}  // namespace swf::text
