#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "swf/player.h"
#include "swf/render/aliased_rasterizer.h"
#include "swf/render/geometry.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;

// A 40 x 30 pixel stage holding what `tags` place, white background.
struct Picture {
  int width;
  int height;
  std::vector<uint8_t> rgba;
  Rgba At(int x, int y) const {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
};

Picture Render(const std::vector<Bytes>& tags, Quality quality, int width = 40, int height = 30,
               PixelFormat format = PixelFormat::kRgba32) {
  std::vector<Bytes> all = {swftest::Tag(9, {255, 255, 255})};
  all.insert(all.end(), tags.begin(), tags.end());
  all.push_back(swftest::ShowFrame());
  const Bytes file = swftest::Movie(all, swftest::Signature::kFws, 10, {0, 800, 0, 600});
  Player player(file);
  Picture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
  player.Render({picture.rgba.data(), width, height, width * 4, format}, quality);
  return picture;
}

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};

class QualityTest : public testing::TestWithParam<Quality> {};

TEST_P(QualityTest, SquareCoversExactlyItsPixels) {
  // 200 twips = 10 pixels, moved to (100, 60) twips = (5, 3) pixels.
  const Matrix at = Matrix::Translate(100, 60);
  const Picture p = Render({swftest::SquareShapeTag(1, 200, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &at})},
                           GetParam());
  EXPECT_EQ(p.At(5, 3), kRed);
  EXPECT_EQ(p.At(14, 12), kRed);
  EXPECT_EQ(p.At(4, 3), kWhite);
  EXPECT_EQ(p.At(15, 8), kWhite);
  EXPECT_EQ(p.At(8, 13), kWhite);
  EXPECT_EQ(p.At(0, 0), kWhite);
}

TEST_P(QualityTest, CurveBoundsTheFilledArea) {
  // A quarter disc of radius 20 pixels from the origin: straight to (400, 0)
  // twips, a curve to (0, 400) through the control point (400, 400), back up.
  const Bytes shape = swftest::ShapeWriter(3)
                          .Solid(kRed)
                          .BeginRecords()
                          .Change(-1, 1, -1, true, 0, 0)
                          .LineTo(400, 0)
                          .CurveTo(0, 400, -400, 0)
                          .LineTo(0, -400)
                          .End();
  const Picture p = Render({swftest::DefineShape(3, 1, {0, 400, 0, 400}, shape), swftest::PlaceObject2({.depth = 1, .characterId = 1})},
                           GetParam());
  // The curve passes (15, 15) pixels at t = 0.5; it bulges outside the
  // straight diagonal from (20, 0) to (0, 20).
  EXPECT_EQ(p.At(13, 13), kRed);
  EXPECT_EQ(p.At(12, 14), kRed);
  EXPECT_EQ(p.At(16, 16), kWhite);
  EXPECT_EQ(p.At(18, 18), kWhite);
  EXPECT_EQ(p.At(2, 2), kRed);
  EXPECT_EQ(p.At(21, 1), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Both, QualityTest, testing::Values(Quality::kLow, Quality::kHigh));

TEST(RenderTest, LowQualityShowsOnlyTheExactColoursAndHighQualityBlendsEdges) {
  // Edges half-way through pixels: (110, 70) twips = (5.5, 3.5) pixels.
  const Matrix at = Matrix::Translate(110, 70);
  const std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 200, kRed),
                                   swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &at})};
  const Picture low = Render(tags, Quality::kLow);
  for (int y = 0; y < low.height; ++y) {
    for (int x = 0; x < low.width; ++x) {
      const Rgba c = low.At(x, y);
      ASSERT_TRUE(c == kRed || c == kWhite) << x << "," << y;
    }
  }
  // Pixel centres on the left/top edges are inside, on the right/bottom edges outside.
  EXPECT_EQ(low.At(5, 3), kRed);
  EXPECT_EQ(low.At(15, 13), kWhite);
  EXPECT_EQ(low.At(14, 12), kRed);
  const Picture high = Render(tags, Quality::kHigh);
  const Rgba edge = high.At(5, 8);
  EXPECT_EQ(edge.r, 255);
  EXPECT_GT(edge.g, 100);
  EXPECT_LT(edge.g, 155);  // about half covered
  EXPECT_EQ(high.At(8, 8), kRed);
}

TEST(RenderTest, SharedEdgesBetweenTwoFillsLeaveNoSeam) {
  // Two fills on either side of one diagonal edge, in high quality: no
  // background may show through along the border.
  const Bytes shape = swftest::ShapeWriter(3)
                          .Solid(kRed)
                          .Solid({0, 0, 255, 255})
                          .BeginRecords()
                          .Change(0, 1, -1, true, 0, 0)
                          .LineTo(400, 0)
                          .Change(2, 1, -1)
                          .LineTo(-400, 400)  // the shared diagonal: blue on its left, red on its right
                          .Change(0, 1, -1)
                          .LineTo(0, -400)
                          .Change(0, 2, -1, true, 400, 0)
                          .LineTo(0, 400)
                          .LineTo(-400, 0)
                          .End();
  const Picture p = Render({swftest::DefineShape(3, 1, {0, 400, 0, 400}, shape), swftest::PlaceObject2({.depth = 1, .characterId = 1})},
                           Quality::kHigh);
  for (int i = 1; i < 19; ++i) {
    const Rgba c = p.At(19 - i, i);
    EXPECT_LT(c.g, 8) << "background shows at " << 19 - i << "," << i;
  }
  EXPECT_EQ(p.At(3, 3), kRed);
  EXPECT_EQ(p.At(16, 16), (Rgba{0, 0, 255, 255}));
}

