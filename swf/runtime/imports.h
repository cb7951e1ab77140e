#pragma once

// Characters a movie takes from movies beside it (ImportAssets and
// ImportAssets2). Each file named is asked of the host once, by its URL as
// the movie gives it (relative to the movie), parsed and kept for as long as
// this library; the names it exports are looked up there, and each id the
// importing movie gives an asset resolves to the character exported under
// that name. The imported movies' own imports are not followed. A file the
// host does not give, one that is not a movie, or a name it does not export
// leaves its ids unresolved: nothing shows there.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "swf/host_services.h"
#include "swf/parse/movie.h"

namespace swf {

// A character of another movie: that movie, and its id there.
struct ImportedCharacter {
  const ParsedMovie* movie = nullptr;
  uint16_t characterId = 0;
};

class ImportLibrary {
 public:
  // Files one movie may import from; the tags beyond are ignored.
  static constexpr size_t kMaxImportedMovies = 64;

  ImportLibrary() = default;
  // Loads what `movie` imports through `host` (null: nothing is loaded).
  ImportLibrary(const ParsedMovie& movie, HostServices* host);

  // The character the importing movie's `id` stands for; null when `id` is
  // not imported or was not found.
  const ImportedCharacter* Find(uint16_t id) const;
  size_t MovieCount() const { return movies_.size(); }

 private:
  std::vector<std::unique_ptr<const ParsedMovie>> movies_;
  std::unordered_map<uint16_t, ImportedCharacter> characters_;
};

}  // namespace swf
