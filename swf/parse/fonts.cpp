#include "swf/parse/fonts.h"

#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/shape_records.h"

namespace swf {
namespace {

// Glyph i spans offsets[i] .. offsets[i + 1] (the last one up to `tableEnd`),
// counted from the start of the offset table at `table`.
void ReadGlyphs(std::span<const uint8_t> table, size_t tableOffset, const std::vector<uint32_t>& offsets,
                size_t tableEnd, size_t maxRecords, FontDefinition& font) {
  size_t budget = maxRecords;
  for (size_t i = 0; i < offsets.size(); ++i) {
    const size_t begin = offsets[i];
    const size_t end = i + 1 < offsets.size() ? offsets[i + 1] : tableEnd;
    if (begin > end || end > table.size()) {
      throw ParseError("glyph " + std::to_string(i) + " of font " + std::to_string(font.id) +
                       " lies outside its tag");
    }
    BitReader glyphReader(table.subspan(begin, end - begin), tableOffset + begin);
    std::vector<ShapeRecord> records = ReadShapeRecords(glyphReader, budget);
    budget -= records.size();
    font.glyphs.push_back(RecordsToPaths(records, 1, 0));
  }
}

FontDefinition ParseFont1(BitReader& reader, size_t maxRecords) {
  FontDefinition font;
  font.id = reader.U16();
  if (reader.AtEnd()) return font;
  const size_t tableOffset = reader.AbsoluteOffset();
  const std::span<const uint8_t> table = reader.Rest();
  BitReader offsetsReader(table, tableOffset);
  const uint16_t first = offsetsReader.U16();
  const size_t count = first / 2;
  std::vector<uint32_t> offsets{first};
  for (size_t i = 1; i < count; ++i) offsets.push_back(offsetsReader.U16());
  if (count == 0) return font;
  ReadGlyphs(table, tableOffset, offsets, table.size(), maxRecords, font);
  return font;
}

FontDefinition ParseFont2(BitReader& reader, int fontVersion, size_t maxRecords) {
  FontDefinition font;
  font.id = reader.U16();
  font.emScale = fontVersion == 3 ? 1.0 / 20480 : 1.0 / 1024;
  const uint8_t flags = reader.U8();
  const bool wideOffsets = (flags & 0x08) != 0;
  reader.U8();  // language
  reader.Skip(reader.U8());  // name
  const size_t count = reader.U16();
  if (count == 0) return font;  // a device font: no outlines
  const size_t tableOffset = reader.AbsoluteOffset();
  const std::span<const uint8_t> table = reader.Rest();
  BitReader offsetsReader(table, tableOffset);
  std::vector<uint32_t> offsets;
  offsets.reserve(count);
  for (size_t i = 0; i < count; ++i) offsets.push_back(wideOffsets ? offsetsReader.U32() : offsetsReader.U16());
  const size_t codeTable = wideOffsets ? offsetsReader.U32() : offsetsReader.U16();
  ReadGlyphs(table, tableOffset, offsets, codeTable, maxRecords, font);
  return font;
}

}  // namespace

FontDefinition ParseDefineFont(BitReader& reader, int fontVersion, size_t maxRecords) {
  return fontVersion == 1 ? ParseFont1(reader, maxRecords) : ParseFont2(reader, fontVersion, maxRecords);
}

size_t CountFontRecords(const FontDefinition& font) {
  size_t records = 0;
  for (const auto& glyph : font.glyphs) {
    records += 1 + glyph.size();
    for (const ShapePath& path : glyph) records += path.segments.size();
  }
  return records;
}

}  // namespace swf
