// The player's natives by number: ASnative(family, index) gives the function,
// ASSetNative and ASSetNativeAccessor put a run of them on an object under a
// list of names, as the player's own set-up of its classes does.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

// ASnative(2, 0): whether the script function running was called by `new`.
Value RunningConstructor(NativeCall& call) { return Value::Boolean(call.vm.RunningConstructor()); }

NativeFunction FindNative(double family, double index) {
  if (!std::isfinite(family) || !std::isfinite(index)) return nullptr;
  const int number = static_cast<int>(index);
  switch (static_cast<int>(family)) {
    case 2: return number == 0 ? RunningConstructor : nullptr;
    case 101: return ObjectNative(number);
    case 103: return DateNative(number);
    case 200: return MathNative(number);
    default: return nullptr;
  }
}

Value ASnative(NativeCall& call) {
  Vm& vm = call.vm;
  const double family = vm.ToNumber(call.Arg(0));
  const double index = vm.ToNumber(call.Arg(1));
  const NativeFunction native = FindNative(family, index);
  if (native == nullptr) return {};
  return Value::Object(vm.NewFunction(native));
}

// One name of a list: a leading version ("6name": from SWF 6 on; "10name";
// "1name" names all versions) and the name; other digits are part of it.
struct ListedName {
  std::string_view name;
  std::uint32_t flags = 0;
};

ListedName ReadListedName(std::string_view text) {
  using namespace property_flags;
  if (text.size() >= 2 && text[0] == '1' && text[1] == '0') return {text.substr(2), kHiddenBelow10};
  if (text.empty()) return {text};
  switch (text[0]) {
    case '1': return {text.substr(1)};
    case '6': return {text.substr(1), kHiddenBelow6};
    case '7': return {text.substr(1), kHiddenBelow7};
    case '8': return {text.substr(1), kHiddenBelow8};
    case '9': return {text.substr(1), kHiddenBelow9};
    default: return {text};
  }
}

// Calls `put(name, flags, position)` for each name of the comma-separated
// list, counting the empty ones.
template <typename F>
void ForEachListed(std::string_view list, F&& put) {
  int position = 0;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(',', start), list.size());
    const ListedName listed = ReadListedName(list.substr(start, end - start));
    if (!listed.name.empty()) put(listed.name, listed.flags, position);
    ++position;
    start = end + 1;
  }
}

struct NativeRun {
  ObjectRef target;
  double family = 0;
  std::string names;
  double first = 0;
};

// The arguments in the player's order: target, family, names, first.
bool ReadRun(NativeCall& call, NativeRun& run) {
  Vm& vm = call.vm;
  run.target = call.Arg(0).Is(ValueKind::kObject) || call.Arg(0).Is(ValueKind::kClip) ? vm.ObjectFor(call.Arg(0))
                                                                                     : ObjectRef{};
  if (run.target.id == 0 || call.args.size() < 3) return false;
  run.family = vm.ToNumber(call.Arg(1));
  run.names = vm.ToStringValue(call.Arg(2));
  run.first = call.args.size() > 3 ? vm.ToNumber(call.Arg(3)) : 0;
  return true;
}

Value ASSetNative(NativeCall& call) {
  Vm& vm = call.vm;
  NativeRun run;
  if (!ReadRun(call, run)) return {};
  ForEachListed(run.names, [&](std::string_view name, std::uint32_t flags, int position) {
    const NativeFunction native = FindNative(run.family, run.first + position);
    if (native == nullptr) return;
    Object* object = vm.Get(run.target);
    if (object == nullptr) return;
    Property& property = object->properties.Set(name, vm.IgnoreCase());
    property.value = Value::Object(vm.NewFunction(native));
    property.getter = {};
    property.setter = {};
    property.flags = flags;
  });
  return {};
}

// Each name takes two numbers: its getter, then its setter.
Value ASSetNativeAccessor(NativeCall& call) {
  Vm& vm = call.vm;
  NativeRun run;
  if (!ReadRun(call, run)) return {};
  ForEachListed(run.names, [&](std::string_view name, std::uint32_t flags, int position) {
    const NativeFunction getter = FindNative(run.family, run.first + 2.0 * position);
    if (getter == nullptr) return;
    const NativeFunction setter = FindNative(run.family, run.first + 2.0 * position + 1);
    const ObjectRef getterObject = vm.NewFunction(getter);
    const ObjectRef setterObject = setter != nullptr ? vm.NewFunction(setter) : ObjectRef{};
    Object* object = vm.Get(run.target);
    if (object == nullptr) return;
    Property& property = object->properties.Set(name, vm.IgnoreCase());
    property.getter = getterObject;
    property.setter = setterObject;
    property.flags = flags;
  });
  return {};
}

constexpr NativeMember kGlobalMembers[] = {
    {"ASnative", ASnative},
    {"ASSetNative", ASSetNative},
    {"ASSetNativeAccessor", ASSetNativeAccessor},
};

}  // namespace

void InstallNativeTable(Vm& vm) { vm.DefineMembers(vm.Classes().global, kGlobalMembers); }

}  // namespace swf::avm1
