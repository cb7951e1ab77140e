// Gradient ramps, positions and spread modes, and gradient fills drawn:
// the fixtures put one ramp entry on each pixel so that values are exact.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(GradientRamp, InterpolatesBetweenStopsAndHoldsTheEnds) {
  GradientFill gradient;
  gradient.stops = {{64, {255, 0, 0, 255}}, {192, {0, 0, 255, 128}}};
  const GradientRamp ramp = BuildGradientRamp(gradient, ColorTransform::Identity());
  EXPECT_EQ(ramp[0], (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ramp[64], (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ramp[128], (Rgba{128, 0, 128, 192}));
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

TEST(GradientRampIndex, SpreadModes) {
  constexpr uint8_t kPad = 0, kReflect = 1, kRepeat = 2, kReserved = 3;
  EXPECT_EQ(GradientRampIndex(-0.5, kPad), 0);
  EXPECT_EQ(GradientRampIndex(0.5, kPad), 128);
  EXPECT_EQ(GradientRampIndex(1.5, kPad), 255);
  EXPECT_EQ(GradientRampIndex(1.5, kReserved), 255);
  EXPECT_EQ(GradientRampIndex(1.25, kReflect), 192);
  EXPECT_EQ(GradientRampIndex(2.25, kReflect), 64);
  EXPECT_EQ(GradientRampIndex(-0.25, kReflect), 64);
  EXPECT_EQ(GradientRampIndex(1.25, kRepeat), 64);
  EXPECT_EQ(GradientRampIndex(-0.25, kRepeat), 192);
  EXPECT_EQ(GradientRampIndex(std::nan(""), kRepeat), 0);
  EXPECT_EQ(GradientRampIndex(1e300, kReflect), GradientRampIndex(1e6, kReflect));
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
  auto radialIndex = [](int x, int y, bool repeat) {
    const double t = std::hypot(x + 0.5 - 128, y + 0.5 - 128) / 128 * 256;
    return repeat ? static_cast<int>(std::fmod(t, 256.0)) : std::min(255, static_cast<int>(t));
  };
  const auto pad = render(0x12, 0, 0);
  const auto repeat = render(0x12, 2, 0);
  for (auto [x, y] : {std::pair{128, 128}, {178, 128}, {128, 30}, {200, 170}, {0, 0}, {250, 3}}) {
    EXPECT_EQ(pad.At(x, y).g, radialIndex(x, y, false)) << x << "," << y;
    EXPECT_EQ(repeat.At(x, y).g, radialIndex(x, y, true)) << x << "," << y;
  }
  // Focal point halfway to the right edge: (192, 128).
  const auto focal = render(0x13, 0, 0.5);
  EXPECT_LE(focal.At(192, 128).r, 3);
  EXPECT_EQ(focal.At(250, 128).r, 234);  // 58.5 of the 64 pixels from F to the circle
  EXPECT_EQ(focal.At(10, 128).r, 242);   // 181.5 of 192
  EXPECT_EQ(focal.At(2, 2).r, 255);      // outside the circle: padded
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
