#include <gtest/gtest.h>

#include "swf/parse/bit_reader.h"
#include "swf/parse/shape.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::ShapeWriter;

std::vector<ShapeLayer> Parse(const swftest::Bytes& bytes, int version) {
  BitReader reader(bytes);
  return ParseShapeWithStyle(reader, version);
}

TEST(ShapeParseTest, EdgesKeepTheirFillsAndMoveToIsAbsolute) {
  const auto bytes = ShapeWriter(3)
                         .Solid({255, 0, 0, 255})
                         .Solid({0, 0, 255, 128})
                         .BeginRecords()
                         .Change(1, 2, -1, true, 100, 200)
                         .LineTo(50, 0)
                         .LineTo(0, 50)
                         .Change(-1, 0, -1, true, 10, 20)  // absolute, not relative to (150, 250)
                         .LineTo(-10, -20)
                         .End();
  const auto layers = Parse(bytes, 3);
  ASSERT_EQ(layers.size(), 1u);
  const ShapeLayer& layer = layers[0];
  ASSERT_EQ(layer.fills.size(), 2u);
  EXPECT_EQ(std::get<SolidFill>(layer.fills[1]).color, (Rgba{0, 0, 255, 128}));
  ASSERT_EQ(layer.paths.size(), 2u);
  EXPECT_EQ(layer.paths[0].fill0, 1u);
  EXPECT_EQ(layer.paths[0].fill1, 2u);
  EXPECT_EQ(layer.paths[0].start, (Point{100, 200}));
  ASSERT_EQ(layer.paths[0].segments.size(), 2u);
  EXPECT_EQ(layer.paths[0].segments[1].to, (Point{150, 250}));
  // fill0 carries over from the previous record, fill1 was set to 0.
  EXPECT_EQ(layer.paths[1].fill0, 1u);
  EXPECT_EQ(layer.paths[1].fill1, 0u);
  EXPECT_EQ(layer.paths[1].start, (Point{10, 20}));
  EXPECT_EQ(layer.paths[1].segments[0].to, (Point{0, 0}));
}

TEST(ShapeParseTest, CurveAnchorIsRelativeToTheControlPoint) {
  const auto bytes =
      ShapeWriter(2).Solid({0, 0, 0, 255}).BeginRecords().Change(1, -1, -1, true, 0, 0).CurveTo(100, 0, 0, 100).End();
  const auto layers = Parse(bytes, 2);
  const Segment& curve = layers[0].paths[0].segments[0];
  EXPECT_TRUE(curve.curved);
  EXPECT_EQ(curve.control, (Point{100, 0}));
  EXPECT_EQ(curve.to, (Point{100, 100}));
}

TEST(ShapeParseTest, NewStylesStartALayerAndIndicesReferToTheNewArrays) {
  const auto bytes = ShapeWriter(2)
                         .Solid({1, 1, 1, 255})
                         .BeginRecords()
                         .Change(1, -1, -1, true, 0, 0)
                         .LineTo(10, 0)
                         .NewStyles({{2, 2, 2, 255}, {3, 3, 3, 255}}, -1, 1)
                         .Change(-1, -1, -1, true, 0, 0)
                         .LineTo(0, 10)
                         .End();
  const auto layers = Parse(bytes, 2);
  ASSERT_EQ(layers.size(), 2u);
  ASSERT_EQ(layers[1].fills.size(), 2u);
  ASSERT_EQ(layers[1].paths.size(), 1u);
  // fill0 was not in the new-styles record, so it went back to none.
  EXPECT_EQ(layers[1].paths[0].fill0, 0u);
  EXPECT_EQ(layers[1].paths[0].fill1, 1u);
  EXPECT_EQ(std::get<SolidFill>(layers[1].fills[0]).color.r, 2);
}

