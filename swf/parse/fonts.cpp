#include "swf/parse/fonts.h"

#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"
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

// A font name as stored: a length and bytes, with a trailing 0 that some
// writers add dropped.
std::string ReadFontName(BitReader& reader) {
  const auto bytes = reader.Bytes(reader.U8());
  std::string name(bytes.begin(), bytes.end());
  while (!name.empty() && name.back() == '\0') name.pop_back();
  return name;
}

std::vector<uint16_t> ReadCodes(BitReader& reader, size_t count, bool wide) {
  std::vector<uint16_t> codes;
  if (count * (wide ? 2 : 1) > reader.Remaining()) throw ParseError("code table reaches past its tag");
  codes.reserve(count);
  for (size_t i = 0; i < count; ++i) codes.push_back(wide ? reader.U16() : reader.U8());
  return codes;
}

FontLayout ReadLayout(BitReader& reader, size_t glyphs, bool wideCodes) {
  FontLayout layout;
  layout.ascent = reader.U16();
  layout.descent = reader.U16();
  layout.leading = reader.S16();
  if (glyphs * 2 > reader.Remaining()) throw ParseError("advance table reaches past its tag");
  layout.advances.reserve(glyphs);
  for (size_t i = 0; i < glyphs; ++i) layout.advances.push_back(reader.S16());
  // A RECT takes at least a byte, so the tag bounds this loop.
  for (size_t i = 0; i < glyphs; ++i) layout.bounds.push_back(ReadRect(reader));
  const unsigned kerningCount = reader.U16();
  for (unsigned i = 0; i < kerningCount; ++i) {
    KerningPair pair;
    pair.left = wideCodes ? reader.U16() : reader.U8();
    pair.right = wideCodes ? reader.U16() : reader.U8();
    pair.adjustment = reader.S16();
    layout.kerning.push_back(pair);
  }
  return layout;
}

FontFlags Font2Flags(uint8_t f) {
  FontFlags flags;
  flags.shiftJis = (f & 0x40) != 0;
  flags.smallText = (f & 0x20) != 0;
  flags.ansi = (f & 0x10) != 0;
  flags.wideOffsets = (f & 0x08) != 0;
  flags.wideCodes = (f & 0x04) != 0;
  flags.italic = (f & 0x02) != 0;
  flags.bold = (f & 0x01) != 0;
  return flags;
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
  font.version = fontVersion;
  font.emScale = fontVersion == 3 ? 1.0 / 20480 : 1.0 / 1024;
  const uint8_t flags = reader.U8();
  const bool hasLayout = (flags & 0x80) != 0;
  font.flags = Font2Flags(flags);
  const bool wideOffsets = font.flags.wideOffsets;
  font.languageCode = reader.U8();
  font.name = ReadFontName(reader);
  const size_t count = reader.U16();
  if (count == 0) {
    // A device font: no outlines. Whether the code table offset is still
    // there is not settled, so it is skipped only when the layout leaves
    // room for it.
    if (hasLayout) {
      try {
        const size_t offsetSize = wideOffsets ? 4 : 2;
        if (reader.Remaining() >= offsetSize + 8) reader.Skip(offsetSize);
        font.layout = ReadLayout(reader, 0, font.flags.wideCodes);
      } catch (const ParseError& error) {
        font.tablesError = error.what();
      }
    }
    return font;
  }
  const size_t tableOffset = reader.AbsoluteOffset();
  const std::span<const uint8_t> table = reader.Rest();
  BitReader offsetsReader(table, tableOffset);
  std::vector<uint32_t> offsets;
  offsets.reserve(count);
  for (size_t i = 0; i < count; ++i) offsets.push_back(wideOffsets ? offsetsReader.U32() : offsetsReader.U16());
  const size_t codeTable = wideOffsets ? offsetsReader.U32() : offsetsReader.U16();
  ReadGlyphs(table, tableOffset, offsets, codeTable, maxRecords, font);
  // Text fields need the codes and the layout; outlines do without them.
  try {
    if (codeTable > table.size()) throw ParseError("code table lies outside its tag");
    BitReader tables(table.subspan(codeTable), tableOffset + codeTable);
    font.codes = ReadCodes(tables, count, font.flags.wideCodes);
    if (hasLayout) font.layout = ReadLayout(tables, count, font.flags.wideCodes);
  } catch (const ParseError& error) {
    font.codes.clear();
    font.tablesError = error.what();
  }
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
  if (font.layout) records += font.layout->bounds.size() + font.layout->kerning.size();
  return records;
}

FontInfo ParseDefineFontInfo(BitReader& reader, int infoVersion) {
  FontInfo info;
  info.fontId = reader.U16();
  info.name = ReadFontName(reader);
  const uint8_t f = reader.U8();
  info.flags.smallText = (f & 0x20) != 0;
  info.flags.shiftJis = (f & 0x10) != 0;
  info.flags.ansi = (f & 0x08) != 0;
  info.flags.italic = (f & 0x04) != 0;
  info.flags.bold = (f & 0x02) != 0;
  info.flags.wideCodes = (f & 0x01) != 0;
  if (infoVersion >= 2) info.languageCode = reader.U8();
  // One code per glyph of the font, which is the rest of the tag.
  info.codes = ReadCodes(reader, reader.Remaining() / (info.flags.wideCodes ? 2 : 1), info.flags.wideCodes);
  return info;
}

void ApplyFontInfo(FontDefinition& font, FontInfo info) {
  font.name = std::move(info.name);
  const bool wideOffsets = font.flags.wideOffsets;
  font.flags = info.flags;
  font.flags.wideOffsets = wideOffsets;
  font.languageCode = info.languageCode;
  font.codes = std::move(info.codes);
}

FontName ParseDefineFontName(BitReader& reader) {
  FontName name;
  name.fontId = reader.U16();
  name.name = reader.String();
  name.copyright = reader.String();
  return name;
}

TextRenderSettings ParseCsmTextSettings(BitReader& reader) {
  TextRenderSettings settings;
  settings.textId = reader.U16();
  settings.renderer = static_cast<uint8_t>(reader.UB(2));
  settings.gridFit = static_cast<uint8_t>(reader.UB(3));
  reader.Align();
  settings.thickness = reader.Float();
  settings.sharpness = reader.Float();
  return settings;  // a reserved byte follows
}

}  // namespace swf
