#include "swf/render/fill_cell_cache.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "character_builder.h"
#include "swf/player.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr int kSide = 300;  // pixels of stage and picture

// One shape of 12 x 12 squares of 20 pixels: its edges run for far more
// pixels than a layer needs to be kept.
Bytes GridShapeTag(uint16_t id) {
  swftest::ShapeWriter writer(3);
  writer.Solid(Rgba{200, 30, 40, 255}).BeginRecords();
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < 12; ++column) {
      writer.Change(1, 0, -1, true, column * 480 + 20, row * 480 + 20)
          .LineTo(400, 0)
          .LineTo(0, 400)
          .LineTo(-400, 0)
          .LineTo(0, -400);
    }
  }
  return swftest::DefineShape(3, id, {0, 6000, 0, 6000}, writer.End());
}

std::vector<uint8_t> Draw(const Player& player) {
  std::vector<uint8_t> pixels(static_cast<size_t>(kSide) * kSide * 4);
  player.Render({pixels.data(), kSide, kSide, kSide * 4, PixelFormat::kRgba32}, Quality::kHigh);
  return pixels;
}

// What a player that has drawn nothing before shows at `frame`.
std::vector<uint8_t> DrawFresh(const Bytes& movie, size_t frame) {
  Player fresh(movie);
  fresh.GotoFrame(frame);
  return Draw(fresh);
}

TEST(FillCellCacheTest, FramesDrawnAgainMatchAFreshDrawingAlsoAfterAMoveOrRecolour) {
  const Matrix moved{1, 0, 0, 1, 35, 17};
  const Matrix scaled{0.5, 0, 0, 0.75, 100, 60};
  const ColorTransform tint{128, 256, 64, 256, 0, 40, 0, 0};
  const Bytes movie = swftest::Movie(
      {GridShapeTag(1), swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
       swftest::PlaceObject2({.depth = 1, .move = true, .colorTransform = &tint}), swftest::ShowFrame(),
       swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &moved}), swftest::ShowFrame(),
       swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &scaled}), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, {0, kSide * 20, 0, kSide * 20}, 24 << 8, 4);
  Player player(movie);
  player.Stop();
  // Frame by frame and back to the start; each drawn several times, so that
  // layers are seen, kept and then found.
  for (const size_t frame : {0, 1, 2, 3, 0, 2}) {
    player.GotoFrame(frame);
    const std::vector<uint8_t> expected = DrawFresh(movie, frame);
    for (int time = 0; time < 4; ++time) {
      ASSERT_EQ(Draw(player), expected) << "frame " << frame << ", drawing " << time;
    }
  }
}

TEST(FillCellCacheTest, MorphShapesAreDrawnForTheirRatioEveryTime) {
  // The morph's shape is made anew for each drawing; a big rectangle whose
  // right edge moves with the ratio.
  const Bytes movie = swftest::Movie(
      {swftest::MorphTag(1, {-22000, -22000, 23000, 23200, Rgba{0, 0, 255, 255}},
                         {-22000, -22000, 25000, 23200, Rgba{0, 0, 255, 255}}),
       swftest::PlaceObject2({.depth = 1, .characterId = 1, .ratio = 0}), swftest::ShowFrame(),
       swftest::PlaceObject2({.depth = 1, .move = true, .ratio = 65535}), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, {0, kSide * 20, 0, kSide * 20}, 24 << 8, 2);
  Player player(movie);
  player.Stop();
  for (const size_t frame : {0, 1, 0, 1}) {
    player.GotoFrame(frame);
    const std::vector<uint8_t> expected = DrawFresh(movie, frame);
    for (int time = 0; time < 3; ++time) ASSERT_EQ(Draw(player), expected) << "frame " << frame;
  }
  // The edge really moved: x 50 .. 150 px are covered only at the end.
  player.GotoFrame(1);
  const std::vector<uint8_t> end = Draw(player);
  player.GotoFrame(0);
  EXPECT_NE(Draw(player), end);
}

class FillCellCacheRules : public testing::Test {
 protected:
  FillCellCache cache;
  int layerA = 0;
  int layerB = 0;
  FillCellCache::Key KeyA() const { return {&layerA, Matrix::Identity(), false, 100, 100}; }
  FillCellCache::Key KeyB() const { return {&layerB, Matrix::Identity(), false, 100, 100}; }
};

TEST_F(FillCellCacheRules, ALayerIsKeptOnItsSecondFrameInARowAndFoundAfterwards) {
  EXPECT_EQ(cache.Find(KeyA()), nullptr);
  EXPECT_EQ(cache.Keep(KeyA(), 10000), nullptr);  // first sighting
  cache.EndFrame();
  EXPECT_EQ(cache.Find(KeyA()), nullptr);
  FillCellCache::Rasterizer* kept = cache.Keep(KeyA(), 10000);
  ASSERT_NE(kept, nullptr);
  cache.EndFrame();
  EXPECT_EQ(cache.Find(KeyA()), kept);
  // Another matrix or target size is another layer.
  FillCellCache::Key shifted = KeyA();
  shifted.world.tx = 0.5;
  EXPECT_EQ(cache.Find(shifted), nullptr);
  FillCellCache::Key wider = KeyA();
  wider.width = 101;
  EXPECT_EQ(cache.Find(wider), nullptr);
}

TEST_F(FillCellCacheRules, WhatAFrameDoesNotDrawIsDropped) {
  cache.Keep(KeyA(), 10000);
  cache.Keep(KeyB(), 10000);
  cache.EndFrame();
  ASSERT_NE(cache.Keep(KeyA(), 10000), nullptr);
  ASSERT_NE(cache.Keep(KeyB(), 10000), nullptr);
  cache.EndFrame();
  EXPECT_NE(cache.Find(KeyA()), nullptr);  // B not drawn in this frame
  cache.EndFrame();
  EXPECT_EQ(cache.KeptLayers(), 1u);
  EXPECT_EQ(cache.Find(KeyB()), nullptr);
  // Skipping a frame also forgets a first sighting.
  cache.Keep(KeyB(), 10000);
  cache.EndFrame();
  cache.EndFrame();
  EXPECT_EQ(cache.Keep(KeyB(), 10000), nullptr);
}

TEST_F(FillCellCacheRules, SmallLayersAndLayersBeyondTheBudgetAreNotKept) {
  const double small = FillCellCache::kMinEdgePixels / 2;
  const double huge = static_cast<double>(FillCellCache::kMaxBytes);  // pixels: far beyond the bytes
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(cache.Keep(KeyA(), small), nullptr);
    EXPECT_EQ(cache.Keep(KeyB(), huge), nullptr);
    cache.EndFrame();
  }
  EXPECT_EQ(cache.KeptLayers(), 0u);
  // A matrix that is not a number never equals itself: never kept.
  FillCellCache::Key broken = KeyA();
  broken.world.a = std::numeric_limits<double>::quiet_NaN();
  cache.Keep(broken, 10000);
  cache.EndFrame();
  EXPECT_EQ(cache.Keep(broken, 10000), nullptr);
}

}  // namespace
}  // namespace swf