TEST(ShapeParseTest, StyleNumbersBeyondTheArraysMeanNone) {
  const auto bytes = ShapeWriter(3)
                         .Solid({1, 1, 1, 255})
                         .Solid({1, 1, 1, 255})
                         .Line(20, {0, 0, 0, 255})
                         .BeginRecords()
                         .Change(3, 2, -1, true, 0, 0)  // 2 fill bits allow 3; only 2 fills exist
                         .LineTo(10, 10)
                         .End();
  const auto layers = Parse(bytes, 3);
  ASSERT_EQ(layers[0].paths.size(), 1u);
  EXPECT_EQ(layers[0].paths[0].fill0, 0u);
  EXPECT_EQ(layers[0].paths[0].fill1, 2u);
}

TEST(ShapeParseTest, ShapeOneReadsAStyleCountOf255Literally) {
  swftest::BitWriter w;
  w.U8(0xFF);  // 255 fills in DefineShape; an extended count in DefineShape2+
  for (int i = 0; i < 255; ++i) {
    w.U8(0);
    w.Rgb({static_cast<uint8_t>(i), 0, 0, 255});
  }
  w.U8(0);  // no lines
  w.UB(8, 4);
  w.UB(0, 4);
  w.UB(0, 6);  // end
  const auto bytes = w.Take();
  const auto layers = Parse(bytes, 1);
  ASSERT_EQ(layers[0].fills.size(), 255u);
  EXPECT_EQ(std::get<SolidFill>(layers[0].fills[254]).color.r, 254);
}

TEST(ShapeParseTest, LineStyle2ReadsCapsJoinsAndMiterLimit) {
  swftest::BitWriter w;
  w.U8(0);  // no fills
  w.U8(1);
  w.U16(40);
  w.UB(1, 2);  // start cap none
  w.UB(2, 2);  // miter join
  w.UB(0, 1);  // no fill
  w.UB(0, 3);
  w.UB(0, 5);
  w.UB(1, 1);  // no close
  w.UB(2, 2);  // end cap square
  w.U16(0x0280);  // miter limit 2.5
  w.Rgba({9, 8, 7, 6});
  w.UB(0, 4);
  w.UB(1, 4);
  w.UB(0, 6);
  const auto bytes = w.Take();
  const auto layers = Parse(bytes, 4);
  const LineStyle& line = layers[0].lines.at(0);
  EXPECT_EQ(line.width, 40);
  EXPECT_EQ(line.startCap, CapStyle::kNone);
  EXPECT_EQ(line.endCap, CapStyle::kSquare);
  EXPECT_EQ(line.join, JoinStyle::kMiter);
  EXPECT_DOUBLE_EQ(line.miterLimit, 2.5);
  EXPECT_TRUE(line.noClose);
  EXPECT_EQ(line.color, (Rgba{9, 8, 7, 6}));
}

TEST(ShapeParseTest, GradientAndBitmapFillsAreReadAsTheirOwnKinds) {
  swftest::BitWriter w;
  w.U8(2);
  w.U8(0x12);  // radial gradient
  w.Matrix(Matrix::Scale(0.5, 0.5));
  w.U8(0x42);  // reflect, 2 stops
  w.U8(0);
  w.Rgba({255, 0, 0, 255});
  w.U8(255);
  w.Rgba({0, 0, 255, 255});
  w.U8(0x43);  // clipped bitmap, not smoothed
  w.U16(12);
  w.Matrix(Matrix::Scale(20, 20));
  w.U8(0);
  w.UB(2, 4);
  w.UB(0, 4);
  w.UB(0, 6);
  const auto bytes = w.Take();
  const auto layers = Parse(bytes, 4);
  const auto& gradient = std::get<GradientFill>(layers[0].fills[0]);
  EXPECT_EQ(gradient.kind, GradientFill::Kind::kRadial);
  EXPECT_EQ(gradient.spreadMode, 1);
  ASSERT_EQ(gradient.stops.size(), 2u);
  EXPECT_EQ(gradient.stops[1].ratio, 255);
  const auto& bitmap = std::get<BitmapFill>(layers[0].fills[1]);
  EXPECT_EQ(bitmap.bitmapId, 12);
  EXPECT_FALSE(bitmap.repeat);
  EXPECT_FALSE(bitmap.smooth);
}

}  // namespace
}  // namespace swf
