// Blend modes and filters on small pictures of known pixels: the plain
// functions the renderer (and later the script side) draws with.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "swf/render/blend.h"
#include "swf/render/filter_effects.h"

namespace swf {
namespace {

using Pixel = std::array<uint8_t, 4>;

Pixel Blend(BlendMode mode, Pixel source, Pixel destination) {
  BlendRow(mode, source.data(), destination.data(), 1);
  return destination;
}

struct BlendCase {
  const char* what;
  BlendMode mode;
  Pixel source;
  Pixel destination;
  Pixel expected;
};

TEST(BlendRowTest, EachModeGivesItsPremultipliedResult) {
  constexpr Pixel kOpaque{100, 150, 255, 255};
  constexpr Pixel kBelow{200, 100, 50, 255};
  constexpr Pixel kHalfRed{64, 0, 0, 128};
  constexpr Pixel kBlue{0, 0, 200, 255};
  const BlendCase cases[] = {
      {"normal", BlendMode::kNormal, kOpaque, kBelow, kOpaque},
      {"layer", BlendMode::kLayer, kOpaque, kBelow, kOpaque},
      {"multiply", BlendMode::kMultiply, kOpaque, kBelow, {78, 59, 50, 255}},
      {"screen", BlendMode::kScreen, kOpaque, kBelow, {222, 191, 255, 255}},
      {"lighten", BlendMode::kLighten, kOpaque, kBelow, {200, 150, 255, 255}},
      {"darken", BlendMode::kDarken, kOpaque, kBelow, {100, 100, 50, 255}},
      {"difference", BlendMode::kDifference, kOpaque, kBelow, {100, 50, 205, 255}},
      {"add", BlendMode::kAdd, kOpaque, kBelow, {255, 250, 255, 255}},
      {"subtract", BlendMode::kSubtract, kOpaque, kBelow, {100, 0, 0, 255}},
      {"invert", BlendMode::kInvert, kOpaque, kBelow, {55, 155, 205, 255}},
      {"alpha", BlendMode::kAlpha, kOpaque, kBelow, kBelow},
      {"erase", BlendMode::kErase, kOpaque, kBelow, {0, 0, 0, 0}},
      {"overlay", BlendMode::kOverlay, kOpaque, kBelow, {188, 118, 100, 255}},
      {"hardlight", BlendMode::kHardLight, kOpaque, kBelow, {157, 127, 255, 255}},
      // Half-covered source pixels.
      {"normal, half", BlendMode::kNormal, kHalfRed, kBlue, {64, 0, 100, 255}},
      {"multiply, half", BlendMode::kMultiply, kHalfRed, kBlue, {0, 0, 100, 255}},
      {"add, half", BlendMode::kAdd, kHalfRed, kBlue, {64, 0, 200, 255}},
      {"invert, half", BlendMode::kInvert, kHalfRed, kBlue, {128, 128, 128, 255}},
      {"alpha, half", BlendMode::kAlpha, kHalfRed, kBlue, {0, 0, 100, 128}},
      {"erase, half", BlendMode::kErase, kHalfRed, kBlue, {0, 0, 100, 127}},
  };
  for (const BlendCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Blend(c.mode, c.source, c.destination), c.expected);
  }
}

constexpr BlendMode kAllModes[] = {BlendMode::kNormal,  BlendMode::kLayer,     BlendMode::kMultiply,
                                   BlendMode::kScreen,  BlendMode::kLighten,   BlendMode::kDarken,
                                   BlendMode::kDifference, BlendMode::kAdd,    BlendMode::kSubtract,
                                   BlendMode::kInvert,  BlendMode::kAlpha,     BlendMode::kErase,
                                   BlendMode::kOverlay, BlendMode::kHardLight};

TEST(BlendRowTest, WhereTheSourceIsEmptyTheDestinationStays) {
  for (const BlendMode mode : kAllModes) {
    SCOPED_TRACE(static_cast<int>(mode));
    EXPECT_EQ(Blend(mode, {0, 0, 0, 0}, {30, 60, 90, 120}), (Pixel{30, 60, 90, 120}));
  }
}

TEST(BlendRowTest, SeparableModesOverAnEmptyLayerGiveTheSource) {
  for (const BlendMode mode : {BlendMode::kNormal, BlendMode::kMultiply, BlendMode::kScreen, BlendMode::kLighten,
                               BlendMode::kDarken, BlendMode::kDifference, BlendMode::kOverlay, BlendMode::kHardLight,
                               BlendMode::kAdd}) {
    SCOPED_TRACE(static_cast<int>(mode));
    EXPECT_EQ(Blend(mode, {40, 80, 120, 160}, {0, 0, 0, 0}), (Pixel{40, 80, 120, 160}));
  }
}

TEST(BlendLayerTest, BlendsOnlyWhereTheLayerLiesClippedToTheTarget) {
  std::vector<uint8_t> target(4 * 4 * 4, 200);
  agg::rendering_buffer buffer(target.data(), 4, 4, 16);
  Layer layer(PixelRect{2, 3, 4, 2});  // reaches beyond the right and bottom edges
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      uint8_t* p = layer.Row(y) + x * 4;
      p[0] = 10, p[1] = 20, p[2] = 30, p[3] = 255;
    }
  }
  BlendLayer(BlendMode::kNormal, layer, buffer);
  EXPECT_EQ(target[(3 * 4 + 2) * 4], 10);  // the layer's first pixel
  EXPECT_EQ(target[(3 * 4 + 3) * 4 + 2], 30);
  EXPECT_EQ(target[(2 * 4 + 2) * 4], 200);  // above it
  EXPECT_EQ(target[(3 * 4 + 1) * 4], 200);  // left of it
  BlendLayer(BlendMode::kNormal, layer, buffer, -2, -3);  // moved to the corner
  EXPECT_EQ(target[0], 10);
  EXPECT_EQ(target[(1 * 4 + 3) * 4 + 1], 20);
  EXPECT_EQ(target[(2 * 4 + 0) * 4], 200);
}

