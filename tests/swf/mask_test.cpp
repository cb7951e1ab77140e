// Clip-depth masks (alone, nested, over and inside sprites, sprites as
// masks) and colour transforms composed through nested sprites.
#include <gtest/gtest.h>

#include "fill_builder.h"

namespace swf {
namespace {

using swftest::Bytes;
using swftest::PlaceTag;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

// The 40 x 30 pixel stage is 800 x 600 twips.
Bytes Rectangle(uint16_t id, Rect rect, Rgba color) {
  return swftest::RectangleShapeTag(id, rect, swftest::SolidFillStyle(color));
}
constexpr Rect kWholeStage{0, 800, 0, 600};
constexpr Rect kLeftHalf{0, 400, 0, 600};
constexpr Rect kTopHalf{0, 800, 0, 300};
constexpr Rect kBottomBand{0, 800, 400, 600};

class MaskTest : public testing::TestWithParam<Quality> {
 protected:
  swftest::Picture Render(const std::vector<Bytes>& tags) { return swftest::RenderTags(tags, GetParam()); }
};

TEST_P(MaskTest, MaskClipsItsDepthRangeAndIsNotDrawn) {
  const auto p = Render({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kWholeStage, kRed), Rectangle(3, kBottomBand, kBlue),
                         PlaceTag(1, 1, nullptr, 3), PlaceTag(2, 2), PlaceTag(4, 3)});
  EXPECT_EQ(p.At(5, 5), kRed);     // inside the mask
  EXPECT_EQ(p.At(30, 5), kWhite);  // clipped away
  EXPECT_EQ(p.At(30, 25), kBlue);  // depth 4 is beyond the mask's range
  EXPECT_EQ(p.At(5, 25), kBlue);
}

TEST_P(MaskTest, MaskWithNothingInItsRangeStaysHidden) {
  const auto p = Render({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kBottomBand, kBlue), PlaceTag(1, 1, nullptr, 5),
                         PlaceTag(9, 2)});
  EXPECT_EQ(p.At(5, 5), kWhite);
  EXPECT_EQ(p.At(30, 25), kBlue);
}

TEST_P(MaskTest, OnlyTheMaskGeometryCountsNotItsColourOrAlpha) {
  ColorTransform invisible;
  invisible.alphaMult = 0;
  const auto p = Render({Rectangle(1, kLeftHalf, {0, 0, 0, 0}), Rectangle(2, kWholeStage, kRed),
                         PlaceTag(1, 1, nullptr, 2, &invisible), PlaceTag(2, 2)});
  EXPECT_EQ(p.At(5, 5), kRed);
  EXPECT_EQ(p.At(30, 5), kWhite);
}

TEST_P(MaskTest, NestedMasksIntersect) {
  // Mask A (left half) clips 2..5; mask B (top half) at 2 clips 3..3.
  const auto p = Render({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kTopHalf, kBlack), Rectangle(3, kWholeStage, kRed),
                         Rectangle(4, kBottomBand, kGreen), PlaceTag(1, 1, nullptr, 5), PlaceTag(2, 2, nullptr, 3),
                         PlaceTag(3, 3), PlaceTag(4, 4)});
  EXPECT_EQ(p.At(5, 5), kRed);      // in both masks
  EXPECT_EQ(p.At(30, 5), kWhite);   // outside A
  EXPECT_EQ(p.At(5, 17), kWhite);   // outside B, and depth 4 does not reach here
  EXPECT_EQ(p.At(5, 25), kGreen);   // depth 4: only A
  EXPECT_EQ(p.At(30, 25), kWhite);
}

TEST_P(MaskTest, MaskOverASpriteAndASpriteAsMask) {
  const Bytes redSprite = swftest::DefineSprite(10, 1, {PlaceTag(1, 3), swftest::ShowFrame()});
  // A mask sprite made of two shapes: their union clips.
  const Bytes maskSprite = swftest::DefineSprite(11, 1, {PlaceTag(1, 1), PlaceTag(2, 2), swftest::ShowFrame()});
  const auto overSprite = Render({Rectangle(1, kLeftHalf, kBlack), Rectangle(3, kWholeStage, kRed), redSprite,
                                  PlaceTag(1, 1, nullptr, 2), PlaceTag(2, 10)});
  EXPECT_EQ(overSprite.At(5, 25), kRed);
  EXPECT_EQ(overSprite.At(30, 25), kWhite);

  const auto spriteMask = Render({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kTopHalf, kBlack),
                                  Rectangle(3, kWholeStage, kRed), maskSprite, PlaceTag(1, 11, nullptr, 2), PlaceTag(2, 3)});
  EXPECT_EQ(spriteMask.At(5, 25), kRed);    // left half
  EXPECT_EQ(spriteMask.At(30, 5), kRed);    // top half
  EXPECT_EQ(spriteMask.At(30, 25), kWhite); // neither
}

