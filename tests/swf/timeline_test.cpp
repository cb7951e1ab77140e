#include "swf/runtime/runtime.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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

// depth -> character id, a compact view of a clip's children.
std::map<int32_t, uint16_t> Characters(const Stage& stage, const DisplayObject& clip) {
  std::map<int32_t, uint16_t> result;
  for (const auto& [depth, handle] : clip.children) result[depth] = stage.Get(handle)->characterId;
  return result;
}

std::map<int32_t, uint16_t> Characters(const Runtime& runtime) {
  return Characters(runtime.Objects(), runtime.RootObject());
}

// The root's child at `depth`; the test fails if there is none.
const DisplayObject& At(const Runtime& runtime, int32_t depth) {
  const DisplayObject* object = runtime.Objects().ChildAt(runtime.RootObject(), depth);
  if (object == nullptr) throw std::out_of_range("nothing at depth " + std::to_string(depth));
  return *object;
}

using DepthMap = std::map<int32_t, uint16_t>;

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
  Runtime timeline(movie);
  EXPECT_EQ(Characters(timeline), (DepthMap{{1, 1}, {2, 2}}));

  timeline.Tick();
  const DisplayObject& first = At(timeline, 1);
  EXPECT_EQ(first.characterId, 1);  // a move keeps the character
  EXPECT_EQ(first.matrix, moved);
  EXPECT_EQ(first.name, "a");       // and the fields the tag leaves out
  const DisplayObject& second = At(timeline, 2);
  EXPECT_EQ(second.characterId, 3);  // a replace swaps the character
  EXPECT_EQ(second.colorTransform, half);

  timeline.Tick();
  EXPECT_EQ(Characters(timeline), (DepthMap{{2, 3}}));
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
  Runtime fresh(movie);
  fresh.GotoFrame(1);
  const auto expected = Characters(fresh);
  const Matrix expectedMatrix = At(fresh, 1).matrix;

  Runtime travelled(movie);
  travelled.GotoFrame(2);
  EXPECT_EQ(Characters(travelled), (DepthMap{{1, 1}, {3, 3}}));
  travelled.GotoFrame(1);
  EXPECT_EQ(travelled.CurrentFrame(), 1u);
  EXPECT_EQ(Characters(travelled), expected);
  EXPECT_EQ(At(travelled, 1).matrix, expectedMatrix);
  travelled.GotoFrame(0);
  EXPECT_EQ(Characters(travelled), (DepthMap{{1, 1}}));
  EXPECT_EQ(At(travelled, 1).matrix, Matrix::Identity());
  travelled.GotoFrame(99);  // clamped to the last frame
  EXPECT_EQ(travelled.CurrentFrame(), 2u);
}

TEST(TimelineTest, RootLoopsUnlessStoppedAndSingleFrameStays) {
  const ParsedMovie movie = Load(With(Shapes(), {
      swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
  }));
  Runtime timeline(movie);
  EXPECT_TRUE(timeline.RootObject().children.empty());
  timeline.Tick();
  EXPECT_EQ(timeline.CurrentFrame(), 1u);
  EXPECT_EQ(timeline.RootObject().children.size(), 1u);
  timeline.Tick();  // back to frame 0: what frame 1 placed is gone
  EXPECT_EQ(timeline.CurrentFrame(), 0u);
  EXPECT_TRUE(timeline.RootObject().children.empty());
  EXPECT_EQ(timeline.Objects().LiveObjects(), 0u);
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

uint16_t SpriteShows(const Runtime& root) {
  const DisplayObject& sprite = At(root, 1);
  const DisplayObject* shown = root.Objects().ChildAt(sprite, 1);
  return shown != nullptr ? shown->characterId : 0;
}

TEST(TimelineTest, SpritesPlayOnTheirOwnAndKeepTheirStateAcrossTheRootLoop) {
  const ParsedMovie movie = Load(SpriteMovie(-1));
  Runtime root(movie);
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
  Runtime root(movie);
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
  Runtime root(movie);
  // Levels of objects, and of them those that run a timeline of their own.
  int levels = 0;
  int clips = 0;
  const DisplayObject* level = &root.RootObject();
  while (level != nullptr && !level->children.empty()) {
    level = root.Objects().Get(level->children.begin()->second);
    ++levels;
    if (level->timeline) ++clips;
  }
  EXPECT_EQ(levels, Runtime::kMaxNesting + 1);
  EXPECT_EQ(clips, Runtime::kMaxNesting);
}

TEST(TimelineTest, UndefinedCharactersArePlacedButShowNothing) {
  const ParsedMovie movie = Load({swftest::PlaceObject2({.depth = 4, .characterId = 99}), swftest::ShowFrame()});
  Runtime root(movie);
  ASSERT_EQ(root.RootObject().children.count(4), 1u);
  EXPECT_EQ(At(root, 4).character, nullptr);
  EXPECT_EQ(At(root, 4).kind, ObjectKind::kEmpty);
}

}  // namespace
}  // namespace swf
