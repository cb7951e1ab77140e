#pragma once

// The fonts a movie's text fields use: the movie's embedded fonts by name
// and style, the host's device fonts, and the glyph shapes made for drawing
// (one per glyph and colour, kept while the library lives).

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "swf/parse/movie.h"
#include "swf/text/embedded_font.h"
#include "swf/text/font.h"
#include "swf/text/text_format.h"

namespace swf::text {

class FontLibrary {
 public:
  // `movie` outlives the library; `source` (not owned) may be null: device
  // text then takes room but shows nothing.
  FontLibrary(const ParsedMovie& movie, FontSource* source);

  // The embedded font of `name` in that style (another style of the name
  // when that one is missing); null when the movie embeds no such font.
  Font* Embedded(std::string_view name, bool bold, bool italic);
  // The embedded font with character id `id`; null for another character.
  Font* EmbeddedById(uint16_t id);
  // The device font for a format; null without a font source.
  Font* Device(std::string_view name, bool bold, bool italic);
  // The font a run of a field draws with.
  Font* ForFormat(const TextFormat& format, bool embedded);

  // The shape of a glyph filled with `color` (0xRRGGBB with alpha);
  // null when the glyph has no outline.
  std::shared_ptr<const ShapeDefinition> GlyphShape(Font& font, uint32_t glyph, Rgba color);

 private:
  const ParsedMovie& movie_;
  FontSource* source_;
  std::map<uint16_t, std::unique_ptr<EmbeddedFont>> embedded_;  // by id
  std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<Font>> device_;
  std::map<std::tuple<const Font*, uint32_t, uint32_t>, std::shared_ptr<const ShapeDefinition>> shapes_;
};

}  // namespace swf::text
