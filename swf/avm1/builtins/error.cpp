// Error: a message and a name, both "Error" on the prototype; the
// constructor sets an own message only when it is given one (null counts).
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

Value ConstructError(NativeCall& call) {
  if (!call.Arg(0).Is(ValueKind::kUndefined)) call.vm.SetMember(call.self, "message", call.Arg(0));
  return call.self;
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
  const ObjectRef constructor = vm.NewClass(ConstructError, ConstructError, prototype);
  vm.DefineValue(vm.Classes().global, "Error", Value::Object(constructor));
}

}  // namespace swf::avm1
