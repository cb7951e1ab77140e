#include "stub/movie_release.h"

#include "core/release_names.h"
#include "sys/file.h"
#include "sys/file_system.h"

namespace stub {

ReleaseOutcome ReleaseMovies(const core::Package& package, const std::string& folder,
                             const std::function<bool(const std::string& path)>& mayOverwrite) {
  const std::vector<std::string> names = core::ReleaseFileNames(package.movies);
  ReleaseOutcome outcome;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string path = core::JoinFolder(folder, names[i]);
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