TEST(RenderTest, HairlineStrokeIsOnePixelWide) {
  const Bytes shape = swftest::ShapeWriter(3)
                          .Line(0, {0, 0, 0, 255})
                          .BeginRecords()
                          .Change(-1, -1, 1, true, 0, 210)  // y = 10.5 pixels, a pixel row's centre
                          .LineTo(600, 0)
                          .End();
  for (Quality quality : {Quality::kLow, Quality::kHigh}) {
    const Picture p = Render({swftest::DefineShape(3, 1, {0, 600, 200, 220}, shape), swftest::PlaceObject2({.depth = 1, .characterId = 1})},
                             quality);
    EXPECT_EQ(p.At(15, 10), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(p.At(15, 9), kWhite);
    EXPECT_EQ(p.At(15, 11), kWhite);
  }
}

TEST(RenderTest, ColorTransformAndBgraOrder) {
  ColorTransform toBlue;
  toBlue.redMult = 0;
  toBlue.blueAdd = 255;
  const std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 800, kRed),
                                   swftest::PlaceObject2({.depth = 1, .characterId = 1, .colorTransform = &toBlue})};
  const Picture p = Render(tags, Quality::kLow, 40, 30, PixelFormat::kBgra32);
  // Stored B, G, R, A: blue comes first.
  EXPECT_EQ(p.rgba[0], 255);
  EXPECT_EQ(p.rgba[1], 0);
  EXPECT_EQ(p.rgba[2], 0);
  EXPECT_EQ(p.rgba[3], 255);
}

TEST(RenderTest, ShowAllKeepsTheAspectAndCentres) {
  // A 40 x 30 stage shown in 80 x 100: scale 2, 20 pixels of border above and below.
  const Matrix view = ShowAllTransform({0, 800, 0, 600}, 80, 100);
  const Point topLeft = view.Apply({0, 0});
  const Point bottomRight = view.Apply({800, 600});
  EXPECT_DOUBLE_EQ(topLeft.x, 0);
  EXPECT_DOUBLE_EQ(topLeft.y, 20);
  EXPECT_DOUBLE_EQ(bottomRight.x, 80);
  EXPECT_DOUBLE_EQ(bottomRight.y, 80);

  // A square as high as the stage (30 pixels) becomes 60 pixels.
  const std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 600, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1})};
  const Picture p = Render(tags, Quality::kLow, 80, 100);
  EXPECT_EQ(p.At(10, 19), kWhite);  // the border shows the background colour
  EXPECT_EQ(p.At(10, 20), kRed);
  EXPECT_EQ(p.At(59, 79), kRed);
  EXPECT_EQ(p.At(60, 79), kWhite);
  EXPECT_EQ(p.At(10, 80), kWhite);
}

TEST(RenderTest, BottomUpTargetsDrawTheTopRowLast) {
  const std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 200, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1})};
  const Bytes file = swftest::Movie(
      {swftest::Tag(9, {255, 255, 255}), tags[0], tags[1], swftest::ShowFrame()}, swftest::Signature::kFws, 10,
      {0, 800, 0, 600});
  Player player(file);
  std::vector<uint8_t> pixels(40 * 30 * 4);
  player.Render({pixels.data(), 40, 30, -40 * 4, PixelFormat::kRgba32}, Quality::kLow);
  // Row 0 of the picture (the top, with the square) is the last row in memory.
  const uint8_t* lastRow = &pixels[29 * 40 * 4];
  EXPECT_EQ(lastRow[1], 0);    // red: no green
  EXPECT_EQ(pixels[1], 255);   // the first row in memory is the bottom: white
}

TEST(GeometryTest, CurveChordsStayCloseToTheCurve) {
  std::vector<Point> out;
  const Point a{0, 0}, c{100, 0}, b{100, 100};
  FlattenQuadratic(a, c, b, out);
  ASSERT_GE(out.size(), 4u);
  EXPECT_EQ(out.back(), b);
  // Every chord midpoint is within the tolerance of the true curve (checked
  // against a dense sampling).
  Point previous = a;
  for (const Point& p : out) {
    const Point mid{(previous.x + p.x) / 2, (previous.y + p.y) / 2};
    double best = 1e9;
    for (int i = 0; i <= 2000; ++i) {
      const double t = i / 2000.0, u = 1 - t;
      const double x = u * u * a.x + 2 * u * t * c.x + t * t * b.x;
      const double y = u * u * a.y + 2 * u * t * c.y + t * t * b.y;
      best = std::min(best, std::hypot(x - mid.x, y - mid.y));
    }
    EXPECT_LT(best, kFlatteningTolerance * 1.5);
    previous = p;
  }
}

