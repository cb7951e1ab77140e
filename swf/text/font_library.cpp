#include "swf/text/font_library.h"

#include <algorithm>
#include <cctype>

namespace swf::text {
namespace {

bool SameFace(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

FontLibrary::FontLibrary(const ParsedMovie& movie, FontSource* source) : movie_(movie), source_(source) {}

Font* FontLibrary::EmbeddedById(uint16_t id) {
  if (const auto found = embedded_.find(id); found != embedded_.end()) return found->second.get();
  const Character* character = movie_.FindCharacter(id);
  const auto* definition = character != nullptr ? std::get_if<FontDefinition>(character) : nullptr;
  if (definition == nullptr) return nullptr;
  return embedded_.emplace(id, std::make_unique<EmbeddedFont>(*definition)).first->second.get();
}

Font* FontLibrary::Embedded(std::string_view name, bool bold, bool italic) {
  // Fonts without glyphs only name a device font.
  uint16_t exact = 0;
  uint16_t sameName = 0;
  for (const auto& [id, character] : movie_.characters) {
    const auto* font = std::get_if<FontDefinition>(&character);
    if (font == nullptr || font->glyphs.empty() || !SameFace(font->name, name)) continue;
    const bool styleMatches = font->flags.bold == bold && font->flags.italic == italic;
    if (styleMatches && (exact == 0 || id < exact)) exact = id;
    if (sameName == 0 || id < sameName) sameName = id;
  }
  const uint16_t id = exact != 0 ? exact : sameName;
  return id != 0 ? EmbeddedById(id) : nullptr;
}

Font* FontLibrary::Device(std::string_view name, bool bold, bool italic) {
  if (source_ == nullptr) return nullptr;
  const auto key = std::make_tuple(Lower(name), bold, italic);
  if (const auto found = device_.find(key); found != device_.end()) return found->second.get();
  std::shared_ptr<Font> font = source_->Open(name, bold, italic);
  return device_.emplace(key, std::move(font)).first->second.get();
}

Font* FontLibrary::ForFormat(const TextFormat& format, bool embedded) {
  const std::string& name = format.font ? *format.font : std::string();
  const bool bold = format.bold.value_or(false);
  const bool italic = format.italic.value_or(false);
  if (embedded) return Embedded(name, bold, italic);
  return Device(name, bold, italic);
}

std::shared_ptr<const ShapeDefinition> FontLibrary::GlyphShape(Font& font, uint32_t glyph, Rgba color) {
  const uint32_t packed = (uint32_t{color.r} << 24) | (uint32_t{color.g} << 16) | (uint32_t{color.b} << 8) | color.a;
  const auto key = std::make_tuple(static_cast<const Font*>(&font), glyph, packed);
  if (const auto found = shapes_.find(key); found != shapes_.end()) return found->second;
  const std::vector<ShapePath>* outline = font.Outline(glyph);
  std::shared_ptr<const ShapeDefinition> shape;
  if (outline != nullptr && !outline->empty()) {
    auto made = std::make_shared<ShapeDefinition>();
    made->layers.push_back(ShapeLayer{{SolidFill{color}}, {}, *outline});
    shape = std::move(made);
  }
  shapes_.emplace(key, shape);
  return shape;
}

}  // namespace swf::text
