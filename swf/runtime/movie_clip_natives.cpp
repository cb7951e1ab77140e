// MovieClip.prototype: the basic movie-clip API (timeline control, clips
// made and removed by scripts, depths), and the Button and TextField
// classes scripts can extend.
#include <algorithm>
#include <cmath>

#include "swf/avm1/conversions.h"
#include "swf/avm1/number_text.h"
#include "swf/render/cached_objects.h"
#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

// The clip a method was called on, with the runtime and the bridge.
struct Receiver {
  ScriptBridge* bridge = nullptr;
  ObjectHandle handle;
  const DisplayObject* object = nullptr;

  explicit Receiver(NativeCall& call) {
    bridge = BridgeOf(call.vm);
    if (bridge == nullptr) return;
    handle = bridge->HandleOfValue(call.self);
    object = bridge->GetRuntime().Objects().Get(handle);
  }
  bool Live() const { return object != nullptr; }
  Runtime& GetRuntime() const { return bridge->GetRuntime(); }
  ObjectRef Self() const { return bridge->ScriptObject(handle); }
};

// A script's depth argument as a 32-bit whole number (larger ones wrap
// around); none when it is not finite.
std::optional<int32_t> DepthArgument(NativeCall& call, const Value& value) {
  const double depth = call.vm.ToNumber(value);
  if (!std::isfinite(depth)) return std::nullopt;
  return avm1::DoubleToInt32(depth);
}

// A 1-based frame number as the 0-based frame it names; 32-bit arithmetic
// that wraps, as the player's does (negative: no frame).
int32_t FrameIndex(double number) {
  return static_cast<int32_t>(static_cast<uint32_t>(avm1::DoubleToInt32(number)) - 1u);
}

// gotoAndPlay/gotoAndStop's frame: a number (1-based), or text: a whole
// number, or a label, either after "path:" naming another clip.
void GotoArgument(NativeCall& call, bool play) {
  Receiver clip(call);
  if (!clip.Live() || call.args.empty()) return;
  ScriptBridge& bridge = *clip.bridge;
  const Value& frame = call.Arg(0);
  const bool text = frame.Is(ValueKind::kString) || frame.Is(ValueKind::kObject) || frame.Is(ValueKind::kClip);
  if (!text) {
    const double number = call.vm.ToNumber(frame);
    if (std::isfinite(number)) bridge.GotoFrame(clip.Self(), FrameIndex(number), play);
    return;
  }
  const std::string whole = call.vm.ToStringValue(frame);
  std::string_view rest = whole;
  ObjectRef target = clip.Self();
  if (const size_t colon = rest.rfind(':'); colon != std::string_view::npos) {
    target = bridge.FindTarget(target, rest.substr(0, colon));
    rest = rest.substr(colon + 1);
    if (target.id == 0) return;
  }
  const double number = avm1::StringToNumber(rest, call.vm.SwfVersion());
  if (std::isfinite(number) && number == std::floor(number)) {
    bridge.GotoFrame(target, FrameIndex(number), play);
  } else {
    bridge.GotoLabel(target, rest, play);
  }
}

Value Play(NativeCall& call) {
  Receiver clip(call);
  if (clip.Live()) clip.bridge->SetPlaying(clip.Self(), true);
  return {};
}

Value Stop(NativeCall& call) {
  Receiver clip(call);
  if (clip.Live()) clip.bridge->SetPlaying(clip.Self(), false);
  return {};
}

Value GotoAndPlay(NativeCall& call) {
  GotoArgument(call, true);
  return {};
}

Value GotoAndStop(NativeCall& call) {
  GotoArgument(call, false);
  return {};
}

Value NextFrame(NativeCall& call) {
  Receiver clip(call);
  if (clip.Live()) clip.bridge->StepFrame(clip.Self(), 1);
  return {};
}

Value PrevFrame(NativeCall& call) {
  Receiver clip(call);
  if (clip.Live()) clip.bridge->StepFrame(clip.Self(), -1);
  return {};
}

// Copies the enumerable properties of an init object onto a new clip.
void ApplyInitObject(NativeCall& call, ScriptBridge& bridge, ObjectHandle handle, const Value& init) {
  if (!init.Is(ValueKind::kObject)) return;
  const avm1::Object* source = call.vm.Get(init.AsObject());
  if (source == nullptr) return;
  std::vector<std::pair<std::string, Value>> values;
  source->properties.ForEach([&](const std::string& name, const avm1::Property& property) {
    if (!property.Has(avm1::property_flags::kDontEnum)) values.emplace_back(name, property.value);
  });
  const Value clip = bridge.ValueOf(handle);
  for (auto& [name, value] : values) call.vm.SetMember(clip, name, std::move(value));
}

