// Stroke widths under stretched placements, and how strokes cover pixels.
#include <gtest/gtest.h>

#include "swf/player.h"
#include "swf/render/geometry.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;

LineStyle Line(uint16_t width, bool noHScale = false, bool noVScale = false) {
  LineStyle line;
  line.width = width;
  line.noHScale = noHScale;
  line.noVScale = noVScale;
  return line;
}

TEST(Hairline, BandsAPixelAcrossTheMinorAxisWithoutCapsOrJoins) {
  // Shallow: a pixel high; steep: a pixel wide; each segment on its own.
  const auto bands = HairlinePolyline({{0, 0}, {10, 4}, {12, 14}, {12, 14}, {2, 15}});
  ASSERT_EQ(bands.size(), 3u);  // the repeated point makes no band
  const std::vector<Point> shallow = {{0, -0.5}, {10, 3.5}, {10, 4.5}, {0, 0.5}};
  EXPECT_EQ(bands[0], shallow);
  for (const Point& p : bands[1]) EXPECT_TRUE(p.x == 11.5 || p.x == 12.5 || p.x == 9.5 || p.x == 10.5) << p.x;
  for (const Point& p : bands[1]) EXPECT_TRUE(p.y == 4 || p.y == 14) << p.y;
  // All three wind the same way, whichever way their segments run, so that
  // overlaps do not cancel under the non-zero rule.
  auto area = [](const std::vector<Point>& band) {
    double sum = 0;
    for (size_t i = 0; i < band.size(); ++i) {
      const Point a = band[i];
      const Point b = band[(i + 1) % band.size()];
      sum += a.x * b.y - b.x * a.y;
    }
    return sum / 2;
  };
  for (const auto& band : bands) EXPECT_GT(area(band), 0);
  EXPECT_DOUBLE_EQ(area(bands[0]), 10);  // a pixel high over 10 pixels across
  EXPECT_DOUBLE_EQ(area(bands[1]), 10);  // a pixel wide over 10 pixels down
  EXPECT_TRUE(HairlinePolyline({{3, 3}}).empty());
}

TEST(StrokeWidth, FollowsTheAxisScalesTheFlagsLeave) {
  // 20 twips a pixel, stretched 10 times in x and 5 times in y.
  const Matrix stretched{0.5, 0, 0, 0.25, 3, 4};
  const double view = 0.05;
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(20, true, false), stretched, view), 5);   // keeps x: y's scale
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(20, false, true), stretched, view), 10);  // keeps y: x's scale
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(40, true, true), stretched, view), 2);    // the view's alone
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(40), stretched, view), 10);               // the smaller axis scale
}

TEST(StrokeWidth, AxisScalesIncludeRotationAndSkew) {
  // Rotated by 90 degrees and scaled 3 (x axis) and 2 (y axis): the axes'
  // lengths count, not the matrix's diagonal.
  const Matrix rotated{0, 3, -2, 0, 0, 0};
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10, false, true), rotated, 1), 30);
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10, true, false), rotated, 1), 20);
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10), rotated, 1), 20);
  // A skew lengthens the y axis to 5 (3, 4).
  const Matrix skewed{6, 0, 3, 4, 0, 0};
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10), skewed, 1), 50);
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10, true, false), skewed, 1), 50);
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(10, false, true), skewed, 1), 60);
}

TEST(StrokeWidth, NeverThinnerThanAPixel) {
  const Matrix tiny{0.001, 0, 0, 0.001, 0, 0};
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(0), Matrix::Identity(), 1), 1);  // hairline
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(100), tiny, 1), 1);
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(100), Matrix{0, 0, 0, 0, 0, 0}, 1), 1);  // flattened away
  EXPECT_DOUBLE_EQ(StrokeDeviceWidth(Line(100, true, true), Matrix::Identity(), 1e-9), 1);
}

