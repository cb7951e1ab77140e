#include "core/package_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../sys/temp_folder.h"
#include "core/package_format.h"
#include "package_test_support.h"
#include "sys/file_errors.h"
#include "sys/text.h"

namespace {

using testing_support::InflateWithZlib;
using testing_support::Le32;
using testing_support::PayloadTrailer;
using testing_support::PseudoRandomBytes;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

constexpr double k2000January1 = 36526.0;

// A finished package split by its layout.
struct Layout {
  std::string stub;
  std::string block;  // the zlib stream alone
  std::uint32_t payloadSize = 0;
  std::uint32_t compressedSize = 0;
  std::string payload;
};

Layout Split(const std::string& file, std::size_t stubSize) {
  Layout layout;
  layout.stub = file.substr(0, stubSize);
  layout.payloadSize = Le32(file, file.size() - 8);
  layout.compressedSize = Le32(file, file.size() - 4);
  layout.block = file.substr(stubSize, file.size() - 8 - stubSize);
  layout.payload = InflateWithZlib(layout.block, layout.payloadSize);
  return layout;
}

class PackageWriterTest : public ::testing::Test {
 protected:
  std::string BuildFromPaths(const std::vector<std::string>& paths, bool release, double date) {
    const std::string target = folder_ / "out.exe";
    core::BuildPackageFile(stub_, paths, release, date, target);
    return ReadFileBytes(target);
  }

