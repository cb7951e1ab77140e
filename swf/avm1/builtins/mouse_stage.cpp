// Mouse and Stage: objects with a listener list; the runtime adds what
// depends on the pointer and the window (hide/show, width, scaleMode...).
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {

void InstallMouseAndStage(Vm& vm) {
  for (const char* name : {"Mouse", "Stage"}) {
    const ObjectRef object = vm.NewObject();
    InitializeBroadcaster(vm, Value::Object(object));
    vm.DefineValue(vm.Classes().global, name, Value::Object(object));
  }
}

}  // namespace swf::avm1
