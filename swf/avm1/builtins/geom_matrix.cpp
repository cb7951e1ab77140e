// flash.geom.Matrix: a, b, c, d, tx and ty are plain members; the methods
// read them as numbers and write the results back.
#include <array>
#include <cmath>

#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

constexpr const char* kNames[] = {"a", "b", "c", "d", "tx", "ty"};
using Numbers = std::array<double, 6>;

Numbers Read(Vm& vm, const Value& matrix) {
  Numbers values;
  for (size_t i = 0; i < 6; ++i) values[i] = vm.ToNumber(vm.GetMember(matrix, kNames[i]));
  return values;
}

void Write(Vm& vm, const Value& matrix, const Numbers& values) {
  for (size_t i = 0; i < 6; ++i) vm.SetMember(matrix, kNames[i], Value::Number(values[i]));
}

// `first` then `second`.
Numbers Concatenated(const Numbers& m, const Numbers& n) {
  return {m[0] * n[0] + m[1] * n[2], m[0] * n[1] + m[1] * n[3], m[2] * n[0] + m[3] * n[2],
          m[2] * n[1] + m[3] * n[3], m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

Value NewPoint(Vm& vm, double x, double y) {
  const Value point = vm.GetMember(Value::Object(GeomPackage(vm)), "Point");
  const Value args[] = {Value::Number(x), Value::Number(y)};
  return vm.Construct(point, args);
}

Value Construct(NativeCall& call) {
  Vm& vm = call.vm;
  if (call.args.empty()) {
    Write(vm, call.self, {1, 0, 0, 1, 0, 0});
    return {};
  }
  for (size_t i = 0; i < 6; ++i) vm.SetMember(call.self, kNames[i], call.Arg(i));
  return {};
}

Value ToStringMethod(NativeCall& call) {
  Vm& vm = call.vm;
  std::string text = "(";
  for (size_t i = 0; i < 6; ++i) {
    if (i > 0) text += ", ";
    text += kNames[i];
    text += '=';
    text += vm.ToStringValue(vm.GetMember(call.self, kNames[i]));
  }
  return Value::String(text + ")");
}

Value Identity(NativeCall& call) {
  Write(call.vm, call.self, {1, 0, 0, 1, 0, 0});
  return {};
}

Value Clone(NativeCall& call) {
  Vm& vm = call.vm;
  Value args[6];
  for (size_t i = 0; i < 6; ++i) args[i] = vm.GetMember(call.self, kNames[i]);
  return vm.Construct(vm.GetMember(Value::Object(GeomPackage(vm)), "Matrix"), args);
}

Value Scale(NativeCall& call) {
  Vm& vm = call.vm;
  const double sx = vm.ToNumber(call.Arg(0));
  const double sy = vm.ToNumber(call.Arg(1));
  Write(vm, call.self, Concatenated(Read(vm, call.self), {sx, 0, 0, sy, 0, 0}));
  return {};
}

Value Rotate(NativeCall& call) {
  Vm& vm = call.vm;
  const double angle = vm.ToNumber(call.Arg(0));
  const double cos = std::cos(angle);
  const double sin = std::sin(angle);
  Write(vm, call.self, Concatenated(Read(vm, call.self), {cos, sin, -sin, cos, 0, 0}));
  return {};
}

Value Translate(NativeCall& call) {
  Vm& vm = call.vm;
  Numbers values = Read(vm, call.self);
  values[4] += vm.ToNumber(call.Arg(0));
  values[5] += vm.ToNumber(call.Arg(1));
  Write(vm, call.self, values);
  return {};
}

Value Concat(NativeCall& call) {
  Vm& vm = call.vm;
  Write(vm, call.self, Concatenated(Read(vm, call.self), Read(vm, call.Arg(0))));
  return {};
}

Value Invert(NativeCall& call) {
  Vm& vm = call.vm;
  const Numbers m = Read(vm, call.self);
  const double det = m[0] * m[3] - m[1] * m[2];
  Write(vm, call.self,
        {m[3] / det, -m[1] / det, -m[2] / det, m[0] / det, (m[2] * m[5] - m[3] * m[4]) / det,
         (m[1] * m[4] - m[0] * m[5]) / det});
  return {};
}

// A translation left out is none; the rotation of createBox is not.
double OptionalNumber(Vm& vm, const Value& value) { return value.Is(ValueKind::kUndefined) ? 0 : vm.ToNumber(value); }

Value CreateBox(NativeCall& call) {
  Vm& vm = call.vm;
  const double sx = vm.ToNumber(call.Arg(0));
  const double sy = vm.ToNumber(call.Arg(1));
  const double angle = vm.ToNumber(call.Arg(2));
  const double cos = std::cos(angle);
  const double sin = std::sin(angle);
  Write(vm, call.self,
        {cos * sx, sin * sy, -sin * sx, cos * sy, OptionalNumber(vm, call.Arg(3)), OptionalNumber(vm, call.Arg(4))});
  return {};
}

// A gradient's square is 1638.4 pixels wide, centred on its origin.
Value CreateGradientBox(NativeCall& call) {
  Vm& vm = call.vm;
  const double width = vm.ToNumber(call.Arg(0));
  const double height = vm.ToNumber(call.Arg(1));
  const double angle = OptionalNumber(vm, call.Arg(2));
  const double cos = std::cos(angle);
  const double sin = std::sin(angle);
  const double sx = width / 1638.4;
  const double sy = height / 1638.4;
  Write(vm, call.self,
        {cos * sx, sin * sy, -sin * sx, cos * sy, OptionalNumber(vm, call.Arg(3)) + width / 2,
         OptionalNumber(vm, call.Arg(4)) + height / 2});
  return {};
}

Value TransformPoint(NativeCall& call) {
  Vm& vm = call.vm;
  const Numbers m = Read(vm, call.self);
  const double x = vm.ToNumber(vm.GetMember(call.Arg(0), "x"));
  const double y = vm.ToNumber(vm.GetMember(call.Arg(0), "y"));
  return NewPoint(vm, m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5]);
}

Value DeltaTransformPoint(NativeCall& call) {
  Vm& vm = call.vm;
  const Numbers m = Read(vm, call.self);
  const double x = vm.ToNumber(vm.GetMember(call.Arg(0), "x"));
  const double y = vm.ToNumber(vm.GetMember(call.Arg(0), "y"));
  return NewPoint(vm, m[0] * x + m[2] * y, m[1] * x + m[3] * y);
}

Value CallMatrix(NativeCall&) { return {}; }

constexpr NativeMember kMembers[] = {
    {"toString", ToStringMethod},
    {"identity", Identity},
    {"clone", Clone},
    {"scale", Scale},
    {"rotate", Rotate},
    {"translate", Translate},
    {"concat", Concat},
    {"invert", Invert},
    {"createBox", CreateBox},
    {"createGradientBox", CreateGradientBox},
    {"transformPoint", TransformPoint},
    {"deltaTransformPoint", DeltaTransformPoint},
};

}  // namespace

void InstallGeomMatrix(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  vm.DefineValue(GeomPackage(vm), "Matrix", Value::Object(vm.NewClass(CallMatrix, Construct, prototype)));
}

}  // namespace swf::avm1
