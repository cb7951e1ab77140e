#include "swf/text/embedded_font.h"

#include <algorithm>

namespace swf::text {

EmbeddedFont::EmbeddedFont(const FontDefinition& definition) : definition_(definition) {}

double EmbeddedFont::Ascent() const {
  return definition_.layout ? definition_.layout->ascent : UnitsPerEm() * 0.9;
}

double EmbeddedFont::Descent() const {
  return definition_.layout ? definition_.layout->descent : UnitsPerEm() * 0.22;
}

double EmbeddedFont::Leading() const { return definition_.layout ? definition_.layout->leading : 0; }

std::optional<uint32_t> EmbeddedFont::GlyphOf(char32_t character) {
  const std::vector<uint16_t>& codes = definition_.codes;
  // Codes are stored in ascending order, but not every writer keeps to it.
  const auto found = std::lower_bound(codes.begin(), codes.end(), character);
  if (found != codes.end() && *found == character) return static_cast<uint32_t>(found - codes.begin());
  const auto any = std::find(codes.begin(), codes.end(), character);
  if (any != codes.end()) return static_cast<uint32_t>(any - codes.begin());
  return std::nullopt;
}

double EmbeddedFont::Advance(uint32_t glyph) {
  if (definition_.layout && glyph < definition_.layout->advances.size()) return definition_.layout->advances[glyph];
  if (definition_.layout && glyph < definition_.layout->bounds.size()) return definition_.layout->bounds[glyph].xMax;
  return UnitsPerEm() / 2;
}

double EmbeddedFont::Kerning(char32_t left, char32_t right) {
  if (!definition_.layout) return 0;
  for (const KerningPair& pair : definition_.layout->kerning) {
    if (pair.left == left && pair.right == right) return pair.adjustment;
  }
  return 0;
}

const std::vector<ShapePath>* EmbeddedFont::Outline(uint32_t glyph) {
  return glyph < definition_.glyphs.size() ? &definition_.glyphs[glyph] : nullptr;
}

}  // namespace swf::text