  TempFolder folder_;
  const std::string stubBytes_ = "MZ" + PseudoRandomBytes(3000, 7);
  const std::string stub_ = folder_.Write("player.dat", stubBytes_);
};

TEST_F(PackageWriterTest, TwoMoviesGiveTheDocumentedLayoutByteForByte) {
  const std::string intro = PseudoRandomBytes(1234, 1);
  const std::string game = PseudoRandomBytes(56789, 2);
  const std::string file = BuildFromPaths(
      {folder_.Write("intro.swf", intro), folder_.Write("game.swf", game)}, true, k2000January1);

  const Layout layout = Split(file, stubBytes_.size());
  EXPECT_EQ(layout.stub, stubBytes_);
  EXPECT_EQ(layout.payloadSize, 58069u);
  EXPECT_EQ(layout.compressedSize, layout.block.size());
  EXPECT_EQ(file.size(), stubBytes_.size() + layout.compressedSize + 8);
  // zlib header of level 9 with a 32 KiB window.
  ASSERT_GE(layout.block.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(layout.block[0]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(layout.block[1]), 0xDA);

  const std::string directory = "intro.swf:1234\r\ngame.swf:56789\r\n";
  ASSERT_EQ(directory.size(), 32u);
  EXPECT_EQ(layout.payload, intro + game + directory + PayloadTrailer(true, k2000January1, 32));
}

TEST_F(PackageWriterTest, TheDateIsStoredAsALittleEndianDouble) {
  const std::string file = BuildFromPaths({folder_.Write("a.swf", "A")}, false, k2000January1);
  const Layout layout = Split(file, stubBytes_.size());
  const std::string trailer = layout.payload.substr(layout.payload.size() - 14);
  EXPECT_EQ(trailer.substr(0, 10), std::string("\x00\x00\x00\x00\x00\x00\xc0\xd5\xe1\x40", 10));
  EXPECT_EQ(testing_support::LeDouble(trailer, 2), k2000January1);
}

TEST_F(PackageWriterTest, AnEmptyMovieHasSizeZeroAndNoData) {
  const std::string file =
      BuildFromPaths({folder_.Write("empty.swf", ""), folder_.Write("b.swf", "BB")}, false, 1.0);
  const Layout layout = Split(file, stubBytes_.size());
  const std::string directory = "empty.swf:0\r\nb.swf:2\r\n";
  EXPECT_EQ(layout.payload, "BB" + directory + PayloadTrailer(false, 1.0, directory.size()));
}

TEST_F(PackageWriterTest, WithNoMoviesThePayloadIsTheTrailerAlone) {
  const std::string file = BuildFromPaths({folder_ / "vanished.swf"}, true, k2000January1);
  const Layout layout = Split(file, stubBytes_.size());
  EXPECT_EQ(layout.payloadSize, 14u);
  EXPECT_EQ(layout.payload, PayloadTrailer(true, k2000January1, 0));
}

TEST_F(PackageWriterTest, SameNameTwiceGivesTwoLinesAndTwoCopiesInListOrder) {
  std::filesystem::create_directory(folder_ / "one");
  std::filesystem::create_directory(folder_ / "two");
  const std::string sep(1, sys::PathSeparator());
  const std::string first = folder_.Write("one" + sep + "m.swf", "first");
  const std::string second = folder_.Write("two" + sep + "m.swf", "second!");
  const std::string file = BuildFromPaths({first, second, first}, false, 0.0);
  const std::string directory = "m.swf:5\r\nm.swf:7\r\nm.swf:5\r\n";
  EXPECT_EQ(Split(file, stubBytes_.size()).payload,
            "firstsecond!first" + directory + PayloadTrailer(false, 0.0, directory.size()));
}

// A name outside ASCII that the running system's code page can spell:
// "<hyou>.swf" under the Japanese code page, whose second byte is 0x5C
// (a backslash), else "\xe9t\xe9.swf" (code page 1252, or raw bytes on POSIX).
std::string NonAsciiName() {
  const char* hyou = "\x95\x5c";
  return sys::NextChar(hyou) == hyou + 2 ? "\x95\x5c.swf" : "\xe9t\xe9.swf";
}

TEST_F(PackageWriterTest, NonAsciiNamesAreWrittenAsTheirBytes) {
  const std::string name = NonAsciiName();
  std::string movie;
  try {
    movie = folder_.Write(name, "xyz");
  } catch (const sys::CreateError&) {
    // Wine maps such names to the Unix side through the Unix locale; with
    // code page 932 chosen but no Japanese Unix locale installed it cannot.
    if (name[0] == '\x95') GTEST_SKIP() << "this system cannot create a code-page-932 file name";
    throw;
  }
  const std::string file = BuildFromPaths({movie}, false, 0.0);
  const std::string directory = name + ":3\r\n";
  EXPECT_EQ(Split(file, stubBytes_.size()).payload,
            "xyz" + directory + PayloadTrailer(false, 0.0, directory.size()));
}

TEST_F(PackageWriterTest, VanishedFilesAndFoldersAreLeftOutSilently) {
  core::PackageWriter writer;
  EXPECT_FALSE(writer.AddMovie(folder_ / "gone.swf"));
  EXPECT_FALSE(writer.AddMovie(folder_.Path()));
  EXPECT_TRUE(writer.AddMovie(folder_.Write("here.swf", "h")));
  EXPECT_EQ(writer.MovieCount(), 1u);
}

TEST_F(PackageWriterTest, FinishEmptiesTheWriterForTheNextPackage) {
  core::PackageWriter writer;
  writer.AddMovieBytes("a.swf", "aaa");
  writer.Finish(false, 0.0);
  EXPECT_EQ(writer.MovieCount(), 0u);
  const std::string block = writer.Finish(false, 0.0);
  EXPECT_EQ(Le32(block, block.size() - 8), 14u);
}

TEST_F(PackageWriterTest, MissingStubIsReportedWithItsPathAndNoTargetAppears) {
  core::PackageWriter writer;
  writer.AddMovieBytes("a.swf", "a");
  const std::string block = writer.Finish(false, 0.0);
  const std::string missingStub = folder_ / "missing" + std::string(1, sys::PathSeparator()) + "player.dat";
  const std::string target = folder_ / "out.exe";
  try {
    core::WritePackage(missingStub, block, target);
    FAIL();
  } catch (const sys::OpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missingStub);
  }
  EXPECT_FALSE(sys::FileExists(target));
}

TEST_F(PackageWriterTest, TheStubChosenAsTargetIsRefusedAndStaysIntact) {
  core::PackageWriter writer;
  writer.AddMovieBytes("a.swf", "a");
  const std::string block = writer.Finish(false, 0.0);
  try {
    core::WritePackage(stub_, block, stub_);
    FAIL();
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + stub_);
  }
  EXPECT_EQ(ReadFileBytes(stub_), stubBytes_);
}

