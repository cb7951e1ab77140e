// flash.geom.Transform and the `transform` property of clips: a Transform
// reads and sets its clip's matrix and colour transform as they are at the
// time (in pixels and fractions), and works out the ones the clip is drawn
// with on the stage. Each read of `transform` makes a new Transform.
#include <array>
#include <cmath>

#include "swf/avm1/builtins/geom.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/render/cached_objects.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

struct TransformPayload : avm1::Payload {
  Value clip;  // a clip reference
};

struct TransformTarget {
  ScriptBridge* bridge = nullptr;
  ObjectHandle handle;
  const DisplayObject* object = nullptr;

  explicit TransformTarget(NativeCall& call) {
    bridge = BridgeOf(call.vm);
    avm1::Object* self = call.self.Is(ValueKind::kObject) ? call.vm.Get(call.self.AsObject()) : nullptr;
    const TransformPayload* payload = self != nullptr ? self->PayloadAs<TransformPayload>() : nullptr;
    if (bridge == nullptr || payload == nullptr) return;
    handle = bridge->HandleOfValue(payload->clip);
    object = bridge->GetRuntime().Objects().Get(handle);
  }
};

Value NewMatrix(avm1::Vm& vm, const Matrix& m) {
  const Value constructor = vm.GetMember(Value::Object(avm1::GeomPackage(vm)), "Matrix");
  const Value args[] = {Value::Number(m.a),  Value::Number(m.b),  Value::Number(m.c), Value::Number(m.d),
                        Value::Number(m.tx / kTwipsPerPixel), Value::Number(m.ty / kTwipsPerPixel)};
  return vm.Construct(constructor, args);
}

Value NewColorTransform(avm1::Vm& vm, const ColorTransform& c) {
  return avm1::NewColorTransform(vm, {c.redMult / 256.0, c.greenMult / 256.0, c.blueMult / 256.0, c.alphaMult / 256.0,
                                      static_cast<double>(c.redAdd), static_cast<double>(c.greenAdd),
                                      static_cast<double>(c.blueAdd), static_cast<double>(c.alphaAdd)});
}

Value NewTransform(avm1::Vm& vm, const Value& clip) {
  const Value constructor = vm.GetMember(Value::Object(avm1::GeomPackage(vm)), "Transform");
  return vm.Construct(constructor, std::span(&clip, 1));
}

Matrix StageMatrix(const Stage& stage, const DisplayObject& object) {
  Matrix world = object.matrix;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr; up = stage.Get(up->parent)) {
    world = Matrix::Compose(world, up->matrix);
  }
  return world;
}

ColorTransform StageColor(const Stage& stage, const DisplayObject& object) {
  ColorTransform color = object.colorTransform;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr; up = stage.Get(up->parent)) {
    color = ColorTransform::Compose(color, up->colorTransform);
  }
  return color;
}

// Only a Matrix (or an object made by its constructor) is taken: a plain
// object leaves the clip as it was.
bool IsInstanceOf(avm1::Vm& vm, const Value& value, const char* className) {
  if (!value.Is(ValueKind::kObject)) return false;
  const Value prototype = vm.GetMember(vm.GetMember(Value::Object(avm1::GeomPackage(vm)), className), "prototype");
  if (!prototype.Is(ValueKind::kObject)) return false;
  const avm1::Object* object = vm.Get(value.AsObject());
  ObjectRef walk = object != nullptr ? object->proto : ObjectRef{};
  for (int steps = 0; steps < 256 && walk.id != 0; ++steps) {
    if (walk == prototype.AsObject()) return true;
    const avm1::Object* next = vm.Get(walk);
    walk = next != nullptr ? next->proto : ObjectRef{};
  }
  return false;
}

int32_t Fixed(double value, double scale) {
  const double scaled = value * scale;
  return std::isfinite(scaled) ? static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(avm1::DoubleToInt32(scaled)))) : 0;
}

Value Construct(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || !call.self.Is(ValueKind::kObject)) return {};
  const ObjectHandle handle = bridge->HandleOfValue(call.Arg(0));
  if (bridge->GetRuntime().Objects().Get(handle) == nullptr) return {};
  auto payload = std::make_unique<TransformPayload>();
  payload->clip = bridge->ValueOf(handle);
  if (avm1::Object* object = call.vm.Get(call.self.AsObject())) {
    object->cls = avm1::ObjectClass::kOther;
    object->payload = std::move(payload);
  }
  return {};
}

Value GetMatrix(NativeCall& call) {
  TransformTarget target(call);
  return target.object != nullptr ? NewMatrix(call.vm, target.object->matrix) : Value();
}

Value SetMatrix(NativeCall& call) {
  TransformTarget target(call);
  avm1::Vm& vm = call.vm;
  if (target.object == nullptr || !IsInstanceOf(vm, call.Arg(0), "Matrix")) return {};
  const Value& from = call.Arg(0);
  const auto number = [&](const char* name) { return vm.ToNumber(vm.GetMember(from, name)); };
  Matrix matrix{number("a"), number("b"), number("c"), number("d"), number("tx") * kTwipsPerPixel,
                number("ty") * kTwipsPerPixel};
  target.bridge->GetRuntime().SetMatrix(target.handle, matrix);
  return {};
}

