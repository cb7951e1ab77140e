#include "swf/parse/text.h"

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

size_t PathRecords(const std::vector<ShapePath>& paths) {
  size_t records = 1 + paths.size();
  for (const ShapePath& path : paths) records += path.segments.size();
  return records;
}

// Coloured outlines, one per (font, glyph, colour) that the text uses.
class GlyphShapes {
 public:
  explicit GlyphShapes(size_t maxRecords) : budget_(maxRecords) {}

  void Charge(size_t records) {
    if (records > budget_) throw ParseError("the text holds too many glyphs");
    budget_ -= records;
  }

  std::shared_ptr<const ShapeDefinition> Get(const FontDefinition& font, size_t glyph, Rgba color) {
    const auto key = std::make_tuple(font.id, glyph, color.r, color.g, color.b, color.a);
    if (auto found = shapes_.find(key); found != shapes_.end()) return found->second;
    const std::vector<ShapePath>& paths = font.glyphs[glyph];
    const size_t records = PathRecords(paths);
    if (records > budget_) throw ParseError("the text's glyph outlines hold too many records");
    budget_ -= records;
    auto shape = std::make_shared<ShapeDefinition>();
    shape->layers.push_back(ShapeLayer{{SolidFill{color}}, {}, paths});
    shapes_.emplace(key, shape);
    return shape;
  }

 private:
  using Key = std::tuple<uint16_t, size_t, uint8_t, uint8_t, uint8_t, uint8_t>;
  std::map<Key, std::shared_ptr<const ShapeDefinition>> shapes_;
  size_t budget_;
};

}  // namespace

TextDefinition ParseDefineText(BitReader& reader, int textVersion, const FontLookup& fonts, size_t maxRecords) {
  TextDefinition text;
  text.id = reader.U16();
  text.bounds = ReadRect(reader);
  const Matrix textMatrix = ReadMatrix(reader);
  const unsigned glyphBits = reader.U8();
  const unsigned advanceBits = reader.U8();
  GlyphShapes shapes(maxRecords);
  const FontDefinition* font = nullptr;
  Rgba color;
  double height = 0;
  double x = 0;
  double y = 0;
  while (true) {
    const uint8_t flags = reader.U8();
    if (flags == 0) break;
    if (flags & 0x08) {
      const uint16_t fontId = reader.U16();
      font = fonts(fontId);
    }
    if (flags & 0x04) color = textVersion >= 2 ? ReadRgba(reader) : ReadRgb(reader);
    if (flags & 0x01) x = reader.S16();
    if (flags & 0x02) y = reader.S16();
    if (flags & 0x08) height = reader.U16();
    const unsigned count = reader.U8();
    for (unsigned i = 0; i < count; ++i) {
      const uint32_t index = reader.UB(glyphBits);
      const int32_t advance = reader.SB(advanceBits);
      if (font != nullptr && index < font->glyphs.size() && !font->glyphs[index].empty()) {
        // Glyph entries may take no bits at all, so each one placed counts
        // against the ceiling like a record.
        shapes.Charge(1);
        const double scale = height * font->emScale;
        const Matrix placement{scale, 0, 0, scale, x, y};
        text.glyphs.push_back({shapes.Get(*font, index, color), Matrix::Compose(placement, textMatrix)});
      }
      x += advance;
    }
    reader.Align();
  }
  return text;
}

size_t CountTextRecords(const TextDefinition& text) {
  size_t records = 1 + text.glyphs.size();
  std::set<const ShapeDefinition*> counted;
  for (const TextGlyph& glyph : text.glyphs) {
    if (!counted.insert(glyph.shape.get()).second) continue;
    for (const ShapeLayer& layer : glyph.shape->layers) records += PathRecords(layer.paths);
  }
  return records;
}

}  // namespace swf