// One row of single bytes.
std::vector<uint8_t> Blurred(std::vector<uint8_t> row, double size, int passes) {
  BoxBlur(row.data(), static_cast<int>(row.size()), 1, 1, size, 0, passes);
  return row;
}

TEST(BoxBlurTest, BoxesReachHalfTheBlurSizeEachWay) {
  const std::vector<uint8_t> spike{0, 0, 0, 0, 255, 0, 0, 0, 0};
  struct Case {
    double size;
    int passes;
    std::vector<uint8_t> expected;
  };
  const Case cases[] = {
      {1, 1, spike},
      {1.9, 1, spike},
      {2, 1, {0, 0, 0, 85, 85, 85, 0, 0, 0}},
      {3, 1, {0, 0, 0, 85, 85, 85, 0, 0, 0}},
      {4, 1, {0, 0, 51, 51, 51, 51, 51, 0, 0}},
      {2, 2, {0, 0, 28, 57, 85, 57, 28, 0, 0}},
      {2, 0, spike},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << ", passes " << c.passes);
    EXPECT_EQ(Blurred(spike, c.size, c.passes), c.expected);
  }
}

TEST(BoxBlurTest, BlursEachChannelAndBothDirections) {
  // 3 x 3 pixels of two channels; only the centre is set.
  std::vector<uint8_t> picture(18, 0);
  picture[8] = 90;
  picture[9] = 180;
  BoxBlur(picture.data(), 3, 3, 2, 2, 2, 1);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(picture[i * 2], 10) << i;
    EXPECT_EQ(picture[i * 2 + 1], 20) << i;
  }
}

TEST(FilterMarginsTest, GrowByBlurPassesAndOffsetsAndOffsetsFollowTheView) {
  struct Case {
    const char* what;
    Filter filter;
    FilterScale scale;
    FilterMargins expected;
  };
  DropShadowFilter shadow;
  shadow.distance = 3;
  shadow.passes = 1;
  DropShadowFilter innerShadow = shadow;
  innerShadow.inner = true;
  BevelFilter bevel;
  bevel.distance = 2;
  bevel.angle = 3.14159265358979 / 2;  // down
  bevel.passes = 1;
  const Case cases[] = {
      {"blur", BlurFilter{4, 1, 2}, {1, 1}, {4, 0, 4, 0}},
      {"blur, view doubled", BlurFilter{4, 1, 2}, {2, 2}, {4, 0, 4, 0}},
      {"drop shadow to the right", shadow, {1, 1}, {0, 0, 3, 0}},
      {"drop shadow, view doubled", shadow, {2, 2}, {0, 0, 6, 0}},
      {"inner shadow", innerShadow, {1, 1}, {0, 0, 0, 0}},
      {"bevel, both ways", bevel, {1, 1}, {0, 2, 0, 2}},
      {"colour matrix", ColorMatrixFilter{}, {1, 1}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FilterMargins m = MarginsOf(c.filter, c.scale);
    EXPECT_EQ((std::array<int, 4>{m.left, m.top, m.right, m.bottom}),
              (std::array<int, 4>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}));
  }
  const std::vector<Filter> both{BlurFilter{4, 1, 2}, shadow};
  EXPECT_EQ(MarginsOf(both, {1, 1}).right, 7);
}

