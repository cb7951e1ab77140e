// What a packaged movie loads by a relative path: its package's entries by
// name first (any case), then files beside the executable; nothing outside
// that folder, however the path is spelled.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../sys/temp_folder.h"
#include "core/movie_files.h"
#include "sys/file.h"

namespace {

using testing_support::TempFolder;

core::PackageMovie Entry(core::Package& package, const std::string& name, const std::string& bytes) {
  core::PackageMovie movie{name, static_cast<std::uint32_t>(package.payload.size()),
                           static_cast<std::uint32_t>(bytes.size())};
  package.payload += bytes;
  package.movies.push_back(movie);
  return movie;
}

TEST(MovieFilesTest, PackageEntriesFirstThenTheFolderAndNothingOutside) {
  TempFolder root;
  const std::string folder = root / "game";
  std::filesystem::create_directories(folder + "/data");
  sys::WriteWholeFile(folder + "/data/levels.txt", "level=2");
  sys::WriteWholeFile(folder + "/menu.swf", "from the folder");
  sys::WriteWholeFile(root / "secret.txt", "outside");
  core::Package package;
  Entry(package, "Menu.swf", "from the package");
  Entry(package, "C:\\work\\intro.swf", "intro");
  const core::MovieFiles files(package, folder);

  struct Case {
    const char* path;
    const char* bytes;  // nullptr: nothing loads
  };
  const Case cases[] = {
      {"menu.swf", "from the package"},
      {"./MENU.SWF", "from the package"},
      {"intro.swf", "intro"},
      {"data/levels.txt", "level=2"},
      {"data\\levels.txt", "level=2"},
      {"data/./levels.txt?x=1", "level=2"},
      {"missing.txt", nullptr},
      {"../secret.txt", nullptr},
      {"data/../../secret.txt", nullptr},
      {"/etc/passwd", nullptr},
      {"\\secret.txt", nullptr},
      {"C:secret.txt", nullptr},
      {"", nullptr},
      {"data", nullptr},  // a folder is no file
  };
  for (const Case& c : cases) {
    const auto loaded = files.Load(c.path);
    if (c.bytes == nullptr) {
      EXPECT_FALSE(loaded.has_value()) << c.path;
    } else {
      ASSERT_TRUE(loaded.has_value()) << c.path;
      EXPECT_EQ(std::string(loaded->begin(), loaded->end()), c.bytes) << c.path;
    }
  }
}

}  // namespace
