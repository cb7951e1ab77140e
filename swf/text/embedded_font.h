#pragma once

#include "swf/parse/fonts.h"
#include "swf/text/font.h"

namespace swf::text {

// A DefineFont/2/3 of the movie as a Font: its layout tables where it has
// them, else metrics taken from the EM square and the glyphs' extent.
class EmbeddedFont final : public Font {
 public:
  explicit EmbeddedFont(const FontDefinition& definition);

  double UnitsPerEm() const override { return 1.0 / definition_.emScale; }
  double Ascent() const override;
  double Descent() const override;
  double Leading() const override;
  std::optional<uint32_t> GlyphOf(char32_t character) override;
  double Advance(uint32_t glyph) override;
  double Kerning(char32_t left, char32_t right) override;
  const std::vector<ShapePath>* Outline(uint32_t glyph) override;

  const FontDefinition& Definition() const { return definition_; }

 private:
  const FontDefinition& definition_;
};

}  // namespace swf::text
