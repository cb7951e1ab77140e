#include "core/package_reader.h"

#include <gtest/gtest.h>

#include "../sys/temp_folder.h"
#include "core/package_format.h"
#include "core/package_writer.h"
#include "core/zlib_stream.h"
#include "package_test_support.h"
#include "sys/file_errors.h"

namespace {

using testing_support::Le32Bytes;
using testing_support::PayloadTrailer;
using testing_support::PseudoRandomBytes;

const std::string kStub = "MZ-stub-bytes";

std::string PackageOf(const std::vector<std::pair<std::string, std::string>>& movies, bool release,
                      double date) {
  core::PackageWriter writer;
  for (const auto& [name, bytes] : movies) writer.AddMovieBytes(name, bytes);
  return kStub + writer.Finish(release, date);
}

// A package around a payload made by hand, for payloads the writer never
// produces.
std::string PackageAroundPayload(const std::string& payload) {
  const std::string block = core::Deflate(payload);
  return kStub + block + Le32Bytes(static_cast<std::uint32_t>(payload.size())) +
         Le32Bytes(static_cast<std::uint32_t>(block.size()));
}

std::string PayloadWithDirectory(const std::string& data, const std::string& directory,
                                 unsigned char flag = 0) {
  std::string trailer = PayloadTrailer(false, 0.0, static_cast<std::uint32_t>(directory.size()));
  trailer[0] = static_cast<char>(flag);
  return data + directory + trailer;
}

// The error text of reading, or "" when the package was accepted.
std::string RefusalOf(const std::string& file) {
  try {
    core::ReadPackage(file);
  } catch (const core::PackageFormatError& error) {
    return error.what();
  }
  return "";
}

TEST(PackageReader, ReadsBackWhatTheWriterWrote) {
  const std::string intro = PseudoRandomBytes(1234, 1);
  const std::string game = PseudoRandomBytes(56789, 2);
  const core::Package package =
      core::ReadPackage(PackageOf({{"intro.swf", intro}, {"game.swf", game}, {"e.swf", ""}}, true, 36526.0));
  EXPECT_EQ(package.stubSize, kStub.size());
  EXPECT_EQ(package.payloadSize, 1234u + 56789u + 41u + 14u);
  EXPECT_EQ(package.directorySize, 41u);  // 16 + 16 + 9
  EXPECT_TRUE(package.releaseFlag);
  EXPECT_EQ(package.dateStamp, 36526.0);
  ASSERT_EQ(package.movies.size(), 3u);
  EXPECT_EQ(package.movies[0].name, "intro.swf");
  EXPECT_EQ(package.MovieData(package.movies[0]), intro);
  EXPECT_EQ(package.movies[1].offset, 1234u);
  EXPECT_EQ(package.MovieData(package.movies[1]), game);
  EXPECT_EQ(package.movies[2].size, 0u);
}

TEST(PackageReader, AcceptsAnEmptyPackageAndAnEmptyStub) {
  core::PackageWriter writer;
  const core::Package package = core::ReadPackage(writer.Finish(false, 0.0));
  EXPECT_EQ(package.stubSize, 0u);
  EXPECT_EQ(package.payloadSize, 14u);
  EXPECT_TRUE(package.movies.empty());
  EXPECT_FALSE(package.releaseFlag);
}

TEST(PackageReader, KeepsNamesWithColonsAndOddBytesForTheCallerToNeutralise) {
  const std::string payload = PayloadWithDirectory("ab", "..\\x:y.swf:1\r\n\xe9:1\r\n");
  const core::Package package = core::ReadPackage(PackageAroundPayload(payload));
  ASSERT_EQ(package.movies.size(), 2u);
  EXPECT_EQ(package.movies[0].name, "..\\x:y.swf");
  EXPECT_EQ(package.movies[1].name, "\xe9");
}

TEST(PackageReader, RefusesImpossibleTrailersBeforeAllocating) {
  EXPECT_NE(RefusalOf(""), "");
  EXPECT_NE(RefusalOf("1234567"), "");
  // Z beyond the file.
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(14) + Le32Bytes(1000)).find("exceeds the file"), std::string::npos);
  // Z of zero, U below the trailer, negative sizes.
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(14) + Le32Bytes(0)), "");
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(13) + Le32Bytes(4)).find("below the 14-byte trailer"), std::string::npos);
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(0x80000000u) + Le32Bytes(4)).find("negative"), std::string::npos);
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(14) + Le32Bytes(0xFFFFFFFFu)).find("negative"), std::string::npos);
  // 2 GiB claimed from 13 compressed bytes: refused without trying.
  EXPECT_NE(RefusalOf(kStub + Le32Bytes(0x7FFFFFFF) + Le32Bytes(static_cast<std::uint32_t>(kStub.size())))
                .find("cannot come from"),
            std::string::npos);
}