TEST_F(PackageWriterTest, AMovieChosenAsTargetIsReplacedByThePackage) {
  const std::string movie = folder_.Write("movie.swf", "movie bytes");
  core::BuildPackageFile(stub_, {movie}, false, 0.0, movie);
  const std::string file = ReadFileBytes(movie);
  EXPECT_EQ(Split(file, stubBytes_.size()).payload.substr(0, 11), "movie bytes");
}

TEST_F(PackageWriterTest, AnUncreatableTargetNamesTheTargetAndKeepsAnOldFile) {
  core::PackageWriter writer;
  const std::string block = writer.Finish(false, 0.0);
  const std::string target = folder_ / "nowhere" + std::string(1, sys::PathSeparator()) + "out.exe";
  try {
    core::WritePackage(stub_, block, target);
    FAIL();
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
  // A folder as the target fails the same way.
  EXPECT_THROW(core::WritePackage(stub_, block, folder_.Path()), sys::CreateError);
}

TEST_F(PackageWriterTest, RebuildingOverAnOldPackageLeavesOnlyTheNewOne) {
  const std::string target = folder_.Write("out.exe", std::string(100000, 'o'));
  const std::string movie = folder_.Write("a.swf", "a");
  core::BuildPackageFile(stub_, {movie}, false, 0.0, target);
  const std::string file = ReadFileBytes(target);
  EXPECT_EQ(Split(file, stubBytes_.size()).payload.substr(0, 1), "a");
  // No temporary file stays behind: stub, movie and target only.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.Path())) ++entries;
  EXPECT_EQ(entries, 3u);
}

#ifdef _WIN32
TEST_F(PackageWriterTest, ATargetHeldByAnotherProgramIsRefusedAndKeepsItsContent) {
  const std::string target = folder_.Write("busy.exe", "old package");
  sys::File holder(target, sys::FileAccess::kReadShareRead);
  core::PackageWriter writer;
  try {
    core::WritePackage(stub_, writer.Finish(false, 0.0), target);
    FAIL();
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
  holder.Close();
  EXPECT_EQ(ReadFileBytes(target), "old package");
}
#endif

TEST_F(PackageWriterTest, MoviesOf2GiBOrMoreAreRefusedBeforeTheyAreRead) {
  // A sparse file: its size is real but costs no disk space or reading.
  const std::string huge = folder_ / "huge.swf";
  sys::WriteWholeFile(huge, "");
  std::error_code error;
  std::filesystem::resize_file(huge, std::uint64_t{1} << 31, error);
  if (error) GTEST_SKIP() << "cannot make a 2 GiB sparse file here: " << error.message();
  core::PackageWriter writer;
  try {
    writer.AddMovie(huge);
    FAIL() << "a 2 GiB movie was accepted";
  } catch (const core::PackageError& refusal) {
    EXPECT_EQ(std::string(refusal.what()), "The movies are too large for one package (2 GiB or more)");
  }
  EXPECT_EQ(writer.MovieCount(), 0u);
}

TEST_F(PackageWriterTest, ThePayloadAsAWholeMustStayBelow2GiB) {
  // Just over the limit together with what is already there: the sizes add
  // up to 2^31 (payload 10 + 14-byte trailer + two lines + the new movie).
  const std::string huge = folder_ / "big.swf";
  sys::WriteWholeFile(huge, "");
  const std::uint64_t lineOfFirst = std::string("a.swf:10\r\n").size();
  const std::uint64_t sizeOfSecond = (std::uint64_t{1} << 31) - 10 - lineOfFirst - 14 -
                                     std::string("big.swf:2147483600\r\n").size();
  std::error_code error;
  std::filesystem::resize_file(huge, sizeOfSecond, error);
  if (error) GTEST_SKIP() << error.message();
  core::PackageWriter writer;
  writer.AddMovieBytes("a.swf", "0123456789");
  EXPECT_THROW(writer.AddMovie(huge), core::PackageError);
}

}  // namespace
