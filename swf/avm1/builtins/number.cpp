// Number and Boolean: constructors, toString/valueOf and Number's constants.
#include <cmath>
#include <limits>
#include <string>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/number_text.h"

namespace swf::avm1 {
namespace {

// Number(x) is x as a number (0 without an argument); new Number(x) wraps it.
Value CallNumber(NativeCall& call) {
  return Value::Number(call.args.empty() ? 0.0 : call.vm.ToNumber(call.Arg(0)));
}

Value WrapInto(NativeCall& call, ObjectClass cls, Value primitive) {
  if (Object* object = call.vm.Get(call.self.Is(ValueKind::kObject) ? call.self.AsObject() : ObjectRef{})) {
    object->cls = cls;
    object->payload = std::make_unique<PrimitivePayload>(std::move(primitive));
  }
  return call.self;
}

Value ConstructNumber(NativeCall& call) { return WrapInto(call, ObjectClass::kNumber, CallNumber(call)); }

// The number a Number method works on; undefined for another receiver.
Value ThisNumber(NativeCall& call) {
  if (call.self.Is(ValueKind::kNumber)) return call.self;
  if (const Value* number = builtins::WrappedPrimitive(call.vm, call.self, ObjectClass::kNumber)) return *number;
  return {};
}

// The whole part of `value` written in `radix` (2 to 36), with a minus
// sign for negatives; as the player does, other radixes write decimal.
std::string IntegerInRadix(double value, int radix) {
  const std::int32_t whole = DoubleToInt32(value);
  std::uint32_t magnitude = whole < 0 ? 0u - static_cast<std::uint32_t>(whole) : static_cast<std::uint32_t>(whole);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % static_cast<std::uint32_t>(radix)]);
    magnitude /= static_cast<std::uint32_t>(radix);
  } while (magnitude != 0);
  return whole < 0 ? "-" + digits : digits;
}

Value NumberToStringMethod(NativeCall& call) {
  const Value number = ThisNumber(call);
  if (!number.Is(ValueKind::kNumber)) return {};
  const int radix = call.Arg(0).Is(ValueKind::kUndefined) ? 10 : DoubleToInt32(call.vm.ToNumber(call.Arg(0)));
  if (radix < 2 || radix > 36 || radix == 10 || !std::isfinite(number.AsNumber())) {
    return Value::String(NumberToString(number.AsNumber()));
  }
  return Value::String(IntegerInRadix(number.AsNumber(), radix));
}

Value NumberValueOf(NativeCall& call) { return ThisNumber(call); }

// Boolean() without an argument is undefined; new Boolean() wraps false.
Value CallBoolean(NativeCall& call) {
  if (call.args.empty()) return {};
  return Value::Boolean(call.vm.ToBoolean(call.Arg(0)));
}

Value ConstructBoolean(NativeCall& call) {
  return WrapInto(call, ObjectClass::kBoolean, Value::Boolean(!call.args.empty() && call.vm.ToBoolean(call.Arg(0))));
}

Value ThisBoolean(NativeCall& call) {
  if (call.self.Is(ValueKind::kBoolean)) return call.self;
  if (const Value* flag = builtins::WrappedPrimitive(call.vm, call.self, ObjectClass::kBoolean)) return *flag;
  return {};
}

Value BooleanToString(NativeCall& call) {
  const Value flag = ThisBoolean(call);
  if (!flag.Is(ValueKind::kBoolean)) return {};
  return Value::String(flag.AsBoolean() ? "true" : "false");
}

Value BooleanValueOf(NativeCall& call) { return ThisBoolean(call); }

constexpr NativeMember kNumberMembers[] = {
    {"valueOf", NumberValueOf},
    {"toString", NumberToStringMethod},
};

constexpr NativeMember kBooleanMembers[] = {
    {"valueOf", BooleanValueOf},
    {"toString", BooleanToString},
};

}  // namespace

void InstallNumber(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  classes.numberPrototype = vm.NewObject(classes.objectPrototype);
  vm.DefineMembers(classes.numberPrototype, kNumberMembers);
  const ObjectRef constructor = vm.NewClass(CallNumber, ConstructNumber, classes.numberPrototype);
  constexpr std::uint32_t kConstant =
      property_flags::kDontEnum | property_flags::kDontDelete | property_flags::kReadOnly;
  const struct {
    const char* name;
    double value;
  } constants[] = {
      {"MAX_VALUE", std::numeric_limits<double>::max()},
      {"MIN_VALUE", std::numeric_limits<double>::denorm_min()},
      {"NaN", std::numeric_limits<double>::quiet_NaN()},
      {"NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity()},
      {"POSITIVE_INFINITY", std::numeric_limits<double>::infinity()},
  };
  for (const auto& constant : constants) vm.DefineValue(constructor, constant.name, Value::Number(constant.value), kConstant);
  vm.DefineValue(classes.global, "Number", Value::Object(constructor));
}

void InstallBoolean(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  classes.booleanPrototype = vm.NewObject(classes.objectPrototype);
  vm.DefineMembers(classes.booleanPrototype, kBooleanMembers);
  const ObjectRef constructor = vm.NewClass(CallBoolean, ConstructBoolean, classes.booleanPrototype);
  vm.DefineValue(classes.global, "Boolean", Value::Object(constructor));
}

}  // namespace swf::avm1
