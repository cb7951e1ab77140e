#pragma once

// A text field as a display object holds it: the properties scripts and
// the DefineEditText set, its styled text, and the lines and shapes made
// from them (made again whenever something they depend on changes).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/parse/edit_text.h"
#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"
#include "swf/text/font_library.h"
#include "swf/text/styled_text.h"
#include "swf/text/text_layout.h"

namespace swf::text {

enum class AutoSize : uint8_t { kNone, kLeft, kCenter, kRight };

// What the field draws, in its own coordinates (twips).
struct FieldShape {
  std::shared_ptr<const ShapeDefinition> shape;
  Matrix matrix;
  bool glyph = false;  // a glyph outline: its curves are followed closely
};

struct TextFieldState {
  Rect bounds;  // the box, in the field's own twips
  bool wordWrap = false;
  bool multiline = false;
  bool password = false;
  bool input = false;       // type "input"
  bool selectable = true;
  bool border = false;
  bool background = false;
  bool html = false;
  bool embedFonts = false;
  bool condenseWhite = false;
  bool mouseWheelEnabled = true;
  AutoSize autoSize = AutoSize::kNone;
  uint32_t borderColor = 0;
  uint32_t backgroundColor = 0xffffff;
  int maxChars = 0;  // 0: no limit
  std::optional<std::string> restrict;
  std::string variable;
  int swfVersion = 8;

  StyledText content;
  TextFormat newFormat = DefaultTextFormat();  // for text set or typed later
  int scroll = 1;      // first line shown, from 1
  double hscroll = 0;  // pixels

  // Made by Update.
  TextLayout layout;
  std::vector<FieldShape> shapes;
};

// A field as its DefineEditText has it (the initial text not yet set: the
// runtime sets it or the bound variable's value).
TextFieldState FieldFromDefinition(const EditTextDefinition& definition, FontLibrary& fonts, int swfVersion);
// A field createTextField makes: x, y, width and height in twips.
TextFieldState NewField(double x, double y, double width, double height, int swfVersion);

// Text as scripts set and read it (UTF-8; paragraphs end with "\r").
void SetPlainText(TextFieldState& field, std::string_view text);
std::string PlainText(const TextFieldState& field);
void SetHtmlText(TextFieldState& field, std::string_view html);
std::string HtmlText(const TextFieldState& field);
// Replaces [begin, end) (UTF-16 units) with plain text in the new format.
void ReplaceText(TextFieldState& field, size_t begin, size_t end, std::string_view text);

// Lays the text out again, sizes an auto-sized box to it, keeps the scroll
// in range and makes the shapes.
void Update(TextFieldState& field, FontLibrary& fonts);

// Lines that fit in the box from line `scroll` on (at least one).
int VisibleLines(const TextFieldState& field, int scroll);
int MaxScroll(const TextFieldState& field);
int BottomScroll(const TextFieldState& field);
double MaxHScroll(const TextFieldState& field);

}  // namespace swf::text
