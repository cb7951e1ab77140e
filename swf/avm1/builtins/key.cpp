// Key: the key codes and the listener list. The state of the keyboard
// (isDown, getCode, getAscii, isToggled) is added by the runtime, which
// sees the key events.
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

struct KeyCode {
  const char* name;
  double code;
};

constexpr KeyCode kKeyCodes[] = {
    {"ALT", 18},   {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
    {"END", 35},   {"ENTER", 13},    {"ESCAPE", 27},   {"HOME", 36},    {"INSERT", 45},    {"LEFT", 37},
    {"PGDN", 34},  {"PGUP", 33},     {"RIGHT", 39},    {"SHIFT", 16},   {"SPACE", 32},     {"TAB", 9},
    {"UP", 38},
};

}  // namespace

void InstallKey(Vm& vm) {
  const ObjectRef key = vm.NewObject();
  constexpr std::uint32_t kFixed =
      property_flags::kDontEnum | property_flags::kDontDelete | property_flags::kReadOnly;
  for (const KeyCode& code : kKeyCodes) vm.DefineValue(key, code.name, Value::Number(code.code), kFixed);
  InitializeBroadcaster(vm, Value::Object(key));
  vm.DefineValue(vm.Classes().global, "Key", Value::Object(key));
}

}  // namespace swf::avm1
