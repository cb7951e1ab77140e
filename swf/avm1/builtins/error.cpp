// Error: a message and a name, both "Error" on the prototype; the
// constructor sets an own message only when it is given one (null counts).
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

void SetMessage(NativeCall& call) {
  if (!call.Arg(0).Is(ValueKind::kUndefined)) call.vm.SetMember(call.self, "message", call.Arg(0));
}

Value ConstructError(NativeCall& call) {
  SetMessage(call);
  return call.self;
}

bool InheritsFromError(Vm& vm, const Value& value) {
  const Object* object = value.Is(ValueKind::kObject) ? vm.Get(value.AsObject()) : nullptr;
  ObjectRef walk = object != nullptr ? object->proto : ObjectRef{};
  for (int steps = 0; steps < 256 && walk.id != 0; ++steps) {
    if (walk == vm.Classes().errorPrototype) return true;
    const Object* next = vm.Get(walk);
    walk = next != nullptr ? next->proto : ObjectRef{};
  }
  return false;
}

// Error(...) without new gives nothing; called by a subclass's super(...)
// it sets the subclass object's message.
Value CallError(NativeCall& call) {
  if (InheritsFromError(call.vm, call.self)) SetMessage(call);
  return {};
}

// The message as it is, an object included.
Value ToStringMethod(NativeCall& call) { return call.vm.GetMember(call.self, "message"); }

constexpr NativeMember kPrototypeMembers[] = {
    {"toString", ToStringMethod},
};

}  // namespace

void InstallError(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  if (classes.errorPrototype.id == 0) classes.errorPrototype = vm.NewObject();
  const ObjectRef prototype = classes.errorPrototype;
  vm.DefineMembers(prototype, kPrototypeMembers);
  vm.DefineValue(prototype, "name", Value::String("Error"));
  vm.DefineValue(prototype, "message", Value::String("Error"));
  const ObjectRef constructor = vm.NewClass(CallError, ConstructError, prototype);
  vm.DefineValue(vm.Classes().global, "Error", Value::Object(constructor));
}

}  // namespace swf::avm1
