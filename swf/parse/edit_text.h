#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "swf/parse/bit_reader.h"
#include "swf/parse/types.h"

namespace swf {

// DefineEditText: a text field, kept as stored. Nothing draws it yet.
struct EditTextDefinition {
  enum class Align : uint8_t { kLeft = 0, kRight = 1, kCenter = 2, kJustify = 3 };

  uint16_t id = 0;
  Rect bounds;

  // First flags byte.
  bool wordWrap = false;
  bool multiline = false;
  bool password = false;
  bool readOnly = false;
  // Second flags byte.
  bool autoSize = false;
  bool noSelect = false;
  bool border = false;
  bool wasStatic = false;
  bool html = false;
  bool useOutlines = false;  // draw with the embedded font's glyphs

  std::optional<uint16_t> fontId;  // with the font's height
  std::string fontClass;           // HasFontClass (a font named by class), with the height
  std::optional<uint16_t> fontHeight;  // twips
  std::optional<Rgba> textColor;
  std::optional<uint16_t> maxLength;

  // HasLayout.
  struct Layout {
    uint8_t align = 0;  // Align, as stored
    uint16_t leftMargin = 0;   // twips
    uint16_t rightMargin = 0;
    uint16_t indent = 0;
    int16_t leading = 0;
  };
  std::optional<Layout> layout;

  std::string variableName;  // may be empty
  std::optional<std::string> initialText;  // HTML when `html`
};

EditTextDefinition ParseDefineEditText(BitReader& reader);

}  // namespace swf
