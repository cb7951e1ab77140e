// Buttons are drawn in their up state: records of other states, the hit
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
