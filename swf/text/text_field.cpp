#include "swf/text/text_field.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/avm1/utf16.h"
#include "swf/text/html_text.h"

namespace swf::text {
namespace {

constexpr double kTwipsPerPixel = 20;

Rgba ToRgba(uint32_t color) {
  return Rgba{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color), 255};
}

// The colour glyphs of a field show: the player tints white outlines by
// the colour as an 8.8 multiplier, which takes a little off every channel
// short of full.
Rgba GlyphColor(uint32_t color) {
  auto channel = [](uint32_t c) { return static_cast<uint8_t>((255 * ((c * 256) / 255)) >> 8); };
  return Rgba{channel((color >> 16) & 0xff), channel((color >> 8) & 0xff), channel(color & 0xff), 255};
}

// A rectangle filled with one colour, as a shape.
std::shared_ptr<const ShapeDefinition> Rectangles(const std::vector<std::array<double, 4>>& boxes, uint32_t color) {
  auto shape = std::make_shared<ShapeDefinition>();
  ShapeLayer layer;
  layer.fills.push_back(SolidFill{ToRgba(color)});
  for (const auto& [x0, y0, x1, y1] : boxes) {
    if (x1 <= x0 || y1 <= y0) continue;
    ShapePath path;
    path.fill0 = 1;
    path.start = {x0, y0};
    path.segments = {{false, {}, {x1, y0}}, {false, {}, {x1, y1}}, {false, {}, {x0, y1}}, {false, {}, {x0, y0}}};
    layer.paths.push_back(std::move(path));
  }
  shape->layers.push_back(std::move(layer));
  return shape;
}

std::u16string WithBreaks(std::string_view utf8) {
  std::u16string units = avm1::ToUtf16(utf8);
  std::u16string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') continue;
    out += units[i] == u'\n' ? u'\r' : units[i];
  }
  return out;
}

void MakeShapes(TextFieldState& field, FontLibrary& fonts) {
  field.shapes.clear();
  const Rect& b = field.bounds;
  const double x0 = b.xMin;
  const double y0 = b.yMin;
  const double x1 = b.xMax;
  const double y1 = b.yMax;
  if (field.background) {
    field.shapes.push_back({Rectangles({{x0, y0, x1, y1}}, field.backgroundColor), Matrix(), false});
  }
  if (field.border) {
    // One pixel inside the box's right and bottom edges, drawn as the player
    // lays a hairline frame on pixels.
    const double p = kTwipsPerPixel;
    field.shapes.push_back({Rectangles({{x0, y0, x1 + p, y0 + p},
                                        {x0, y0 + p, x0 + p, y1 + p},
                                        {x1, y0 + p, x1 + p, y1},
                                        {x0 + p, y1, x1, y1 + p}},
                                       field.borderColor),
                            Matrix(), false});
  }
  const TextLayout& layout = field.layout;
  if (layout.lines.empty()) return;
  const size_t first = static_cast<size_t>(std::max(field.scroll, 1) - 1);
  if (first >= layout.lines.size()) return;
  const double offset = layout.lines[first].top;
  const double room = b.Height() - 2 * kGutterTwips;
  for (size_t i = first; i < layout.lines.size(); ++i) {
    const LayoutLine& line = layout.lines[i];
    if (i > first && line.top - offset >= room) break;
    const double baseline = y0 + kGutterTwips + line.Baseline() - offset;
    const double left = x0 + kGutterTwips + line.x - field.hscroll * kTwipsPerPixel;
    for (const PlacedGlyph& glyph : line.glyphs) {
      if (glyph.underline) {
        const double y = baseline + std::max(kTwipsPerPixel, glyph.size / 16);
        field.shapes.push_back({Rectangles({{left + glyph.x, y, left + glyph.x + glyph.advance, y + kTwipsPerPixel}},
                                           glyph.color),
                                Matrix(), false});
      }
      if (glyph.font == nullptr) continue;
      auto shape = fonts.GlyphShape(*glyph.font, glyph.glyph, GlyphColor(glyph.color));
      if (!shape) continue;
      const double scale = glyph.size / glyph.font->UnitsPerEm();
      Matrix matrix;
      matrix.a = scale;
      matrix.d = scale;
      matrix.tx = left + glyph.x;
      matrix.ty = baseline;
      field.shapes.push_back({std::move(shape), matrix, true});
    }
  }
}

// Whether the lines from `first` on fit the box's height.
bool RestFits(const TextFieldState& field, size_t first) {
  const auto& lines = field.layout.lines;
  if (first >= lines.size()) return true;
  const double room = field.bounds.Height() - 2 * kGutterTwips;
  const LayoutLine& last = lines.back();
  return last.top + last.ascent + last.descent - lines[first].top <= room + 0.5;
}

}  // namespace

