// Damaged movies must fail cleanly: each mutation of a valid movie either
// throws ParseError or loads, plays and renders without touching memory it
// does not own (the native build runs this under ASan and UBSan).
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf_builder.h"

namespace swf {
namespace {

swftest::Bytes RichMovie() {
  const swftest::Bytes curvy = swftest::ShapeWriter(4)
                                   .Solid({200, 10, 10, 255})
                                   .Solid({10, 10, 200, 128})
                                   .Line(60, {0, 0, 0, 255})
                                   .BeginRecords()
                                   .Change(1, 2, 1, true, 100, 100)
                                   .CurveTo(300, -200, 300, 200)
                                   .LineTo(-200, 300)
                                   .Change(-1, 0, -1)
                                   .LineTo(-400, -300)
                                   .End();
  const Matrix skew{1.5, 0.3, -0.4, 0.8, 500, 200};
  return swftest::Movie({
      swftest::Tag(9, {10, 20, 30}),
      swftest::DefineShape(4, 1, {0, 800, 0, 600}, curvy),
      swftest::SquareShapeTag(2, 300, {0, 255, 0, 255}),
      swftest::DefineSprite(3, 2, {swftest::PlaceObject2({.depth = 1, .characterId = 2}), swftest::ShowFrame(),
                                   swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &skew}),
                                   swftest::ShowFrame()}),
      swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &skew}),
      swftest::PlaceObject2({.depth = 2, .characterId = 3}),
      swftest::ShowFrame(),
      swftest::RemoveObject2(1),
      swftest::ShowFrame(),
  });
}

// Returns false when the movie was refused. A loaded movie must render a
// fully opaque picture every time (the background is painted first).
bool LoadPlayAndRender(const swftest::Bytes& file) {
  std::optional<Player> player;
  try {
    player.emplace(file);
  } catch (const ParseError&) {
    return false;
  }
  for (int tick = 0; tick < 3; ++tick) {
    std::vector<uint8_t> pixels(32 * 24 * 4, 0);
    player->Render({pixels.data(), 32, 24, 32 * 4, PixelFormat::kBgra32}, tick % 2 ? Quality::kLow : Quality::kHigh);
    for (size_t i = 3; i < pixels.size(); i += 4) {
      if (pixels[i] != 255) {
        ADD_FAILURE() << "pixel " << i / 4 << " left unpainted";
        return true;
      }
    }
    player->Tick();
  }
  player->GotoFrame(0);
  return true;
}

TEST(MutationTest, DamagedMoviesFailCleanly) {
  const swftest::Bytes original = RichMovie();
  ASSERT_TRUE(LoadPlayAndRender(original));
  std::mt19937 random(12345);
  int loaded = 0;
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    swftest::Bytes file = original;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      // Leave the signature alone most of the time so that the tags get tested.
      const size_t at = 8 + random() % (file.size() - 8);
      switch (random() % 3) {
        case 0: file[at] = static_cast<uint8_t>(random()); break;
        case 1: file[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        default: file.resize(at); break;
      }
      if (file.size() <= 8) break;
    }
    LoadPlayAndRender(file) ? ++loaded : ++refused;
  }
  // Both outcomes occur, so both paths were exercised.
  EXPECT_GT(loaded, 1000);
  EXPECT_GT(refused, 10);
}

}  // namespace
}  // namespace swf
