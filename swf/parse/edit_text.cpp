#include "swf/parse/edit_text.h"

#include "swf/parse/records.h"

namespace swf {

EditTextDefinition ParseDefineEditText(BitReader& reader) {
  EditTextDefinition text;
  text.id = reader.U16();
  text.bounds = ReadRect(reader);
  const uint8_t first = reader.U8();
  const uint8_t second = reader.U8();
  const bool hasText = (first & 0x80) != 0;
  text.wordWrap = (first & 0x40) != 0;
  text.multiline = (first & 0x20) != 0;
  text.password = (first & 0x10) != 0;
  text.readOnly = (first & 0x08) != 0;
  const bool hasTextColor = (first & 0x04) != 0;
  const bool hasMaxLength = (first & 0x02) != 0;
  const bool hasFont = (first & 0x01) != 0;
  const bool hasFontClass = (second & 0x80) != 0;
  text.autoSize = (second & 0x40) != 0;
  const bool hasLayout = (second & 0x20) != 0;
  text.noSelect = (second & 0x10) != 0;
  text.border = (second & 0x08) != 0;
  text.wasStatic = (second & 0x04) != 0;
  text.html = (second & 0x02) != 0;
  text.useOutlines = (second & 0x01) != 0;

  if (hasFont) text.fontId = reader.U16();
  if (hasFontClass) text.fontClass = reader.String();
  if (hasFont || hasFontClass) text.fontHeight = reader.U16();
  if (hasTextColor) text.textColor = ReadRgba(reader);
  if (hasMaxLength) text.maxLength = reader.U16();
  if (hasLayout) {
    EditTextDefinition::Layout layout;
    layout.align = reader.U8();
    layout.leftMargin = reader.U16();
    layout.rightMargin = reader.U16();
    layout.indent = reader.U16();
    layout.leading = reader.S16();
    text.layout = layout;
  }
  text.variableName = reader.String();
  if (hasText) text.initialText = reader.String();
  return text;
}

}  // namespace swf
