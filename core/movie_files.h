#pragma once
// The files a packaged movie loads by a relative path (other movies, text
// for variables and XML, sounds, images): an entry of its own package with
// that name first, then a file in the folder beside the executable. Paths
// that are absolute or climb out of that folder load nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/package_reader.h"

namespace core {

class MovieFiles {
 public:
  // Both outlive this.
  MovieFiles(const Package& package, std::string folder) : package_(package), folder_(std::move(folder)) {}

  std::optional<std::vector<std::uint8_t>> Load(std::string_view relativePath) const;

  // The path's names joined by '/', without "." names; nothing when it is
  // absolute, names a drive or a device's stream, or has a ".." name.
  static std::optional<std::string> CleanPath(std::string_view relativePath);

 private:
  const Package& package_;
  std::string folder_;
};

}  // namespace core
