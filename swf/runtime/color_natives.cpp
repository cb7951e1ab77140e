// The Color class: reads and sets the colour transform of the clip its
// `target` names, looked up again on every call (a target that is not a
// clip is turned into a path, its toString called each time).
#include <cmath>

#include "swf/avm1/conversions.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

// The live clip a Color's target names now; none when it names nothing.
ObjectHandle TargetClip(NativeCall& call, ScriptBridge& bridge) {
  const Value target = call.vm.GetMember(call.self, "target");
  ObjectHandle handle;
  if (target.Is(ValueKind::kClip)) {
    handle = bridge.HandleOfValue(target);
  } else if (target.IsUndefinedOrNull()) {
    return {};
  } else if (target.Is(ValueKind::kObject) && !bridge.HandleOfValue(target).IsNone()) {
    handle = bridge.HandleOfValue(target);
  } else {
    handle = bridge.HandleOfPath(call.vm.ToStringValue(target));
  }
  const DisplayObject* object = bridge.GetRuntime().Objects().Get(handle);
  return object != nullptr ? handle : ObjectHandle{};
}

struct ColorTarget {
  ScriptBridge* bridge = nullptr;
  ObjectHandle clip;
  const DisplayObject* object = nullptr;

  explicit ColorTarget(NativeCall& call) {
    bridge = BridgeOf(call.vm);
    if (bridge == nullptr) return;
    clip = TargetClip(call, *bridge);
    object = bridge->GetRuntime().Objects().Get(clip);
  }
};

// A transform's percentage as the 8.8 fixed-point multiplier it is kept as
// (16 bits, wrapping as the player's does).
int32_t Multiplier(double percent) {
  const double scaled = percent * 256.0 / 100.0;
  if (!std::isfinite(scaled)) return 0;
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(avm1::DoubleToInt32(scaled))));
}

int32_t Offset(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(avm1::DoubleToInt32(value))));
}

Value Construct(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  constexpr std::uint32_t kFixed =
      avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete | avm1::property_flags::kReadOnly;
  call.vm.DefineValue(call.self.AsObject(), "target", call.Arg(0), kFixed);
  return {};
}

Value GetRgb(NativeCall& call) {
  ColorTarget target(call);
  if (target.object == nullptr) return {};
  const ColorTransform& color = target.object->colorTransform;
  return Value::Number(((color.redAdd & 0xFF) << 16) | ((color.greenAdd & 0xFF) << 8) | (color.blueAdd & 0xFF));
}

Value SetRgb(NativeCall& call) {
  ColorTarget target(call);
  if (target.object == nullptr || call.args.empty()) return {};
  const int32_t rgb = avm1::DoubleToInt32(call.vm.ToNumber(call.Arg(0)));
  ColorTransform color = target.object->colorTransform;
  color.redMult = color.greenMult = color.blueMult = 0;
  color.redAdd = (rgb >> 16) & 0xFF;
  color.greenAdd = (rgb >> 8) & 0xFF;
  color.blueAdd = rgb & 0xFF;
  target.bridge->GetRuntime().SetColorTransform(target.clip, color);
  return {};
}

Value GetTransform(NativeCall& call) {
  ColorTarget target(call);
  if (target.object == nullptr) return {};
  const ColorTransform& color = target.object->colorTransform;
  avm1::Vm& vm = call.vm;
  const Value result = Value::Object(vm.NewObject());
  const auto put = [&](const char* name, double value) { vm.SetMember(result, name, Value::Number(value)); };
  put("ra", color.redMult * 100.0 / 256.0);
  put("rb", color.redAdd);
  put("ga", color.greenMult * 100.0 / 256.0);
  put("gb", color.greenAdd);
  put("ba", color.blueMult * 100.0 / 256.0);
  put("bb", color.blueAdd);
  put("aa", color.alphaMult * 100.0 / 256.0);
  put("ab", color.alphaAdd);
  return result;
}

Value SetTransform(NativeCall& call) {
  ColorTarget target(call);
  if (target.object == nullptr || !call.Arg(0).Is(ValueKind::kObject)) return {};
  avm1::Vm& vm = call.vm;
  const Value& from = call.Arg(0);
  ColorTransform color = target.object->colorTransform;
  const auto take = [&](const char* name, int32_t& field, bool multiplier) {
    const Value value = vm.GetMember(from, name);
    if (value.Is(ValueKind::kUndefined)) return;
    const double number = vm.ToNumber(value);
    field = multiplier ? Multiplier(number) : Offset(number);
  };
  take("ra", color.redMult, true);
  take("rb", color.redAdd, false);
  take("ga", color.greenMult, true);
  take("gb", color.greenAdd, false);
  take("ba", color.blueMult, true);
  take("bb", color.blueAdd, false);
  take("aa", color.alphaMult, true);
  take("ab", color.alphaAdd, false);
  target.bridge->GetRuntime().SetColorTransform(target.clip, color);
  return {};
}

constexpr avm1::NativeMember kMembers[] = {
    {"setRGB", SetRgb},
    {"setTransform", SetTransform},
    {"getRGB", GetRgb},
    {"getTransform", GetTransform},
};

Value CallColor(NativeCall&) { return {}; }

}  // namespace

void InstallColor(avm1::Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  vm.DefineValue(vm.Classes().global, "Color", Value::Object(vm.NewClass(CallColor, Construct, prototype)));
}

}  // namespace swf::natives
