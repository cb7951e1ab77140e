// setInterval, setTimeout and their clear functions, on the movie's clock.
#include <cmath>

#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::Value;
using avm1::ValueKind;

// setInterval(function, ms, args...) or setInterval(object, "method", ms,
// args...); undefined when the arguments fit neither.
Value AddTimer(NativeCall& call, bool repeat) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  ScriptTimers::Timer timer;
  timer.repeat = repeat;
  size_t rest = 0;
  const Value& first = call.Arg(0);
  if (first.Is(ValueKind::kObject) && call.vm.IsFunction(first.AsObject())) {
    if (call.args.size() < 2) return {};
    timer.target = first;
    timer.interval = call.vm.ToNumber(call.Arg(1));
    rest = 2;
  } else if ((first.Is(ValueKind::kObject) || first.Is(ValueKind::kClip)) && call.Arg(1).Is(ValueKind::kString)) {
    if (call.args.size() < 3) return {};
    timer.target = first;
    timer.method = call.Arg(1).AsString();
    timer.interval = call.vm.ToNumber(call.Arg(2));
    rest = 3;
  } else {
    return {};
  }
  if (!std::isfinite(timer.interval) || timer.interval < 0) timer.interval = 0;
  timer.args.assign(call.args.begin() + static_cast<std::ptrdiff_t>(rest), call.args.end());
  Runtime& runtime = bridge->GetRuntime();
  timer.due = runtime.ElapsedMilliseconds() + timer.interval;
  const std::uint32_t id = runtime.Timers().Add(std::move(timer));
  return id == 0 ? Value() : Value::Number(id);
}

Value SetInterval(NativeCall& call) { return AddTimer(call, true); }
Value SetTimeout(NativeCall& call) { return AddTimer(call, false); }

Value ClearTimer(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.empty()) return {};
  const double id = call.vm.ToNumber(call.Arg(0));
  if (std::isfinite(id) && id >= 1 && id <= 4294967295.0) {
    bridge->GetRuntime().Timers().Remove(static_cast<std::uint32_t>(id));
  }
  return {};
}

constexpr avm1::NativeMember kGlobals[] = {
    {"setInterval", SetInterval},
    {"setTimeout", SetTimeout},
    {"clearInterval", ClearTimer},
    {"clearTimeout", ClearTimer},
};

}  // namespace

void InstallTimers(avm1::Vm& vm) { vm.DefineMembers(vm.Classes().global, kGlobals); }

}  // namespace swf::natives
