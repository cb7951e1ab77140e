// flash.external.ExternalInterface in a standalone player: there is no
// container to talk to, so `available` is false, addCallback refuses and
// call answers null. Its helpers that write values as the container's XML
// and quote strings work as in any player.
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

std::string ReplaceAll(std::string_view text, std::span<const std::pair<std::string_view, std::string_view>> pairs) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [from, to] : pairs) {
      if (text.substr(i, from.size()) == from) {
        out += to;
        i += from.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

constexpr std::pair<std::string_view, std::string_view> kEscapes[] = {
    {"&", "&amp;"}, {"\"", "&quot;"}, {"'", "&apos;"}, {"<", "&lt;"}, {">", "&gt;"}};
constexpr std::pair<std::string_view, std::string_view> kUnescapes[] = {
    {"&amp;", "&"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}};

// An empty text (or none) comes back as null.
Value TextHelper(NativeCall& call, std::span<const std::pair<std::string_view, std::string_view>> pairs) {
  if (call.args.empty()) return Value::Null();
  const std::string text = call.vm.ToStringValue(call.Arg(0));
  if (text.empty()) return Value::Null();
  return Value::String(ReplaceAll(text, pairs));
}

Value EscapeXml(NativeCall& call) { return TextHelper(call, kEscapes); }
Value UnescapeXml(NativeCall& call) { return TextHelper(call, kUnescapes); }
Value JsQuoteString(NativeCall& call) {
  constexpr std::pair<std::string_view, std::string_view> kQuote[] = {{"\"", "\\\""}};
  return TextHelper(call, kQuote);
}

std::string ToXml(Vm& vm, const Value& value, int depth);

std::string EscapedText(Vm& vm, const Value& value) {
  const std::string text = vm.ToStringValue(value);
  return text.empty() ? "null" : ReplaceAll(text, kEscapes);
}

std::string ArrayToXml(Vm& vm, const Value& value, int depth) {
  std::string out = "<array>";
  // A string counts as an array of its length, with nothing in it.
  if (value.Is(ValueKind::kObject) || value.Is(ValueKind::kString)) {
    const std::int64_t length = builtins::LengthOf(vm, value);
    for (std::int64_t i = 0; i < length; ++i) {
      const std::string index = builtins::IndexName(static_cast<double>(i));
      out += "<property id=\"" + index + "\">" + ToXml(vm, vm.GetMember(value, index), depth + 1) + "</property>";
    }
  }
  return out + "</array>";
}

std::string ObjectToXml(Vm& vm, const Value& value, int depth) {
  std::string out = "<object>";
  if (value.Is(ValueKind::kObject) && !builtins::IsCallable(vm, value)) {
    std::vector<std::string> names;
    if (Object* object = vm.Get(value.AsObject())) {
      object->properties.ForEach([&](const std::string& name, Property& property) {
        if (!property.Has(property_flags::kDontEnum)) names.push_back(name);
      });
    }
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      out += "<property id=\"" + *it + "\">" + ToXml(vm, vm.GetMember(value, *it), depth + 1) + "</property>";
    }
  }
  return out + "</object>";
}

// Values nested deeper than this are written as null, so a cycle ends.
constexpr int kMaxDepth = 64;

std::string ToXml(Vm& vm, const Value& value, int depth) {
  if (depth > kMaxDepth) return "<null/>";
  switch (value.kind()) {
    case ValueKind::kUndefined: return "<undefined/>";
    case ValueKind::kNull: return "<null/>";
    case ValueKind::kBoolean: return vm.ToBoolean(value) ? "<true/>" : "<false/>";
    case ValueKind::kNumber: return "<number>" + vm.ToStringValue(value) + "</number>";
    case ValueKind::kString: return "<string>" + EscapedText(vm, value) + "</string>";
    case ValueKind::kObject: {
      if (builtins::IsCallable(vm, value)) return "<null/>";
      const Object* object = vm.Get(value.AsObject());
      if (object != nullptr && (object->cls == ObjectClass::kArray || object->cls == ObjectClass::kArguments)) {
        return ArrayToXml(vm, value, depth);
      }
      return ObjectToXml(vm, value, depth);
    }
    default: return "<null/>";
  }
}

Value ToXmlNative(NativeCall& call) { return Value::String(ToXml(call.vm, call.Arg(0), 0)); }
Value ArrayToXmlNative(NativeCall& call) { return Value::String(ArrayToXml(call.vm, call.Arg(0), 0)); }
Value ObjectToXmlNative(NativeCall& call) { return Value::String(ObjectToXml(call.vm, call.Arg(0), 0)); }

// _argumentsToXML(args): the arguments of a call after its first (the
// name of the function called).
Value ArgumentsToXmlNative(NativeCall& call) {
  std::string out = "<arguments>";
  const Value& args = call.Arg(0);
  if (args.Is(ValueKind::kObject) || args.Is(ValueKind::kString)) {
    const std::int64_t length = builtins::LengthOf(call.vm, args);
    for (std::int64_t i = 1; i < length; ++i) {
      out += ToXml(call.vm, call.vm.GetMember(args, builtins::IndexName(static_cast<double>(i))), 1);
    }
  }
  return Value::String(out + "</arguments>");
}

Value Refuse(NativeCall&) { return Value::Boolean(false); }
Value CallOut(NativeCall&) { return Value::Null(); }
Value Nothing(NativeCall&) { return {}; }
Value Construct(NativeCall&) { return {}; }

// Older movies do not see the helpers; `call` is there for them too.
constexpr std::uint32_t kHelper = property_flags::kDontEnum | property_flags::kHiddenBelow8;

}  // namespace

