#pragma once

// A font as layout and drawing use it: metrics, advances and kerning in
// the font's own units (a text `size` twips high scales them by
// size / UnitsPerEm()) and glyph outlines in the same units, y down, filled
// with style 1. Embedded fonts come from the movie; device fonts from the
// host's FontSource.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "swf/parse/shape.h"

namespace swf::text {

class Font {
 public:
  virtual ~Font() = default;
  virtual double UnitsPerEm() const = 0;
  virtual double Ascent() const = 0;
  virtual double Descent() const = 0;
  virtual double Leading() const { return 0; }
  // The glyph that shows `character`; none when the font lacks it.
  virtual std::optional<uint32_t> GlyphOf(char32_t character) = 0;
  virtual double Advance(uint32_t glyph) = 0;
  // The adjustment between two characters when kerning is on.
  virtual double Kerning(char32_t left, char32_t right) {
    (void)left;
    (void)right;
    return 0;
  }
  // The glyph's outline; null or empty for a glyph without one.
  virtual const std::vector<ShapePath>* Outline(uint32_t glyph) = 0;
};

// The system's fonts, by face name and style. The player, the stub and the
// console tool each hand the engine one (HostServices::Fonts).
class FontSource {
 public:
  virtual ~FontSource() = default;
  // The installed face that `name` names in that style (the generic names
  // "_sans", "_serif" and "_typewriter" included), or the system's usual
  // sans-serif face when there is no such face; null only when the system
  // has no font at all.
  virtual std::shared_ptr<Font> Open(std::string_view name, bool bold, bool italic) = 0;
};

}  // namespace swf::text