TEST(PackageReader, AHighlyCompressibleMovieIsNotMistakenForALie) {
  const std::string zeros(4 << 20, '\0');
  const core::Package package = core::ReadPackage(PackageOf({{"z.swf", zeros}}, false, 0.0));
  EXPECT_EQ(package.movies.at(0).size, zeros.size());
}

TEST(PackageReader, RefusesPayloadSizesThatDisagreeWithTheStream) {
  std::string file = PackageOf({{"a.swf", PseudoRandomBytes(300, 3)}}, false, 0.0);
  const std::uint32_t u = testing_support::Le32(file, file.size() - 8);
  std::string larger = file;
  larger.replace(larger.size() - 8, 4, Le32Bytes(u + 1));
  EXPECT_NE(RefusalOf(larger).find("not its recorded size"), std::string::npos);
  std::string smaller = file;
  smaller.replace(smaller.size() - 8, 4, Le32Bytes(u - 1));
  EXPECT_NE(RefusalOf(smaller).find("longer than its recorded size"), std::string::npos);
}

TEST(PackageReader, RefusesCorruptAndShortenedStreams) {
  const std::string file = PackageOf({{"a.swf", PseudoRandomBytes(5000, 4)}}, true, 0.0);
  const std::size_t blockStart = kStub.size();
  const std::size_t z = file.size() - 8 - blockStart;

  std::string flipped = file;
  flipped[blockStart + z / 2] ^= 0x55;
  EXPECT_NE(RefusalOf(flipped), "");

  std::string badChecksum = file;
  badChecksum[blockStart + z - 1] ^= 0x01;  // last Adler-32 byte
  EXPECT_NE(RefusalOf(badChecksum).find("corrupt"), std::string::npos);

  // The stream ends before the block does: a stray byte between them.
  const std::string padded = kStub + file.substr(blockStart, z) + "X" +
                             file.substr(file.size() - 8, 4) +
                             Le32Bytes(static_cast<std::uint32_t>(z + 1));
  EXPECT_NE(RefusalOf(padded).find("after its stream's end"), std::string::npos);
}

TEST(PackageReader, RefusesDirectoriesThatDoNotDescribeTheMovieData) {
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:2"))).find("CR LF"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf\r\n"))).find("no colon"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:-2\r\n"))).find("no valid size"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:\r\n"))).find("no valid size"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:99999999999\r\n"))), "");
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:1\r\n"))).find("lists 1 bytes"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:3\r\n"))).find("more movie data"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", ""))), "");
  EXPECT_EQ(RefusalOf(PackageAroundPayload(PayloadWithDirectory("ab", "a.swf:1\r\nb.swf:1\r\n"))), "");
}

TEST(PackageReader, RefusesADirectorySizeBeyondThePayloadAndOddFlags) {
  std::string payload = PayloadWithDirectory("", "");
  payload.replace(payload.size() - 4, 4, Le32Bytes(1));
  EXPECT_NE(RefusalOf(PackageAroundPayload(payload)).find("directory size"), std::string::npos);
  EXPECT_NE(RefusalOf(PackageAroundPayload(PayloadWithDirectory("", "", 2))).find("release flag"), std::string::npos);
}

TEST(PackageReader, EveryTruncationOfAPackageIsRefusedCleanly) {
  const std::string file = PackageOf({{"a.swf", PseudoRandomBytes(700, 5)}, {"b.swf", "bbb"}}, true, 36526.0);
  for (std::size_t length = 0; length < file.size(); ++length) {
    EXPECT_NE(RefusalOf(file.substr(0, length)), "") << "accepted a package cut to " << length;
    // A cut from the front leaves the trailer but loses stub bytes; the
    // package then still reads, with a shorter stub, until the block is hit.
    const std::string frontCut = file.substr(file.size() - length);
    if (length < file.size() - kStub.size()) {
      EXPECT_NE(RefusalOf(frontCut), "") << "accepted a front cut to " << length;
    }
  }
}

TEST(PackageReader, RandomDamageNeverCrashes) {
  const std::string file = PackageOf({{"a.swf", PseudoRandomBytes(2000, 6)}}, true, 1.0);
  std::mt19937 random(42);
  int refused = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string damaged = file;
    const int hits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < hits; ++i) damaged[random() % damaged.size()] = static_cast<char>(random());
    if (!RefusalOf(damaged).empty()) ++refused;
  }
  // Damage to the stub alone is harmless; most other damage is caught.
  EXPECT_GT(refused, 1500);
}

TEST(PackageReader, ReadsFromAFileAndReportsAMissingOne) {
  testing_support::TempFolder folder;
  const std::string path = folder.Write("p.exe", PackageOf({{"a.swf", "aa"}}, false, 0.0));
  EXPECT_EQ(core::ReadPackageFile(path).movies.at(0).name, "a.swf");
  EXPECT_THROW(core::ReadPackageFile(folder / "missing.exe"), sys::OpenError);
}

}  // namespace