// What a method that makes a clip gives back: the new clip, constructed.
Value Made(NativeCall& call, ScriptBridge& bridge, ObjectHandle handle, const Value& init) {
  if (bridge.GetRuntime().Objects().Get(handle) == nullptr) return {};
  ApplyInitObject(call, bridge, handle, init);
  bridge.GetRuntime().ConstructNow(handle);
  return bridge.ValueOf(handle);
}

Value CreateEmptyMovieClip(NativeCall& call) {
  Receiver parent(call);
  if (!parent.Live() || call.args.size() < 2) return {};
  const std::optional<int32_t> depth = DepthArgument(call, call.Arg(1));
  if (!depth) return {};
  const ObjectHandle made =
      parent.GetRuntime().PlaceEmptyClip(parent.handle, *depth, call.vm.ToStringValue(call.Arg(0)));
  return Made(call, *parent.bridge, made, Value());
}

Value AttachMovie(NativeCall& call) {
  Receiver parent(call);
  if (!parent.Live() || call.args.size() < 3) return {};
  const uint16_t character = parent.GetRuntime().ExportedCharacter(call.vm.ToStringValue(call.Arg(0)), parent.object);
  std::string name = call.vm.ToStringValue(call.Arg(1));
  const std::optional<int32_t> depth = DepthArgument(call, call.Arg(2));
  if (character == 0 || !depth) return {};
  const ObjectHandle made = parent.GetRuntime().PlaceScriptObject(parent.handle, character, *depth, std::move(name));
  return Made(call, *parent.bridge, made, call.Arg(3));
}

Value DuplicateMovieClip(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live() || call.args.size() < 2) return {};
  // The name is converted before the depth.
  std::string name = call.vm.ToStringValue(call.Arg(0));
  const std::optional<int32_t> depth = DepthArgument(call, call.Arg(1));
  if (!depth) return {};
  const ObjectHandle made = clip.GetRuntime().DuplicateClip(clip.handle, std::move(name), *depth);
  return Made(call, *clip.bridge, made, call.Arg(2));
}

Value RemoveMovieClip(NativeCall& call) {
  Receiver clip(call);
  if (clip.Live()) clip.GetRuntime().RemoveClipByScript(clip.handle);
  return {};
}

Value SwapDepths(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live() || call.args.empty()) return {};
  const Value& target = call.Arg(0);
  std::optional<int32_t> depth;
  if (target.Is(ValueKind::kClip) || target.Is(ValueKind::kObject)) {
    const DisplayObject* other = clip.GetRuntime().Objects().Get(clip.bridge->HandleOfValue(target));
    if (other == nullptr || other->parent != clip.object->parent) return {};
    depth = ScriptDepthFromDepth(other->depth);
  } else {
    depth = DepthArgument(call, target);
  }
  if (depth) clip.GetRuntime().SwapDepths(clip.handle, *depth);
  return {};
}

Value GetDepth(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live()) return {};
  return Value::Number(ScriptDepthFromDepth(clip.object->depth));
}

Value GetNextHighestDepth(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live()) return {};
  int32_t next = 0;
  if (!clip.object->children.empty()) {
    next = std::max(next, ScriptDepthFromDepth(clip.object->children.rbegin()->first) + 1);
  }
  return Value::Number(next);
}

Value GetInstanceAtDepth(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live() || call.args.empty()) return {};
  const std::optional<int32_t> depth = DepthArgument(call, call.Arg(0));
  if (!depth) return {};
  const DisplayObject* child =
      clip.GetRuntime().Objects().ChildAt(*clip.object, DepthFromScriptDepth(*depth));
  if (child == nullptr) return {};
  // Shapes and static text are reached through their parent.
  if (child->kind != ObjectKind::kMovieClip && child->kind != ObjectKind::kButton &&
      child->kind != ObjectKind::kTextField) {
    return clip.bridge->ValueOf(clip.handle);
  }
  return clip.bridge->ValueOf(child->self);
}

Value GetBytesTotal(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live()) return {};
  return Value::Number(static_cast<double>(clip.GetRuntime().MovieOf(clip.object).header.declaredLength));
}

Value GetSwfVersion(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live()) return Value::Number(-1);
  const ParsedMovie* movie = clip.object->movie != nullptr ? clip.object->movie : &clip.GetRuntime().Movie();
  return Value::Number(movie->header.version);
}

// The world matrix of a display object (stage twips).
Matrix WorldMatrix(const Stage& stage, const DisplayObject& object) {
  Matrix world = object.matrix;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr; up = stage.Get(up->parent)) {
    world = Matrix::Compose(world, up->matrix);
  }
  return world;
}

