// Replacing a file's contents so that no failure costs the old contents.
#include "sys/replace_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "sys/file.h"
#include "sys/file_errors.h"
#include "temp_folder.h"

namespace {

using testing_support::TempFolder;

std::string Read(const std::string& path) { return sys::ReadWholeFile(path, sys::FileAccess::kReadShareRead); }

size_t EntriesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(ReplaceFileContents, CreatesANewFileAndReplacesAnOldOneWhole) {
  TempFolder folder;
  std::string path = folder / "list.pak";
  sys::ReplaceFileContents(path, std::string(300, 'x'));
  EXPECT_EQ(Read(path), std::string(300, 'x'));
  sys::ReplaceFileContents(path, "short\r\n");
  EXPECT_EQ(Read(path), "short\r\n");  // no tail of the longer old contents
  EXPECT_EQ(EntriesIn(folder.Path()), 1u);  // no temporary file left
}

TEST(ReplaceFileContents, RefusesAFolderAndAMissingFolderWithTheNameAsGiven) {
  TempFolder folder;
  try {
    sys::ReplaceFileContents(folder.Path(), "x");
    FAIL() << "a folder is no file";
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + folder.Path());
  }
  std::string nowhere = folder / "missing" + sys::PathSeparator() + "x.pak";
  EXPECT_THROW(sys::ReplaceFileContents(nowhere, "x"), sys::CreateError);
  EXPECT_EQ(EntriesIn(folder.Path()), 0u);
}

TEST(ReplaceFileContents, ARefusedTargetKeepsItsContents) {
  TempFolder folder;
  std::string path = folder / "keep.pak";
  sys::ReplaceFileContents(path, "old\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
#ifndef _WIN32
  // Root may write anything; the refusal is only observable as another user.
  if (::access(path.c_str(), W_OK) == 0) GTEST_SKIP() << "running as root: a read-only file stays writable";
#endif
  EXPECT_THROW(sys::ReplaceFileContents(path, "new\r\n"), sys::CreateError);
  EXPECT_EQ(Read(path), "old\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(FolderPart, UpToTheLastSeparator) {
  EXPECT_EQ(sys::FolderPart("C:\\a\\b.pak"), "C:\\a\\");
  EXPECT_EQ(sys::FolderPart("C:b.pak"), "C:");
  EXPECT_EQ(sys::FolderPart("b.pak"), "");
  EXPECT_EQ(sys::FolderPart(""), "");
}

}  // namespace
