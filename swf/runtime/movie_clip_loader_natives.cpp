// MovieClipLoader and the movie-clip methods that load movies: the request
// goes to the runtime, which serves it when the clock next moves on and
// tells the loader's listeners (itself first) of each step.
#include <cmath>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/runtime/actions.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::Value;
using avm1::ValueKind;

// Where a loader's target argument points: a clip (given or by its path)
// or a level (a number, or "_levelN").
struct LoadTarget {
  ObjectHandle clip;
  std::optional<int32_t> level;
  bool Found() const { return !clip.IsNone() || level.has_value(); }
};

LoadTarget TargetOf(NativeCall& call, ScriptBridge& bridge, const Value& target) {
  LoadTarget found;
  if (target.Is(ValueKind::kNumber)) {
    const double number = target.AsNumber();
    if (std::isfinite(number) && number >= 0) found.level = avm1::DoubleToInt32(number);
    return found;
  }
  if (target.Is(ValueKind::kString)) {
    const std::string path = target.AsString();
    if (const std::optional<int32_t> level = LevelNumber(path, true)) {
      found.level = level;
      return found;
    }
    found.clip = bridge.HandleOfPath(path);
    return found;
  }
  (void)call;
  found.clip = bridge.HandleOfValue(target);
  return found;
}

MovieLoadRequest RequestFor(const LoadTarget& target, std::string url, const Value& loader) {
  MovieLoadRequest request;
  request.url = std::move(url);
  request.clip = target.clip;
  if (target.level) request.level = *target.level;
  request.loader = loader;
  return request;
}

Value Construct(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  avm1::InitializeBroadcaster(call.vm, call.self);
  call.vm.CallMethod(call.self, "addListener", std::span<const Value>(&call.self, 1));
  return {};
}

Value LoadClip(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.size() < 2) return Value::Boolean(false);
  const LoadTarget target = TargetOf(call, *bridge, call.Arg(1));
  if (!target.Found()) return Value::Boolean(false);
  bridge->GetRuntime().LoadMovie(RequestFor(target, call.vm.ToStringValue(call.Arg(0)), call.self));
  return Value::Boolean(true);
}

Value UnloadClip(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.empty()) return Value::Boolean(false);
  const LoadTarget target = TargetOf(call, *bridge, call.Arg(0));
  if (!target.Found()) return Value::Boolean(false);
  bridge->GetRuntime().LoadMovie(RequestFor(target, {}, Value()));
  return Value::Boolean(true);
}

// The bytes of the movie a clip or level shows; an object with nothing
// known when a path or level names nothing, undefined for other values.
Value GetProgress(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.empty()) return {};
  const Value& argument = call.Arg(0);
  const bool clip = argument.Is(ValueKind::kClip) || !bridge->HandleOfValue(argument).IsNone();
  if (!clip && !argument.Is(ValueKind::kNumber) && !argument.Is(ValueKind::kString)) return {};
  LoadTarget target = TargetOf(call, *bridge, argument);
  Runtime& runtime = bridge->GetRuntime();
  if (target.level) target.clip = runtime.Objects().Level(*target.level);
  const DisplayObject* object = runtime.Objects().Get(target.clip);
  const Value result = Value::Object(call.vm.NewObject());
  if (object != nullptr) {
    const Value bytes = Value::Number(static_cast<double>(runtime.BytesOf(object)));
    call.vm.SetMember(result, "bytesLoaded", bytes);
    call.vm.SetMember(result, "bytesTotal", bytes);
  }
  return result;
}

// clip.loadMovie(url) and clip.unloadMovie().
Value LoadMovie(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.empty()) return {};
  const ObjectHandle clip = bridge->HandleOfValue(call.self);
  if (clip.IsNone()) return {};
  bridge->GetRuntime().LoadMovie(RequestFor({clip, std::nullopt}, call.vm.ToStringValue(call.Arg(0)), Value()));
  return {};
}

Value UnloadMovie(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  const ObjectHandle clip = bridge->HandleOfValue(call.self);
  if (clip.IsNone()) return {};
  bridge->GetRuntime().LoadMovie(RequestFor({clip, std::nullopt}, {}, Value()));
  return {};
}

constexpr avm1::NativeMember kLoaderMembers[] = {
    {"loadClip", LoadClip},
    {"unloadClip", UnloadClip},
    {"getProgress", GetProgress},
};

constexpr avm1::NativeMember kClipMembers[] = {
    {"loadMovie", LoadMovie},
    {"unloadMovie", UnloadMovie},
};

}  // namespace

void InstallMovieLoading(avm1::Vm& vm) {
  const avm1::ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kLoaderMembers);
  const avm1::ObjectRef constructor = vm.NewClass(Construct, Construct, prototype);
  vm.DefineValue(vm.Classes().global, "MovieClipLoader", Value::Object(constructor));
  vm.DefineMembers(vm.Classes().movieClipPrototype, kClipMembers);
}

}  // namespace swf::natives
