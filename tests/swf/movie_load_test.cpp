// Movies loaded into levels and clips: a request is served when the clock
// next moves on, through the host's files; the loaded movie plays with its
// own characters and names its place as "_levelN", and `_root` inside it
// stops at a clip whose _lockroot is set.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "action_builder.h"
#include "swf/host_services.h"
#include "swf/player.h"
#include "swf/render/png_encoder.h"
#include "swf/runtime/actions.h"
#include "swf/runtime/loaded_image.h"
#include "swf/runtime/stage.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;
namespace act = swftest::act;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};

class LoadHost : public HostServices {
 public:
  void Trace(std::string_view line) override { lines.emplace_back(line); }
  std::optional<std::vector<uint8_t>> LoadFile(std::string_view relativePath) override {
    requests.emplace_back(relativePath);
    const auto found = files.find(std::string(relativePath));
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  std::map<std::string, Bytes> files;
  std::vector<std::string> requests;
  std::vector<std::string> lines;
};

Bytes Str(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// getURL(url, target), as loadMovieNum and loadMovie("...", "_levelN") are written.
Bytes GetUrl(const std::string& url, const std::string& target) {
  Bytes payload = Str(url);
  const Bytes second = Str(target);
  payload.insert(payload.end(), second.begin(), second.end());
  return act::WithPayload(0x83, payload);
}

// trace(<the value of the variable `name`>)
Bytes TraceVariable(const std::string& name) {
  Bytes records = act::PushString(name);
  const Bytes get = act::Simple(0x1C);
  const Bytes trace = act::Simple(0x26);
  records.insert(records.end(), get.begin(), get.end());
  records.insert(records.end(), trace.begin(), trace.end());
  return records;
}

// The loaded movie: a red square over its stage, and a script that says
// where its root is.
Bytes Child() {
  return swftest::Movie({swftest::SquareShapeTag(1, 2000, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1}),
                         act::DoAction({TraceVariable("_root")}), swftest::ShowFrame()},
                        swftest::Signature::kFws, 8);
}

Bytes Main(const std::string& url, const std::string& target) {
  return swftest::Movie({swftest::Tag(9, {255, 255, 255}), act::DoAction({GetUrl(url, target), act::Stop()}),
                         swftest::ShowFrame()},
                        swftest::Signature::kFws, 8, {0, 2000, 0, 2000});
}

Rgba PixelAt(const Player& player, int x, int y) {
  std::vector<uint8_t> pixels(20 * 20 * 4);
  player.Render(RenderTarget{pixels.data(), 20, 20, 20 * 4, PixelFormat::kRgba32}, Quality::kLow);
  const uint8_t* p = &pixels[(static_cast<size_t>(y) * 20 + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

struct LoadCase {
  const char* name;
  std::string url;
  std::string target;
  std::vector<std::string> traced;  // after the second frame
  std::vector<int32_t> levels;
  Rgba drawn;
};

class MovieLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(MovieLoadTest, TheMovieIsServedOnTheNextFrame) {
  const LoadCase& c = GetParam();
  LoadHost host;
  host.files["child.swf"] = Child();
  std::vector<uint8_t> red;
  for (int i = 0; i < 100 * 100; ++i) red.insert(red.end(), {255, 0, 0, 255});
  host.files["red.png"] = EncodePngRgba(100, 100, red);
  Player player(Main(c.url, c.target), &host);
  EXPECT_TRUE(host.lines.empty()) << "nothing is loaded within the frame that asks";
  EXPECT_EQ(player.Objects().Levels().size(), 1u);
  player.Advance(player.FrameInterval());
  EXPECT_EQ(host.lines, c.traced);
  std::vector<int32_t> levels;
  for (const auto& [level, root] : player.Objects().Levels()) levels.push_back(level);
  EXPECT_EQ(levels, c.levels);
  EXPECT_EQ(PixelAt(player, 10, 10), c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, MovieLoadTest,
    testing::Values(LoadCase{"IntoALevel", "child.swf", "_level3", {"_level3"}, {0, 3}, kRed},
                    LoadCase{"APicture", "red.png", "_level3", {}, {0, 3}, kRed},
                    LoadCase{"ReplacingLevelZero", "child.swf", "_level0", {"_level0"}, {0}, kRed},
                    LoadCase{"AMissingFile", "absent.swf", "_level3", {}, {0}, kWhite},
                    LoadCase{"AUrlWithAScheme", "http://example.invalid/child.swf", "_level3", {}, {0}, kWhite}),
    [](const testing::TestParamInfo<LoadCase>& param) { return param.param.name; });

TEST(MovieLoadTest, AUrlWithASchemeNeverReachesTheHost) {
  LoadHost host;
  host.files["child.swf"] = Child();
  Player player(Main("file:///child.swf", "_level1"), &host);
  player.Advance(player.FrameInterval());
  EXPECT_TRUE(host.requests.empty());
}

TEST(MovieLoadTest, AnEmptyUrlUnloadsTheLevel) {
  LoadHost host;
  host.files["child.swf"] = Child();
  Player player(swftest::Movie({act::DoAction({GetUrl("child.swf", "_level2")}), swftest::ShowFrame(),
                                act::DoAction({GetUrl("", "_level2"), act::Stop()}), swftest::ShowFrame()},
                               swftest::Signature::kFws, 8, {0, 2000, 0, 2000}, 24 << 8, 2),
                &host);
  player.Advance(player.FrameInterval());
  EXPECT_EQ(player.Objects().Levels().size(), 2u);
  player.Advance(player.FrameInterval());
  EXPECT_EQ(player.Objects().Levels().size(), 1u);
}

TEST(LoadedImageTest, APictureIsAMovieOfOneFrameShowingIt) {
  const std::vector<uint8_t> rgba{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255,
                                  1, 2, 3, 255, 4, 5, 6, 255};
  const std::unique_ptr<const ParsedMovie> movie = MovieOfImage(EncodePngRgba(3, 2, rgba), 7);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(movie->header.version, 7);
  EXPECT_EQ(movie->header.frameSize, (Rect{0, 60, 0, 40}));
  ASSERT_EQ(movie->root.frames.size(), 1u);
  ASSERT_EQ(movie->root.frames[0].tags.size(), 1u);
  const auto& place = std::get<PlaceObject>(movie->root.frames[0].tags[0]);
  ASSERT_TRUE(place.characterId.has_value());
  const Character* shape = movie->FindCharacter(*place.characterId);
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(std::get<ShapeDefinition>(*shape).bounds, (Rect{0, 60, 0, 40}));
  ASSERT_EQ(movie->bitmaps.size(), 1u);
  EXPECT_EQ(movie->bitmaps.begin()->second.width, 3);
}

TEST(LoadedImageTest, OtherFilesAreNoPicture) {
  const std::vector<std::vector<uint8_t>> files{
      {}, {'F', 'W', 'S', 8}, {0x89, 'P', 'N', 'G', 0, 0}, {0xFF, 0xD8, 0xFF}, {'G', 'I', 'F', '8', '9', 'a'}};
  for (const auto& file : files) EXPECT_EQ(MovieOfImage(file, 8), nullptr) << file.size() << " bytes";
}

TEST(LevelNameTest, OnlyDigitsFollowThePrefix) {
  struct Case {
    std::string_view name;
    bool ignoreCase;
    std::optional<int32_t> level;
  };
  const Case cases[] = {
      {"_level0", false, 0},      {"_level12", false, 12},         {"_LEVEL4", true, 4},
      {"_LEVEL4", false, {}},     {"_level", false, {}},           {"_level1a", false, {}},
      {"_levels", false, {}},     {"_level1234567890", false, {}}, {"level1", false, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LevelNumber(c.name, c.ignoreCase), c.level) << c.name;
}

TEST(RootOfTest, TheNearestLockedClipOrTheLevel) {
  Stage stage;
  DisplayObject clip;
  clip.kind = ObjectKind::kMovieClip;
  const ObjectHandle outer = stage.Insert(stage.Root(), 1, clip);
  const ObjectHandle middle = stage.Insert(outer, 1, clip);
  const ObjectHandle inner = stage.Insert(middle, 1, clip);
  const ObjectHandle level = stage.MakeLevel(5);
  const ObjectHandle onLevel = stage.Insert(level, 1, clip);
  EXPECT_EQ(RootOf(stage, inner), stage.Root());
  EXPECT_EQ(RootOf(stage, onLevel), level);
  stage.Get(outer)->lockRoot = true;
  stage.Get(middle)->lockRoot = true;
  EXPECT_EQ(RootOf(stage, inner), middle);
  EXPECT_EQ(RootOf(stage, outer), outer);
  EXPECT_EQ(stage.LevelOf(inner), stage.Root());
  EXPECT_EQ(stage.LevelOf(onLevel), level);
  stage.Remove(level);
  EXPECT_TRUE(stage.Level(5).IsNone());
  EXPECT_EQ(stage.Get(onLevel), nullptr);
  EXPECT_EQ(stage.LiveObjects(), 3u);
}

}  // namespace
}  // namespace swf
