#include "sys/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sys/temp_folder.h"

namespace {

using testing_support::TempFolder;

TEST(FileExists, TrueForFilesOnlyNotForFoldersOrMissingPaths) {
  TempFolder folder;
  const std::string file = folder.Write("a.swf", "x");
  EXPECT_TRUE(sys::FileExists(file));
  EXPECT_TRUE(sys::FileExists(folder.Write("empty.swf", "")));
  EXPECT_FALSE(sys::FileExists(folder.Path()));
  EXPECT_FALSE(sys::FileExists(folder / "missing.swf"));
  EXPECT_FALSE(sys::FileExists(""));
}

#ifdef _WIN32
TEST(FileExists, WildcardsMatchNothing) {
  TempFolder folder;
  folder.Write("a.swf", "x");
  EXPECT_FALSE(sys::FileExists(folder / "*.swf"));
  EXPECT_FALSE(sys::FileExists(folder / "?.swf"));
}
#endif

TEST(DirectoryEntrySize, GivesTheFileLengthAndZeroForMissingFiles) {
  TempFolder folder;
  EXPECT_EQ(sys::DirectoryEntrySize(folder.Write("a.swf", std::string(5000, 'a'))), 5000u);
  EXPECT_EQ(sys::DirectoryEntrySize(folder.Write("e.swf", "")), 0u);
  EXPECT_EQ(sys::DirectoryEntrySize(folder / "missing.swf"), 0u);
}

TEST(SameFile, RecognisesOneFileUnderTwoSpellingsButNotTwoEqualFiles) {
  TempFolder folder;
  const std::string a = folder.Write("a.dat", "same");
  const std::string b = folder.Write("b.dat", "same");
  const std::string other = folder.Path() + sys::PathSeparator() + "." + sys::PathSeparator() + "a.dat";
  EXPECT_TRUE(sys::SameFile(a, a));
  EXPECT_TRUE(sys::SameFile(a, other));
  EXPECT_FALSE(sys::SameFile(a, b));
  EXPECT_FALSE(sys::SameFile(a, folder / "missing"));
}

TEST(RemoveFile, RemovesOnceThenReportsNothingToRemove) {
  TempFolder folder;
  const std::string path = folder.Write("gone.swf", "x");
  EXPECT_TRUE(sys::RemoveFile(path));
  EXPECT_FALSE(sys::FileExists(path));
  EXPECT_FALSE(sys::RemoveFile(path));
}

}  // namespace
