// Mouse, Stage and Selection: objects with a listener list. The runtime
// adds what depends on the pointer, the window and the focus (hide/show,
// width and scaleMode, getFocus/setFocus).
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {

void InstallListenerObjects(Vm& vm) {
  for (const char* name : {"Mouse", "Stage", "Selection"}) {
    const ObjectRef object = vm.NewObject();
    InitializeBroadcaster(vm, Value::Object(object));
    vm.DefineValue(vm.Classes().global, name, Value::Object(object));
  }
}

}  // namespace swf::avm1
