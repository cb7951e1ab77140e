#include "swf/snapshot.h"

#include <gtest/gtest.h>

#include "swf_builder.h"

namespace swf {
namespace {

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

Rgba PixelAt(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// A white stage holding a one-pixel red square at (x, y) twips.
swftest::Bytes SquareAt(int32_t x, int32_t y, Rect stage) {
  const Matrix at = Matrix::Translate(x, y);
  return swftest::Movie({swftest::Tag(9, {255, 255, 255}), swftest::SquareShapeTag(1, 20, kRed),
                         swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &at}), swftest::ShowFrame()},
                        swftest::Signature::kFws, 10, stage);
}

TEST(SnapshotTest, AFractionalStageIsShownAtItsOwnSizeAndCutAtItsLastWholePixel) {
  // 101.3 x 25.3 pixels; the square sits in the last whole column and row.
  const swftest::Bytes movie = SquareAt(2000, 480, {0, 2026, 0, 506});
  Player player(movie);
  const Snapshot s = TakeSnapshot(player, {.quality = Quality::kLow});
  ASSERT_EQ(s.width, 101);
  ASSERT_EQ(s.height, 25);
  EXPECT_EQ(PixelAt(s, 100, 24), kRed);
  EXPECT_EQ(PixelAt(s, 99, 24), kWhite);
  EXPECT_EQ(PixelAt(s, 100, 23), kWhite);
}

TEST(SnapshotTest, TheStageOriginIsThePictureOrigin) {
  const swftest::Bytes movie = SquareAt(-200, 100, {-200, 1800, 100, 1100});
  Player player(movie);
  const Snapshot s = TakeSnapshot(player, {.quality = Quality::kLow});
  ASSERT_EQ(s.width, 100);
  EXPECT_EQ(PixelAt(s, 0, 0), kRed);
  EXPECT_EQ(PixelAt(s, 1, 1), kWhite);
}

TEST(SnapshotTest, AGivenSizeScalesTheWholeStageIntoIt) {
  // Twice the stage's size: the square is two pixels wide.
  const swftest::Bytes movie = SquareAt(1000, 500, {0, 2000, 0, 1000});
  Player player(movie);
  const Snapshot s = TakeSnapshot(player, {.width = 200, .quality = Quality::kLow});
  ASSERT_EQ(s.height, 100);
  EXPECT_EQ(PixelAt(s, 100, 50), kRed);
  EXPECT_EQ(PixelAt(s, 101, 51), kRed);
  EXPECT_EQ(PixelAt(s, 102, 50), kWhite);
  EXPECT_EQ(PixelAt(s, 99, 50), kWhite);
}

}  // namespace
}  // namespace swf
