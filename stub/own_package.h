#pragma once
// The package at the end of player.dat's own executable: read whole, every
// size checked against the file before anything is allocated for it, the
// payload inflated in memory (nothing is ever extracted to disk).

#include <stdexcept>
#include <string>

#include "core/package_reader.h"

namespace stub {

// The executable holds nothing to play; what() is the whole text for the user.
class NoPlayablePackage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads and takes apart the package appended to `executablePath`. Throws
// NoPlayablePackage when there is none (the bare player.dat, a broken
// trailer, a damaged stream or directory) or when it holds no movie.
core::Package LoadOwnPackage(const std::string& executablePath);

// The package's name for captions: the executable's file name without its
// extension ("C:\games\space.exe" gives "space").
std::string PackageDisplayName(const std::string& executablePath);

}  // namespace stub
