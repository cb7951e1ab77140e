#include "tools/render_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../corpus/image_compare.h"
#include "swf_builder.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

class RenderCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quorvel-render-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Write(const std::string& name, const swftest::Bytes& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
  }

  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    Arguments arguments;
    try {
      arguments = ParseArguments(args, kRenderOptions);
    } catch (const UsageError&) {
      return kExitUsage;
    }
    return RunRender({arguments, out_, err_});
  }

  // Width and height from the PNG's IHDR chunk, and the RGBA of pixel 0 is
  // not needed: the engine tests check pixels; here the file is what counts.
  std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes[1], 'P');
    auto be = [&](size_t at) {
      return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
    };
    return {be(16), be(20)};
  }

  swftest::Bytes TwoFrameMovie(bool withAs3 = false) {
    std::vector<swftest::Bytes> tags;
    if (withAs3) tags.push_back(swftest::Tag(82, {1, 0, 0, 0, 0}));
    tags.push_back(swftest::SquareShapeTag(1, 200, {255, 0, 0, 255}));
    tags.push_back(swftest::ShowFrame());
    tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 1}));
    tags.push_back(swftest::ShowFrame());
    return swftest::Movie(tags, swftest::Signature::kCws, 10, {0, 2010, 0, 1000}, 12 << 8, 2);
  }

  fs::path folder_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(RenderCommandTest, WritesAPngOfTheStageSizeByDefault) {
  const std::string movie = Write("m.swf", TwoFrameMovie());
  const std::string png = (folder_ / "out.png").string();
  ASSERT_EQ(Run({movie, png}), kExitSuccess) << err_.str();
  EXPECT_EQ(PngSize(png), (std::pair<uint32_t, uint32_t>{100, 50}));  // 100.5 pixels wide: whole pixels
  EXPECT_NE(out_.str().find("frame 1 of 2"), std::string::npos) << out_.str();
}

TEST_F(RenderCommandTest, FramesSizeAndQualityOptionsInBothSpellings) {
  const std::string movie = Write("m.swf", TwoFrameMovie());
  const std::string png = (folder_ / "out.png").string();
  ASSERT_EQ(Run({movie, png, "--frames", "2", "--width=30", "--height", "20", "--quality=low"}), kExitSuccess) << err_.str();
  EXPECT_EQ(PngSize(png), (std::pair<uint32_t, uint32_t>{30, 20}));
  EXPECT_NE(out_.str().find("frame 2 of 2"), std::string::npos) << out_.str();
  ASSERT_EQ(Run({movie, png, "--frames=3"}), kExitSuccess);
  EXPECT_NE(out_.str().find("frame 1 of 2"), std::string::npos) << out_.str();  // looped
}

TEST_F(RenderCommandTest, BadOptionValuesAreUsageErrors) {
  const std::string movie = Write("m.swf", TwoFrameMovie());
  const std::string png = (folder_ / "out.png").string();
  EXPECT_EQ(Run({movie, png, "--quality=medium"}), kExitUsage);
  EXPECT_NE(err_.str().find("low or high"), std::string::npos);
  EXPECT_EQ(Run({movie, png, "--frames=0"}), kExitUsage);
  EXPECT_EQ(Run({movie, png, "--width=x"}), kExitUsage);
  EXPECT_EQ(Run({movie, png, "--width=100000"}), kExitUsage);
  EXPECT_EQ(Run({movie, png, "--frames"}), kExitUsage);
  EXPECT_EQ(Run({movie}), kExitUsage);
  EXPECT_FALSE(fs::exists(png));
}

TEST_F(RenderCommandTest, NotAMovieFailsWithTheReason) {
  const std::string movie = Write("bad.swf", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  const std::string png = (folder_ / "out.png").string();
  EXPECT_EQ(Run({movie, png}), kExitFailure);
  EXPECT_NE(err_.str().find("not a movie"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(png));
}

TEST_F(RenderCommandTest, As3CodeIsNotedOnStderrAndTheFrameStillRenders) {
  const std::string movie = Write("as3.swf", TwoFrameMovie(true));
  const std::string png = (folder_ / "out.png").string();
  ASSERT_EQ(Run({movie, png}), kExitSuccess);
  EXPECT_NE(err_.str().find("ActionScript 3"), std::string::npos) << err_.str();
  EXPECT_TRUE(fs::exists(png));
}

}  // namespace
}  // namespace tools

namespace tools {
namespace {

TEST_F(RenderCommandTest, OutputByNameSizeAndBackground) {
  const std::string movie = Write("m.swf", TwoFrameMovie());
  const std::string png = (folder_ / "out.png").string();
  ASSERT_EQ(Run({movie, "-o", png, "--size", "40x20", "--background=#102030"}), kExitSuccess) << err_.str();
  const corpus::RgbaImage image = corpus::ReadPng(png);
  ASSERT_EQ(image.width, 40);
  ASSERT_EQ(image.height, 20);
  // Frame 1 is empty: the whole picture is the colour behind the movie.
  const uint8_t* corner = &image.pixels[(19 * 40 + 39) * 4];
  EXPECT_EQ((std::vector<int>{corner[0], corner[1], corner[2], corner[3]}), (std::vector<int>{16, 32, 48, 255}));

  const std::pair<std::vector<std::string>, std::string> mistakes[] = {
      {{movie, png, "--size", "40"}, "--size wants WIDTHxHEIGHT"},
      {{movie, png, "--size", "40x0"}, "--size wants WIDTHxHEIGHT"},
      {{movie, png, "--size", "40x20", "--width", "10"}, "give one or the other"},
      {{movie, png, "--background", "#12345"}, "--background wants a colour"},
      {{movie, png, "--background", "#12345g"}, "--background wants a colour"},
  };
  fs::remove(png);
  for (const auto& [arguments, message] : mistakes) {
    EXPECT_EQ(Run(arguments), kExitUsage) << message;
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
  }
  EXPECT_FALSE(fs::exists(png));
}

}  // namespace
}  // namespace tools
