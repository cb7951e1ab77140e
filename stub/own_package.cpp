#include "stub/own_package.h"

#include <exception>

namespace stub {

std::string DescribeMovies(const core::Package& package) {
  const std::size_t count = package.movies.size();
  std::string text = "This package holds " + std::to_string(count) + (count == 1 ? " movie" : " movies");
  text += count == 0 ? "." : ":";
  for (const core::PackageMovie& movie : package.movies) {
    text += "\r\n" + movie.name + " (" + std::to_string(movie.size) + " bytes)";
  }
  return text;
}

OwnPackageReport ReadOwnPackage(const std::string& executablePath) {
  try {
    return {true, DescribeMovies(core::ReadPackageFile(executablePath))};
  } catch (const std::exception& error) {
    return {false, "This program holds no movie package.\r\n" + std::string(error.what())};
  }
}

}  // namespace stub
