#include "core/movie_files.h"

#include <cctype>

#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"

namespace core {
namespace {

// A file a movie loads from the folder is refused past this size, as a
// package's own entries are.
constexpr std::uint64_t kLargestFile = 256ull * 1024 * 1024;

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view BaseName(std::string_view name) {
  const size_t slash = name.find_last_of("/\\");
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::optional<std::string> MovieFiles::CleanPath(std::string_view relativePath) {
  // A query or fragment is no part of a file's name.
  relativePath = relativePath.substr(0, relativePath.find_first_of("?#"));
  if (relativePath.empty() || relativePath.front() == '/' || relativePath.front() == '\\' ||
      relativePath.find(':') != std::string_view::npos) {
    return std::nullopt;
  }
  std::string clean;
  size_t start = 0;
  while (start <= relativePath.size()) {
    size_t end = relativePath.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = relativePath.size();
    const std::string_view name = relativePath.substr(start, end - start);
    if (name == "..") return std::nullopt;
    if (!name.empty() && name != ".") {
      if (!clean.empty()) clean += '/';
      clean += name;
    }
    start = end + 1;
  }
  if (clean.empty()) return std::nullopt;
  return clean;
}

std::optional<std::vector<std::uint8_t>> MovieFiles::Load(std::string_view relativePath) const {
  const std::optional<std::string> path = CleanPath(relativePath);
  if (!path) return std::nullopt;
  for (const PackageMovie& movie : package_.movies) {
    if (EqualNoCase(movie.name, *path) || EqualNoCase(BaseName(movie.name), *path)) {
      const std::string_view bytes = package_.MovieData(movie);
      return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
  }
  if (folder_.empty()) return std::nullopt;
  std::string file = folder_;
  if (file.back() != sys::PathSeparator()) file += sys::PathSeparator();
  for (char c : *path) file += c == '/' ? sys::PathSeparator() : c;
  if (!sys::FileExists(file)) return std::nullopt;
  try {
    sys::File opened(file, sys::FileAccess::kReadShareReadWrite);
    if (opened.Size() > kLargestFile) return std::nullopt;
    const std::string bytes = opened.ReadAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  } catch (const sys::FileError&) {
    return std::nullopt;
  }
}

}  // namespace core
