// Buttons are drawn in their up state: the runtime makes the button's
// children from the records of that state; records of other states, the hit
// area included, stay hidden.
#include <gtest/gtest.h>

#include "character_builder.h"
#include "swf/parse/buttons.h"
#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf/snapshot.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

Rgba At(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

Snapshot Render(const std::vector<Bytes>& definitions, uint16_t placedId) {
  std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255}), swftest::SquareShapeTag(1, 200, kRed),
                             swftest::SquareShapeTag(2, 200, kBlue)};
  tags.insert(tags.end(), definitions.begin(), definitions.end());
  tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = placedId}));
  tags.push_back(swftest::ShowFrame());
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}));
  return TakeSnapshot(player, {.frames = 1, .width = 40, .height = 30, .quality = Quality::kLow});
}

class ButtonTest : public testing::TestWithParam<int> {};

TEST_P(ButtonTest, OnlyTheUpStateIsDrawn) {
  const std::vector<swftest::ButtonRecord> records = {
      {.states = 0x01, .characterId = 1, .depth = 1, .matrix = Matrix::Translate(0, 0)},
      {.states = 0x06, .characterId = 2, .depth = 2, .matrix = Matrix::Translate(400, 0)},  // over and down
      {.states = 0x08, .characterId = 2, .depth = 3, .matrix = Matrix::Translate(0, 300)},  // hit area
      {.states = 0x09, .characterId = 2, .depth = 4, .matrix = Matrix::Translate(600, 300)},  // up and hit
  };
  const Snapshot s = Render({swftest::ButtonTag(GetParam(), 5, records)}, 5);
  EXPECT_EQ(At(s, 5, 5), kRed);
  EXPECT_EQ(At(s, 25, 5), kWhite);
  EXPECT_EQ(At(s, 5, 20), kWhite);
  EXPECT_EQ(At(s, 35, 20), kBlue);
}

INSTANTIATE_TEST_SUITE_P(ButtonVersions, ButtonTest, testing::Values(1, 2));

TEST(ButtonTest, RecordsAreDrawnInDepthOrder) {
  const std::vector<swftest::ButtonRecord> records = {
      {.states = 0x01, .characterId = 2, .depth = 7},
      {.states = 0x01, .characterId = 1, .depth = 3},
  };
  EXPECT_EQ(At(Render({swftest::ButtonTag(2, 5, records)}, 5), 5, 5), kBlue);
}

TEST(ButtonTest, ButtonColourTransformTintsAVersionOneButton) {
  swftest::BitWriter cxform;
  cxform.U16(5);
  ColorTransform green;
  green.redMult = 0;
  green.greenAdd = 255;
  cxform.ColorTransform(green, false);
  const Snapshot s = Render({swftest::ButtonTag(1, 5, {{.states = 0x01, .characterId = 1}}),
                             swftest::Tag(23, cxform.Take())},
                            5);
  EXPECT_EQ(At(s, 5, 5), (Rgba{0, 255, 0, 255}));
}

// The button object's children are the records of its state, each placed
// as its record says; DefineButtonCxform takes the place of the records' own
// colour transforms.
TEST(ButtonTest, TheUpStateRecordsBecomeChildrenWithTheirPlacement) {
  ColorTransform half = ColorTransform::Identity();
  half.redMult = 128;
  swftest::BitWriter button;
  button.U16(5);
  button.U8(0);   // not a menu
  button.U16(0);  // no conditional actions
  button.U8(0x01 | 0x10 | 0x20);  // up, with a filter list and a blend mode
  button.U16(1);
  button.U16(2);
  button.Matrix(Matrix::Translate(100, 40));
  button.ColorTransform(half, true);
  button.U8(1);  // one filter: a blur
  button.U8(1);
  button.U32(0x00020000);  // blur x 2.0
  button.U32(0x00030000);  // blur y 3.0
  button.U8(1 << 3);       // one pass
  button.U8(3);            // multiply
  button.U8(0x02);  // over only: not a child of the up state
  button.U16(2);
  button.U16(4);
  button.Matrix(Matrix::Translate(0, 0));
  button.ColorTransform(ColorTransform::Identity(), true);
  button.U8(0);
  const Bytes buttonTag = swftest::Tag(34, button.Take());

  for (const bool withCxform : {false, true}) {
    ColorTransform green = ColorTransform::Identity();
    green.redMult = 0;
    green.greenAdd = 255;
    swftest::BitWriter cxform;
    cxform.U16(5);
    cxform.ColorTransform(green, false);
    std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 200, kRed), swftest::SquareShapeTag(2, 200, kBlue),
                               buttonTag};
    if (withCxform) tags.push_back(swftest::Tag(23, cxform.Take()));
    tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 5}));
    tags.push_back(swftest::ShowFrame());
    const Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}));

    const DisplayObject* object = player.Objects().Get(player.Root().children.at(1));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->kind, ObjectKind::kButton);
    EXPECT_EQ(object->buttonState, button_state::kUp);
    ASSERT_EQ(object->children.size(), 1u) << "cxform " << withCxform;
    const DisplayObject& child = *player.Objects().Get(object->children.at(2));
    EXPECT_EQ(child.characterId, 1);
    EXPECT_EQ(child.matrix, Matrix::Translate(100, 40));
    EXPECT_EQ(child.colorTransform, withCxform ? green : half);
    EXPECT_EQ(child.blendMode, 3);
    EXPECT_TRUE(child.filters.present);
    ASSERT_EQ(child.filters.filters.size(), 1u);
    EXPECT_EQ(std::get<BlurFilter>(child.filters.filters[0]), (BlurFilter{2.0, 3.0, 1}));
  }
}

TEST(ButtonParseTest, RecordsBeyondTheCeilingAreRefused) {
  const Bytes tag = swftest::ButtonTag(2, 5, {{.states = 0x01, .characterId = 1, .depth = 1},
                                              {.states = 0x01, .characterId = 2, .depth = 2}});
  const Bytes body(tag.begin() + 2, tag.end());  // short tag header
  BitReader within(body);
  EXPECT_EQ(CountButtonRecords(ParseDefineButton(within, 2, 2)), 3u);
  BitReader beyond(body);
  EXPECT_THROW(ParseDefineButton(beyond, 2, 1), ParseError);
}

}  // namespace
}  // namespace swf
