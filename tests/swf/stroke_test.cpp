// Stroke widths under stretched placements and the quarter coverage of
// high-quality strokes.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "swf/player.h"
#include "swf/render/geometry.h"
#include "swf/render/sampled_coverage.h"
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

// Samples inside per pixel, from SampledCoverage.
std::map<std::pair<int, int>, int> Coverage(const std::vector<std::vector<Point>>& contours, int width = 20,
                                            int height = 20) {
  std::map<std::pair<int, int>, int> covered;
  std::vector<uint8_t> scratch;
  SampledCoverage::Render(contours, width, height, scratch, [&](int y, int x0, int x1, int samples) {
    for (int x = x0; x < x1; ++x) {
      EXPECT_EQ(covered.count({x, y}), 0u) << "pixel reported twice";
      covered[{x, y}] = samples;
    }
  });
  return covered;
}

TEST(SampledCoverage, EdgesCoverPixelsByTheirSamplePoints) {
  // x from 2 to 6.3, y from 3.5 to 5.5; samples at the centres of each
  // pixel's quarters (x and y + 1/4 and 3/4).
  const auto covered = Coverage({{{2, 3.5}, {6.3, 3.5}, {6.3, 5.5}, {2, 5.5}}});
  EXPECT_EQ(covered.at({3, 3}), 2);  // the lower half of the row's samples
  EXPECT_EQ(covered.at({3, 4}), 4);
  EXPECT_EQ(covered.at({3, 5}), 2);  // the upper half
  EXPECT_EQ(covered.at({2, 4}), 4);
  EXPECT_EQ(covered.at({6, 4}), 2);  // the left column of samples, 1/4 from the edge
  EXPECT_EQ(covered.count({1, 4}), 0u);
  EXPECT_EQ(covered.count({3, 2}), 0u);
  EXPECT_EQ(covered.count({3, 6}), 0u);
  EXPECT_EQ(covered.count({7, 4}), 0u);
  // Moving the edges within the half of a pixel between two sample rows or
  // columns changes nothing; past a sample, it does.
  EXPECT_EQ(Coverage({{{2, 3.6}, {6.4, 3.6}, {6.4, 5.4}, {2, 5.4}}}), covered);
  EXPECT_EQ(Coverage({{{2, 3.5}, {6.2, 3.5}, {6.2, 5.5}, {2, 5.5}}}).count({6, 4}), 0u);
  EXPECT_EQ(Coverage({{{2, 3.8}, {6.3, 3.8}, {6.3, 5.5}, {2, 5.5}}}).count({3, 3}), 0u);
}

TEST(SampledCoverage, OverlappingContoursCountOnceAndHolesStayEmpty) {
  // Two overlapping squares the same way round, and a square with a hole.
  const auto twice = Coverage({{{1, 1}, {5, 1}, {5, 5}, {1, 5}}, {{3, 3}, {7, 3}, {7, 7}, {3, 7}}});
  EXPECT_EQ(twice.at({4, 4}), 4);
  EXPECT_EQ(twice.at({2, 2}), 4);
  EXPECT_EQ(twice.count({6, 1}), 0u);
  const auto ring = Coverage({{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{3, 3}, {3, 7}, {7, 7}, {7, 3}}});
  EXPECT_EQ(ring.at({1, 1}), 4);
  EXPECT_EQ(ring.count({5, 5}), 0u);
}

TEST(SampledCoverage, OnlyPixelsOfTheTargetAreReported) {
  const auto covered = Coverage({{{-50, -50}, {1e9, -50}, {1e9, 1e9}, {-50, 1e9}}}, 6, 4);
  EXPECT_EQ(covered.size(), 24u);
  for (const auto& [pixel, samples] : covered) {
    EXPECT_GE(pixel.first, 0);
    EXPECT_LT(pixel.first, 6);
    EXPECT_GE(pixel.second, 0);
    EXPECT_LT(pixel.second, 4);
    EXPECT_EQ(samples, 4);
  }
  EXPECT_TRUE(Coverage({{{-9, -9}, {-2, -9}, {-2, -2}}}).empty());
  EXPECT_TRUE(Coverage({{{1, 1}, {5, 1}}}).empty());  // not an area
}

TEST(SampledCoverage, CoverGivesQuartersOfTheColour) {
  EXPECT_EQ(CoverOfSamples(0), 0u);
  EXPECT_EQ(CoverOfSamples(2), 128u);
  EXPECT_EQ(CoverOfSamples(4), 255u);
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

TEST(StrokeRender, HighQualityEdgesTakeHalfThePixelWhereverInsideTheHalf) {
  // A 5-pixel line centred 1/20 pixel below row 12's top edge: its edges at
  // 9.55 and 14.55 each cover two of their row's four samples.
  const auto p = RenderLine(100, 40, 241, 760, 241, Matrix::Identity(), Quality::kHigh);
  EXPECT_EQ(Grey(p, 20, 8), 255);
  EXPECT_NEAR(Grey(p, 20, 9), 127, 1);
  for (int y = 10; y < 14; ++y) EXPECT_EQ(Grey(p, 20, y), 0) << y;
  EXPECT_NEAR(Grey(p, 20, 14), 127, 1);
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
  // A one-pixel line a little flatter than 45 degrees, 0.2 to 0.05 pixel
  // below the diagonal: a band a pixel high covers three samples of (x, x),
  // one of (x, x + 1) and none of (x + 1, x), where a band a pixel across
  // would reach.
  const auto p = RenderLine(20, 100, 104, 500, 500, Matrix::Identity(), Quality::kHigh);
  for (int x = 8; x < 19; ++x) {
    EXPECT_NEAR(Grey(p, x, x), 63, 1) << x;
    EXPECT_NEAR(Grey(p, x, x + 1), 191, 1) << x;
    EXPECT_EQ(Grey(p, x + 1, x), 255) << x;
  }
  // No round ends: nothing before the start.
  EXPECT_EQ(Grey(p, 4, 4), 255);
  EXPECT_EQ(Grey(p, 4, 5), 255);
}

}  // namespace
}  // namespace swf
