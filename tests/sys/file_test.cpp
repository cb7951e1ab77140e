#include "sys/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "sys/file_errors.h"
#include "sys/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using sys::File;
using sys::FileAccess;
using testing_support::PseudoRandomBytes;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

TEST(File, ReadsWhatWasWrittenWholeIncludingEmptyAndLargeFiles) {
  TempFolder folder;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{3} << 20}) {
    const std::string bytes = PseudoRandomBytes(size, static_cast<unsigned>(size));
    const std::string path = folder.Write(std::to_string(size) + ".bin", bytes);
    File file(path, FileAccess::kReadShareReadWrite);
    EXPECT_EQ(file.Size(), size);
    EXPECT_EQ(file.ReadAll(), bytes);
    // ReadAll starts from the first byte whatever was read before.
    EXPECT_EQ(file.ReadAll(), bytes);
  }
}

// Slices in order: full ones, then the short rest, then nothing at the end.
TEST(File, ReadTakesSlicesInOrderUntilTheEnd) {
  TempFolder folder;
  const std::string bytes = PseudoRandomBytes((1 << 20) + 5, 9);
  File file(folder.Write("m.swf", bytes), FileAccess::kReadShareReadWrite);
  std::string slice(1 << 19, '\0');
  std::string joined;
  std::vector<std::size_t> sizes;
  for (std::size_t got = 1; got > 0;) {
    got = file.Read(slice.data(), slice.size());
    sizes.push_back(got);
    joined.append(slice.data(), got);
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1 << 19, 1 << 19, 5, 0}));
  EXPECT_EQ(joined, bytes);
}

TEST(File, CreateEmptiesAnExistingFileSoNoOldTailRemains) {
  TempFolder folder;
  const std::string path = folder.Write("p.pak", std::string(1000, 'x'));
  sys::WriteWholeFile(path, "short\r\n");
  EXPECT_EQ(ReadFileBytes(path), "short\r\n");
}

TEST(File, MissingFileOrFolderGivesCannotOpenWithThePathAsGiven) {
  TempFolder folder;
  const std::string missing = folder / "missing.swf";
  try {
    File file(missing, FileAccess::kReadShareReadWrite);
    FAIL() << "opened a missing file";
  } catch (const sys::OpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
  }
  EXPECT_THROW(File(folder.Path(), FileAccess::kReadShareRead), sys::OpenError);
}

TEST(File, CreateInMissingFolderOrOverAFolderGivesCannotCreate) {
  TempFolder folder;
  const std::string target = folder / "no-such-folder" + std::string(1, sys::PathSeparator()) + "out.exe";
  try {
    sys::WriteWholeFile(target, "x");
    FAIL() << "created a file in a missing folder";
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
  std::filesystem::create_directory(folder / "sub");
  EXPECT_THROW(sys::WriteWholeFile(folder / "sub", "x"), sys::CreateError);
}

TEST(File, CreateNewRefusesAnExistingFileAndKeepsIt) {
  TempFolder folder;
  const std::string path = folder.Write("movie.swf", "old");
  EXPECT_THROW(File(path, FileAccess::kCreateNewExclusive), sys::CreateError);
  EXPECT_EQ(ReadFileBytes(path), "old");
  File fresh(folder / "new.swf", FileAccess::kCreateNewExclusive);
  fresh.WriteAll("new");
  fresh.Close();
  EXPECT_EQ(ReadFileBytes(folder / "new.swf"), "new");
}

TEST(File, MovedHandleStaysUsableAndTheSourceIsClosed) {
  TempFolder folder;
  const std::string path = folder.Write("a", "abc");
  File first(path, FileAccess::kReadShareRead);
  File second(std::move(first));
  EXPECT_FALSE(first.IsOpen());  // NOLINT: checking the moved-from state on purpose
  EXPECT_EQ(second.ReadAll(), "abc");
}

TEST(FileErrors, CarryTheUserFacingTexts) {
  EXPECT_STREQ(sys::WriteError().what(), "Stream write error");
  EXPECT_STREQ(sys::OpenError("C:\\a b.swf").what(), "Cannot open file C:\\a b.swf");
  EXPECT_STREQ(sys::CreateError("x.exe").what(), "Cannot create file x.exe");
}

#ifdef _WIN32

// Share modes only exist on Windows; these run under Wine, which enforces
// them like Windows does.
TEST(FileShareModes, ReadingAllowsOthersToReadAndWrite) {
  TempFolder folder;
  const std::string path = folder.Write("movie.swf", "data");
  File reader(path, FileAccess::kReadShareReadWrite);
  File secondReader(path, FileAccess::kReadShareReadWrite);
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_EQ(reader.ReadAll(), "data");
}

TEST(FileShareModes, AnOpenStubCannotBeChosenAsTargetAndStaysIntact) {
  TempFolder folder;
  const std::string stub = folder.Write("player.dat", "STUB-BYTES");
  File stubReader(stub, FileAccess::kReadShareReadWrite);
  try {
    File target(stub, FileAccess::kCreateExclusive);
    FAIL() << "created a file that is open elsewhere";
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + stub);
  }
  stubReader.Close();
  EXPECT_EQ(ReadFileBytes(stub), "STUB-BYTES");
}

TEST(FileShareModes, AFileBeingWrittenCannotBeOpenedForReading) {
  TempFolder folder;
  const std::string path = folder / "busy.swf";
  File writer(path, FileAccess::kCreateExclusive);
  EXPECT_THROW(File(path, FileAccess::kReadShareReadWrite), sys::OpenError);
  EXPECT_THROW(File(path, FileAccess::kReadShareRead), sys::OpenError);
}

TEST(FileShareModes, ProjectReadingRefusesAWriterButNotAReader) {
  TempFolder folder;
  const std::string path = folder.Write("p.pak", "a\r\n");
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_THROW(File(path, FileAccess::kReadShareRead), sys::OpenError);
  CloseHandle(writer);

  File otherReader(path, FileAccess::kReadShareRead);
  File reader(path, FileAccess::kReadShareRead);
  EXPECT_EQ(reader.ReadAll(), "a\r\n");
  // While a project is read nobody may start writing it.
  HANDLE lateWriter = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(lateWriter, INVALID_HANDLE_VALUE);
  if (lateWriter != INVALID_HANDLE_VALUE) CloseHandle(lateWriter);
}

TEST(FileShareModes, ReadOnlyFileCannotBeCreatedOver) {
  TempFolder folder;
  const std::string path = folder.Write("locked.exe", "keep me");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(sys::WriteWholeFile(path, "new"), sys::CreateError);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(path), "keep me");
}

#endif

}  // namespace
