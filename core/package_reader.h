#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct PackageMovie {
  std::string name;           // as the directory holds it; not safe as a path
  std::uint32_t offset = 0;   // in the payload
  std::uint32_t size = 0;
};

// A package taken apart. Every size has been checked against the file before
// anything was allocated for it.
struct Package {
  std::uint64_t stubSize = 0;
  std::uint32_t compressedSize = 0;  // Z
  std::uint32_t payloadSize = 0;     // U
  std::uint32_t directorySize = 0;   // D
  bool releaseFlag = false;
  double dateStamp = 0;
  std::vector<PackageMovie> movies;
  std::string payload;

  std::string_view MovieData(const PackageMovie& movie) const {
    return std::string_view(payload).substr(movie.offset, movie.size);
  }
};

// Takes a whole package file apart. Throws PackageFormatError with a text
// that names what is wrong (truncated file, impossible size, corrupt
// stream, malformed directory line, sizes that do not add up).
Package ReadPackage(std::string_view fileBytes);

// Reads the file (others may still read and write it) and takes it apart.
Package ReadPackageFile(const std::string& path);

}  // namespace core
