#include "swf/parse/matrix.h"

#include <gtest/gtest.h>

#include "swf/parse/color_transform.h"

namespace swf {
namespace {

void ExpectPoint(Point actual, double x, double y) {
  EXPECT_NEAR(actual.x, x, 1e-9);
  EXPECT_NEAR(actual.y, y, 1e-9);
}

TEST(MatrixTest, ApplyUsesTheFileLayout) {
  // x' = a x + c y + tx, y' = b x + d y + ty
  const Matrix m{2, 3, 5, 7, 11, 13};
  ExpectPoint(m.Apply({1, 0}), 13, 16);
  ExpectPoint(m.Apply({0, 1}), 16, 20);
}

TEST(MatrixTest, ComposeAppliesInnerFirstThenOuter) {
  const Matrix scale = Matrix::Scale(2, 2);
  const Matrix move = Matrix::Translate(100, 0);
  // A child scaled by its own matrix, inside a parent that is moved.
  ExpectPoint(Matrix::Compose(scale, move).Apply({10, 10}), 120, 20);
  // The other order moves first and then scales the moved point.
  ExpectPoint(Matrix::Compose(move, scale).Apply({10, 10}), 220, 20);
}

TEST(MatrixTest, ComposeMatchesApplyingTwice) {
  const Matrix inner{0.8, 0.6, -0.6, 0.8, 40, -7};
  const Matrix outer{1.5, 0, 0.25, 2, -3, 9};
  const Point p{17, -4};
  const Point twice = outer.Apply(inner.Apply(p));
  ExpectPoint(Matrix::Compose(inner, outer).Apply(p), twice.x, twice.y);
}

TEST(MatrixTest, InverseUndoesAndSingularHasNone) {
  const Matrix m{0.8, 0.6, -1.2, 1.6, 40, -7};
  const auto inverse = m.Inverse();
  ASSERT_TRUE(inverse.has_value());
  ExpectPoint(inverse->Apply(m.Apply({3, 9})), 3, 9);
  EXPECT_FALSE((Matrix{1, 2, 2, 4, 0, 0}.Inverse().has_value()));
}

TEST(ColorTransformTest, MultipliesThenAddsThenClamps) {
  ColorTransform cx;
  cx.redMult = 128;  // 0.5
  cx.redAdd = 10;
  cx.greenAdd = 300;
  cx.blueMult = -256;
  cx.alphaMult = 512;
  const Rgba out = cx.Apply({200, 100, 50, 200});
  EXPECT_EQ(out, (Rgba{110, 255, 0, 255}));
}

TEST(ColorTransformTest, ComposeAppliesChildThenParentWithoutClampingBetween) {
  ColorTransform child;
  child.redAdd = 200;  // pushes red past 255 on its own
  ColorTransform parent;
  parent.redMult = 128;
  const ColorTransform both = ColorTransform::Compose(child, parent);
  // (100 + 200) / 2 = 150; clamping in between would give 127.
  EXPECT_EQ(both.Apply({100, 0, 0, 255}).r, 150);
  EXPECT_TRUE(ColorTransform::Compose(ColorTransform::Identity(), ColorTransform::Identity()).IsIdentity());
}

}  // namespace
}  // namespace swf