// localToGlobal / globalToLocal: the point object's x and y, mapped.
Value MapPoint(NativeCall& call, bool toGlobal) {
  Receiver clip(call);
  if (!clip.Live() || !call.Arg(0).Is(ValueKind::kObject)) return {};
  const Value point = call.Arg(0);
  const double x = call.vm.ToNumber(call.vm.GetMember(point, "x"));
  const double y = call.vm.ToNumber(call.vm.GetMember(point, "y"));
  if (!std::isfinite(x) || !std::isfinite(y)) return {};
  const Matrix world = WorldMatrix(clip.GetRuntime().Objects(), *clip.object);
  std::optional<Matrix> map = world;
  if (!toGlobal) map = world.Inverse();
  if (!map) return {};
  const Point mapped = map->Apply(Point{x * kTwipsPerPixel, y * kTwipsPerPixel});
  call.vm.SetMember(point, "x", Value::Number(mapped.x / kTwipsPerPixel));
  call.vm.SetMember(point, "y", Value::Number(mapped.y / kTwipsPerPixel));
  return {};
}

Value LocalToGlobal(NativeCall& call) { return MapPoint(call, true); }
Value GlobalToLocal(NativeCall& call) { return MapPoint(call, false); }

// getBounds(target): the clip's box in the target's pixels (its own when no
// target is given).
Value GetBounds(NativeCall& call) {
  Receiver clip(call);
  if (!clip.Live()) return {};
  const Stage& stage = clip.GetRuntime().Objects();
  const DisplayObject* space = clip.object;
  if (!call.args.empty()) {
    space = stage.Get(clip.bridge->HandleOfValue(call.Arg(0)));
    if (space == nullptr) return {};
  }
  const std::optional<Box> local = LocalBounds(stage, *clip.object);
  Box box{6710886.4 * kTwipsPerPixel, 6710886.4 * kTwipsPerPixel, 6710886.4 * kTwipsPerPixel,
          6710886.4 * kTwipsPerPixel};
  if (local) {
    const std::optional<Matrix> into = WorldMatrix(stage, *space).Inverse();
    box = MapBox(*local, into ? Matrix::Compose(WorldMatrix(stage, *clip.object), *into) : Matrix());
  }
  const ObjectRef result = call.vm.NewObject();
  call.vm.SetMember(Value::Object(result), "xMin", Value::Number(box.xMin / kTwipsPerPixel));
  call.vm.SetMember(Value::Object(result), "xMax", Value::Number(box.xMax / kTwipsPerPixel));
  call.vm.SetMember(Value::Object(result), "yMin", Value::Number(box.yMin / kTwipsPerPixel));
  call.vm.SetMember(Value::Object(result), "yMax", Value::Number(box.yMax / kTwipsPerPixel));
  return Value::Object(result);
}

constexpr avm1::NativeMember kMovieClipMembers[] = {
    {"play", Play},
    {"stop", Stop},
    {"gotoAndPlay", GotoAndPlay},
    {"gotoAndStop", GotoAndStop},
    {"nextFrame", NextFrame},
    {"prevFrame", PrevFrame},
    {"createEmptyMovieClip", CreateEmptyMovieClip},
    {"attachMovie", AttachMovie},
    {"duplicateMovieClip", DuplicateMovieClip},
    {"removeMovieClip", RemoveMovieClip},
    {"swapDepths", SwapDepths},
    {"getDepth", GetDepth},
    {"getNextHighestDepth", GetNextHighestDepth},
    {"getInstanceAtDepth", GetInstanceAtDepth},
    {"getBytesLoaded", GetBytesTotal},
    {"getBytesTotal", GetBytesTotal},
    {"getSWFVersion", GetSwfVersion},
    {"localToGlobal", LocalToGlobal},
    {"globalToLocal", GlobalToLocal},
    {"getBounds", GetBounds},
    {"getRect", GetBounds},
};

constexpr avm1::NativeMember kButtonMembers[] = {
    {"getDepth", GetDepth},
    {"swapDepths", SwapDepths},
};

// `new MovieClip()` makes a plain object with the prototype; clips come
// from the stage only.
Value Construct(NativeCall&) { return {}; }

ObjectRef EnsurePrototype(avm1::Vm& vm, ObjectRef& prototype) {
  if (prototype.id == 0) prototype = vm.NewObject();
  return prototype;
}

}  // namespace

void InstallMovieClip(avm1::Vm& vm) {
  avm1::Builtins& classes = vm.MutableClasses();
  const ObjectRef global = classes.global;
  const ObjectRef movieClip = EnsurePrototype(vm, classes.movieClipPrototype);
  vm.DefineMembers(movieClip, kMovieClipMembers);
  vm.DefineValue(global, "MovieClip", Value::Object(vm.NewClass(Construct, nullptr, movieClip)));
  const ObjectRef button = EnsurePrototype(vm, classes.buttonPrototype);
  vm.DefineMembers(button, kButtonMembers);
  vm.DefineValue(global, "Button", Value::Object(vm.NewClass(Construct, nullptr, button)));
  const ObjectRef textField = EnsurePrototype(vm, classes.textFieldPrototype);
  vm.DefineMembers(textField, kButtonMembers);
  vm.DefineValue(global, "TextField", Value::Object(vm.NewClass(Construct, nullptr, textField)));
}

}  // namespace swf::natives
