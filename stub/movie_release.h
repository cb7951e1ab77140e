#pragma once
// Releasing a package's movies into a folder the user chose. A directory
// name comes from whoever built the package, so it is only ever a name:
// separators, drives, "..", reserved device names and empty names are
// neutralised, and two movies that end up with the same name get their own
// files. An existing file is written only when the user agreed.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/package_reader.h"

namespace stub {

struct ReleaseOutcome {
  std::vector<std::string> written;  // full paths, in directory order
  std::vector<std::string> kept;     // existing files the user chose to keep
};

// Writes every movie into `folder`. For a file that exists already,
// `mayOverwrite(path)` decides; without its yes the file is left as it was.
// A file that cannot be written throws the file error (its text names the
// path); the movies written before it stay written.
ReleaseOutcome ReleaseMovies(const core::Package& package, const std::string& folder,
                             const std::function<bool(const std::string& path)>& mayOverwrite);

}  // namespace stub
