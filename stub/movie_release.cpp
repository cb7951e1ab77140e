#include "stub/movie_release.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "core/movie_name.h"
#include "sys/file.h"
#include "sys/file_system.h"

namespace stub {
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

std::vector<std::string> ReleaseFileNames(const std::vector<core::PackageMovie>& movies) {
  std::set<std::string> taken;
  std::vector<std::string> names;
  names.reserve(movies.size());
  for (std::size_t i = 0; i < movies.size(); ++i) {
    names.push_back(UniqueName(core::NeutralizeMovieName(movies[i].name, i + 1), taken));
  }
  return names;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '\\' || last == '/' || last == sys::PathSeparator()) return folder + name;
  return folder + sys::PathSeparator() + name;
}

ReleaseOutcome ReleaseMovies(const core::Package& package, const std::string& folder,
                             const std::function<bool(const std::string& path)>& mayOverwrite) {
  const std::vector<std::string> names = ReleaseFileNames(package.movies);
  ReleaseOutcome outcome;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string path = JoinFolder(folder, names[i]);
    // Without the user's yes the file is created only if it is still new
    // when it is opened, so a file that appears meanwhile is not emptied.
    sys::FileAccess access = sys::FileAccess::kCreateNewExclusive;
    if (sys::FileExists(path)) {
      if (!mayOverwrite(path)) {
        outcome.kept.push_back(path);
        continue;
      }
      access = sys::FileAccess::kCreateExclusive;
    }
    sys::File file(path, access);
    file.WriteAll(package.MovieData(package.movies[i]));
    file.Close();
    outcome.written.push_back(path);
  }
  return outcome;
}

}  // namespace stub
