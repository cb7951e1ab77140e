// flash.geom.Point: x and y are plain members a script may set to
// anything, and every method works on them with the language's own
// operators (so a string coordinate concatenates, a missing one gives NaN).
#include <cmath>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

Value Member(Vm& vm, const Value& object, std::string_view name) { return vm.GetMember(object, name); }

Value NewPoint(Vm& vm, const Value& x, const Value& y) {
  const Value point = vm.GetMember(Value::Object(GeomPackage(vm)), "Point");
  const Value args[] = {x, y};
  return vm.Construct(point, args);
}

Value Construct(NativeCall& call) {
  Vm& vm = call.vm;
  const bool none = call.args.empty();
  vm.SetMember(call.self, "x", none ? Value::Number(0) : call.Arg(0));
  vm.SetMember(call.self, "y", none ? Value::Number(0) : call.Arg(1));
  return {};
}

Value ToStringMethod(NativeCall& call) {
  Vm& vm = call.vm;
  return Value::String("(x=" + vm.ToStringValue(Member(vm, call.self, "x")) +
                       ", y=" + vm.ToStringValue(Member(vm, call.self, "y")) + ")");
}

Value Length(NativeCall& call) {
  Vm& vm = call.vm;
  const double x = vm.ToNumber(Member(vm, call.self, "x"));
  const double y = vm.ToNumber(Member(vm, call.self, "y"));
  return Value::Number(std::sqrt(x * x + y * y));
}

Value Add(NativeCall& call) {
  Vm& vm = call.vm;
  const Context context = vm.Conversions();
  const Value& other = call.Arg(0);
  return NewPoint(vm, Add2(Member(vm, call.self, "x"), Member(vm, other, "x"), context),
                  Add2(Member(vm, call.self, "y"), Member(vm, other, "y"), context));
}

Value SubtractMethod(NativeCall& call) {
  Vm& vm = call.vm;
  const Context context = vm.Conversions();
  const Value& other = call.Arg(0);
  return NewPoint(vm, Subtract(Member(vm, call.self, "x"), Member(vm, other, "x"), context),
                  Subtract(Member(vm, call.self, "y"), Member(vm, other, "y"), context));
}

bool IsPoint(Vm& vm, const Value& value) {
  if (!value.Is(ValueKind::kObject)) return false;
  const Value point = vm.GetMember(Value::Object(GeomPackage(vm)), "Point");
  const Value prototype = vm.GetMember(point, "prototype");
  if (!prototype.Is(ValueKind::kObject)) return false;
  const Object* object = vm.Get(value.AsObject());
  ObjectRef walk = object != nullptr ? object->proto : ObjectRef{};
  for (int steps = 0; steps < 256 && walk.id != 0; ++steps) {
    if (walk == prototype.AsObject()) return true;
    const Object* next = vm.Get(walk);
    walk = next != nullptr ? next->proto : ObjectRef{};
  }
  return false;
}

Value EqualsMethod(NativeCall& call) {
  Vm& vm = call.vm;
  const Value& other = call.Arg(0);
  if (!IsPoint(vm, other)) return Value::Boolean(false);
  const Context context = vm.Conversions();
  return Value::Boolean(vm.ToBoolean(Equals2(Member(vm, other, "x"), Member(vm, call.self, "x"), context)) &&
                        vm.ToBoolean(Equals2(Member(vm, other, "y"), Member(vm, call.self, "y"), context)));
}

Value Clone(NativeCall& call) {
  Vm& vm = call.vm;
  return NewPoint(vm, Member(vm, call.self, "x"), Member(vm, call.self, "y"));
}

Value Normalize(NativeCall& call) {
  Vm& vm = call.vm;
  const Context context = vm.Conversions();
  const Value length = Member(vm, call.self, "length");
  if (!vm.ToBoolean(Greater(length, Value::Number(0), context))) return {};
  const Value factor = Divide(call.Arg(0), length, context);
  vm.SetMember(call.self, "x", Multiply(Member(vm, call.self, "x"), factor, context));
  vm.SetMember(call.self, "y", Multiply(Member(vm, call.self, "y"), factor, context));
  return {};
}

Value Offset(NativeCall& call) {
  Vm& vm = call.vm;
  const Context context = vm.Conversions();
  vm.SetMember(call.self, "x", Add2(Member(vm, call.self, "x"), call.Arg(0), context));
  vm.SetMember(call.self, "y", Add2(Member(vm, call.self, "y"), call.Arg(1), context));
  return {};
}

Value Distance(NativeCall& call) {
  Vm& vm = call.vm;
  const Value between = vm.CallMethod(call.Arg(0), "subtract", std::span(&call.Arg(1), 1));
  return vm.GetMember(between, "length");
}

Value Interpolate(NativeCall& call) {
  Vm& vm = call.vm;
  const Context context = vm.Conversions();
  const Value& from = call.Arg(0);
  const Value& to = call.Arg(1);
  const Value& f = call.Arg(2);
  const auto mix = [&](std::string_view name) {
    const Value end = Member(vm, to, name);
    return Add2(end, Multiply(f, Subtract(Member(vm, from, name), end, context), context), context);
  };
  const Value x = mix("x");
  const Value y = mix("y");
  return NewPoint(vm, x, y);
}

Value Polar(NativeCall& call) {
  Vm& vm = call.vm;
  const double length = vm.ToNumber(call.Arg(0));
  const double angle = vm.ToNumber(call.Arg(1));
  return NewPoint(vm, Value::Number(length * std::cos(angle)), Value::Number(length * std::sin(angle)));
}

Value CallPoint(NativeCall&) { return {}; }

constexpr NativeMember kMembers[] = {
    {"toString", ToStringMethod}, {"add", Add},       {"subtract", SubtractMethod}, {"equals", EqualsMethod},
    {"clone", Clone},             {"normalize", Normalize}, {"offset", Offset},
};

constexpr NativeMember kStatics[] = {
    {"distance", Distance},
    {"interpolate", Interpolate},
    {"polar", Polar},
};

}  // namespace

ObjectRef GeomPackage(Vm& vm) {
  // Found whatever the version of the code running: the package is hidden
  // from older movies, not absent.
  const Property* existing = vm.Get(vm.Classes().global)->properties.Find("flash", vm.IgnoreCase());
  Value flash = existing != nullptr && !existing->IsAccessor() ? existing->value : Value();
  if (!flash.Is(ValueKind::kObject)) {
    // The package came with version 8; older movies do not see it.
    flash = Value::Object(vm.NewObject());
    vm.DefineValue(vm.Classes().global, "flash", flash, property_flags::kDontEnum | property_flags::kHiddenBelow8);
  }
  Value geom = vm.GetMember(flash, "geom");
  if (!geom.Is(ValueKind::kObject)) {
    geom = Value::Object(vm.NewObject());
    vm.DefineValue(flash.AsObject(), "geom", geom);
  }
  return geom.AsObject();
}

void InstallGeomPoint(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  Property& length = vm.Get(prototype)->properties.Set("length", vm.IgnoreCase());
  length.getter = vm.NewFunction(Length);
  length.flags = property_flags::kDontEnum | property_flags::kDontDelete;
  const ObjectRef point = vm.NewClass(CallPoint, Construct, prototype);
  vm.DefineMembers(point, kStatics);
  vm.DefineValue(GeomPackage(vm), "Point", Value::Object(point));
}

}  // namespace swf::avm1
