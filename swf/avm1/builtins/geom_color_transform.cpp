// flash.geom.ColorTransform: four multipliers and four offsets kept as
// numbers, read and set through properties of the prototype, and `rgb`
// (the offsets as one colour, the multipliers cleared when set).
#include "swf/avm1/builtins/geom.h"

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"

namespace swf::avm1 {
namespace {

constexpr const char* kNames[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                  "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

ColorTransformPayload* PayloadOf(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return nullptr;
  Object* object = call.vm.Get(call.self.AsObject());
  return object != nullptr ? object->PayloadAs<ColorTransformPayload>() : nullptr;
}

Value Construct(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  auto payload = std::make_unique<ColorTransformPayload>();
  // Fewer than all eight arguments leave the identity.
  if (call.args.size() >= 8) {
    for (size_t i = 0; i < 8; ++i) payload->values[i] = call.vm.ToNumber(call.args[i]);
  }
  if (Object* object = call.vm.Get(call.self.AsObject())) {
    object->cls = ObjectClass::kOther;
    object->payload = std::move(payload);
  }
  return {};
}

template <size_t kIndex>
Value Get(NativeCall& call) {
  const ColorTransformPayload* payload = PayloadOf(call);
  return payload != nullptr ? Value::Number(payload->values[kIndex]) : Value();
}

template <size_t kIndex>
Value Set(NativeCall& call) {
  if (ColorTransformPayload* payload = PayloadOf(call)) payload->values[kIndex] = call.vm.ToNumber(call.Arg(0));
  return {};
}

Value GetRgb(NativeCall& call) {
  const ColorTransformPayload* payload = PayloadOf(call);
  if (payload == nullptr) return {};
  const int32_t red = DoubleToInt32(payload->values[4]);
  const int32_t green = DoubleToInt32(payload->values[5]);
  const int32_t blue = DoubleToInt32(payload->values[6]);
  return Value::Number(static_cast<int32_t>(static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
                                            static_cast<uint32_t>(blue)));
}

Value SetRgb(NativeCall& call) {
  ColorTransformPayload* payload = PayloadOf(call);
  if (payload == nullptr) return {};
  const int32_t rgb = DoubleToInt32(call.vm.ToNumber(call.Arg(0)));
  payload->values[0] = payload->values[1] = payload->values[2] = 0;
  payload->values[4] = (rgb >> 16) & 0xFF;
  payload->values[5] = (rgb >> 8) & 0xFF;
  payload->values[6] = rgb & 0xFF;
  return {};
}

Value ToStringMethod(NativeCall& call) {
  const ColorTransformPayload* payload = PayloadOf(call);
  if (payload == nullptr) return {};
  std::string text = "(";
  for (size_t i = 0; i < 8; ++i) {
    if (i > 0) text += ", ";
    text += kNames[i];
    text += '=';
    text += call.vm.ToStringValue(Value::Number(payload->values[i]));
  }
  return Value::String(text + ")");
}

// this = this after `second`: the second's offsets go through this one's
// multipliers.
Value Concat(NativeCall& call) {
  ColorTransformPayload* payload = PayloadOf(call);
  const Value& other = call.Arg(0);
  Object* otherObject = other.Is(ValueKind::kObject) ? call.vm.Get(other.AsObject()) : nullptr;
  const ColorTransformPayload* second = otherObject != nullptr ? otherObject->PayloadAs<ColorTransformPayload>() : nullptr;
  if (payload == nullptr || second == nullptr) return {};
  for (size_t i = 0; i < 4; ++i) {
    payload->values[4 + i] += payload->values[i] * second->values[4 + i];
    payload->values[i] *= second->values[i];
  }
  return {};
}

Value CallColorTransform(NativeCall&) { return {}; }

constexpr NativeMember kMembers[] = {
    {"toString", ToStringMethod},
    {"concat", Concat},
};

}  // namespace

Value NewColorTransform(Vm& vm, const std::array<double, 8>& values) {
  const Value constructor = vm.GetMember(Value::Object(GeomPackage(vm)), "ColorTransform");
  const Value made = vm.Construct(constructor, {});
  if (!made.Is(ValueKind::kObject)) return made;
  Object* object = vm.Get(made.AsObject());
  if (ColorTransformPayload* payload = object != nullptr ? object->PayloadAs<ColorTransformPayload>() : nullptr) {
    payload->values = values;
  }
  return made;
}

const ColorTransformPayload* ColorTransformOf(Vm& vm, const Value& value) {
  Object* object = value.Is(ValueKind::kObject) ? vm.Get(value.AsObject()) : nullptr;
  return object != nullptr ? object->PayloadAs<ColorTransformPayload>() : nullptr;
}

void InstallGeomColorTransform(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  const auto accessor = [&](const char* name, NativeFunction getter, NativeFunction setter) {
    Property& property = vm.Get(prototype)->properties.Set(name, vm.IgnoreCase());
    property.getter = vm.NewFunction(getter);
    property.setter = vm.NewFunction(setter);
    property.flags = property_flags::kDontEnum | property_flags::kDontDelete;
  };
  accessor("alphaMultiplier", Get<3>, Set<3>);
  accessor("redMultiplier", Get<0>, Set<0>);
  accessor("greenMultiplier", Get<1>, Set<1>);
  accessor("blueMultiplier", Get<2>, Set<2>);
  accessor("alphaOffset", Get<7>, Set<7>);
  accessor("redOffset", Get<4>, Set<4>);
  accessor("greenOffset", Get<5>, Set<5>);
  accessor("blueOffset", Get<6>, Set<6>);
  accessor("rgb", GetRgb, SetRgb);
  vm.DefineValue(GeomPackage(vm), "ColorTransform", Value::Object(vm.NewClass(CallColorTransform, Construct, prototype)));
}

}  // namespace swf::avm1
