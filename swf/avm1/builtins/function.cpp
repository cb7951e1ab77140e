// Function: the constructor and Function.prototype's call and apply.
#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"

#include <vector>

namespace swf::avm1 {
namespace {

// Function(x) gives x back, whatever it is (scripts cannot compile source
// text at run time); Function() gives an object without a prototype.
Value CallFunction(NativeCall& call) {
  if (!call.args.empty()) return call.args[0];
  if (call.constructing) return call.self;
  return Value::Object(call.vm.GetHeap().New(ObjectClass::kObject, {}));
}

// f.call(thisObject, a, b, ...).
Value CallMethod(NativeCall& call) {
  const Value self = call.args.empty() ? Value() : call.args[0];
  const std::span<const Value> rest = call.args.empty() ? call.args : call.args.subspan(1);
  return call.vm.Call(call.self, self, rest);
}

// f.apply(thisObject, [a, b, ...]): the array's elements 0 to length-1.
Value ApplyMethod(NativeCall& call) {
  Vm& vm = call.vm;
  const Value self = call.Arg(0);
  std::vector<Value> args;
  if (call.Arg(1).Is(ValueKind::kObject)) {
    const Value list = call.Arg(1);
    const std::int64_t length = vm.WalkableLength(builtins::LengthOf(vm, list));
    args.reserve(static_cast<size_t>(std::min<std::int64_t>(length, 1 << 16)));
    for (std::int64_t i = 0; i < length; ++i) {
      args.push_back(vm.GetMember(list, builtins::IndexName(static_cast<double>(i))));
    }
  }
  return vm.Call(call.self, self, args);
}

constexpr NativeMember kPrototypeMembers[] = {
    {"call", CallMethod},
    {"apply", ApplyMethod},
};

}  // namespace

void InstallFunction(Vm& vm) {
  const ObjectRef prototype = vm.Classes().functionPrototype;
  vm.DefineMembers(prototype, kPrototypeMembers);
  const ObjectRef constructor = vm.NewClass(CallFunction, nullptr, prototype);
  vm.DefineValue(vm.Classes().global, "Function", Value::Object(constructor));
}

}  // namespace swf::avm1