// A 40 x 30 pixel stage, white, with one black line from (x0, y0) to
// (x1, y1) twips of a shape placed with `matrix`.
std::vector<uint8_t> RenderLine(uint16_t width, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Matrix& matrix,
                                Quality quality) {
  const Bytes shape = swftest::ShapeWriter(3)
                          .Line(width, {0, 0, 0, 255})
                          .BeginRecords()
                          .Change(-1, -1, 1, true, x0, y0)
                          .LineTo(x1 - x0, y1 - y0)
                          .End();
  const Bytes file = swftest::Movie({swftest::Tag(9, {255, 255, 255}), swftest::DefineShape(3, 1, {0, 800, 0, 600}, shape),
                                     swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &matrix}),
                                     swftest::ShowFrame()},
                                    swftest::Signature::kFws, 10, {0, 800, 0, 600});
  Player player(file);
  std::vector<uint8_t> rgba(40 * 30 * 4, 0);
  player.Render({rgba.data(), 40, 30, 40 * 4, PixelFormat::kRgba32}, quality);
  return rgba;
}

int Grey(const std::vector<uint8_t>& rgba, int x, int y) { return rgba[(static_cast<size_t>(y) * 40 + x) * 4]; }

TEST(StrokeRender, HighQualityEdgesCoverTheirShareOfThePixel) {
  // A 5-pixel line centred 1/20 pixel below row 12's top edge: its edges at
  // 9.55 and 14.55 cover 45 and 55 hundredths of their rows.
  const auto p = RenderLine(100, 40, 241, 760, 241, Matrix::Identity(), Quality::kHigh);
  EXPECT_EQ(Grey(p, 20, 8), 255);
  EXPECT_NEAR(Grey(p, 20, 9), 255 - 0.45 * 255, 2);
  for (int y = 10; y < 14; ++y) EXPECT_EQ(Grey(p, 20, y), 0) << y;
  EXPECT_NEAR(Grey(p, 20, 14), 255 - 0.55 * 255, 2);
  EXPECT_EQ(Grey(p, 20, 15), 255);
  // Low quality: pixel centres; 9.5 is outside, 14.5 inside.
  const auto low = RenderLine(100, 40, 241, 760, 241, Matrix::Identity(), Quality::kLow);
  EXPECT_EQ(Grey(low, 20, 9), 255);
  EXPECT_EQ(Grey(low, 20, 14), 0);
}

TEST(StrokeRender, StretchedPlacementKeepsOneWidthAndRoundEnds) {
  // Stretched 4 times in x: a vertical line 2 pixels wide in the shape stays
  // 2 pixels wide (the smaller axis scale is 1), not 8.
  const Matrix stretched{4, 0, 0, 1, 0, 0};
  const auto p = RenderLine(40, 100, 100, 100, 500, stretched, Quality::kHigh);  // x = 20 pixels
  EXPECT_EQ(Grey(p, 19, 15), 0);
  EXPECT_EQ(Grey(p, 20, 15), 0);
  EXPECT_EQ(Grey(p, 18, 15), 255);
  EXPECT_EQ(Grey(p, 21, 15), 255);
  // Its round end is a circle of radius 1 around (20, 5), not an ellipse
  // 4 pixels across: nothing two pixels beside the end.
  EXPECT_EQ(Grey(p, 17, 5), 255);
  EXPECT_EQ(Grey(p, 22, 5), 255);
  EXPECT_LT(Grey(p, 19, 4), 255);
  EXPECT_EQ(Grey(p, 19, 3), 255);
}

TEST(StrokeRender, HighQualityHairlineIsAPixelHighNotAcross) {
  // A one-pixel line a little flatter than 45 degrees: a band a pixel high
  // puts one pixel of ink in each column it crosses, where a band a pixel
  // across would put about 1.4.
  const auto p = RenderLine(20, 100, 104, 500, 500, Matrix::Identity(), Quality::kHigh);
  for (int x = 8; x < 19; ++x) {
    double ink = 0;
    for (int y = 0; y < 30; ++y) ink += (255 - Grey(p, x, y)) / 255.0;
    EXPECT_NEAR(ink, 1.0, 0.03) << x;
  }
  // No round ends: nothing before the start.
  EXPECT_EQ(Grey(p, 4, 4), 255);
  EXPECT_EQ(Grey(p, 4, 5), 255);
}

}  // namespace
}  // namespace swf
