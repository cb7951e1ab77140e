// Objects placed with an opaque background or as cached pictures, and
// objects hidden by their placement.
#include <gtest/gtest.h>

#include <optional>

#include "character_builder.h"
#include "swf/parse/display_tags.h"
#include "swf/player.h"
#include "swf/render/cached_objects.h"
#include "swf/snapshot.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGreen{0, 255, 0, 255};

struct Place3 {
  uint16_t depth = 1;
  bool move = false;
  int characterId = -1;
  std::optional<Matrix> matrix = std::nullopt;
  std::optional<bool> cacheAsBitmap = std::nullopt;
  std::optional<bool> visible = std::nullopt;
  std::optional<Rgba> background = std::nullopt;
};

Bytes PlaceObject3Body(const Place3& p) {
  swftest::BitWriter w;
  w.U8(static_cast<uint8_t>((p.move ? 0x01 : 0) | (p.characterId >= 0 ? 0x02 : 0) | (p.matrix ? 0x04 : 0)));
  w.U8(static_cast<uint8_t>((p.background ? 0x40 : 0) | (p.visible ? 0x20 : 0) | (p.cacheAsBitmap ? 0x04 : 0)));
  w.U16(p.depth);
  if (p.characterId >= 0) w.U16(static_cast<uint16_t>(p.characterId));
  if (p.matrix) w.Matrix(*p.matrix);
  if (p.cacheAsBitmap) w.U8(*p.cacheAsBitmap ? 1 : 0);
  if (p.visible) w.U8(*p.visible ? 1 : 0);
  if (p.background) w.Rgba(*p.background);
  return w.Take();
}

TEST(PlaceObject3Test, VisibleFlagAndBackgroundColourFollowTheBitmapCacheByte) {
  const Bytes body = PlaceObject3Body({.depth = 6, .characterId = 4, .matrix = Matrix::Translate(20, 0),
                                       .cacheAsBitmap = true, .visible = false, .background = Rgba{1, 2, 3, 4}});
  BitReader reader(body);
  const PlaceObject place = ParsePlaceObject3(reader);
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(place.depth, 6);
  EXPECT_EQ(place.characterId, 4);
  EXPECT_EQ(place.cacheAsBitmap, true);
  EXPECT_EQ(place.visible, false);
  EXPECT_EQ(place.opaqueBackground, (Rgba{1, 2, 3, 4}));

  const Bytes plain = PlaceObject3Body({.depth = 6, .characterId = 4});
  BitReader plainReader(plain);
  const PlaceObject without = ParsePlaceObject3(plainReader);
  EXPECT_FALSE(without.visible.has_value());
  EXPECT_FALSE(without.opaqueBackground.has_value());
  EXPECT_FALSE(without.cacheAsBitmap.has_value());
}

// Squares of 100 twips (5 px): red at the origin and blue at (200, 200), on
// a button's up state, so that the button covers 300 x 300 twips with room
// for its background between them.
std::vector<Bytes> ButtonOfTwoSquares() {
  const std::vector<swftest::ButtonRecord> records = {
      {.states = 0x01, .characterId = 1, .depth = 1},
      {.states = 0x01, .characterId = 2, .depth = 2, .matrix = Matrix::Translate(200, 200)},
  };
  return {swftest::SquareShapeTag(1, 100, kRed), swftest::SquareShapeTag(2, 100, kBlue),
          swftest::ButtonTag(2, 5, records)};
}

// Pictures of 40 x 30 pixels (one pixel = 20 twips) after each frame.
std::vector<Snapshot> RenderFrames(const std::vector<std::vector<Place3>>& frames,
                                   Quality quality = Quality::kLow) {
  std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255})};
  for (const Bytes& definition : ButtonOfTwoSquares()) tags.push_back(definition);
  for (const auto& frame : frames) {
    for (const Place3& place : frame) tags.push_back(swftest::Tag(70, PlaceObject3Body(place)));
    tags.push_back(swftest::ShowFrame());
  }
  const Bytes file = swftest::Movie(tags, swftest::Signature::kFws, 11, {0, 800, 0, 600}, 24 << 8,
                                    static_cast<uint16_t>(frames.size()));
  std::vector<Snapshot> pictures;
  for (size_t n = 1; n <= frames.size(); ++n) {
    Player player(file);
    pictures.push_back(TakeSnapshot(player, {.frames = static_cast<int>(n), .width = 40, .height = 30, .quality = quality}));
  }
  return pictures;
}

