#include "character_builder.h"

#include <algorithm>

namespace swftest {
namespace {

void WriteMoveTo(BitWriter& w, int32_t x, int32_t y, bool withFill, unsigned fill, unsigned fillBits) {
  w.UB(0, 1);
  w.UB(0, 1);  // no new styles
  w.UB(0, 1);  // line
  w.UB(0, 1);  // fill1
  w.UB(withFill, 1);
  w.UB(1, 1);  // move
  const unsigned bits = std::max(SignedBits(x), SignedBits(y));
  w.UB(bits, 5);
  w.SB(x, bits);
  w.SB(y, bits);
  if (withFill) w.UB(fill, fillBits);
}

void WriteLine(BitWriter& w, int32_t dx, int32_t dy) {
  const unsigned bits = std::max({SignedBits(dx), SignedBits(dy), 2u});
  w.UB(1, 1);
  w.UB(1, 1);
  w.UB(bits - 2, 4);
  w.UB(1, 1);
  w.SB(dx, bits);
  w.SB(dy, bits);
}

void WriteRectangle(BitWriter& w, int32_t x, int32_t y, int32_t width, int32_t height, bool withFill,
                    unsigned fill, unsigned fillBits) {
  WriteMoveTo(w, x, y, withFill, fill, fillBits);
  WriteLine(w, width, 0);
  WriteLine(w, 0, height);
  WriteLine(w, -width, 0);
  WriteLine(w, 0, -height);
  w.UB(0, 6);
  w.Align();
}

}  // namespace

Bytes RectangleEdges(int32_t x, int32_t y, int32_t width, int32_t height, unsigned fill) {
  BitWriter w;
  const unsigned fillBits = std::max(1u, UnsignedBits(fill));
  w.UB(fillBits, 4);
  w.UB(0, 4);
  WriteRectangle(w, x, y, width, height, true, fill, fillBits);
  return w.Take();
}

Bytes FontTag(int version, uint16_t id, const std::vector<Bytes>& glyphs) {
  BitWriter w;
  w.U16(id);
  const size_t count = glyphs.size();
  if (version == 1) {
    uint16_t offset = static_cast<uint16_t>(2 * count);
    for (const Bytes& glyph : glyphs) {
      w.U16(offset);
      offset = static_cast<uint16_t>(offset + glyph.size());
    }
    for (const Bytes& glyph : glyphs) w.Append(glyph);
    return Tag(10, w.Take());
  }
  w.U8(0x04);  // wide codes
  w.U8(0);     // language
  const std::string name = "Boxes";
  w.U8(static_cast<uint8_t>(name.size()));
  for (char c : name) w.U8(static_cast<uint8_t>(c));
  w.U16(static_cast<uint16_t>(count));
  uint16_t offset = static_cast<uint16_t>(2 * count + 2);
  for (const Bytes& glyph : glyphs) {
    w.U16(offset);
    offset = static_cast<uint16_t>(offset + glyph.size());
  }
  w.U16(offset);  // code table
  for (const Bytes& glyph : glyphs) w.Append(glyph);
  for (size_t i = 0; i < count; ++i) w.U16(static_cast<uint16_t>('A' + i));
  return Tag(version == 2 ? 48 : 75, w.Take());
}

Bytes TextTag(int version, uint16_t id, const swf::Matrix& textMatrix, const std::vector<TextRecord>& records) {
  constexpr unsigned kGlyphBits = 4;
  constexpr unsigned kAdvanceBits = 12;
  BitWriter w;
  w.U16(id);
  w.Rect({0, 800, 0, 600});
  w.Matrix(textMatrix);
  w.U8(kGlyphBits);
  w.U8(kAdvanceBits);
  for (const TextRecord& record : records) {
    uint8_t flags = 0x80;
    if (record.fontId >= 0) flags |= 0x08;
    if (record.hasColor) flags |= 0x04;
    if (record.hasY) flags |= 0x02;
    if (record.hasX) flags |= 0x01;
    w.U8(flags);
    if (record.fontId >= 0) w.U16(static_cast<uint16_t>(record.fontId));
    if (record.hasColor) {
      if (version >= 2) {
        w.Rgba(record.color);
      } else {
        w.Rgb(record.color);
      }
    }
    if (record.hasX) w.U16(static_cast<uint16_t>(record.x));
    if (record.hasY) w.U16(static_cast<uint16_t>(record.y));
    if (record.fontId >= 0) w.U16(record.height);
    w.U8(static_cast<uint8_t>(record.glyphs.size()));
    for (const GlyphEntry& glyph : record.glyphs) {
      w.UB(glyph.index, kGlyphBits);
      w.SB(glyph.advance, kAdvanceBits);
    }
    w.Align();
  }
  w.U8(0);
  return Tag(version >= 2 ? 33 : 11, w.Take());
}

Bytes MorphTag(uint16_t id, const MorphRectangle& start, const MorphRectangle& end) {
  BitWriter styles;
  styles.U8(1);  // one fill
  styles.U8(0x00);
  styles.Rgba(start.color);
  styles.Rgba(end.color);
  styles.U8(0);  // no lines
  const Bytes startEdges = RectangleEdges(start.x, start.y, start.width, start.height);
  styles.Append(startEdges);
  const Bytes beforeEnd = styles.Take();

  // The end edges carry moves but no styles.
  BitWriter endEdges;
  endEdges.UB(0, 4);
  endEdges.UB(0, 4);
  WriteRectangle(endEdges, end.x, end.y, end.width, end.height, false, 0, 0);

  BitWriter w;
  w.U16(id);
  w.Rect({start.x, start.x + start.width, start.y, start.y + start.height});
  w.Rect({end.x, end.x + end.width, end.y, end.y + end.height});
  w.U32(static_cast<uint32_t>(beforeEnd.size()));
  w.Append(beforeEnd);
  w.Append(endEdges.Take());
  return Tag(46, w.Take());
}

Bytes ButtonTag(int version, uint16_t id, const std::vector<ButtonRecord>& records) {
  BitWriter w;
  w.U16(id);
  if (version >= 2) {
    w.U8(0);
    w.U16(0);  // no conditional actions
  }
  for (const ButtonRecord& record : records) {
    w.U8(record.states);
    w.U16(record.characterId);
    w.U16(record.depth);
    w.Matrix(record.matrix);
    if (version >= 2) w.ColorTransform(swf::ColorTransform::Identity(), true);
  }
  w.U8(0);
  if (version == 1) w.U8(0);  // no actions
  return Tag(version >= 2 ? 34 : 7, w.Take());
}

Bytes Button2Tag(uint16_t id, const std::vector<ButtonRecord>& records, const std::vector<ButtonCondition>& conditions,
                 bool trackAsMenu) {
  BitWriter recordBytes;
  for (const ButtonRecord& record : records) {
    recordBytes.U8(record.states);
    recordBytes.U16(record.characterId);
    recordBytes.U16(record.depth);
    recordBytes.Matrix(record.matrix);
    recordBytes.ColorTransform(swf::ColorTransform::Identity(), true);
  }
  recordBytes.U8(0);
  const Bytes characters = recordBytes.Take();
  BitWriter w;
  w.U16(id);
  w.U8(trackAsMenu ? 1 : 0);
  // The offset counts from its own field to the first condition.
  w.U16(conditions.empty() ? 0 : static_cast<uint16_t>(2 + characters.size()));
  w.Append(characters);
  for (size_t i = 0; i < conditions.size(); ++i) {
    const ButtonCondition& condition = conditions[i];
    Bytes code;
    for (const Bytes& action : condition.actions) code.insert(code.end(), action.begin(), action.end());
    code.push_back(0);
    w.U16(i + 1 == conditions.size() ? 0 : static_cast<uint16_t>(4 + code.size()));
    w.U8(static_cast<uint8_t>(condition.conditions & 0xFF));
    w.U8(static_cast<uint8_t>((condition.keyCode << 1) | ((condition.conditions >> 8) & 1)));
    w.Append(code);
  }
  return Tag(34, w.Take());
}

}  // namespace swftest
