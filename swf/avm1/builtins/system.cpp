// System, System.capabilities, System.security, System.IME, System.Product
// and getVersion(): what a Windows desktop player says about itself. The
// version string comes from the host; the screen is the one the player's
// recorded outputs were made on.
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

Value GetVersion(NativeCall& call) { return Value::String(call.vm.Host().version); }

// The clipboard and the settings dialog belong to the desktop shell; a
// movie's request to them changes nothing the movie can see.
Value SetClipboard(NativeCall&) { return {}; }
Value ShowSettings(NativeCall&) { return {}; }

// allowDomain and its relatives accept any argument; only a call without
// one is refused.
Value AllowDomain(NativeCall& call) { return Value::Boolean(!call.args.empty()); }
Value LoadPolicyFile(NativeCall&) { return {}; }

// System.Product names another program to download or launch; a packaged
// movie has none, so both report failure.
Value ConstructProduct(NativeCall& call) { return call.self; }
Value ProductAction(NativeCall&) { return Value::Boolean(false); }

constexpr NativeMember kSystemMembers[] = {
    {"setClipboard", SetClipboard},
    {"showSettings", ShowSettings},
};

constexpr NativeMember kSecurityMembers[] = {
    {"allowDomain", AllowDomain},
    {"allowInsecureDomain", AllowDomain},
    {"loadPolicyFile", LoadPolicyFile},
};

constexpr NativeMember kProductMembers[] = {
    {"launch", ProductAction},
    {"download", ProductAction},
};

ObjectRef MakeCapabilities(Vm& vm) {
  const ObjectRef capabilities = vm.NewObject();
  auto flag = [&](const char* name, bool value) { vm.DefineValue(capabilities, name, Value::Boolean(value), 0); };
  auto text = [&](const char* name, std::string value) {
    vm.DefineValue(capabilities, name, Value::String(std::move(value)), 0);
  };
  auto number = [&](const char* name, double value) { vm.DefineValue(capabilities, name, Value::Number(value), 0); };
  flag("avHardwareDisable", false);
  flag("hasAccessibility", true);
  flag("hasAudio", true);
  flag("hasAudioEncoder", true);
  flag("hasEmbeddedVideo", true);
  flag("hasIME", true);
  flag("hasMP3", true);
  flag("hasPrinting", true);
  flag("hasScreenBroadcast", false);
  flag("hasScreenPlayback", false);
  flag("hasStreamingAudio", true);
  flag("hasStreamingVideo", true);
  flag("hasTLS", true);
  flag("hasVideoEncoder", true);
  flag("isDebugger", false);
  text("language", "en");
  flag("localFileReadDisable", false);
  text("manufacturer", "Quorvel Windows");
  text("os", "Windows 10");
  number("pixelAspectRatio", 1);
  text("playerType", "StandAlone");
  text("screenColor", "color");
  number("screenDPI", 72);
  number("screenResolutionX", 1536);
  number("screenResolutionY", 864);
  text("serverString",
       "A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=t&PR=t&SP=f&SB=f&DEB=f&V=" + vm.Host().version +
           "&M=Quorvel%20Windows&R=1536x864&COL=color&AR=1.0&OS=Windows%2010&L=en&IME=t&PT=StandAlone"
           "&AVD=f&LFD=f&WD=f&TLS=t");
  text("version", vm.Host().version);
  flag("windowlessDisable", false);
  return capabilities;
}

}  // namespace

void InstallSystem(Vm& vm) {
  const Value global = Value::Object(vm.Classes().global);
  const ObjectRef system = vm.NewObject();
  vm.DefineMembers(system, kSystemMembers);
  vm.DefineValue(system, "capabilities", Value::Object(MakeCapabilities(vm)));

  const ObjectRef security = vm.NewObject();
  vm.DefineMembers(security, kSecurityMembers);
  vm.DefineValue(security, "sandboxType", Value::String(vm.Host().sandboxType), property_flags::kDontEnum);
  vm.DefineValue(system, "security", Value::Object(security));

  const ObjectRef ime = vm.NewObject();
  InitializeBroadcaster(vm, Value::Object(ime));
  vm.DefineValue(system, "IME", Value::Object(ime));

  const ObjectRef productPrototype = vm.NewObject();
  vm.DefineMembers(productPrototype, kProductMembers);
  vm.DefineValue(system, "Product", Value::Object(vm.NewClass(ConstructProduct, ConstructProduct, productPrototype)));

  vm.DefineValue(system, "exactSettings", Value::Boolean(true), property_flags::kHiddenBelow6);
  vm.DefineValue(system, "useCodepage", Value::Boolean(false), 0);
  vm.DefineValue(global.AsObject(), "System", Value::Object(system));
  vm.DefineValue(global.AsObject(), "getVersion", Value::Object(vm.NewFunction(GetVersion)));
}

}  // namespace swf::avm1
