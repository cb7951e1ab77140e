#include "swf/runtime/imports.h"

#include <map>
#include <optional>
#include <string>

#include "swf/parse/parse_error.h"

namespace swf {
namespace {

// The movie in `bytes`, or none when it is not one.
std::unique_ptr<const ParsedMovie> ParseImported(const std::vector<uint8_t>& bytes) {
  try {
    return std::make_unique<const ParsedMovie>(ParseMovie(bytes));
  } catch (const ParseError&) {
    return nullptr;
  }
}

std::optional<uint16_t> ExportedId(const ParsedMovie& movie, const std::string& name) {
  for (const AssetName& exported : movie.exports) {
    if (exported.name == name) return exported.characterId;
  }
  return std::nullopt;
}

}  // namespace

ImportLibrary::ImportLibrary(const ParsedMovie& movie, HostServices* host) {
  if (host == nullptr) return;
  // Several tags may name the same file; it is loaded once.
  std::map<std::string, const ParsedMovie*> byUrl;
  for (const ImportedAssets& imports : movie.imports) {
    auto found = byUrl.find(imports.url);
    if (found == byUrl.end()) {
      if (byUrl.size() >= kMaxImportedMovies) continue;
      const ParsedMovie* loaded = nullptr;
      if (std::optional<std::vector<uint8_t>> bytes = host->LoadFile(imports.url)) {
        if (std::unique_ptr<const ParsedMovie> parsed = ParseImported(*bytes)) {
          loaded = parsed.get();
          movies_.push_back(std::move(parsed));
        }
      }
      found = byUrl.emplace(imports.url, loaded).first;
    }
    if (found->second == nullptr) continue;
    for (const AssetName& asset : imports.assets) {
      if (std::optional<uint16_t> id = ExportedId(*found->second, asset.name)) {
        characters_[asset.characterId] = ImportedCharacter{found->second, *id};
      }
    }
  }
}

const ImportedCharacter* ImportLibrary::Find(uint16_t id) const {
  const auto found = characters_.find(id);
  return found == characters_.end() ? nullptr : &found->second;
}

}  // namespace swf
