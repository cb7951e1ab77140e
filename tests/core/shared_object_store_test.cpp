// The files that keep movies' shared objects: every store name either maps
// to a file below the movie's folder or is refused, whatever it holds;
// writes land whole and read back; folder names are made safe.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../sys/temp_folder.h"
#include "core/shared_object_store.h"
#include "sys/file_system.h"

namespace {

using testing_support::TempFolder;

TEST(SharedObjectStoreTest, NamesMapInsideTheFolderOrAreRefused) {
  TempFolder folder;
  const core::SharedObjectStore store(folder / "movie");
  const std::string sep(1, sys::PathSeparator());
  struct Case {
    const char* store;
    const char* file;  // below the movie's folder; nullptr: refused
  };
  const Case cases[] = {
      {"scores", "scores.sol"},
      {"game/scores/high", "game/scores/high.sol"},
      {"", nullptr},
      {"..", nullptr},
      {"a/../../b", nullptr},
      {"/absolute", nullptr},
      {"a//b", nullptr},
      {"trailing/", nullptr},
      {"back\\slash", nullptr},
      {"c:/drive", nullptr},
      {"dots...", nullptr},
      {"space ", nullptr},
      {"CON", nullptr},
      {"nul.txt", nullptr},
      {"com1", nullptr},
      {"wild*", nullptr},
      {"pipe|", nullptr},
      {"tab\there", nullptr},
  };
  for (const Case& c : cases) {
    const auto path = store.PathOf(c.store);
    if (c.file == nullptr) {
      EXPECT_FALSE(path.has_value()) << c.store;
      EXPECT_FALSE(store.Write(c.store, std::vector<std::uint8_t>{1, 2, 3})) << c.store;
      continue;
    }
    std::string expected = folder / "movie" + sep + c.file;
    for (char& ch : expected) ch = ch == '/' ? sys::PathSeparator() : ch;
    EXPECT_EQ(path.value_or("(refused)"), expected) << c.store;
  }
  // Nothing refused left anything behind; the folder was not even made.
  EXPECT_FALSE(std::filesystem::exists(folder / "movie"));
}

TEST(SharedObjectStoreTest, WritesReadBackAndEmptyRemoves) {
  TempFolder folder;
  const core::SharedObjectStore store(folder / "movie");
  EXPECT_FALSE(store.Read("deep/name").has_value());
  const std::vector<std::uint8_t> first = {0x00, 0xBF, 1, 2, 3};
  ASSERT_TRUE(store.Write("deep/name", first));
  EXPECT_EQ(store.Read("deep/name"), first);
  const std::vector<std::uint8_t> second = {9};
  ASSERT_TRUE(store.Write("deep/name", second));
  EXPECT_EQ(store.Read("deep/name"), second);
  ASSERT_TRUE(store.Write("deep/name", {}));
  EXPECT_FALSE(store.Read("deep/name").has_value());
  // Without a folder nothing is kept.
  EXPECT_FALSE(core::SharedObjectStore().Write("name", first));
  EXPECT_FALSE(core::SharedObjectStore().Read("name").has_value());
}

TEST(SharedObjectStoreTest, FolderNamesAreMadeSafe) {
  const std::pair<const char*, const char*> cases[] = {
      {"game.swf", "game.swf"}, {"a/b\\c:d", "a_b_c_d"}, {"..", "__"}, {".", "_"},
      {"", "_"},                {"what?.exe", "what_.exe"}, {"con", "_con"}, {"name. ", "name__"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(core::SharedObjectStore::FolderName(name), safe) << name;
}

}  // namespace
