// player.dat's reading of its own executable: real files, every way a
// package can be missing or crafted, and the built player.dat itself.
#include "stub/own_package.h"

#include <gtest/gtest.h>

#include "core/package_writer.h"
#include "core/zlib_stream.h"
#include "stub/stub_texts.h"
#include "stub_movies.h"
#include "sys/file_system.h"
#include "sys/process.h"
#include "sys/temp_folder.h"

namespace {

using stubtest::Assemble;
using stubtest::CraftedPackage;
using stubtest::Payload;
using testing_support::TempFolder;

class OwnPackageTest : public ::testing::Test {
 protected:
  // The text a refused file gives, and a check that it was refused cleanly.
  std::string Refusal(const std::string& fileBytes, const std::string& name = "game.exe") {
    const std::string path = folder.Write(name, fileBytes);
    try {
      stub::LoadOwnPackage(path);
    } catch (const stub::NoPlayablePackage& error) {
      return error.what();
    }
    ADD_FAILURE() << "accepted " << name;
    return {};
  }

  TempFolder folder;
  std::string stub = folder.Write("player.dat", "MZ any stub bytes");
};

TEST_F(OwnPackageTest, ReadsTheMoviesOfABuiltPackage) {
  const std::string package = folder / "game.exe";
  core::BuildPackageFile(stub, {folder.Write("intro.swf", std::string(1234, 'i')), folder.Write("empty.swf", "")},
                         true, 45000.0, package);
  const core::Package read = stub::LoadOwnPackage(package);
  ASSERT_EQ(read.movies.size(), 2u);
  EXPECT_EQ(read.movies[0].name, "intro.swf");
  EXPECT_EQ(read.MovieData(read.movies[0]), std::string(1234, 'i'));
  EXPECT_EQ(read.movies[1].size, 0u);
  EXPECT_TRUE(read.releaseFlag);
  EXPECT_EQ(read.dateStamp, 45000.0);
}

TEST_F(OwnPackageTest, TheBareStubExplainsWhatItIs) {
  const std::string text = Refusal("MZ just a program, nothing appended", "player.dat");
  EXPECT_EQ(text, std::string(stub::texts::kNoPackage) + "\r\n\r\n" + stub::texts::kBareStub);
  // Renamed, it says what is wrong with its last bytes instead.
  const std::string renamed = Refusal("MZ just a program, nothing appended", "other.exe");
  EXPECT_EQ(renamed.rfind(std::string(stub::texts::kNoPackage) + "\r\n\r\n", 0), 0u) << renamed;
  EXPECT_NE(renamed.find("exceeds the file"), std::string::npos) << renamed;
}

TEST_F(OwnPackageTest, AFileShorterThanATrailerIsRefused) {
  const std::string text = Refusal("MZ", "tiny.exe");
  EXPECT_NE(text.find("too short for a package"), std::string::npos) << text;
}

TEST_F(OwnPackageTest, APackageWithoutMoviesHasNothingToPlay) {
  core::BuildPackageFile(stub, {}, true, 0.0, folder / "none.exe");
  EXPECT_EQ(Refusal(testing_support::ReadFileBytes(folder / "none.exe"), "none.exe"), stub::texts::kNoMovies);
}

TEST_F(OwnPackageTest, MissingFilesAndUnknownPathsAreRefused) {
  EXPECT_THROW(stub::LoadOwnPackage(folder / "missing.exe"), stub::NoPlayablePackage);
  try {
    stub::LoadOwnPackage("");
    FAIL();
  } catch (const stub::NoPlayablePackage& error) {
    EXPECT_STREQ(error.what(), stub::texts::kOwnPathUnknown);
  }
}

// Every crafted package is refused with the reason in plain words, before
// anything of the claimed size is allocated.
struct CraftCase {
  const char* name;
  CraftedPackage package;
  const char* reason;  // part of the message
};

void PrintTo(const CraftCase& craftCase, std::ostream* out) { *out << craftCase.name; }

class CraftedPackageTest : public OwnPackageTest, public ::testing::WithParamInterface<CraftCase> {};

TEST_P(CraftedPackageTest, IsRefusedWithAClearMessage) {
  const std::string text = Refusal(Assemble(GetParam().package));
  EXPECT_EQ(text.rfind(std::string(stub::texts::kNoPackage) + "\r\n\r\n", 0), 0u) << text;
  EXPECT_NE(text.find(GetParam().reason), std::string::npos) << text;
  EXPECT_EQ(text.back(), '.');
}

std::string GoodPayload() { return Payload({{"a.swf", std::string(300, 'a')}, {"b.swf", "bbbb"}}, 1); }

CraftedPackage With(auto change) {
  CraftedPackage crafted;
  crafted.payload = GoodPayload();
  change(crafted);
  return crafted;
}

std::string CorruptStream() {
  std::string compressed = core::Deflate(GoodPayload());
  compressed[compressed.size() / 2] = static_cast<char>(compressed[compressed.size() / 2] ^ 0x55);
  compressed[compressed.size() / 2 + 1] = static_cast<char>(compressed[compressed.size() / 2 + 1] ^ 0xAA);
  return compressed;
}

INSTANTIATE_TEST_SUITE_P(
    Stub, CraftedPackageTest,
    ::testing::Values(
        CraftCase{"SizesPastTheFile", With([](CraftedPackage& c) { c.compressedSizeField = 100000; }),
                  "exceeds the file"},
        CraftCase{"NegativeSize", With([](CraftedPackage& c) { c.compressedSizeField = 0x80000000LL; }),
                  "negative size"},
        CraftCase{"HugePayloadClaim", With([](CraftedPackage& c) { c.payloadSizeField = 0x7FFFFFFF; }),
                  "cannot come from"},
        CraftCase{"PayloadSizeTooLarge", With([](CraftedPackage& c) { c.payloadSizeField = c.payload.size() + 1; }),
                  "The payload holds"},
        CraftCase{"PayloadSizeTooSmall", With([](CraftedPackage& c) { c.payloadSizeField = c.payload.size() - 1; }),
                  "longer than its recorded size"},
        CraftCase{"PayloadBelowItsTrailer", With([](CraftedPackage& c) { c.payloadSizeField = 13; }),
                  "below the 14-byte trailer"},
        CraftCase{"EmptyBlock", With([](CraftedPackage& c) {
                    c.compressedSizeField = 0;
                    c.stub += core::Deflate(c.payload);
                  }),
                  "empty"},
        CraftCase{"BadZlibStream", With([](CraftedPackage& c) { c.compressedOverride = CorruptStream(); }),
                  "The compressed block"},
        CraftCase{"NotZlibAtAll", With([](CraftedPackage& c) { c.compressedOverride = std::string(40, 'x'); }),
                  "corrupt"},
        CraftCase{"DirectoryMoreThanData", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 0, -1, "a.swf:4\r\n");
                  }),
                  "more movie data than the payload holds"},
        CraftCase{"DirectoryLessThanData", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 0, -1, "a.swf:2\r\n");
                  }),
                  "bytes of movie data but the payload holds"},
        CraftCase{"DirectorySizePastPayload", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 0, 5000);
                  }),
                  "exceeds the payload"},
        CraftCase{"DirectoryLineWithoutColon", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 0, -1, "a.swf 3\r\n");
                  }),
                  "has no colon"},
        CraftCase{"DirectoryLineWithoutCrLf", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 0, -1, "a.swf:3\n");
                  }),
                  "does not end with CR LF"},
        CraftCase{"ReleaseFlagNeitherZeroNorOne", With([](CraftedPackage& c) {
                    c.payload = Payload({{"a.swf", "aaa"}}, 7);
                  }),
                  "release flag is 7"}),
    [](const ::testing::TestParamInfo<CraftCase>& param) { return std::string(param.param.name); });

TEST(BuiltStub, IsAWindowsProgramBesideThePackagerThatHoldsNoPackage) {
  const std::string player = sys::ExecutableFolder() + "player.dat";
  ASSERT_TRUE(sys::FileExists(player)) << player;
  const std::string bytes = sys::ReadWholeFile(player, sys::FileAccess::kReadShareReadWrite);
  ASSERT_GT(bytes.size(), 0x40u);
  EXPECT_EQ(bytes.substr(0, 2), "MZ");
  EXPECT_THROW(stub::LoadOwnPackage(player), stub::NoPlayablePackage);
}

}  // namespace