void InstallExternalInterface(Vm& vm) {
  // Found whatever the version of the code running: other classes of the
  // package may have made it already, hidden from older movies.
  const Property* existing = vm.Get(vm.Classes().global)->properties.Find("flash", vm.IgnoreCase());
  Value flash = existing != nullptr && !existing->IsAccessor() ? existing->value : Value();
  if (!flash.Is(ValueKind::kObject)) {
    flash = Value::Object(vm.NewObject());
    // The package is there for movies of version 8 on.
    vm.DefineValue(vm.Classes().global, "flash", flash, kHelper);
  }
  Value external = vm.GetMember(flash, "external");
  if (!external.Is(ValueKind::kObject)) {
    external = Value::Object(vm.NewObject());
    vm.DefineValue(flash.AsObject(), "external", external);
  }
  const ObjectRef constructor = vm.NewClass(Construct, Construct, vm.NewObject());
  const NativeMember members[] = {
      {"addCallback", Refuse, kHelper},
      {"call", CallOut},
      {"_escapeXML", EscapeXml, kHelper},
      {"_unescapeXML", UnescapeXml, kHelper},
      {"_jsQuoteString", JsQuoteString, kHelper},
      {"_toXML", ToXmlNative, kHelper},
      {"_arrayToXML", ArrayToXmlNative, kHelper},
      {"_objectToXML", ObjectToXmlNative, kHelper},
      {"_argumentsToXML", ArgumentsToXmlNative, kHelper},
      {"_toAS", Nothing, kHelper},
      {"_arrayToAS", Nothing, kHelper},
      {"_objectToAS", Nothing, kHelper},
      {"_argumentsToAS", Nothing, kHelper},
      {"_toJS", Nothing, kHelper},
      {"_arrayToJS", Nothing, kHelper},
      {"_objectToJS", Nothing, kHelper},
      {"_callIn", Nothing, kHelper},
      {"_callOut", CallOut, kHelper},
      {"_evalJS", Nothing, kHelper},
      {"_initJS", Nothing, kHelper},
      {"_objectID", Nothing, kHelper},
  };
  vm.DefineMembers(constructor, members);
  vm.DefineValue(constructor, "available", Value::Boolean(false), kHelper);
  vm.DefineValue(external.AsObject(), "ExternalInterface", Value::Object(constructor));
}

}  // namespace swf::avm1
