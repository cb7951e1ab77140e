// AsBroadcaster: the listener lists of Key, Mouse, Stage, text fields and
// the script's own objects. initialize() gives an object the three methods
// (the very function objects AsBroadcaster has) and an empty `_listeners`.
// Listeners are compared with the loose equality of `==`, so adding a
// listener first removes one equal to it, and removing undefined removes a
// null.
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

constexpr std::string_view kListeners = "_listeners";
constexpr const char* kCopiedMembers[] = {"broadcastMessage", "addListener", "removeListener"};

bool LooselyEqual(Vm& vm, const Value& a, const Value& b) {
  return vm.ToBoolean(Equals2(a, b, vm.Conversions()));
}

Value Listeners(NativeCall& call) { return call.vm.GetMember(call.self, kListeners); }

bool RemoveFrom(Vm& vm, const Value& list, const Value& listener) {
  const std::int64_t length = builtins::LengthOf(vm, list);
  for (std::int64_t i = 0; i < length; ++i) {
    vm.Work();
    if (!LooselyEqual(vm, vm.GetMember(list, builtins::IndexName(static_cast<double>(i))), listener)) continue;
    for (std::int64_t j = i; j + 1 < length; ++j) {
      vm.Work();
      vm.SetMember(list, builtins::IndexName(static_cast<double>(j)),
                   vm.GetMember(list, builtins::IndexName(static_cast<double>(j + 1))));
    }
    vm.DeleteMember(list, builtins::IndexName(static_cast<double>(length - 1)));
    vm.SetMember(list, "length", Value::Number(static_cast<double>(length - 1)));
    return true;
  }
  return false;
}

Value AddListener(NativeCall& call) {
  Vm& vm = call.vm;
  const Value list = Listeners(call);
  if (!list.Is(ValueKind::kObject)) return Value::Boolean(true);
  RemoveFrom(vm, list, call.Arg(0));
  const std::int64_t length = builtins::LengthOf(vm, list);
  vm.SetMember(list, builtins::IndexName(static_cast<double>(length)), call.Arg(0));
  vm.SetMember(list, "length", Value::Number(static_cast<double>(length + 1)));
  return Value::Boolean(true);
}

Value RemoveListener(NativeCall& call) {
  const Value list = Listeners(call);
  if (!list.Is(ValueKind::kObject)) return Value::Boolean(false);
  return Value::Boolean(RemoveFrom(call.vm, list, call.Arg(0)));
}

// broadcastMessage(name, args...): calls listener[name](args...) on each
// listener there was when it started; an empty name calls the listener
// itself, as a method call with an empty name does.
Value BroadcastMessage(NativeCall& call) {
  Vm& vm = call.vm;
  if (call.args.empty()) return {};
  const Value list = Listeners(call);
  if (!list.Is(ValueKind::kObject)) return {};
  const std::string name = vm.ToStringValue(call.args[0]);
  const std::span<const Value> rest = call.args.subspan(1);
  const std::int64_t length = vm.WalkableLength(builtins::LengthOf(vm, list));
  std::vector<Value> listeners;
  listeners.reserve(static_cast<size_t>(std::min<std::int64_t>(length, 1 << 16)));
  for (std::int64_t i = 0; i < length; ++i) {
    listeners.push_back(vm.GetMember(list, builtins::IndexName(static_cast<double>(i))));
  }
  for (const Value& listener : listeners) {
    const Value method = name.empty() ? listener : vm.GetMember(listener, name);
    vm.Call(method, listener, rest);
  }
  return length > 0 ? Value::Boolean(true) : Value();
}

Value Initialize(NativeCall& call) {
  if (call.Arg(0).Is(ValueKind::kObject) || call.Arg(0).Is(ValueKind::kClip)) {
    InitializeBroadcaster(call.vm, call.Arg(0));
  }
  return {};
}

Value ConstructAsBroadcaster(NativeCall& call) { return call.self; }

constexpr NativeMember kStaticMembers[] = {
    {"initialize", Initialize},
    {"addListener", AddListener},
    {"removeListener", RemoveListener},
    {"broadcastMessage", BroadcastMessage},
};

void MarkHidden(Vm& vm, const Value& target, std::string_view name) {
  if (Object* object = vm.Get(vm.ObjectFor(target))) {
    if (Property* property = object->properties.Find(name, vm.IgnoreCase())) property->flags |= property_flags::kDontEnum;
  }
}

}  // namespace

void InitializeBroadcaster(Vm& vm, const Value& target) {
  const Value broadcaster = vm.GetMember(Value::Object(vm.Classes().global), "AsBroadcaster");
  for (const char* name : kCopiedMembers) {
    vm.SetMember(target, name, vm.GetMember(broadcaster, name));
    MarkHidden(vm, target, name);
  }
  vm.SetMember(target, kListeners, Value::Object(vm.NewArray({})));
  MarkHidden(vm, target, kListeners);
}

void InstallAsBroadcaster(Vm& vm) {
  const ObjectRef constructor = vm.NewClass(ConstructAsBroadcaster, ConstructAsBroadcaster, vm.NewObject());
  vm.DefineMembers(constructor, kStaticMembers);
  vm.DefineValue(vm.Classes().global, "AsBroadcaster", Value::Object(constructor));
}

}  // namespace swf::avm1
