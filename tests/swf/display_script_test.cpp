// What scripts ask of clips' geometry and colour: hitTest by box and by
// shape, Color and the transform property, driven through the Vm.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "swf/runtime/runtime.h"
#include "swf_builder.h"

namespace swf {
namespace {

using avm1::Value;
using swftest::Bytes;

// A 100-twip (5 px) square shape in a sprite, placed as "box" at (10, 20)
// px and unnamed at the origin.
ParsedMovie Squares() {
  const Matrix at = Matrix::Translate(200, 400);
  return ParseMovie(swftest::Movie(
      {swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}),
       swftest::DefineSprite(2, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()}),
       swftest::PlaceObject2({.depth = 1, .characterId = 2, .matrix = &at, .name = "box"}),
       swftest::PlaceObject2({.depth = 2, .characterId = 2, .name = "other"}), swftest::ShowFrame()},
      swftest::Signature::kFws, 8));
}

class DisplayScripts : public ::testing::Test {
 protected:
  DisplayScripts() : movie_(Squares()), runtime_(movie_), vm_(runtime_.Scripts()) {}

  Value Member(const char* name) { return vm_.GetMember(runtime_.Bridge().ValueOf(runtime_.Root()), name); }
  Value Call(const Value& self, const char* method, std::initializer_list<Value> args) {
    return vm_.CallMethod(self, method, std::span<const Value>(args.begin(), args.size()));
  }

  ParsedMovie movie_;
  Runtime runtime_;
  avm1::Vm& vm_;
};

struct HitCase {
  double x;
  double y;
  bool shape;
  bool expected;
};

TEST_F(DisplayScripts, HitTestTakesRootPixelsAgainstBoxOrShape) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const HitCase cases[] = {
      {12, 22, false, true}, {12, 22, true, true},  {9, 22, false, false}, {16, 22, true, false},
      {12, 26, true, false}, {10, 20, false, true}, {kNaN, 22, false, false}, {kNaN, kNaN, true, false},
  };
  const Value box = Member("box");
  for (const HitCase& c : cases) {
    const Value hit = Call(box, "hitTest", {Value::Number(c.x), Value::Number(c.y), Value::Boolean(c.shape)});
    ASSERT_TRUE(hit.Is(avm1::ValueKind::kBoolean)) << c.x << "," << c.y;
    EXPECT_EQ(hit.AsBoolean(), c.expected) << c.x << "," << c.y << (c.shape ? " shape" : " box");
  }
  EXPECT_TRUE(Call(box, "hitTest", {Member("box")}).AsBoolean());
  EXPECT_FALSE(Call(box, "hitTest", {Member("other")}).AsBoolean()) << "(0..5) and (10..15) do not meet";
}

TEST_F(DisplayScripts, ColorAndTransformReachTheClip) {
  const Value color = vm_.Construct(vm_.GetMember(Value::Object(vm_.Classes().global), "Color"), std::initializer_list<Value>{Member("box")});
  Call(color, "setRGB", {Value::Number(0xFF8020)});
  EXPECT_EQ(vm_.ToNumber(Call(color, "getRGB", {})), 0xFF8020);
  const DisplayObject* box = runtime_.Objects().Get(runtime_.Bridge().HandleOfValue(Member("box")));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->colorTransform.redMult, 0);
  EXPECT_EQ(box->colorTransform.redAdd, 255);
  EXPECT_EQ(box->colorTransform.greenAdd, 128);
  EXPECT_EQ(box->colorTransform.blueAdd, 32);

  const Value matrix = vm_.GetMember(vm_.GetMember(Member("box"), "transform"), "matrix");
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(matrix, "tx")), 10);
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(matrix, "ty")), 20);
  // Setting a moved matrix back through `transform` moves the clip.
  vm_.SetMember(matrix, "tx", Value::Number(30));
  vm_.SetMember(vm_.GetMember(Member("box"), "transform"), "matrix", matrix);
  EXPECT_EQ(box->matrix.tx, 600);
}

}  // namespace
}  // namespace swf
