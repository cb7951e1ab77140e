#include "swf/player.h"

#include <gtest/gtest.h>

#include "swf/parse/parse_error.h"
#include "swf_builder.h"

namespace swf {
namespace {

swftest::Bytes ThreeFrames() {
  return swftest::Movie(
      {
          swftest::Tag(9, {0, 128, 255}),
          swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}),
          swftest::ShowFrame(),
          swftest::Tag(43, {'m', 'i', 'd', 0}),
          swftest::PlaceObject2({.depth = 1, .characterId = 1}),
          swftest::ShowFrame(),
          swftest::ShowFrame(),
      },
      swftest::Signature::kCws, 8, {0, 6410, 0, 4800}, 0, 5);
}

TEST(PlayerTest, ReportsTheMovieAsTheHostNeedsIt) {
  Player player(ThreeFrames());
  EXPECT_DOUBLE_EQ(player.StageWidth(), 320.5);
  EXPECT_DOUBLE_EQ(player.StageHeight(), 240);
  EXPECT_EQ(player.FrameCount(), 3u);        // frames the tags hold
  EXPECT_EQ(player.DeclaredFrameCount(), 5);  // what the header claims
  EXPECT_EQ(player.Version(), 8);
  EXPECT_DOUBLE_EQ(player.FrameRate(), 0);
  EXPECT_GT(player.FrameInterval(), 0);  // rate 0 still ticks
  EXPECT_EQ(player.BackgroundColor(), (Rgba{0, 128, 255, 255}));
  player.SetBackgroundOverride(Rgba{0, 0, 0, 255});
  EXPECT_EQ(player.BackgroundColor(), (Rgba{0, 0, 0, 255}));
  EXPECT_FALSE(player.HasUnrunAs3Code());
}

TEST(PlayerTest, PlayStopGotoAndLabels) {
  Player player(ThreeFrames());
  EXPECT_EQ(player.CurrentFrame(), 0u);
  EXPECT_TRUE(player.IsPlaying());
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 1u);
  player.Stop();
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 1u);
  player.GotoFrame(0);
  EXPECT_TRUE(player.Root().children.empty());
  EXPECT_TRUE(player.GotoLabel("mid"));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_EQ(player.Root().children.size(), 1u);
  EXPECT_FALSE(player.GotoLabel("nowhere"));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  player.Play();
  player.Tick();
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 0u);  // looped
}

TEST(PlayerTest, MovieWithoutBackgroundTagIsWhiteAndNonMoviesThrow) {
  Player player(swftest::Movie({swftest::ShowFrame()}));
  EXPECT_EQ(player.BackgroundColor(), (Rgba{255, 255, 255, 255}));
  const swftest::Bytes text = {'<', 'h', 't', 'm', 'l', '>', 0, 0, 0, 0};
  EXPECT_THROW(Player{text}, ParseError);
}

}  // namespace
}  // namespace swf