TEST_P(MaskTest, MaskInsideAMovedSpriteFollowsIt) {
  const Bytes sprite = swftest::DefineSprite(10, 1, {PlaceTag(1, 1, nullptr, 2), PlaceTag(2, 3), swftest::ShowFrame()});
  const Matrix down = Matrix::Translate(0, 300);
  const auto p = Render({Rectangle(1, {0, 200, 0, 200}, kBlack), Rectangle(3, kWholeStage, kGreen), sprite,
                         PlaceTag(1, 10, &down)});
  EXPECT_EQ(p.At(5, 20), kGreen);   // the 10 x 10 mask moved down by 15 pixels
  EXPECT_EQ(p.At(5, 5), kWhite);
  EXPECT_EQ(p.At(15, 20), kWhite);
}

// A mask edge part way across a pixel: at high quality the mask looks at
// four sample points of each pixel, so red content over the white stage
// shows in quarters; at low quality it looks at the pixel's centre alone.
// The stage's pixels are 20 twips; the mask's edges are at fractions of
// pixel 10 across and pixel 5 down.
swftest::Picture MaskedRed(Quality quality, Rect mask, const ColorTransform* tint = nullptr) {
  return swftest::RenderTags({Rectangle(1, mask, kBlack), Rectangle(2, kWholeStage, kRed), PlaceTag(1, 1, nullptr, 2),
                              PlaceTag(2, 2, nullptr, 0, tint)},
                             quality);
}

TEST(MaskEdges, HighQualityEdgesCoverPixelsByQuarters) {
  constexpr Rgba kHalf{255, 127, 127, 255};
  constexpr Rgba kQuarter{255, 191, 191, 255};
  constexpr Rgba kThreeQuarters{255, 63, 63, 255};
  // Right edge at 10.2, 10.45, 10.8 and 10.95 pixels: 1, 2, 3 and 4 of the
  // samples (at 0.125, 0.375, 0.625 and 0.875 across) lie left of it.
  EXPECT_EQ(MaskedRed(Quality::kHigh, {0, 204, 0, 600}).At(10, 15), kQuarter);
  EXPECT_EQ(MaskedRed(Quality::kHigh, {0, 209, 0, 600}).At(10, 15), kHalf);
  EXPECT_EQ(MaskedRed(Quality::kHigh, {0, 216, 0, 600}).At(10, 15), kThreeQuarters);
  EXPECT_EQ(MaskedRed(Quality::kHigh, {0, 219, 0, 600}).At(10, 15), kRed);
  // Bottom edge at 5.45 pixels: the samples at 0.125 and 0.375 down.
  const auto bottom = MaskedRed(Quality::kHigh, {0, 800, 0, 109});
  EXPECT_EQ(bottom.At(20, 5), kHalf);
  EXPECT_EQ(bottom.At(20, 4), kRed);
  EXPECT_EQ(bottom.At(20, 6), kWhite);
  // Both edges through pixel (10, 5): only the sample at (0.375, 0.125) is in.
  const auto corner = MaskedRed(Quality::kHigh, {0, 209, 0, 109});
  EXPECT_EQ(corner.At(10, 5), kQuarter);
  EXPECT_EQ(corner.At(9, 5), kHalf);
  EXPECT_EQ(corner.At(10, 4), kHalf);
  EXPECT_EQ(corner.At(9, 4), kRed);
  EXPECT_EQ(corner.At(11, 5), kWhite);
}

TEST(MaskEdges, LowQualityEdgesTakeThePixelCentre) {
  EXPECT_EQ(MaskedRed(Quality::kLow, {0, 209, 0, 600}).At(10, 15), kWhite);  // 10.45: the centre is outside
  EXPECT_EQ(MaskedRed(Quality::kLow, {0, 211, 0, 600}).At(10, 15), kRed);    // 10.55
}

