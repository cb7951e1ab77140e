// The render command with broken movies: a movie it refuses gives a non-zero
// exit code, one line on stderr that names the file and the reason, and no
// picture; a movie that is only damaged inside still gives exit 0 and a
// picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "render_contract.h"
#include "swf/swf_builder.h"
#include "tools/command.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;
using swftest::Bytes;

class RenderRefusalTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("quorvel-refusal-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  RenderOutcome Render(const Bytes& bytes, const std::vector<std::string>& options = {}) {
    movie_ = folder_ / "movie.swf";
    std::ofstream(movie_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return RunRenderCommand(movie_, png(), options);
  }

  fs::path png() const { return folder_ / "out.png"; }

  // Refused with exit 1, one line naming the file and containing `reason`.
  void ExpectRefused(const Bytes& bytes, const std::string& reason) {
    const RenderOutcome outcome = Render(bytes);
    EXPECT_EQ(outcome.exitCode, tools::kExitFailure) << outcome.err;
    EXPECT_TRUE(KeepsRenderContract(outcome, png())) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("quorvel-pack: " + movie_.string() + ": ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
  }

  static Bytes Header(char first, uint32_t declaredLength) {
    swftest::BitWriter w;
    w.U8(static_cast<uint8_t>(first));
    w.U8('W');
    w.U8('S');
    w.U8(10);
    w.U32(declaredLength);
    return w.Take();
  }

  static Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  }

  fs::path folder_;
  fs::path movie_;
};

Bytes GoodMovie(swftest::Signature signature = swftest::Signature::kFws) {
  return swftest::Movie({swftest::SquareShapeTag(1, 400, {255, 0, 0, 255}),
                         swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()},
                        signature);
}

TEST_F(RenderRefusalTest, FilesThatAreNoMoviesAreRefused) {
  ExpectRefused({}, "not a movie");
  ExpectRefused({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a movie");
  ExpectRefused(Header('F', 100), "header is incomplete");
  ExpectRefused(Concat(Header('F', 100), {0x50}), "header is incomplete");
}

TEST_F(RenderRefusalTest, BrokenCompressionIsRefused) {
  ExpectRefused(Concat(Header('C', 100), {0xde, 0xad, 0xbe, 0xef, 0x00, 0x11, 0x22}), "corrupt");
  ExpectRefused(Concat(Header('Z', 100), {1, 0, 0, 0, 0x5d}), "LZMA movie shorter");
  // Property byte 225 and above names no valid lc/lp/pb combination.
  ExpectRefused(Concat(Header('Z', 100), {4, 0, 0, 0, 0xff, 0, 0, 1, 0, 1, 2, 3, 4}), "LZMA properties");
  // A compressed body cut off before the frame rectangle decodes nothing usable.
  const Bytes cws = GoodMovie(swftest::Signature::kCws);
  ExpectRefused(Bytes(cws.begin(), cws.begin() + 10), "");
}

TEST_F(RenderRefusalTest, MovieClaimingMoreThanTheLimitIsRefused) {
  Bytes movie = GoodMovie();
  movie[7] = 0x40;  // declared length above 1 GiB
  ExpectRefused(movie, "limit");
}

TEST_F(RenderRefusalTest, StageSmallerThanAPixelIsAUsageErrorUnlessASizeIsGiven) {
  const Bytes movie = swftest::Movie({swftest::ShowFrame()}, swftest::Signature::kFws, 10, {0, 10, 0, 10});
  RenderOutcome outcome = Render(movie);
  EXPECT_EQ(outcome.exitCode, tools::kExitUsage);
  EXPECT_TRUE(KeepsRenderContract(outcome, png())) << outcome.err;
  EXPECT_NE(outcome.err.find("give the picture size"), std::string::npos) << outcome.err;

  outcome = Render(movie, {"--width=8", "--height=8"});
  EXPECT_EQ(outcome.exitCode, tools::kExitSuccess) << outcome.err;
  EXPECT_TRUE(KeepsRenderContract(outcome, png()));
}

TEST_F(RenderRefusalTest, StageBeyondTheLargestPictureIsAUsageErrorUnlessASizeIsGiven) {
  const Bytes movie =
      swftest::Movie({swftest::ShowFrame()}, swftest::Signature::kFws, 10, {0, 20 * 20000, 0, 20 * 100});
  RenderOutcome outcome = Render(movie);
  EXPECT_EQ(outcome.exitCode, tools::kExitUsage);
  EXPECT_TRUE(KeepsRenderContract(outcome, png())) << outcome.err;
  EXPECT_NE(outcome.err.find("out of range"), std::string::npos) << outcome.err;

  outcome = Render(movie, {"--width=200"});
  EXPECT_EQ(outcome.exitCode, tools::kExitSuccess) << outcome.err;
  EXPECT_TRUE(KeepsRenderContract(outcome, png()));
}

// Damage behind the header costs the damaged tags, not the picture.
TEST_F(RenderRefusalTest, MoviesDamagedInsideStillRender) {
  Bytes badFill = swftest::SquareShapeTag(2, 400, {0, 0, 255, 255});
  badFill[2 + 2 + 1 + 4] = 0x77;  // the first fill style's type: not a known kind
  const Bytes withBadTag = swftest::Movie({badFill, swftest::SquareShapeTag(1, 400, {255, 0, 0, 255}),
                                           swftest::PlaceObject2({.depth = 1, .characterId = 1}),
                                           swftest::PlaceObject2({.depth = 2, .characterId = 2}), swftest::ShowFrame()});
  Bytes truncated = GoodMovie();
  truncated.resize(truncated.size() - 6);  // the last tags cut off, the declared length unchanged
  Bytes overlong = GoodMovie();
  overlong.insert(overlong.end() - 2, {0xff, 0xff, 0xff, 0xff});  // a tag claiming far more than remains

  for (const Bytes& movie : {withBadTag, truncated, overlong}) {
    const RenderOutcome outcome = Render(movie, {"--width=40"});
    EXPECT_EQ(outcome.exitCode, tools::kExitSuccess) << outcome.err;
    EXPECT_TRUE(KeepsRenderContract(outcome, png())) << outcome.out << outcome.err;
  }
}

}  // namespace
}  // namespace fuzz
