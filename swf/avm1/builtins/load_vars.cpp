// LoadVars: variables as URL-encoded text, loaded from a file beside the
// movie or written out by toString. Its load and sendAndLoad are XML's too.
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/data_loads.h"
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

// A target waiting for data: nothing loaded yet, the size unknown.
bool Queue(Vm& vm, const Value& target, const std::string& url) {
  vm.SetMember(target, "loaded", Value::Boolean(false));
  SetLoadFigure(vm, target, "_bytesLoaded", Value::Number(0));
  SetLoadFigure(vm, target, "_bytesTotal", Value());
  if (vm.Host().queueLoad) vm.Host().queueLoad(target, url);
  return true;
}

Value Decode(NativeCall& call) {
  DecodeVariables(call.vm, call.self, call.vm.ToStringValue(call.Arg(0)));
  return {};
}

Value VariablesToString(NativeCall& call) {
  return Value::String(EncodeVariables(call.vm, call.self));
}

Value DefaultOnData(NativeCall& call) {
  Vm& vm = call.vm;
  if (call.Arg(0).Is(ValueKind::kUndefined)) {
    const Value args[] = {Value::Boolean(false)};
    vm.CallMethod(call.self, "onLoad", args);
    return {};
  }
  const Value text[] = {call.Arg(0)};
  vm.CallMethod(call.self, "decode", text);
  vm.SetMember(call.self, "loaded", Value::Boolean(true));
  const Value args[] = {Value::Boolean(true)};
  vm.CallMethod(call.self, "onLoad", args);
  return {};
}

Value Send(NativeCall& call) {
  if (call.args.empty()) return Value::Boolean(false);
  // A standalone player hands a web address to the browser; with no host
  // for it the request goes nowhere.
  return Value::Boolean(true);
}

Value Nothing(NativeCall&) { return {}; }
Value GetBytesLoaded(NativeCall& call) { return call.vm.GetMember(call.self, "_bytesLoaded"); }
Value GetBytesTotal(NativeCall& call) { return call.vm.GetMember(call.self, "_bytesTotal"); }
Value ConstructLoadVars(NativeCall&) { return {}; }

}  // namespace

Value LoadText(NativeCall& call) {
  if (call.args.empty() || !(call.self.Is(ValueKind::kObject))) return Value::Boolean(false);
  return Value::Boolean(Queue(call.vm, call.self, call.vm.ToStringValue(call.Arg(0))));
}

Value SendAndLoadText(NativeCall& call) {
  if (call.args.size() < 2 || !call.Arg(1).Is(ValueKind::kObject)) return Value::Boolean(false);
  return Value::Boolean(Queue(call.vm, call.Arg(1), call.vm.ToStringValue(call.Arg(0))));
}

void DecodeVariables(Vm& vm, const Value& target, std::string_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view pair = text.substr(start, end - start);
    if (!pair.empty()) {
      const size_t equals = pair.find('=');
      std::string name(pair.substr(0, equals));
      std::string value(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
      for (char& c : name) c = c == '+' ? ' ' : c;
      for (char& c : value) c = c == '+' ? ' ' : c;
      vm.SetMember(target, UnescapeText(name), Value::String(UnescapeText(value)));
    }
    start = end + 1;
  }
}

std::string EncodeVariables(Vm& vm, const Value& source) {
  std::vector<std::string> names;
  if (Object* object = vm.Get(vm.ObjectFor(source))) {
    object->properties.ForEach([&](const std::string& name, Property& property) {
      if (!property.Has(property_flags::kDontEnum)) names.push_back(name);
    });
  }
  std::string out;
  // Newest first, as for..in lists them.
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    const Value value = vm.GetMember(source, *it);
    if (value.Is(ValueKind::kObject) && builtins::IsCallable(vm, value)) continue;
    if (!out.empty()) out += '&';
    out += EscapeText(*it) + '=' + EscapeText(vm.ToStringValue(value));
  }
  return out;
}

void InstallLoadVars(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  static constexpr NativeMember kMembers[] = {
      {"load", LoadText},
      {"send", Send},
      {"sendAndLoad", SendAndLoadText},
      {"decode", Decode},
      {"toString", VariablesToString},
      {"getBytesLoaded", GetBytesLoaded},
      {"getBytesTotal", GetBytesTotal},
      {"onData", DefaultOnData},
      {"onLoad", Nothing},
  };
  vm.DefineMembers(prototype, kMembers);
  vm.DefineValue(prototype, "contentType", Value::String("application/x-www-form-urlencoded"));
  const ObjectRef constructor = vm.NewClass(ConstructLoadVars, ConstructLoadVars, prototype);
  vm.DefineValue(vm.Classes().global, "LoadVars", Value::Object(constructor));
}

}  // namespace swf::avm1
