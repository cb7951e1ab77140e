#include "swf/timeline/timeline.h"

#include <gtest/gtest.h>

#include "swf/parse/movie.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Place;

ParsedMovie Load(const std::vector<swftest::Bytes>& tags) { return ParseMovie(swftest::Movie(tags)); }

std::vector<swftest::Bytes> Shapes() {
  return {swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}), swftest::SquareShapeTag(2, 100, {0, 255, 0, 255}),
          swftest::SquareShapeTag(3, 100, {0, 0, 255, 255})};
}

std::vector<swftest::Bytes> With(std::vector<swftest::Bytes> tags, const std::vector<swftest::Bytes>& more) {
  tags.insert(tags.end(), more.begin(), more.end());
  return tags;
}

// depth -> character id, a compact view of a display list.
std::map<uint16_t, uint16_t> Characters(const DisplayList& list) {
  std::map<uint16_t, uint16_t> result;
  for (const auto& [depth, object] : list) result[depth] = object.characterId;
  return result;
}

TEST(TimelineTest, PlaceMoveReplaceAndRemove) {
  const Matrix moved = Matrix::Translate(40, 60);
  const ColorTransform half = [] {
    ColorTransform cx;
    cx.alphaMult = 128;
    return cx;
  }();
  const ParsedMovie movie = Load(With(Shapes(), {
      swftest::PlaceObject2({.depth = 1, .characterId = 1, .name = "a"}),
      swftest::PlaceObject2({.depth = 2, .characterId = 2}),
      swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &moved}),
      swftest::PlaceObject2({.depth = 2, .move = true, .characterId = 3, .colorTransform = &half}),
      swftest::ShowFrame(),
      swftest::RemoveObject2(1),
      swftest::ShowFrame(),
  }));
  TimelineInstance timeline(movie, movie.root);
  EXPECT_EQ(Characters(timeline.List()), (std::map<uint16_t, uint16_t>{{1, 1}, {2, 2}}));

  timeline.Tick();
  const DisplayObject& first = timeline.List().at(1);
  EXPECT_EQ(first.characterId, 1);  // a move keeps the character
  EXPECT_EQ(first.matrix, moved);
  EXPECT_EQ(first.name, "a");       // and the fields the tag leaves out
  const DisplayObject& second = timeline.List().at(2);
  EXPECT_EQ(second.characterId, 3);  // a replace swaps the character
  EXPECT_EQ(second.colorTransform, half);

  timeline.Tick();
  EXPECT_EQ(Characters(timeline.List()), (std::map<uint16_t, uint16_t>{{2, 3}}));
}

TEST(TimelineTest, GoingBackRebuildsExactlyTheStateOfGoingForward) {
  const Matrix m1 = Matrix::Translate(10, 0);
  const Matrix m2 = Matrix::Translate(20, 0);
  const ParsedMovie movie = Load(With(Shapes(), {
      swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &m1}),
      swftest::PlaceObject2({.depth = 5, .characterId = 2}), swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &m2}), swftest::RemoveObject2(5),
      swftest::PlaceObject2({.depth = 3, .characterId = 3}), swftest::ShowFrame(),
  }));
  TimelineInstance fresh(movie, movie.root);
  fresh.GotoFrame(1);
  const auto expected = Characters(fresh.List());
  const Matrix expectedMatrix = fresh.List().at(1).matrix;

  TimelineInstance travelled(movie, movie.root);
  travelled.GotoFrame(2);
  EXPECT_EQ(Characters(travelled.List()), (std::map<uint16_t, uint16_t>{{1, 1}, {3, 3}}));
  travelled.GotoFrame(1);
  EXPECT_EQ(travelled.CurrentFrame(), 1u);
  EXPECT_EQ(Characters(travelled.List()), expected);
  EXPECT_EQ(travelled.List().at(1).matrix, expectedMatrix);
  travelled.GotoFrame(0);
  EXPECT_EQ(Characters(travelled.List()), (std::map<uint16_t, uint16_t>{{1, 1}}));
  EXPECT_EQ(travelled.List().at(1).matrix, Matrix::Identity());
  travelled.GotoFrame(99);  // clamped to the last frame
  EXPECT_EQ(travelled.CurrentFrame(), 2u);
}