Value GetColorTransform(NativeCall& call) {
  TransformTarget target(call);
  return target.object != nullptr ? NewColorTransform(call.vm, target.object->colorTransform) : Value();
}

Value SetColorTransform(NativeCall& call) {
  TransformTarget target(call);
  const avm1::ColorTransformPayload* from = avm1::ColorTransformOf(call.vm, call.Arg(0));
  if (target.object == nullptr || from == nullptr) return {};
  const std::array<double, 8>& v = from->values;
  ColorTransform color{Fixed(v[0], 256), Fixed(v[1], 256), Fixed(v[2], 256), Fixed(v[3], 256),
                       Fixed(v[4], 1),   Fixed(v[5], 1),   Fixed(v[6], 1),   Fixed(v[7], 1)};
  target.bridge->GetRuntime().SetColorTransform(target.handle, color);
  return {};
}

Value GetConcatenatedMatrix(NativeCall& call) {
  TransformTarget target(call);
  if (target.object == nullptr) return {};
  return NewMatrix(call.vm, StageMatrix(target.bridge->GetRuntime().Objects(), *target.object));
}

Value GetConcatenatedColorTransform(NativeCall& call) {
  TransformTarget target(call);
  if (target.object == nullptr) return {};
  return NewColorTransform(call.vm, StageColor(target.bridge->GetRuntime().Objects(), *target.object));
}

// The clip's box on the stage, in whole pixels.
Value GetPixelBounds(NativeCall& call) {
  TransformTarget target(call);
  if (target.object == nullptr) return {};
  const Stage& stage = target.bridge->GetRuntime().Objects();
  const std::optional<Box> local = LocalBounds(stage, *target.object);
  Box box{};
  if (local) box = MapBox(*local, StageMatrix(stage, *target.object));
  avm1::Vm& vm = call.vm;
  const Value rectangle = vm.GetMember(Value::Object(avm1::GeomPackage(vm)), "Rectangle");
  const double x = std::floor(box.xMin / kTwipsPerPixel);
  const double y = std::floor(box.yMin / kTwipsPerPixel);
  const Value args[] = {Value::Number(x), Value::Number(y), Value::Number(std::ceil(box.xMax / kTwipsPerPixel) - x),
                        Value::Number(std::ceil(box.yMax / kTwipsPerPixel) - y)};
  if (rectangle.Is(ValueKind::kObject)) return vm.Construct(rectangle, args);
  const Value result = Value::Object(vm.NewObject());
  const char* names[] = {"x", "y", "width", "height"};
  for (size_t i = 0; i < 4; ++i) vm.SetMember(result, names[i], args[i]);
  return result;
}

// A clip's `transform`: a new Transform of it; setting one copies the
// other's matrix and colour transform.
Value GetClipTransform(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  const ObjectHandle handle = bridge->HandleOfValue(call.self);
  if (bridge->GetRuntime().Objects().Get(handle) == nullptr) return {};
  return NewTransform(call.vm, bridge->ValueOf(handle));
}

Value SetClipTransform(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  const ObjectHandle handle = bridge->HandleOfValue(call.self);
  avm1::Object* other = call.Arg(0).Is(ValueKind::kObject) ? call.vm.Get(call.Arg(0).AsObject()) : nullptr;
  const TransformPayload* from = other != nullptr ? other->PayloadAs<TransformPayload>() : nullptr;
  if (from == nullptr || bridge->GetRuntime().Objects().Get(handle) == nullptr) return {};
  const DisplayObject* source = bridge->GetRuntime().Objects().Get(bridge->HandleOfValue(from->clip));
  if (source == nullptr) return {};
  const Matrix matrix = source->matrix;
  const ColorTransform color = source->colorTransform;
  bridge->GetRuntime().SetMatrix(handle, matrix);
  bridge->GetRuntime().SetColorTransform(handle, color);
  return {};
}

void Accessor(avm1::Vm& vm, ObjectRef target, const char* name, avm1::NativeFunction getter,
              avm1::NativeFunction setter, std::uint32_t extraFlags = 0) {
  avm1::Property& property = vm.Get(target)->properties.Set(name, vm.IgnoreCase());
  property.getter = vm.NewFunction(getter);
  property.setter = setter != nullptr ? vm.NewFunction(setter) : ObjectRef{};
  property.flags = avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete | extraFlags;
}

Value CallTransform(NativeCall&) { return {}; }

}  // namespace

void InstallTransform(avm1::Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  Accessor(vm, prototype, "matrix", GetMatrix, SetMatrix);
  Accessor(vm, prototype, "concatenatedMatrix", GetConcatenatedMatrix, nullptr);
  Accessor(vm, prototype, "colorTransform", GetColorTransform, SetColorTransform);
  Accessor(vm, prototype, "concatenatedColorTransform", GetConcatenatedColorTransform, nullptr);
  Accessor(vm, prototype, "pixelBounds", GetPixelBounds, nullptr);
  vm.DefineValue(avm1::GeomPackage(vm), "Transform", Value::Object(vm.NewClass(CallTransform, Construct, prototype)));
  const ObjectRef movieClip = vm.Classes().movieClipPrototype;
  // Movies before version 8 may use the name for their own variables.
  if (movieClip.id != 0) {
    Accessor(vm, movieClip, "transform", GetClipTransform, SetClipTransform, avm1::property_flags::kHiddenBelow8);
  }
}

}  // namespace swf::natives
