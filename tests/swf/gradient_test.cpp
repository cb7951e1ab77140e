// Gradient ramps, positions and spread modes, and gradient fills drawn:
// the fixtures put one ramp entry on each pixel so that values are exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "fill_builder.h"
#include "swf/render/gradient.h"

namespace swf {
namespace {

using swftest::Stop;

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

GradientFill TwoStops(Rgba from, Rgba to, uint8_t interpolation = 0) {
  GradientFill gradient;
  gradient.interpolationMode = interpolation;
  gradient.stops = {{0, from}, {255, to}};
  return gradient;
}

TEST(GradientRamp, InterpolatesBetweenStopsTruncatesAndHoldsTheEnds) {
  GradientFill gradient;
  gradient.stops = {{64, {255, 0, 0, 255}}, {192, {0, 0, 255, 128}}};
  const GradientRamp ramp = BuildGradientRamp(gradient, ColorTransform::Identity());
  EXPECT_EQ(ramp[0], (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ramp[64], (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ramp[128], (Rgba{127, 0, 127, 191}));  // halfway: 127.5, 127.5, 191.5
  EXPECT_EQ(ramp[160], (Rgba{63, 0, 191, 159}));   // three quarters: 63.75, 191.25, 159.75
  EXPECT_EQ(ramp[192], (Rgba{0, 0, 255, 128}));
  EXPECT_EQ(ramp[255], (Rgba{0, 0, 255, 128}));
}

TEST(GradientRamp, LinearLightInterpolationIsBrighterInTheMiddle) {
  const GradientRamp normal = BuildGradientRamp(TwoStops(kBlack, kWhite), ColorTransform::Identity());
  const GradientRamp linear = BuildGradientRamp(TwoStops(kBlack, kWhite, 1), ColorTransform::Identity());
  EXPECT_EQ(normal[128].r, 128);
  // Half of the light of white is sRGB 188.
  EXPECT_NEAR(linear[128].r, 188, 1);
  EXPECT_EQ(linear[0], kBlack);
  EXPECT_EQ(linear[255], kWhite);
  EXPECT_EQ(linear[128].a, 255);
}

TEST(GradientRamp, ColourTransformAppliesToEveryEntry) {
  ColorTransform halfRed;
  halfRed.redMult = 128;
  halfRed.blueAdd = 40;
  const GradientRamp ramp = BuildGradientRamp(TwoStops(kBlack, kWhite), halfRed);
  EXPECT_EQ(ramp[200], (Rgba{100, 200, 240, 255}));
  EXPECT_EQ(ramp[255], (Rgba{127, 255, 255, 255}));
}

TEST(GradientRamp, RatiosOutOfOrderAndSingleStopsStillColourEveryEntry) {
  GradientFill single;
  single.stops = {{100, {1, 2, 3, 255}}};
  const GradientRamp flat = BuildGradientRamp(single, ColorTransform::Identity());
  EXPECT_EQ(flat[0], (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(flat[255], (Rgba{1, 2, 3, 255}));

  GradientFill unordered;
  unordered.stops = {{200, kWhite}, {50, kBlack}, {255, {255, 0, 0, 255}}};
  const GradientRamp ramp = BuildGradientRamp(unordered, ColorTransform::Identity());
  EXPECT_EQ(ramp[10], kWhite);
  EXPECT_EQ(ramp[255], (Rgba{255, 0, 0, 255}));
}

TEST(GradientPosition, LinearRadialAndFocalAgainstTheSquare) {
  GradientFill linear;
  EXPECT_DOUBLE_EQ(GradientPosition(linear, {-16384, 500}), 0);
  EXPECT_DOUBLE_EQ(GradientPosition(linear, {0, -900}), 0.5);
  EXPECT_DOUBLE_EQ(GradientPosition(linear, {16384, 0}), 1);

  GradientFill radial;
  radial.kind = GradientFill::Kind::kRadial;
  EXPECT_DOUBLE_EQ(GradientPosition(radial, {0, 0}), 0);
  EXPECT_DOUBLE_EQ(GradientPosition(radial, {0, 8192}), 0.5);
  EXPECT_DOUBLE_EQ(GradientPosition(radial, {-9830.4, 13107.2}), 1);

  GradientFill focal;
  focal.kind = GradientFill::Kind::kFocal;
  focal.focalPoint = 0.5;  // at (8192, 0)
  EXPECT_NEAR(GradientPosition(focal, {8192, 0}), 0, 1e-12);
  EXPECT_NEAR(GradientPosition(focal, {16384, 0}), 1, 1e-12);
  EXPECT_NEAR(GradientPosition(focal, {-16384, 0}), 1, 1e-12);
  EXPECT_NEAR(GradientPosition(focal, {0, 0}), 8192.0 / 24576.0, 1e-12);  // F to centre, of F to the far edge
  EXPECT_NEAR(GradientPosition(focal, {12288, 0}), 0.5, 1e-12);
  // A focal point nearer the circle than 0.98 of the radius is taken as 0.98.
  GradientFill nearEdge = focal;
  nearEdge.focalPoint = 0.996;
  focal.focalPoint = 0.98;
  EXPECT_DOUBLE_EQ(GradientPosition(nearEdge, {15000, 2000}), GradientPosition(focal, {15000, 2000}));
  nearEdge.focalPoint = -1.5;
  focal.focalPoint = -0.98;
  EXPECT_DOUBLE_EQ(GradientPosition(nearEdge, {-15000, 0}), GradientPosition(focal, {-15000, 0}));
  // Focal point 0 is the plain radial gradient.
  focal.focalPoint = 0;
  EXPECT_NEAR(GradientPosition(focal, {3000, 4000}), 5000.0 / 16384, 1e-12);
}

TEST(SpreadGradientPosition, SpreadModes) {
  constexpr uint8_t kPad = 0, kReflect = 1, kRepeat = 2, kReserved = 3;
  EXPECT_EQ(SpreadGradientPosition(-0.5, kPad), 0);
  EXPECT_EQ(SpreadGradientPosition(0.5, kPad), 0.5);
  EXPECT_EQ(SpreadGradientPosition(1.5, kPad), 1);
  EXPECT_EQ(SpreadGradientPosition(1.5, kReserved), 1);
  EXPECT_EQ(SpreadGradientPosition(1.25, kReflect), 0.75);
  EXPECT_EQ(SpreadGradientPosition(2.25, kReflect), 0.25);
  EXPECT_EQ(SpreadGradientPosition(-0.25, kReflect), 0.25);
  EXPECT_EQ(SpreadGradientPosition(1.25, kRepeat), 0.25);
  EXPECT_EQ(SpreadGradientPosition(-0.25, kRepeat), 0.75);
  EXPECT_EQ(SpreadGradientPosition(std::nan(""), kRepeat), 0);
  EXPECT_EQ(SpreadGradientPosition(1e300, kReflect), SpreadGradientPosition(1e6, kReflect));
}

TEST(SampleGradientRamp, BlendsTheEntriesAroundThePositionAndHoldsTheEnds) {
  const GradientRamp grey = BuildGradientRamp(TwoStops(kBlack, kWhite), ColorTransform::Identity());
  EXPECT_EQ(SampleGradientRamp(grey, 37.5 / 256), (Rgba{37, 37, 37, 255}));  // entry 37's centre
  EXPECT_EQ(SampleGradientRamp(grey, 0), kBlack);
  EXPECT_EQ(SampleGradientRamp(grey, 0.25 / 256), kBlack);  // before the first centre
  EXPECT_EQ(SampleGradientRamp(grey, 1), kWhite);
  EXPECT_EQ(SampleGradientRamp(grey, std::nan("")), kBlack);

  // A hard step between entries 100 and 101: a quarter and three quarters
  // of the way from one centre to the next.
  GradientFill step;
  step.stops = {{100, kBlack}, {101, kWhite}};
  const GradientRamp ramp = BuildGradientRamp(step, ColorTransform::Identity());
  EXPECT_EQ(SampleGradientRamp(ramp, 100.5 / 256).r, 0);
  EXPECT_EQ(SampleGradientRamp(ramp, 100.75 / 256).r, 64);  // 63.75
  EXPECT_EQ(SampleGradientRamp(ramp, 101.25 / 256).r, 191);  // 191.25
  EXPECT_EQ(SampleGradientRamp(ramp, 101.5 / 256).r, 255);
}

TEST(GradientChannel, ValuesJustAboveAHalfLevelGiveTheLevelBelow) {
  // Level boundaries measured on reference pictures: 64 | 65 at 64.56,
  // 128 | 129 at 128.62, 158 | 159 at 158.503, 159 | 160 at 159.62.
  EXPECT_EQ(GradientChannel(64.55), 64);
  EXPECT_EQ(GradientChannel(64.57), 65);
  EXPECT_EQ(GradientChannel(128.6), 128);
  EXPECT_EQ(GradientChannel(128.63), 129);
  EXPECT_EQ(GradientChannel(158.51), 159);
  EXPECT_EQ(GradientChannel(159.6), 159);
  EXPECT_EQ(GradientChannel(159.63), 160);
  EXPECT_EQ(GradientChannel(0.4), 0);
  EXPECT_EQ(GradientChannel(0.6), 1);
  for (int level = 0; level <= 255; ++level) EXPECT_EQ(GradientChannel(level), level);
  EXPECT_EQ(GradientChannel(-3), 0);
  EXPECT_EQ(GradientChannel(300), 255);
  EXPECT_EQ(GradientChannel(std::nan("")), 0);
}

// A 256 x 10 pixel stage (20 twips a pixel) filled by one rectangle.
swftest::Picture RenderFill(const swftest::Bytes& fillStyle, Quality quality, int height = 10) {
  const Rect stage{0, 256 * 20, 0, height * 20};
  return swftest::RenderTags({swftest::RectangleShapeTag(1, stage, fillStyle), swftest::PlaceTag(1, 1)}, quality,
                             256, height, stage);
}

class GradientFillTest : public testing::TestWithParam<Quality> {};

TEST_P(GradientFillTest, LinearGradientAcrossTheStageGivesOneEntryAPixel) {
  // The square's 32768 twips become the stage's 5120: pixel x's centre sits
  // at ratio x + 0.5.
  const Matrix matrix{5120.0 / 32768, 0, 0, 1, 2560, 0};
  const auto p = RenderFill(swftest::GradientFillStyle(0x10, matrix, {{0, kBlack}, {255, kWhite}}), GetParam());
  for (int x : {0, 1, 37, 128, 200, 254, 255}) {
    EXPECT_EQ(p.At(x, 5), (Rgba{static_cast<uint8_t>(x), static_cast<uint8_t>(x), static_cast<uint8_t>(x), 255})) << x;
  }
}

TEST_P(GradientFillTest, SpreadModesBeyondTheSquare) {
  // Half the stage per period, shifted so that pixel x sits at ratio 2x + 1.5.
  const Matrix matrix{2560.0 / 32768, 0, 0, 1, 1275, 0};
  auto valueAt = [&](uint8_t spread, int x) {
    const auto p = RenderFill(swftest::GradientFillStyle(0x10, matrix, {{0, kBlack}, {255, kWhite}}, spread), GetParam());
    return static_cast<int>(p.At(x, 5).r);
  };
  EXPECT_EQ(valueAt(0, 10), 21);
  EXPECT_EQ(valueAt(0, 200), 255);
  EXPECT_EQ(valueAt(1, 10), 21);
  EXPECT_EQ(valueAt(1, 200), 110);   // 512 - 401.5
  EXPECT_EQ(valueAt(1, 255), 0);     // 512 - 511.5
  EXPECT_EQ(valueAt(2, 200), 145);   // 401.5 - 256
  EXPECT_EQ(valueAt(2, 255), 255);
}

TEST_P(GradientFillTest, RadialAndFocalGradientsAroundTheCentre) {
  // A 256 x 256 stage; the square's radius becomes 128 pixels around the centre.
  const Matrix matrix{2560.0 / 16384, 0, 0, 2560.0 / 16384, 2560, 2560};
  auto render = [&](uint8_t type, uint8_t spread, double focal) {
    return RenderFill(swftest::GradientFillStyle(type, matrix, {{0, kBlack}, {255, kWhite}}, spread, 0, focal),
                      GetParam(), 256);
  };
  // The entry at a pixel's centre, 256 times its distance in radii less a
  // half; at the points below it lies well away from a half level, where
  // rounding it is plain.
  auto radialIndex = [](int x, int y, bool repeat) {
    const double t = std::hypot(x + 0.5 - 128, y + 0.5 - 128) / 128 * 256;
    return static_cast<int>(std::lround(std::clamp((repeat ? std::fmod(t, 256.0) : t) - 0.5, 0.0, 255.0)));
  };
  const auto pad = render(0x12, 0, 0);
  const auto repeat = render(0x12, 2, 0);
  for (auto [x, y] : {std::pair{128, 128}, {150, 140}, {90, 60}, {0, 0}, {250, 3}}) {
    EXPECT_EQ(pad.At(x, y).g, radialIndex(x, y, false)) << x << "," << y;
    EXPECT_EQ(repeat.At(x, y).g, radialIndex(x, y, true)) << x << "," << y;
  }
  // Focal point halfway to the right edge: (192, 128).
  const auto focal = render(0x13, 0, 0.5);
  EXPECT_LE(focal.At(192, 128).r, 3);
  // 58.5 of the 64 pixels from F to the circle: entry 233.5, and a half
  // level gives the level below; 181.5 of 192: entry 241.5.
  EXPECT_EQ(focal.At(250, 128).r, 233);
  EXPECT_EQ(focal.At(10, 128).r, 241);
  EXPECT_EQ(focal.At(2, 2).r, 255);      // outside the circle: padded
}

TEST_P(GradientFillTest, SevenStopRampGivesTheReferencePicturesColours) {
  // A strip of a reference movie: a 7-stop rainbow over 103 pixels, its
  // entries falling between pixel centres. Drawn on a 110 x 20 stage from
  // (4400, 7000) twips; the colours expected are the reference picture's.
  const Rect stage{4400, 6600, 7000, 7400};
  const Matrix matrix{0.0628662109375, 0, 0, 0.035400390625, 5510, 7200};
  const std::vector<Stop> rainbow = {{0, {255, 0, 0, 255}},     {42, {255, 255, 0, 255}},  {93, {0, 255, 0, 255}},
                                     {127, {0, 255, 255, 255}}, {170, {0, 0, 255, 255}},   {212, {255, 0, 255, 255}},
                                     {255, {255, 0, 0, 255}}};
  const auto p = swftest::RenderTags(
      {swftest::RectangleShapeTag(1, {4480, 6540, 7000, 7400}, swftest::GradientFillStyle(0x10, matrix, rainbow)),
       swftest::PlaceTag(1, 1)},
      GetParam(), 110, 20, stage);
  const std::pair<int, Rgba> expected[] = {
      {224, {255, 4, 0, 255}},   {225, {255, 19, 0, 255}}, {241, {250, 255, 0, 255}}, {262, {0, 255, 16, 255}},
      {270, {0, 255, 165, 255}}, {275, {0, 252, 255, 255}}, {281, {0, 163, 255, 255}}, {293, {13, 0, 255, 255}},
      {309, {255, 0, 255, 255}}, {316, {255, 0, 152, 255}}, {325, {255, 0, 18, 255}}};
  for (const auto& [x, colour] : expected) EXPECT_EQ(p.At(x - 220, 10), colour) << x;
}

TEST_P(GradientFillTest, PlacementColourTransformTintsTheGradient) {
  const Rect stage{0, 256 * 20, 0, 200};
  const Matrix matrix{5120.0 / 32768, 0, 0, 1, 2560, 0};
  ColorTransform tint;
  tint.redMult = 128;
  tint.greenMult = 0;
  tint.greenAdd = 255;
  const auto p = swftest::RenderTags(
      {swftest::RectangleShapeTag(1, stage, swftest::GradientFillStyle(0x10, matrix, {{0, kBlack}, {255, kWhite}})),
       swftest::PlaceTag(1, 1, nullptr, 0, &tint)},
      GetParam(), 256, 10, stage);
  EXPECT_EQ(p.At(200, 5), (Rgba{100, 255, 200, 255}));
}

INSTANTIATE_TEST_SUITE_P(BothQualities, GradientFillTest, testing::Values(Quality::kLow, Quality::kHigh),
                         [](const testing::TestParamInfo<Quality>& test) { return test.param == Quality::kLow ? "Low" : "High"; });

}  // namespace
}  // namespace swf