TEST(TimelineTest, RootLoopsUnlessStoppedAndSingleFrameStays) {
  const ParsedMovie movie = Load(With(Shapes(), {
      swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
  }));
  TimelineInstance timeline(movie, movie.root);
  EXPECT_TRUE(timeline.List().empty());
  timeline.Tick();
  EXPECT_EQ(timeline.CurrentFrame(), 1u);
  EXPECT_EQ(timeline.List().size(), 1u);
  timeline.Tick();  // back to frame 0: what frame 1 placed is gone
  EXPECT_EQ(timeline.CurrentFrame(), 0u);
  EXPECT_TRUE(timeline.List().empty());
  timeline.Stop();
  timeline.Tick();
  EXPECT_EQ(timeline.CurrentFrame(), 0u);
  timeline.Play();
  timeline.Tick();
  EXPECT_EQ(timeline.CurrentFrame(), 1u);
}

std::vector<swftest::Bytes> SpriteMovie(int ratioInFrame2) {
  // Sprite 10 counts its own frames: frame k shows shape k+1.
  std::vector<swftest::Bytes> tags = Shapes();
  tags.push_back(swftest::DefineSprite(10, 3, {
      swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .characterId = 2}), swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .characterId = 3}), swftest::ShowFrame(),
  }));
  tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 10, .ratio = 0}));
  tags.push_back(swftest::ShowFrame());
  if (ratioInFrame2 >= 0) {
    tags.push_back(swftest::RemoveObject2(1));
    tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 10, .ratio = ratioInFrame2}));
  }
  tags.push_back(swftest::ShowFrame());
  return tags;
}

uint16_t SpriteShows(const TimelineInstance& root) {
  const DisplayObject& sprite = root.List().at(1);
  return sprite.sprite->List().at(1).characterId;
}

TEST(TimelineTest, SpritesPlayOnTheirOwnAndKeepTheirStateAcrossTheRootLoop) {
  const ParsedMovie movie = Load(SpriteMovie(-1));
  TimelineInstance root(movie, movie.root);
  EXPECT_EQ(SpriteShows(root), 1);  // a new sprite enters its first frame at once
  root.Tick();
  EXPECT_EQ(root.CurrentFrame(), 1u);
  EXPECT_EQ(SpriteShows(root), 2);
  root.Tick();  // the root loops; the sprite is the same clip and goes on
  EXPECT_EQ(root.CurrentFrame(), 0u);
  EXPECT_EQ(SpriteShows(root), 3);
  root.Tick();
  EXPECT_EQ(SpriteShows(root), 1);  // the sprite loops too
  root.Stop();
  root.Tick();
  EXPECT_EQ(SpriteShows(root), 2);  // stopping the root does not stop its sprites
}

TEST(TimelineTest, ASpritePlacedAgainWithAnotherRatioStartsOver) {
  const ParsedMovie movie = Load(SpriteMovie(7));
  TimelineInstance root(movie, movie.root);
  root.Tick();
  EXPECT_EQ(SpriteShows(root), 1);  // placed anew in frame 2
  root.Tick();
  EXPECT_EQ(SpriteShows(root), 1);  // the replay of frame 1 has another ratio: a new clip
}

TEST(TimelineTest, SpritesPlacingEachOtherStopAtTheNestingLimit) {
  // Sprite 10 shows sprite 11, which shows sprite 10 again.
  const ParsedMovie movie = Load({
      swftest::DefineSprite(10, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 11}), swftest::ShowFrame()}),
      swftest::DefineSprite(11, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 10}), swftest::ShowFrame()}),
      swftest::PlaceObject2({.depth = 1, .characterId = 10}),
      swftest::ShowFrame(),
  });
  TimelineInstance root(movie, movie.root);
  int depth = 0;
  const TimelineInstance* level = &root;
  while (level != nullptr && !level->List().empty()) {
    level = level->List().begin()->second.sprite.get();
    ++depth;
  }
  EXPECT_EQ(depth, TimelineInstance::kMaxNesting + 1);
}

TEST(TimelineTest, UndefinedCharactersArePlacedButShowNothing) {
  const ParsedMovie movie = Load({swftest::PlaceObject2({.depth = 4, .characterId = 99}), swftest::ShowFrame()});
  TimelineInstance root(movie, movie.root);
  ASSERT_EQ(root.List().count(4), 1u);
  EXPECT_EQ(root.List().at(4).character, nullptr);
}

}  // namespace
}  // namespace swf
