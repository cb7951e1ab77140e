#include "core/release_names.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "core/movie_name.h"
#include "sys/file_system.h"

namespace core {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string UniqueName(const std::string& name, std::set<std::string>& taken) {
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string stem = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot) : "";
  std::string candidate = name;
  for (int copy = 2; taken.count(Lower(candidate)) != 0; ++copy) {
    candidate = stem + " (" + std::to_string(copy) + ")" + extension;
  }
  taken.insert(Lower(candidate));
  return candidate;
}

}  // namespace

std::vector<std::string> ReleaseFileNames(const std::vector<PackageMovie>& movies) {
  std::set<std::string> taken;
  std::vector<std::string> names;
  names.reserve(movies.size());
  for (std::size_t i = 0; i < movies.size(); ++i) {
    names.push_back(UniqueName(NeutralizeMovieName(movies[i].name, i + 1), taken));
  }
  return names;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '\\' || last == '/' || last == sys::PathSeparator()) return folder + name;
  return folder + sys::PathSeparator() + name;
}

}  // namespace core
