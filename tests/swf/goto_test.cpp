// Going back on a timeline keeps what the target frame still has: objects
// at script depths, and timeline objects placed there with the same character
// (the same object, with what scripts changed on it); the rest is replaced
// or goes.
#include <gtest/gtest.h>

#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"
#include "swf_builder.h"

namespace swf {
namespace {

constexpr uint16_t kRed = 1;
constexpr uint16_t kGreen = 2;
constexpr uint16_t kBlue = 3;
constexpr uint16_t kSprite = 10;

// Frame 0: red at depth 1, red at depth 2, the sprite at depth 4.
// Frame 1: depth 1 moves, depth 2 now shows green, blue placed at depth 3.
// Frame 2: nothing new.
ParsedMovie ThreeFrames() {
  const Matrix moved = Matrix::Translate(500, 0);
  return ParseMovie(swftest::Movie({
      swftest::SquareShapeTag(kRed, 100, {255, 0, 0, 255}),
      swftest::SquareShapeTag(kGreen, 100, {0, 255, 0, 255}),
      swftest::SquareShapeTag(kBlue, 100, {0, 0, 255, 255}),
      swftest::DefineSprite(kSprite, 3, {swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame()}),
      swftest::PlaceObject2({.depth = 1, .characterId = kRed}),
      swftest::PlaceObject2({.depth = 2, .characterId = kRed}),
      swftest::PlaceObject2({.depth = 4, .characterId = kSprite}),
      swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &moved}),
      swftest::PlaceObject2({.depth = 2, .move = true, .characterId = kGreen}),
      swftest::PlaceObject2({.depth = 3, .characterId = kBlue}),
      swftest::ShowFrame(),
      swftest::ShowFrame(),
  }));
}

ObjectHandle HandleAt(const Runtime& runtime, int32_t depth) {
  const DisplayObject* object = runtime.Objects().ChildAt(runtime.RootObject(), depth);
  return object != nullptr ? object->self : ObjectHandle{};
}

class BackwardGotoTest : public testing::Test {
 protected:
  const ParsedMovie movie_ = ThreeFrames();
  Runtime runtime_{movie_};
  const Stage& stage_ = runtime_.Objects();
};

TEST_F(BackwardGotoTest, EachObjectIsKeptReplacedOrRemovedByWhatTheTargetFramePlaces) {
  const Matrix scripted = Matrix::Translate(0, 300);
  const ObjectHandle movedByScript = HandleAt(runtime_, 1);
  ASSERT_TRUE(runtime_.SetMatrix(movedByScript, scripted));
  const ObjectHandle sprite = HandleAt(runtime_, 4);
  runtime_.GotoFrame(2);
  EXPECT_EQ(stage_.Get(movedByScript)->matrix, scripted);  // the timeline's move leaves it where the script put it
  const ObjectHandle green = HandleAt(runtime_, 2);
  const ObjectHandle blue = HandleAt(runtime_, 3);
  EXPECT_EQ(stage_.Get(green)->characterId, kGreen);
  runtime_.PlayClip(sprite, false);
  runtime_.GotoClipFrame(sprite, 2);

  runtime_.GotoFrame(0);
  struct Expectation {
    int32_t depth;
    ObjectHandle before;    // the object there at frame 2
    bool sameObject;
    uint16_t characterId;   // 0: nothing there
  };
  const Expectation expectations[] = {
      {1, movedByScript, true, kRed},  // still red at frame 0: the same object
      {2, green, false, kRed},         // red again at frame 0: a new object
      {3, blue, false, 0},             // not placed at frame 0
      {4, sprite, true, kSprite},      // the same clip
  };
  for (const Expectation& e : expectations) {
    SCOPED_TRACE(e.depth);
    const ObjectHandle now = HandleAt(runtime_, e.depth);
    EXPECT_EQ(now == e.before, e.sameObject);
    EXPECT_EQ(stage_.Get(e.before) != nullptr, e.sameObject);  // a replaced object's handle is stale
    const DisplayObject* object = stage_.Get(now);
    EXPECT_EQ(object != nullptr ? object->characterId : 0, e.characterId);
  }
  ASSERT_NE(stage_.Get(movedByScript), nullptr);
  ASSERT_NE(stage_.Get(sprite), nullptr);
  EXPECT_EQ(stage_.Get(movedByScript)->matrix, scripted);
  // The kept clip keeps its own state.
  EXPECT_EQ(stage_.Get(sprite)->timeline->currentFrame, 2u);
  EXPECT_FALSE(stage_.Get(sprite)->timeline->playing);
  EXPECT_EQ(stage_.LiveObjects(), 3u);
}

