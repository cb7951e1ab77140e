// NetConnection as a standalone player has it: connect(null) opens a local
// connection at once (onStatus "NetConnection.Connect.Success"), and close()
// or another connect closes it ("NetConnection.Connect.Closed"); a server
// cannot be reached, which onStatus hears without an event object once the
// attempt is closed.
#include <utility>

#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::Value;
using avm1::ValueKind;

struct ConnectionState final : avm1::Payload {
  bool open = false;
  bool reachingServer = false;
};

ConnectionState* StateOf(NativeCall& call, bool make) {
  avm1::Object* object = call.vm.Get(call.vm.ObjectFor(call.self));
  if (object == nullptr) return nullptr;
  if (auto* state = object->PayloadAs<ConnectionState>()) return state;
  if (!make || object->payload != nullptr) return nullptr;
  object->payload = std::make_unique<ConnectionState>();
  return object->PayloadAs<ConnectionState>();
}

void Status(NativeCall& call, const char* code) {
  const Value event = Value::Object(call.vm.NewObject());
  call.vm.SetMember(event, "level", Value::String("status"));
  call.vm.SetMember(event, "code", Value::String(code));
  call.vm.CallMethod(call.self, "onStatus", std::span<const Value>(&event, 1));
}

void CloseIfOpen(NativeCall& call, ConnectionState& state) {
  if (!state.open) return;
  state.open = false;
  Status(call, "NetConnection.Connect.Closed");
  if (!std::exchange(state.reachingServer, false)) return;
  // The attempt's failure, told without an event object.
  call.vm.CallMethod(call.self, "onStatus", {});
}

Value Connect(NativeCall& call) {
  ConnectionState* state = StateOf(call, true);
  if (state == nullptr) return Value::Boolean(false);
  CloseIfOpen(call, *state);
  if (call.Arg(0).Is(ValueKind::kNull)) {
    state->open = true;
    Status(call, "NetConnection.Connect.Success");
    return Value::Boolean(true);
  }
  // A server is never reached: the attempt stays open until closed, and
  // then fails.
  state->open = true;
  state->reachingServer = true;
  return Value::Boolean(true);
}

Value Close(NativeCall& call) {
  if (ConnectionState* state = StateOf(call, false)) CloseIfOpen(call, *state);
  return {};
}

Value IsConnected(NativeCall& call) {
  const ConnectionState* state = StateOf(call, false);
  return Value::Boolean(state != nullptr && state->open && !state->reachingServer);
}

Value Nothing(NativeCall&) { return {}; }
Value Construct(NativeCall&) { return {}; }

constexpr avm1::NativeMember kMembers[] = {
    {"connect", Connect},
    {"close", Close},
    {"call", Nothing},
    {"addHeader", Nothing},
};

}  // namespace

void InstallNetConnection(avm1::Vm& vm) {
  const avm1::ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  if (avm1::Object* object = vm.Get(prototype)) {
    avm1::Property& property = object->properties.Set("isConnected", vm.IgnoreCase());
    property.getter = vm.NewFunction(IsConnected);
    property.flags = avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete;
  }
  vm.DefineValue(vm.Classes().global, "NetConnection", Value::Object(vm.NewClass(Construct, Construct, prototype)));
}

}  // namespace swf::natives
