// Morph shapes drawn at the ratio of their placement: a red 10 x 10 pixel
// square in the top left corner turning into a blue 20 x 20 pixel square in
// the bottom right (one pixel = 20 twips).
#include <gtest/gtest.h>

#include "character_builder.h"
#include "swf/parse/morph.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf/snapshot.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kWhite{255, 255, 255, 255};

const swftest::MorphRectangle kStart{0, 0, 200, 200, {255, 0, 0, 255}};
const swftest::MorphRectangle kEnd{400, 200, 400, 400, {0, 0, 255, 255}};

Snapshot RenderAtRatio(int ratio) {
  const std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255}), swftest::MorphTag(1, kStart, kEnd),
                                   swftest::PlaceObject2({.depth = 1, .characterId = 1, .ratio = ratio}),
                                   swftest::ShowFrame()};
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}));
  return TakeSnapshot(player, {.frames = 1, .width = 40, .height = 30, .quality = Quality::kLow});
}

Rgba At(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

TEST(MorphShapeTest, RatioZeroIsTheStartShape) {
  const Snapshot s = RenderAtRatio(0);
  EXPECT_EQ(At(s, 0, 0), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(At(s, 9, 9), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(At(s, 10, 5), kWhite);
  EXPECT_EQ(At(s, 30, 20), kWhite);
}

TEST(MorphShapeTest, HalfwayMixesPlaceSizeAndColour) {
  // Halfway: (200, 100) to (500, 400) twips, i.e. pixels 10..24 and 5..19.
  const Snapshot s = RenderAtRatio(32768);
  const Rgba mixed{127, 0, 127, 255};
  EXPECT_EQ(At(s, 10, 5), mixed);
  EXPECT_EQ(At(s, 24, 19), mixed);
  EXPECT_EQ(At(s, 9, 10), kWhite);
  EXPECT_EQ(At(s, 25, 10), kWhite);
  EXPECT_EQ(At(s, 15, 4), kWhite);
  EXPECT_EQ(At(s, 15, 20), kWhite);
}

TEST(MorphShapeTest, RatioOneIsTheEndShape) {
  const Snapshot s = RenderAtRatio(65535);
  EXPECT_EQ(At(s, 20, 10), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(At(s, 39, 29), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(At(s, 19, 15), kWhite);
  EXPECT_EQ(At(s, 5, 5), kWhite);
}

TEST(MorphShapeTest, PlacementWithoutRatioShowsTheStart) {
  EXPECT_EQ(At(RenderAtRatio(-1), 5, 5), (Rgba{255, 0, 0, 255}));
}

TEST(MorphShapeTest, MovingTheRatioRedrawsTheSameInstance) {
  const std::vector<Bytes> tags = {
      swftest::MorphTag(1, kStart, kEnd), swftest::PlaceObject2({.depth = 1, .characterId = 1}),
      swftest::ShowFrame(), swftest::PlaceObject2({.depth = 1, .move = true, .ratio = 65535}), swftest::ShowFrame()};
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}));
  player.Tick();
  const Snapshot s = TakeSnapshot(player, {.frames = 1, .width = 40, .height = 30, .quality = Quality::kLow});
  EXPECT_EQ(At(s, 30, 20), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(At(s, 5, 5), kWhite);
}

// A straight start edge paired with a curved end edge becomes a curve with
// its control point halfway along, so that both sides interpolate alike.
TEST(MorphShapeParseTest, StraightEdgePairedWithCurveBecomesACurve) {
  swftest::BitWriter end;
  end.UB(0, 4);
  end.UB(0, 4);
  // Move to (0, 0), then one curve: control (100, 100), anchor (200, 0).
  end.UB(0b000001, 6);
  end.UB(2, 5);
  end.SB(0, 2);
  end.SB(0, 2);
  end.UB(1, 1);  // edge
  end.UB(0, 1);  // curved
  end.UB(8 - 2, 4);
  end.SB(100, 8);
  end.SB(100, 8);
  end.SB(100, 8);
  end.SB(-100, 8);
  end.UB(0, 6);
  end.Align();

  swftest::BitWriter styles;
  styles.U8(1);
  styles.U8(0);
  styles.Rgba({1, 2, 3, 255});
  styles.Rgba({1, 2, 3, 255});
  styles.U8(0);
  styles.Append(swftest::RectangleEdges(0, 0, 200, 200));
  const Bytes beforeEnd = styles.Take();
  swftest::BitWriter body;
  body.U16(1);
  body.Rect({0, 200, 0, 200});
  body.Rect({0, 200, 0, 200});
  body.U32(static_cast<uint32_t>(beforeEnd.size()));
  body.Append(beforeEnd);
  body.Append(end.Take());
  const Bytes bytes = body.Take();
  BitReader reader(bytes);
  const MorphShapeDefinition morph = ParseDefineMorphShape(reader, 1, 1000);
  ASSERT_EQ(morph.paths.size(), 1u);
  ASSERT_EQ(morph.paths[0].segments.size(), 4u);
  const auto& [start, finish] = morph.paths[0].segments[0];
  EXPECT_TRUE(start.curved);
  EXPECT_EQ(start.control, (Point{100, 0}));
  EXPECT_EQ(start.to, (Point{200, 0}));
  EXPECT_TRUE(finish.curved);
  EXPECT_EQ(finish.control, (Point{100, 100}));
  // The end list ran out after one edge: the other three stay where they start.
  EXPECT_EQ(morph.paths[0].segments[2].second.to, morph.paths[0].segments[2].first.to);
  const ShapeDefinition halfway = MorphShapeAt(morph, 32768);
  EXPECT_NEAR(halfway.layers[0].paths[0].segments[0].control.y, 50, 0.01);
}

TEST(MorphShapeParseTest, EndEdgesBeyondTheTagAreRefused) {
  swftest::BitWriter body;
  body.U16(1);
  body.Rect({0, 200, 0, 200});
  body.Rect({0, 200, 0, 200});
  body.U32(1000);  // far beyond the few bytes that follow
  body.U8(0);
  body.U8(0);
  body.U8(0);
  const Bytes bytes = body.Take();
  BitReader reader(bytes);
  EXPECT_THROW(ParseDefineMorphShape(reader, 1, 1000), ParseError);
}

}  // namespace
}  // namespace swf