TEST(GeometryTest, StraightAndCollinearCurvesBecomeSingleChords) {
  std::vector<Point> out;
  FlattenQuadratic({0, 0}, {5, 5}, {10, 10}, out);
  EXPECT_EQ(out.size(), 1u);
  out.clear();
  // Control point beyond the end: the curve runs past (10, 0) and back.
  FlattenQuadratic({0, 0}, {20, 0}, {10, 0}, out);
  double furthest = 0;
  for (const Point& p : out) furthest = std::max(furthest, p.x);
  EXPECT_GT(furthest, 13);
}

TEST(GeometryTest, CurveWithinTheToleranceOfItsChordIsThatChord) {
  // Strays exactly the tolerance from the chord at its middle.
  std::vector<Point> out;
  FlattenQuadratic({0, 0}, {5, 2 * kFlatteningTolerance}, {10, 0}, out);
  EXPECT_EQ(out, (std::vector<Point>{{10, 0}}));
  out.clear();
  // A little more and it needs two chords, whose inner point lies on the curve.
  FlattenQuadratic({0, 0}, {5, 2.2 * kFlatteningTolerance}, {10, 0}, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NEAR(out[0].x, 5, 1e-9);
  EXPECT_NEAR(out[0].y, 1.1 * kFlatteningTolerance, 1e-9);
}

TEST(GeometryTest, ChordsOfAReversedCurveAreTheSamePoints) {
  // Both fills along a shared curve must see one boundary.
  const Point a{3, 7}, c{90, -20}, b{40, 60};
  std::vector<Point> forward{a}, backward{b};
  FlattenQuadratic(a, c, b, forward);
  FlattenQuadratic(b, c, a, backward);
  ASSERT_EQ(forward.size(), backward.size());
  for (size_t i = 0; i < forward.size(); ++i) {
    EXPECT_NEAR(forward[i].x, backward[backward.size() - 1 - i].x, 1e-9);
    EXPECT_NEAR(forward[i].y, backward[backward.size() - 1 - i].y, 1e-9);
  }
}

TEST(AliasedRasterizerTest, EdgesAMereRoundingAwayFromPixelCentresRunThroughThem) {
  // A rectangle meant to span x 2.5 .. 6.5 and y 1.5 .. 3.5, its corners off
  // by less than the 1/256-pixel grid. Centres on the left and top edges
  // belong to it, those on the right and bottom edges do not.
  for (const double off : {-1e-6, 1e-6}) {
    AliasedRasterizer rasterizer(10, 6);
    rasterizer.Styles(0, -1);
    rasterizer.MoveTo({2.5 + off, 1.5 - off});
    rasterizer.LineTo({6.5 - off, 1.5 + off});
    rasterizer.LineTo({6.5 + off, 3.5 - off});
    rasterizer.LineTo({2.5 - off, 3.5 + off});
    rasterizer.LineTo({2.5 + off, 1.5 - off});
    std::vector<std::array<int, 3>> runs;
    rasterizer.Render(AliasedRasterizer::FillRule::kNonZero,
                      [&](int y, int x0, int x1, int style) {
                        EXPECT_EQ(style, 0);
                        runs.push_back({y, x0, x1});
                      });
    EXPECT_EQ(runs, (std::vector<std::array<int, 3>>{{1, 2, 6}, {2, 2, 6}})) << "offset " << off;
  }
}

TEST(GeometryTest, StrokeOutlineCoversItsWidth) {
  StrokeStyle style;
  style.width = 4;
  style.startCap = style.endCap = CapStyle::kNone;
  const auto contours = StrokePolyline({{10, 10}, {30, 10}}, false, style);
  ASSERT_EQ(contours.size(), 1u);
  double minY = 1e9, maxY = -1e9, minX = 1e9, maxX = -1e9;
  for (const Point& p : contours[0]) {
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
  }
  EXPECT_DOUBLE_EQ(minY, 8);
  EXPECT_DOUBLE_EQ(maxY, 12);
  EXPECT_DOUBLE_EQ(minX, 10);  // butt caps end at the points
  EXPECT_DOUBLE_EQ(maxX, 30);
  style.startCap = style.endCap = CapStyle::kSquare;
  const auto square = StrokePolyline({{10, 10}, {30, 10}}, false, style);
  double squareMinX = 1e9;
  for (const Point& p : square[0]) squareMinX = std::min(squareMinX, p.x);
  EXPECT_DOUBLE_EQ(squareMinX, 8);
  // A closed outline has an outer and an inner contour.
  EXPECT_EQ(StrokePolyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}}, true, style).size(), 2u);
}

}  // namespace
}  // namespace swf
