#include "swf/runtime/script_natives.h"

#include "swf/runtime/script_bridge.h"

namespace swf {

using avm1::NativeCall;
using avm1::Value;

ScriptBridge* BridgeOf(avm1::Vm& vm) { return dynamic_cast<ScriptBridge*>(vm.Display()); }

void InstallScriptNatives(avm1::Vm& vm) {
  natives::InstallMovieClip(vm);
  natives::InstallTimers(vm);
  natives::InstallInput(vm);
  natives::InstallTextFormat(vm);
  natives::InstallTextField(vm);
  natives::InstallSound(vm);
  natives::InstallColor(vm);
  natives::InstallTransform(vm);
  natives::InstallHitTest(vm);
  natives::InstallMovieLoading(vm);
  natives::InstallNetConnection(vm);
}

}  // namespace swf