Rgba At(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

class OpaqueBackgroundTest : public testing::TestWithParam<Quality> {};

TEST_P(OpaqueBackgroundTest, FillsTheObjectsBoundsBehindIt) {
  // At (100, 60) twips the button covers pixels 5..19 across, 3..17 down.
  const auto pictures = RenderFrames({{{.characterId = 5, .matrix = Matrix::Translate(100, 60), .background = kGreen}}},
                                     GetParam());
  const Snapshot& s = pictures[0];
  EXPECT_EQ(At(s, 7, 5), kRed);
  EXPECT_EQ(At(s, 17, 5), kGreen);
  EXPECT_EQ(At(s, 7, 15), kGreen);
  EXPECT_EQ(At(s, 17, 15), kBlue);
  EXPECT_EQ(At(s, 3, 10), kWhite);
  EXPECT_EQ(At(s, 22, 10), kWhite);
  EXPECT_EQ(At(s, 10, 1), kWhite);
  EXPECT_EQ(At(s, 10, 20), kWhite);
}

INSTANTIATE_TEST_SUITE_P(BothQualities, OpaqueBackgroundTest, testing::Values(Quality::kLow, Quality::kHigh));

TEST(CachedObjectTest, CachedPictureLandsOnWholePixels) {
  // At (110, 70) twips the button would start at 5.5, 3.5 px; as a cached
  // picture it starts at 6, 4: its background covers pixels 6..20 and 4..18.
  const auto pictures = RenderFrames(
      {{{.characterId = 5, .matrix = Matrix::Translate(110, 70), .cacheAsBitmap = true, .background = kGreen}}});
  const Snapshot& s = pictures[0];
  EXPECT_EQ(At(s, 5, 10), kWhite);
  EXPECT_EQ(At(s, 6, 10), kGreen);
  EXPECT_EQ(At(s, 20, 10), kGreen);
  EXPECT_EQ(At(s, 21, 10), kWhite);
  EXPECT_EQ(At(s, 10, 3), kWhite);
  EXPECT_EQ(At(s, 10, 4), kRed);  // the red square moved with it: 6..10, 4..8
  EXPECT_EQ(At(s, 11, 4), kGreen);
  EXPECT_EQ(At(s, 6, 8), kRed);
  EXPECT_EQ(At(s, 6, 9), kGreen);
  EXPECT_EQ(At(s, 10, 18), kGreen);
  EXPECT_EQ(At(s, 10, 19), kWhite);
}

TEST(CachedObjectTest, HiddenObjectDrawsNothingUntilShownAgain) {
  const auto pictures = RenderFrames({
      {{.characterId = 5, .matrix = Matrix::Translate(100, 60), .visible = false, .background = kGreen}},
      {{.depth = 1, .move = true, .visible = true}},  // the rest of the placement stays
  });
  EXPECT_EQ(At(pictures[0], 7, 5), kWhite);
  EXPECT_EQ(At(pictures[0], 17, 5), kWhite);
  EXPECT_EQ(At(pictures[1], 7, 5), kRed);
  EXPECT_EQ(At(pictures[1], 17, 5), kGreen);
}

TEST(CachedObjectTest, BoundsOfMorphsFollowTheRatioAndMapAroundTheCorners) {
  MorphShapeDefinition definition;
  definition.startBounds = {0, 100, 0, 40};
  definition.endBounds = {100, 300, 40, 80};
  const Character morph = definition;
  const Stage stage;
  DisplayObject object;
  object.kind = ObjectKind::kMorphShape;
  object.character = &morph;
  object.ratio = 65535;
  auto bounds = LocalBounds(stage, object);
  ASSERT_TRUE(bounds.has_value());
  EXPECT_DOUBLE_EQ(bounds->xMin, 100);
  EXPECT_DOUBLE_EQ(bounds->xMax, 300);
  object.ratio = 0;
  bounds = LocalBounds(stage, object);
  ASSERT_TRUE(bounds.has_value());
  EXPECT_DOUBLE_EQ(bounds->yMax, 40);

  // A quarter turn: x' = -y, y' = x.
  const Box turned = MapBox({0, 0, 100, 40}, Matrix{0, 1, -1, 0, 10, 0});
  EXPECT_DOUBLE_EQ(turned.xMin, -30);
  EXPECT_DOUBLE_EQ(turned.xMax, 10);
  EXPECT_DOUBLE_EQ(turned.yMin, 0);
  EXPECT_DOUBLE_EQ(turned.yMax, 100);

  DisplayObject nothing;
  EXPECT_FALSE(LocalBounds(stage, nothing).has_value());
}

}  // namespace
}  // namespace swf
