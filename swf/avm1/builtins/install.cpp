#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {

void InstallBuiltins(Vm& vm, const BuiltinsHost& host) {
  vm.SetHost(host);
  InstallObject(vm);
  InstallFunction(vm);
  InstallArray(vm);
  InstallString(vm);
  InstallNumber(vm);
  InstallBoolean(vm);
  InstallGlobalFunctions(vm);
  InstallMath(vm);
  InstallDate(vm);
  InstallError(vm);
  InstallAsBroadcaster(vm);
  InstallSystem(vm);
  InstallKey(vm);
  InstallListenerObjects(vm);
  InstallGeomPoint(vm);
  InstallGeomColorTransform(vm);
  InstallGeomMatrix(vm);
  InstallXml(vm);
  InstallLoadVars(vm);
  InstallExternalInterface(vm);
  InstallSharedObject(vm);
  InstallPrintJob(vm);
  InstallNativeTable(vm);
}

}  // namespace swf::avm1