TextFieldState FieldFromDefinition(const EditTextDefinition& definition, FontLibrary& fonts, int swfVersion) {
  TextFieldState field;
  field.swfVersion = swfVersion;
  field.bounds = definition.bounds;
  field.wordWrap = definition.wordWrap;
  field.multiline = definition.multiline;
  field.password = definition.password;
  field.input = !definition.readOnly;
  field.selectable = !definition.noSelect;
  field.border = definition.border;
  field.background = definition.border;
  field.html = definition.html;
  field.embedFonts = definition.useOutlines;
  field.autoSize = definition.autoSize ? AutoSize::kLeft : AutoSize::kNone;
  if (definition.maxLength) field.maxChars = *definition.maxLength;
  field.variable = definition.variableName;
  TextFormat& format = field.newFormat;
  if (definition.fontId) {
    if (Font* font = fonts.EmbeddedById(*definition.fontId)) {
      const FontDefinition& stored = static_cast<EmbeddedFont*>(font)->Definition();
      format.font = stored.name;
      // HTML text says its own styles; plain text shows the font's.
      if (!definition.html) {
        format.bold = stored.flags.bold;
        format.italic = stored.flags.italic;
      }
    }
  }
  if (definition.fontHeight) format.size = *definition.fontHeight / kTwipsPerPixel;
  if (definition.textColor) {
    const Rgba& c = *definition.textColor;
    format.color = (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
  }
  if (definition.layout) {
    const auto& layout = *definition.layout;
    // An HTML field of a version 7 movie or older starts left-aligned; its
    // markup says otherwise.
    if (!definition.html || swfVersion >= 8) format.align = static_cast<Align>(std::min<uint8_t>(layout.align, 3));
    // Whole pixels, the indent read as signed.
    format.leftMargin = std::trunc(layout.leftMargin / kTwipsPerPixel);
    format.rightMargin = std::trunc(layout.rightMargin / kTwipsPerPixel);
    format.indent = std::trunc(static_cast<int16_t>(layout.indent) / kTwipsPerPixel);
    format.leading = std::trunc(layout.leading / kTwipsPerPixel);
  }
  field.content = StyledText(format);
  return field;
}

TextFieldState NewField(double x, double y, double width, double height, int swfVersion) {
  TextFieldState field;
  field.swfVersion = swfVersion;
  field.bounds = Rect{static_cast<Twips>(x), static_cast<Twips>(x + width), static_cast<Twips>(y),
                      static_cast<Twips>(y + height)};
  field.content = StyledText(field.newFormat);
  return field;
}

void SetPlainText(TextFieldState& field, std::string_view text) {
  // The text set takes the new text format: the old text's formats go.
  const TextFormat format = field.newFormat;
  field.content = StyledText(format);
  field.content.Append(WithBreaks(text), format);
}

std::string PlainText(const TextFieldState& field) { return avm1::FromUtf16(field.content.Text()); }

void SetHtmlText(TextFieldState& field, std::string_view html) {
  if (!field.html) {
    SetPlainText(field, html);
    return;
  }
  // Before version 8 HTML paragraphs are left-aligned unless their markup
  // says otherwise, and text typed later follows them.
  if (field.swfVersion < 8) field.newFormat.align = Align::kLeft;
  HtmlOptions options;
  // Before version 8 paragraphs break whether the field is multiline or not.
  options.multiline = field.multiline || field.swfVersion < 8;
  options.condenseWhite = field.condenseWhite;
  field.content = ParseHtml(html, field.newFormat, options);
}

std::string HtmlText(const TextFieldState& field) {
  if (!field.html) return PlainText(field);
  return WriteHtml(field.content);
}

void ReplaceText(TextFieldState& field, size_t begin, size_t end, std::string_view text) {
  field.content.Replace(begin, end, WithBreaks(text), field.newFormat);
}

void Update(TextFieldState& field, FontLibrary& fonts) {
  const FontResolver resolve = [&](const TextFormat& format) { return fonts.ForFormat(format, field.embedFonts); };
  LayoutBox box;
  box.width = field.bounds.Width();
  box.wordWrap = field.wordWrap;
  box.multiline = field.multiline;
  box.password = field.password;
  field.layout = LayOut(field.content, box, resolve);
  if (field.autoSize != AutoSize::kNone) {
    Rect& b = field.bounds;
    if (!field.wordWrap) {
      const auto width = static_cast<Twips>(std::ceil(field.layout.textWidth + 2 * kGutterTwips));
      switch (field.autoSize) {
        case AutoSize::kRight: b.xMin = b.xMax - width; break;
        case AutoSize::kCenter: {
          const Twips center = (b.xMin + b.xMax) / 2;
          b.xMin = center - width / 2;
          b.xMax = b.xMin + width;
          break;
        }
        default: b.xMax = b.xMin + width; break;
      }
      box.width = b.Width();
      field.layout = LayOut(field.content, box, resolve);
    }
    b.yMax = b.yMin + static_cast<Twips>(std::ceil(field.layout.textHeight + 2 * kGutterTwips));
  }
  field.scroll = std::clamp(field.scroll, 1, MaxScroll(field));
  MakeShapes(field, fonts);
}

int VisibleLines(const TextFieldState& field, int scroll) {
  const auto& lines = field.layout.lines;
  const size_t first = static_cast<size_t>(std::max(scroll, 1) - 1);
  if (first >= lines.size()) return 1;
  const double room = field.bounds.Height() - 2 * kGutterTwips;
  int count = 0;
  for (size_t i = first; i < lines.size(); ++i) {
    if (lines[i].top + lines[i].ascent + lines[i].descent - lines[first].top > room + 0.5) break;
    ++count;
  }
  return std::max(count, 1);
}

int MaxScroll(const TextFieldState& field) {
  const size_t count = field.layout.lines.size();
  size_t first = 0;
  while (first + 1 < count && !RestFits(field, first)) ++first;
  return static_cast<int>(first) + 1;
}

int BottomScroll(const TextFieldState& field) { return field.scroll + VisibleLines(field, field.scroll) - 1; }

double MaxHScroll(const TextFieldState& field) {
  if (field.wordWrap) return 0;
  const double room = field.bounds.Width() - 2 * kGutterTwips;
  return std::max(0.0, std::floor((field.layout.textWidth - room) / kTwipsPerPixel));
}

}  // namespace swf::text
