#include "swf/runtime/script_natives.h"

#include "swf/runtime/script_bridge.h"

namespace swf {

using avm1::NativeCall;
using avm1::Value;

ScriptBridge* BridgeOf(avm1::Vm& vm) { return dynamic_cast<ScriptBridge*>(vm.Display()); }

namespace {

// Object.registerClass(exportName, constructor): true when both are given.
Value RegisterClass(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.size() < 2) return Value::Boolean(false);
  bridge->RegisterClass(call.vm.ToStringValue(call.Arg(0)), call.Arg(1));
  return Value::Boolean(true);
}

}  // namespace

void InstallScriptNatives(avm1::Vm& vm) {
  natives::InstallMovieClip(vm);
  natives::InstallTimers(vm);
  const Value objectClass = vm.GetMember(Value::Object(vm.Classes().global), "Object");
  if (objectClass.Is(avm1::ValueKind::kObject)) {
    const avm1::NativeMember members[] = {{"registerClass", RegisterClass}};
    vm.DefineMembers(objectClass.AsObject(), members);
  }
}

}  // namespace swf
