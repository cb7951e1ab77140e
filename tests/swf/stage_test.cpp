// The stage's handles: a reference to an object that went resolves to
// nothing, however it went and whatever took its slot; and the kind of
// object each sort of character makes.
#include "swf/runtime/stage.h"

#include <gtest/gtest.h>

#include <functional>

#include "character_builder.h"
#include "fill_builder.h"
#include "swf/runtime/runtime.h"

namespace swf {
namespace {

DisplayObject Shape(uint16_t characterId) {
  DisplayObject object;
  object.kind = ObjectKind::kShape;
  object.characterId = characterId;
  return object;
}

struct StaleCase {
  const char* name;
  // Makes objects under the root and returns a handle that must be stale.
  std::function<ObjectHandle(Stage&)> makeStale;
  size_t liveAfter;  // objects left below the root
};

class StaleHandleTest : public testing::TestWithParam<StaleCase> {};

TEST_P(StaleHandleTest, ResolvesToNothingAndChangesNothing) {
  Stage stage;
  const ObjectHandle stale = GetParam().makeStale(stage);
  EXPECT_EQ(stage.Get(stale), nullptr);
  EXPECT_EQ(stage.LiveObjects(), GetParam().liveAfter);
  stage.Remove(stale);  // removing it again is harmless
  EXPECT_EQ(stage.LiveObjects(), GetParam().liveAfter);
  EXPECT_EQ(stage.Insert(stale, 1, Shape(1)), ObjectHandle{});  // nothing goes under it
  EXPECT_NE(stage.Get(stage.Root()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StaleHandleTest,
    testing::Values(
        StaleCase{"RemovedObject",
                  [](Stage& stage) {
                    const ObjectHandle object = stage.Insert(stage.Root(), 1, Shape(1));
                    stage.Insert(stage.Root(), 2, Shape(2));
                    stage.Remove(object);
                    return object;
                  },
                  1},
        StaleCase{"RemovedParent",
                  [](Stage& stage) {
                    const ObjectHandle parent = stage.Insert(stage.Root(), 1, Shape(1));
                    const ObjectHandle child = stage.Insert(parent, 1, Shape(2));
                    const ObjectHandle grandchild = stage.Insert(child, 1, Shape(3));
                    stage.Remove(parent);
                    EXPECT_EQ(stage.Get(child), nullptr);
                    return grandchild;
                  },
                  0},
        StaleCase{"ReplacedAtItsDepth",
                  [](Stage& stage) {
                    const ObjectHandle first = stage.Insert(stage.Root(), 1, Shape(1));
                    const ObjectHandle second = stage.Insert(stage.Root(), 1, Shape(2));
                    EXPECT_EQ(stage.ChildAt(*stage.Get(stage.Root()), 1), stage.Get(second));
                    return first;
                  },
                  1},
        StaleCase{"SlotReusedWithANewGeneration",
                  [](Stage& stage) {
                    const ObjectHandle old = stage.Insert(stage.Root(), 1, Shape(1));
                    stage.Remove(old);
                    const ObjectHandle reused = stage.Insert(stage.Root(), 5, Shape(7));
                    EXPECT_EQ(reused.index, old.index);
                    EXPECT_NE(reused.generation, old.generation);
                    EXPECT_EQ(stage.Get(reused)->characterId, 7);
                    return old;
                  },
                  1},
        StaleCase{"NoHandleAtAll", [](Stage&) { return ObjectHandle{}; }, 0}),
    [](const testing::TestParamInfo<StaleCase>& test) { return std::string(test.param.name); });

TEST(StageTest, ChildrenKnowTheirParentDepthAndLevel) {
  Stage stage;
  const ObjectHandle clip = stage.Insert(stage.Root(), 3, Shape(1));
  const ObjectHandle child = stage.Insert(clip, -7, Shape(2));
  const DisplayObject& object = *stage.Get(child);
  EXPECT_EQ(object.parent, clip);
  EXPECT_EQ(object.self, child);
  EXPECT_EQ(object.depth, -7);
  EXPECT_EQ(object.level, 2);
  stage.Remove(stage.Root());  // the root stays
  EXPECT_EQ(stage.LiveObjects(), 2u);
}

// Each sort of character placed by the timeline becomes its kind of object.
TEST(ObjectKindTest, CharactersMakeTheirKindOfObject) {
  const swftest::Bytes editText = swftest::Tag(37, {8, 0, 0, 0, 0, 0});  // DefineEditText: no flags, no variable
  const std::vector<swftest::Bytes> tags = {
      swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}),
      swftest::DefineSprite(2, 1, {swftest::ShowFrame()}),
      swftest::MorphTag(3, {0, 0, 100, 100, {255, 0, 0, 255}}, {0, 0, 200, 200, {0, 0, 255, 255}}),
      swftest::FontTag(1, 4, {swftest::RectangleEdges(0, 0, 100, 100)}),
      swftest::TextTag(1, 5, Matrix::Identity(), {{.fontId = 4, .height = 20, .glyphs = {{0, 100}}}}),
      swftest::ButtonTag(2, 6, {{.states = 0x01, .characterId = 1, .depth = 3}}),
      swftest::LosslessTag(1, 7, 3, 1, 1, {255, 0, 0, 0, 0, 0, 0}, 1),
      editText,
  };
  std::vector<swftest::Bytes> all = tags;
  for (uint16_t id = 1; id <= 9; ++id) all.push_back(swftest::PlaceObject2({.depth = id, .characterId = id}));
  all.push_back(swftest::ShowFrame());
  const ParsedMovie movie = ParseMovie(swftest::Movie(all));
  ASSERT_TRUE(movie.warnings.empty()) << movie.warnings.front();
  Runtime runtime(movie);
  const Stage& stage = runtime.Objects();

  const std::pair<uint16_t, ObjectKind> expected[] = {
      {1, ObjectKind::kShape},     {2, ObjectKind::kMovieClip}, {3, ObjectKind::kMorphShape},
      {4, ObjectKind::kEmpty},     {5, ObjectKind::kStaticText}, {6, ObjectKind::kButton},
      {7, ObjectKind::kBitmap},    {8, ObjectKind::kTextField}, {9, ObjectKind::kEmpty},
  };
  for (const auto& [depth, kind] : expected) {
    SCOPED_TRACE(depth);
    const DisplayObject* object = stage.ChildAt(runtime.RootObject(), depth);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->kind, kind);
    EXPECT_EQ(object->characterId, depth);
    EXPECT_EQ(object->parent, runtime.Root());
    EXPECT_EQ(object->timeline.has_value(), kind == ObjectKind::kMovieClip);
    EXPECT_EQ(object->character != nullptr && std::holds_alternative<EditTextDefinition>(*object->character),
              kind == ObjectKind::kTextField);
  }
  // The button's up state is a child object the runtime made.
  const DisplayObject& button = *stage.ChildAt(runtime.RootObject(), 6);
  ASSERT_EQ(button.children.size(), 1u);
  const DisplayObject& up = *stage.ChildAt(button, 3);
  EXPECT_EQ(up.characterId, 1);
  EXPECT_EQ(up.parent, button.self);
  EXPECT_EQ(stage.LiveObjects(), 10u);
}

}  // namespace
}  // namespace swf
