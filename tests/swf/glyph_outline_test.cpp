// Glyph placement on whole stage twips and glyph curves followed closely.
#include "swf/render/glyph_outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace swf {
namespace {

constexpr Matrix kStageView{0.05, 0, 0, 0.05, 7, 3};  // twips to pixels, with an offset

TEST(GlyphToDeviceTest, OriginGoesToTheNearestWholeStageTwip) {
  // The glyph sits 5 twips into the text; the text is placed at scale 1/8,
  // so the glyph would start 0.625 twips into the stage, and starts at 1.
  const Matrix glyph{0.5, 0, 0, 0.5, 5, -3};
  const Matrix placement{0.125, 0, 0, 0.125, 100, 40};
  const Matrix textWorld = Matrix::Compose(placement, kStageView);
  const Matrix device = GlyphToDevice(glyph, textWorld, kStageView);
  EXPECT_NEAR(device.tx, 7 + 0.05 * 101, 1e-12);
  EXPECT_NEAR(device.ty, 3 + 0.05 * 40, 1e-12);  // 39.625 twips
  // The scale stays as composed.
  EXPECT_NEAR(device.a, 0.5 * 0.125 * 0.05, 1e-15);
  EXPECT_NEAR(device.d, 0.5 * 0.125 * 0.05, 1e-15);
  EXPECT_EQ(device.b, 0);
  EXPECT_EQ(device.c, 0);
}

TEST(GlyphToDeviceTest, NegativeAndRotatedPlacementsRoundToo) {
  const Matrix glyph{1, 0, 0, 1, 3, 0};
  const Matrix placement{0, 0.25, -0.25, 0, -50, 20};  // a quarter turn at scale 1/4
  const Matrix device = GlyphToDevice(glyph, Matrix::Compose(placement, kStageView), kStageView);
  // The glyph origin: (-50 + 0, 20 + 0.75) twips -> (-50, 21).
  EXPECT_NEAR(device.tx, 7 - 0.05 * 50, 1e-12);
  EXPECT_NEAR(device.ty, 3 + 0.05 * 21, 1e-12);
  EXPECT_NEAR(device.b, 0.25 * 0.05, 1e-15);
  EXPECT_NEAR(device.c, -0.25 * 0.05, 1e-15);
}

TEST(GlyphToDeviceTest, FlatViewLeavesTheOriginAlone) {
  const Matrix flatView{0, 0, 0, 0, 4, 4};
  const Matrix glyph{1, 0, 0, 1, 0.3, 0.7};
  const Matrix textWorld{2, 0, 0, 2, 1.1, 2.2};
  EXPECT_EQ(GlyphToDevice(glyph, textWorld, flatView), Matrix::Compose(glyph, textWorld));
}

ShapeDefinition CurvedGlyph() {
  ShapeDefinition glyph;
  glyph.id = 9;
  ShapePath path;
  path.fill0 = 1;
  path.start = {0, 0};
  path.segments = {{true, {500, -700}, {1000, 0}}, {false, {}, {1000, 300}}, {false, {}, {0, 0}}};
  glyph.layers.push_back(ShapeLayer{{SolidFill{Rgba{1, 2, 3, 255}}}, {}, {path}});
  return glyph;
}

Point CurveAt(double t) {
  const double u = 1 - t;
  return {2 * u * t * 500 + t * t * 1000, 2 * u * t * -700};
}

// Every chord of the curve ends on it, and its middle strays from the curve
// (the largest stray of an equal step in t) by at most the tolerance once
// drawn.
TEST(FollowGlyphCurvesTest, ChordsStayWithinTheToleranceOnTheDevice) {
  for (const double scale : {0.001, 0.05, 0.7}) {
    const Matrix toDevice{scale, 0.2 * scale, -0.1 * scale, scale, 300, 40};
    ShapeDefinition scratch;
    const ShapeDefinition& followed = FollowGlyphCurves(CurvedGlyph(), toDevice, scratch);
    ASSERT_EQ(&followed, &scratch);
    ASSERT_EQ(followed.layers.size(), 1u);
    ASSERT_EQ(followed.layers[0].paths.size(), 1u);
    const ShapePath& path = followed.layers[0].paths[0];
    const std::vector<Segment>& segments = path.segments;
    ASSERT_GE(segments.size(), 3u);
    const size_t chords = segments.size() - 2;
    Point previous = path.start;
    for (size_t i = 0; i < chords; ++i) {
      ASSERT_FALSE(segments[i].curved);
      const double t0 = static_cast<double>(i) / chords;
      const double t1 = static_cast<double>(i + 1) / chords;
      const Point end = CurveAt(t1);
      EXPECT_NEAR(segments[i].to.x, end.x, 1e-9);
      EXPECT_NEAR(segments[i].to.y, end.y, 1e-9);
      const Point middle{(previous.x + segments[i].to.x) / 2, (previous.y + segments[i].to.y) / 2};
      const Point onCurve = CurveAt((t0 + t1) / 2);
      const Point a = toDevice.Apply(middle);
      const Point b = toDevice.Apply(onCurve);
      EXPECT_LE(std::hypot(a.x - b.x, a.y - b.y), kGlyphCurveTolerance) << "scale " << scale << " chord " << i;
      previous = segments[i].to;
    }
    // The curve ends exactly where it did; straight edges stay as they were.
    EXPECT_EQ(segments[chords - 1].to, (Point{1000, 0}));
    EXPECT_EQ(segments[chords].to, (Point{1000, 300}));
    EXPECT_EQ(segments[chords + 1].to, (Point{0, 0}));
    if (scale == 0.7) {
      EXPECT_GT(chords, 30u);
    }
  }
}

TEST(FollowGlyphCurvesTest, StylesKeptAndOldContentReplaced) {
  ShapeDefinition followed;
  ShapeDefinition big = CurvedGlyph();
  big.layers.push_back(big.layers[0]);
  big.layers[1].paths.push_back(big.layers[1].paths[0]);
  ASSERT_EQ(FollowGlyphCurves(big, Matrix::Scale(0.05, 0.05), followed).layers.size(), 2u);

  ShapeDefinition small = CurvedGlyph();
  small.nonZeroWinding = true;
  small.layers[0].paths[0].fill1 = 1;
  ASSERT_EQ(&FollowGlyphCurves(small, Matrix::Scale(0.0001, 0.0001), followed), &followed);
  ASSERT_EQ(followed.layers.size(), 1u);
  EXPECT_EQ(followed.id, 9);
  EXPECT_TRUE(followed.nonZeroWinding);
  ASSERT_EQ(followed.layers[0].fills.size(), 1u);
  EXPECT_EQ(std::get<SolidFill>(followed.layers[0].fills[0]).color, (Rgba{1, 2, 3, 255}));
  ASSERT_EQ(followed.layers[0].paths.size(), 1u);
  EXPECT_EQ(followed.layers[0].paths[0].fill0, 1u);
  EXPECT_EQ(followed.layers[0].paths[0].fill1, 1u);
  // At this size the curve strays far less than a pixel but more than the
  // tolerance: a few chords, none left from the earlier, larger drawing.
  EXPECT_GT(followed.layers[0].paths[0].segments.size(), 3u);
  EXPECT_LT(followed.layers[0].paths[0].segments.size(), 12u);
}

TEST(FollowGlyphCurvesTest, HugeOrBrokenScalesKeepTheChordsBounded) {
  for (const double scale : {1e9, std::numeric_limits<double>::infinity(), std::nan("")}) {
    ShapeDefinition scratch;
    const ShapeDefinition& followed = FollowGlyphCurves(CurvedGlyph(), Matrix::Scale(scale, scale), scratch);
    ASSERT_EQ(followed.layers.size(), 1u);
    const size_t count = followed.layers[0].paths[0].segments.size();
    EXPECT_LE(count, static_cast<size_t>(kMaxGlyphChordsPerCurve) + 2);
    EXPECT_GE(count, 3u);
  }
}

// A glyph of many curves drawn huge would need more edges than the ceiling:
// it is drawn as it is, its curves flattened like those of shapes.
TEST(FollowGlyphCurvesTest, GlyphBeyondTheCeilingOnEdgesIsReturnedItself) {
  const size_t curves = kMaxGlyphOutlineEdges / kMaxGlyphChordsPerCurve + 1;
  ShapeDefinition glyph = CurvedGlyph();
  ShapePath& path = glyph.layers[0].paths[0];
  path.segments.clear();
  for (size_t i = 0; i < curves; ++i) {
    const double x = 1000.0 * static_cast<double>(i);
    path.segments.push_back({true, {x + 500, -700}, {x + 1000, 0}});
  }
  ShapeDefinition scratch;
  EXPECT_EQ(&FollowGlyphCurves(glyph, Matrix::Scale(1e6, 1e6), scratch), &glyph);
  // One curve fewer fits, every curve on its largest count of chords.
  path.segments.pop_back();
  const ShapeDefinition& followed = FollowGlyphCurves(glyph, Matrix::Scale(1e6, 1e6), scratch);
  ASSERT_EQ(&followed, &scratch);
  EXPECT_EQ(followed.layers[0].paths[0].segments.size(), (curves - 1) * kMaxGlyphChordsPerCurve);
}

}  // namespace
}  // namespace swf
