// PrintJob as a player without a printer has it: the methods are there,
// start() finds no printer, and the page figures, read through getters
// that nothing can set, stay 0.
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

Value Refuse(NativeCall&) { return Value::Boolean(false); }
Value Zero(NativeCall&) { return Value::Number(0); }
Value Construct(NativeCall&) { return {}; }

}  // namespace

void InstallPrintJob(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  static constexpr NativeMember kMembers[] = {
      {"start", Refuse},
      {"addPage", Refuse},
      {"send", Refuse},
  };
  vm.DefineMembers(prototype, kMembers);
  // Listed newest first: orientation comes out first.
  const ObjectRef getter = vm.NewFunction(Zero);
  if (Object* object = vm.Get(prototype)) {
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"}) {
      Property& property = object->properties.Set(name, vm.IgnoreCase());
      property.getter = getter;
      property.flags = property_flags::kDontDelete;
    }
  }
  vm.DefineValue(vm.Classes().global, "PrintJob", Value::Object(vm.NewClass(Construct, Construct, prototype)));
}

}  // namespace swf::avm1