// A picture one pixel high from its pixels (RGBA, premultiplied).
Layer Row(const std::vector<Pixel>& pixels) {
  Layer layer(PixelRect{0, 0, static_cast<int>(pixels.size()), 1});
  for (size_t i = 0; i < pixels.size(); ++i) std::copy(pixels[i].begin(), pixels[i].end(), layer.Row(0) + i * 4);
  return layer;
}

std::vector<Pixel> Pixels(const Layer& layer) {
  std::vector<Pixel> pixels(static_cast<size_t>(layer.Width()));
  for (size_t i = 0; i < pixels.size(); ++i) std::copy_n(layer.Row(0) + i * 4, 4, pixels[i].begin());
  return pixels;
}

constexpr Pixel kNone{0, 0, 0, 0};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kGreen{0, 255, 0, 255};
constexpr Pixel kWhite{255, 255, 255, 255};
constexpr Pixel kBlack{0, 0, 0, 255};
constexpr Pixel kGrey{128, 128, 128, 255};

std::vector<Pixel> Filtered(const Filter& filter, const std::vector<Pixel>& pixels) {
  Layer layer = Row(pixels);
  ApplyFilter(filter, layer, {1, 1}, kRgbaOrder);
  return Pixels(layer);
}

TEST(FilterPixelsTest, ShadowsGlowsAndBevelsOnARow) {
  DropShadowFilter shadow;
  shadow.color = {0, 255, 0, 255};
  shadow.distance = 3;
  shadow.strength = 1;
  shadow.passes = 1;
  shadow.compositeSource = true;
  DropShadowFilter knockout = shadow;
  knockout.knockout = true;
  DropShadowFilter hidden = shadow;
  hidden.compositeSource = false;
  DropShadowFilter inner = shadow;
  inner.inner = true;
  inner.distance = 1;

  GlowFilter glow;
  glow.color = {0, 0, 255, 255};
  glow.blurX = 2;
  glow.strength = 1;
  glow.passes = 1;
  glow.compositeSource = true;
  GlowFilter strongGlow = glow;
  strongGlow.strength = 2;

  BevelFilter bevel;
  bevel.highlightColor = {255, 255, 255, 255};
  bevel.shadowColor = {0, 0, 0, 255};
  bevel.distance = 1;
  bevel.strength = 1;
  bevel.passes = 1;
  bevel.compositeSource = true;
  BevelFilter innerBevel = bevel;
  innerBevel.inner = true;

  GradientFilter gradientGlow;
  gradientGlow.colors = {{0, 0, 0, 0}, {255, 0, 0, 255}};
  gradientGlow.ratios = {0, 255};
  gradientGlow.blurX = 2;
  gradientGlow.strength = 1;
  gradientGlow.passes = 1;
  gradientGlow.compositeSource = true;

  struct Case {
    const char* what;
    Filter filter;
    std::vector<Pixel> picture;
    std::vector<Pixel> expected;
  };
  const std::vector<Pixel> dot{kNone, kRed, kNone, kNone, kNone, kNone};
  const std::vector<Pixel> bar{kNone, kNone, kGrey, kGrey, kGrey, kNone, kNone};
  const Case cases[] = {
      {"drop shadow behind, moved", shadow, dot, {kNone, kRed, kNone, kNone, kGreen, kNone}},
      {"drop shadow, knockout", knockout, dot, {kNone, kNone, kNone, kNone, kGreen, kNone}},
      {"drop shadow, object hidden", hidden, dot, {kNone, kNone, kNone, kNone, kGreen, kNone}},
      {"inner shadow comes in from the lit edge", inner, {kRed, kRed, kRed}, {kGreen, kRed, kRed}},
      {"glow", glow, {kNone, kWhite, kNone}, {{0, 0, 85, 85}, kWhite, {0, 0, 85, 85}}},
      {"glow, strength 2", strongGlow, {kNone, kWhite, kNone}, {{0, 0, 170, 170}, kWhite, {0, 0, 170, 170}}},
      {"bevel outside", bevel, bar, {kNone, kWhite, kGrey, kGrey, kGrey, kBlack, kNone}},
      {"bevel inside", innerBevel, bar, {kNone, kNone, kWhite, kGrey, kBlack, kNone, kNone}},
      {"gradient glow", gradientGlow, {kNone, kWhite, kNone}, {{28, 0, 0, 85}, kWhite, {28, 0, 0, 85}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Filtered(c.filter, c.picture), c.expected);
  }
}

TEST(FilterPixelsTest, ColourMatrixReadsColoursInThePicturesOrder) {
  ColorMatrixFilter noRed;
  const float matrix[20] = {0, 0, 0, 0, 0,  0, 1, 0, 0, 0,  0, 0, 1, 0, 0,  0, 0, 0, 1, 0};
  std::copy(std::begin(matrix), std::end(matrix), noRed.matrix);
  Layer rgba = Row({{200, 100, 50, 255}});
  ApplyFilter(noRed, rgba, {1, 1}, kRgbaOrder);
  EXPECT_EQ(Pixels(rgba)[0], (Pixel{0, 100, 50, 255}));
  Layer bgra = Row({{200, 100, 50, 255}});
  ApplyFilter(noRed, bgra, {1, 1}, kBgraOrder);
  EXPECT_EQ(Pixels(bgra)[0], (Pixel{200, 100, 0, 255}));

  ColorMatrixFilter swapAndHalve;
  const float swap[20] = {0, 0, 1, 0, 0,  0, 1, 0, 0, 0,  1, 0, 0, 0, 0,  0, 0, 0, 0.5f, 0};
  std::copy(std::begin(swap), std::end(swap), swapAndHalve.matrix);
  EXPECT_EQ(Filtered(swapAndHalve, {{200, 100, 50, 255}}), (std::vector<Pixel>{{25, 50, 100, 128}}));
}

TEST(FilterPixelsTest, AColourTransformAppliesToStraightColoursOfTheFilteredPicture) {
  ColorTransform redder;
  redder.redAdd = 255;
  redder.alphaMult = 128;
  // A black glow pixel at a third turns red; a transparent pixel stays.
  Layer picture = Row({{0, 0, 0, 85}, kNone, {0, 0, 200, 255}});
  ApplyColorTransform(picture, redder, kRgbaOrder);
  EXPECT_EQ(Pixels(picture), (std::vector<Pixel>{{42, 0, 0, 42}, kNone, {127, 0, 100, 127}}));
  Layer bgra = Row({{0, 0, 0, 255}});
  ApplyColorTransform(bgra, redder, kBgraOrder);
  EXPECT_EQ(Pixels(bgra)[0], (Pixel{0, 0, 127, 127}));
}

TEST(FilterPixelsTest, ConvolutionClampsEdgesOrUsesTheDefaultColour) {
  ConvolutionFilter smooth;
  smooth.columns = 3;
  smooth.rows = 1;
  smooth.matrix = {1, 2, 1};
  smooth.divisor = 4;
  smooth.preserveAlpha = true;
  smooth.clamp = true;
  smooth.defaultColor = {255, 255, 255, 255};
  const std::vector<Pixel> ramp{{0, 0, 0, 255}, {100, 100, 100, 255}, {200, 200, 200, 255}};
  EXPECT_EQ(Filtered(smooth, ramp), (std::vector<Pixel>{{25, 25, 25, 255}, {100, 100, 100, 255}, {175, 175, 175, 255}}));
  smooth.clamp = false;
  EXPECT_EQ(Filtered(smooth, ramp), (std::vector<Pixel>{{89, 89, 89, 255}, {100, 100, 100, 255}, {189, 189, 189, 255}}));
}

}  // namespace
}  // namespace swf
