#pragma once
// What the first player stub knows how to do: find the package appended to
// its own executable and say what it holds. Playing the movies comes later.

#include <string>

#include "core/package_reader.h"

namespace stub {

struct OwnPackageReport {
  bool holdsPackage = false;
  std::string text;  // shown to the user as it stands
};

// The movies of a package, one line each: name and size in bytes.
std::string DescribeMovies(const core::Package& package);

// Reads the package at the end of `executablePath`. A file without one (the
// bare stub, or a damaged package) gives a report that says why.
OwnPackageReport ReadOwnPackage(const std::string& executablePath);

}  // namespace stub