TEST_F(BackwardGotoTest, ATimelineObjectNotChangedByScriptsTakesTheTargetFramesPlacement) {
  const ObjectHandle first = HandleAt(runtime_, 1);
  runtime_.GotoFrame(1);
  EXPECT_EQ(stage_.Get(first)->matrix, Matrix::Translate(500, 0));
  runtime_.GotoFrame(0);
  EXPECT_EQ(HandleAt(runtime_, 1), first);
  EXPECT_EQ(stage_.Get(first)->matrix, Matrix::Identity());
}

TEST_F(BackwardGotoTest, ObjectsMadeByScriptsSurviveGoingBackAndLooping) {
  runtime_.GotoFrame(1);
  const ObjectHandle made = runtime_.PlaceScriptObject(runtime_.Root(), kBlue, 0, "made");
  const ObjectHandle madeClip = runtime_.PlaceScriptObject(runtime_.Root(), kSprite, 3, "clip");
  ASSERT_NE(stage_.Get(made), nullptr);
  ASSERT_NE(stage_.Get(madeClip), nullptr);
  EXPECT_EQ(stage_.Get(made)->depth, DepthFromScriptDepth(0));
  EXPECT_EQ(ScriptDepthFromDepth(stage_.Get(madeClip)->depth), 3);
  EXPECT_TRUE(stage_.Get(madeClip)->timeline.has_value());

  runtime_.GotoFrame(0);
  ASSERT_NE(stage_.Get(made), nullptr);
  ASSERT_NE(stage_.Get(madeClip), nullptr);
  runtime_.GotoFrame(2);
  runtime_.Tick();  // the root loops back to its first frame
  EXPECT_EQ(runtime_.CurrentFrame(), 0u);
  EXPECT_EQ(stage_.Get(made)->name, "made");
  EXPECT_EQ(stage_.Get(madeClip)->timeline->currentFrame, 1u);  // it played on

  EXPECT_FALSE(runtime_.RemoveScriptObject(HandleAt(runtime_, 1)));  // the timeline's own stay
  EXPECT_TRUE(runtime_.RemoveScriptObject(made));
  EXPECT_EQ(stage_.Get(made), nullptr);
  EXPECT_EQ(runtime_.PlaceScriptObject(made, kRed, 0, "under a stale parent"), ObjectHandle{});
  EXPECT_EQ(runtime_.PlaceScriptObject(runtime_.Root(), kRed, -16385, "below every depth"), ObjectHandle{});
}

// An object a script put at a depth: at a script depth it stays whatever the
// timeline does; at a timeline depth it stays while the target frame has
// something there, and the timeline's moves leave it alone.
TEST(ScriptPlacedObjectsTest, GoingBackKeepsThemByTheirDepth) {
  struct Case {
    int32_t scriptDepth;
    bool stays;
  };
  const Case cases[] = {
      {ScriptDepthFromDepth(2), true},   // frame 0 has red there
      {ScriptDepthFromDepth(3), false},  // blue's depth, empty in frame 0
      {ScriptDepthFromDepth(7), false},  // nothing there in any frame
      {50, true},
  };
  const ParsedMovie movie = ThreeFrames();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scriptDepth);
    Runtime runtime(movie);
    runtime.GotoFrame(1);
    const ObjectHandle probe = runtime.PlaceScriptObject(runtime.Root(), kSprite, 100, "probe");
    ASSERT_TRUE(runtime.SwapDepths(probe, c.scriptDepth));
    runtime.GotoFrame(0);
    EXPECT_EQ(runtime.Objects().Get(probe) != nullptr, c.stays);
  }
}

TEST(ScriptPlacedObjectsTest, TheTimelinesMovesLeaveThemAlone) {
  const ParsedMovie movie = ThreeFrames();
  Runtime runtime(movie);
  const ObjectHandle probe = runtime.PlaceScriptObject(runtime.Root(), kSprite, 100, "probe");
  ASSERT_TRUE(runtime.SwapDepths(probe, ScriptDepthFromDepth(1)));
  runtime.GotoFrame(1);  // moves depth 1
  ASSERT_EQ(HandleAt(runtime, 1), probe);
  EXPECT_EQ(runtime.Objects().Get(probe)->matrix, Matrix::Identity());
}

}  // namespace
}  // namespace swf