TEST(MaskEdges, TranslucentContentThroughHalfTheSamples) {
  // Half-transparent red over white is (255, 127, 127) on the covered
  // samples; the pixel is the mean with the white of the others.
  ColorTransform half;
  half.alphaMult = 128;
  const Rgba seen = MaskedRed(Quality::kHigh, {0, 209, 0, 600}, &half).At(10, 15);
  EXPECT_EQ(seen.r, 255);
  EXPECT_NEAR(seen.g, 191, 1);
  EXPECT_EQ(seen.g, seen.b);
  EXPECT_EQ(seen.a, 255);
}

// Masks draw through two offscreen layers of the mask's bounds; on a target
// so large that they would pass the groups' memory ceiling, the mask's range
// is drawn unclipped instead of allocating them. The left half's layers fit
// where the whole target's would not.
TEST(MaskLimits, HugeMaskDrawsTheRangeUnclipped) {
  constexpr Rect kAlmostAll{0, 790, 0, 600};
  const auto p = swftest::RenderTags({Rectangle(1, kAlmostAll, kBlack), Rectangle(2, kWholeStage, kRed),
                                      PlaceTag(1, 1, nullptr, 2), PlaceTag(2, 2)},
                                     Quality::kLow, 4800, 3600);
  EXPECT_EQ(p.At(100, 100), kRed);
  EXPECT_EQ(p.At(4790, 100), kRed);
  const auto half = swftest::RenderTags({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kWholeStage, kRed),
                                         PlaceTag(1, 1, nullptr, 2), PlaceTag(2, 2)},
                                        Quality::kLow, 4800, 3600);
  EXPECT_EQ(half.At(100, 100), kRed);
  EXPECT_EQ(half.At(4700, 100), kWhite);
}

INSTANTIATE_TEST_SUITE_P(BothQualities, MaskTest, testing::Values(Quality::kLow, Quality::kHigh),
                         [](const testing::TestParamInfo<Quality>& test) {
                           return test.param == Quality::kLow ? "Low" : "High";
                         });

TEST(ColorTransformNesting, SpriteTransformAppliesAfterTheChildsOwn) {
  ColorTransform inner;  // blue + 50
  inner.blueAdd = 50;
  ColorTransform outer;  // red halved, green + 100
  outer.redMult = 128;
  outer.greenAdd = 100;
  const Bytes sprite = swftest::DefineSprite(10, 1, {PlaceTag(1, 1, nullptr, 0, &inner), swftest::ShowFrame()});
  const auto p = swftest::RenderTags({Rectangle(1, kWholeStage, {200, 100, 0, 255}), sprite, PlaceTag(1, 10, nullptr, 0, &outer)},
                                     Quality::kHigh);
  EXPECT_EQ(p.At(20, 15), (Rgba{100, 200, 50, 255}));
}

TEST(ColorTransformNesting, AdditionsOfTheChildAreScaledByTheParent) {
  ColorTransform inner;
  inner.redAdd = 200;
  ColorTransform outer;
  outer.redMult = 128;
  const ColorTransform both = ColorTransform::Compose(inner, outer);
  EXPECT_EQ(both.redMult, 128);
  EXPECT_EQ(both.redAdd, 100);
  // Three levels: alpha halved twice over a white background.
  ColorTransform half;
  half.alphaMult = 128;
  const Bytes inside = swftest::DefineSprite(10, 1, {PlaceTag(1, 1, nullptr, 0, &half), swftest::ShowFrame()});
  const Bytes outside = swftest::DefineSprite(11, 1, {PlaceTag(1, 10, nullptr, 0, &half), swftest::ShowFrame()});
  const auto p = swftest::RenderTags({Rectangle(1, kWholeStage, kBlack), inside, outside, PlaceTag(1, 11)}, Quality::kHigh);
  const Rgba seen = p.At(20, 15);
  EXPECT_NEAR(seen.r, 191, 1);  // a quarter of black over white
  EXPECT_EQ(seen.r, seen.g);
}

TEST(ColorTransformNesting, MaskedContentKeepsItsColourTransform) {
  ColorTransform tint;
  tint.redMult = 0;
  tint.greenAdd = 255;
  const auto p = swftest::RenderTags({Rectangle(1, kLeftHalf, kBlack), Rectangle(2, kWholeStage, kRed),
                                      PlaceTag(1, 1, nullptr, 2), PlaceTag(2, 2, nullptr, 0, &tint)},
                                     Quality::kHigh);
  EXPECT_EQ(p.At(5, 5), kGreen);
  EXPECT_EQ(p.At(30, 5), kWhite);
}

}  // namespace
}  // namespace swf
