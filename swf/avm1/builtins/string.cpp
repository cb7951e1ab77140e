// String: the constructor, String.fromCharCode and String.prototype's
// methods.
//
// Positions are UTF-16 code units, as the player counts them (see
// utf16.h); each method converts its string once. Numeric arguments wrap
// to 32 bits as the player reads them ("4294967297" is 1) and NaN is 0. An
// argument that is undefined counts as absent, where the player does so.
// The version differences the player keeps: before SWF 6, charCodeAt past
// the end is 0 (the string's terminator), and split without a separator
// splits at commas while split("") does not split at all.
#include <cmath>
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/utf16.h"

namespace swf::avm1 {
namespace {

using Units = std::u16string;

Units SelfText(NativeCall& call) { return ToUtf16(call.vm.ToStringValue(call.self)); }

std::int64_t IntegerArg(NativeCall& call, size_t index) { return DoubleToInt32(call.vm.ToNumber(call.Arg(index))); }

bool Absent(NativeCall& call, size_t index) { return call.Arg(index).Is(ValueKind::kUndefined); }

Value Text(std::u16string_view units) { return Value::String(FromUtf16(units)); }

Value Substring(const Units& text, std::int64_t start, std::int64_t end) {
  if (start >= end) return Value::String("");
  return Text(std::u16string_view(text).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

// String(x) is x's text; new String(x) wraps it.
Value CallString(NativeCall& call) {
  if (call.args.empty()) return Value::String("");
  return Value::String(call.vm.ToStringValue(call.Arg(0)));
}

Value ConstructString(NativeCall& call) {
  const Value text = CallString(call);
  if (Object* object = call.vm.Get(call.self.Is(ValueKind::kObject) ? call.self.AsObject() : ObjectRef{})) {
    object->cls = ObjectClass::kString;
    object->payload = std::make_unique<PrimitivePayload>(text);
    call.vm.DefineValue(call.self.AsObject(), "length",
                        Value::Number(static_cast<double>(Utf16Length(text.AsString()))));
  }
  return call.self;
}

// toString and valueOf: a String object's text; on other objects the
// player's answer for a wrong receiver.
Value PrimitiveText(NativeCall& call) {
  if (call.self.Is(ValueKind::kString)) return call.self;
  if (const Value* text = builtins::WrappedPrimitive(call.vm, call.self, ObjectClass::kString)) return *text;
  // Not a String: converting it would come back here.
  return {};
}

Value FromCharCode(NativeCall& call) {
  Units text;
  for (size_t i = 0; i < call.args.size(); ++i) {
    const auto unit = static_cast<char16_t>(static_cast<std::uint32_t>(IntegerArg(call, i)) & 0xFFFF);
    if (unit == 0) break;  // the player's strings end at a zero
    text += unit;
  }
  return Text(text);
}

Value CharAt(NativeCall& call) {
  const Units text = SelfText(call);
  const std::int64_t index = IntegerArg(call, 0);
  if (index < 0 || index >= static_cast<std::int64_t>(text.size())) return Value::String("");
  return Value::String(CodeUnitToUtf8(text[static_cast<size_t>(index)]));
}

Value CharCodeAt(NativeCall& call) {
  const Units text = SelfText(call);
  const std::int64_t index = IntegerArg(call, 0);
  if (index < 0) return Value::Number(NAN);
  if (index >= static_cast<std::int64_t>(text.size())) return Value::Number(call.vm.SwfVersion() < 6 ? 0 : NAN);
  return Value::Number(text[static_cast<size_t>(index)]);
}

Value Concat(NativeCall& call) {
  std::string text = call.vm.ToStringValue(call.self);
  for (const Value& arg : call.args) text += call.vm.ToStringValue(arg);
  return Value::String(std::move(text));
}

Value IndexOf(NativeCall& call) {
  if (call.args.empty()) return {};
  const Units text = SelfText(call);
  const Units search = ToUtf16(call.vm.ToStringValue(call.Arg(0)));
  std::int64_t start = Absent(call, 1) ? 0 : IntegerArg(call, 1);
  start = std::max<std::int64_t>(start, 0);
  if (start > static_cast<std::int64_t>(text.size())) return Value::Number(-1);
  const size_t found = text.find(search, static_cast<size_t>(start));
  return Value::Number(found == Units::npos ? -1.0 : static_cast<double>(found));
}

Value LastIndexOf(NativeCall& call) {
  if (call.args.empty()) return {};
  const Units text = SelfText(call);
  const Units search = ToUtf16(call.vm.ToStringValue(call.Arg(0)));
  std::int64_t start = static_cast<std::int64_t>(text.size());
  if (!Absent(call, 1)) start = IntegerArg(call, 1);
  if (start < 0) return Value::Number(-1);
  const size_t found = text.rfind(search, static_cast<size_t>(start));
  return Value::Number(found == Units::npos ? -1.0 : static_cast<double>(found));
}

Value Slice(NativeCall& call) {
  if (call.args.empty()) return {};
  const Units text = SelfText(call);
  const auto length = static_cast<std::int64_t>(text.size());
  const auto position = [&](size_t index, std::int64_t absent) {
    if (Absent(call, index)) return absent;
    const std::int64_t value = IntegerArg(call, index);
    return value < 0 ? std::max<std::int64_t>(0, length + value) : std::min(value, length);
  };
  return Substring(text, position(0, 0), position(1, length));
}

// substr(start, count): a negative count counts back from the end, and
// gives nothing when that reaches the end of the string.
Value Substr(NativeCall& call) {
  if (call.args.empty()) return {};
  const Units text = SelfText(call);
  const auto length = static_cast<std::int64_t>(text.size());
  std::int64_t start = Absent(call, 0) ? 0 : IntegerArg(call, 0);
  if (start < 0) start = std::max<std::int64_t>(0, length + start);
  start = std::min(start, length);
  std::int64_t count = Absent(call, 1) ? length - start : IntegerArg(call, 1);
  if (count < 0) {
    count += length;
    if (count < 0 || start + count >= length) return Value::String("");
  }
  return Substring(text, start, std::min(length, start + count));
}

Value SubstringMethod(NativeCall& call) {
  if (call.args.empty()) return {};
  const Units text = SelfText(call);
  const auto length = static_cast<std::int64_t>(text.size());
  const auto position = [&](size_t index, std::int64_t absent) {
    if (Absent(call, index)) return absent;
    return std::clamp<std::int64_t>(IntegerArg(call, index), 0, length);
  };
  std::int64_t start = position(0, 0), end = position(1, length);
  if (start > end) std::swap(start, end);
  return Substring(text, start, end);
}

Value Split(NativeCall& call) {
  Vm& vm = call.vm;
  const Units text = SelfText(call);
  const bool old = vm.SwfVersion() < 6;
  std::vector<Value> parts;
  if (Absent(call, 0) && !old) {
    parts.push_back(Text(text));
    return Value::Object(vm.NewArray(parts));
  }
  const Units separator = Absent(call, 0) ? Units(u",") : ToUtf16(vm.ToStringValue(call.Arg(0)));
  std::int64_t limit = Absent(call, 1) ? INT64_MAX : IntegerArg(call, 1);
  if (limit <= 0) return Value::Object(vm.NewArray(parts));
  const auto room = [&] { return static_cast<std::int64_t>(parts.size()) < limit; };
  if (separator.empty()) {
    if (old) {
      parts.push_back(Text(text));
    } else {
      for (size_t i = 0; i < text.size() && room(); ++i) parts.push_back(Text(std::u16string_view(text).substr(i, 1)));
    }
    return Value::Object(vm.NewArray(parts));
  }
  size_t from = 0;
  while (room()) {
    const size_t found = text.find(separator, from);
    if (found == Units::npos) {
      parts.push_back(Text(std::u16string_view(text).substr(from)));
      break;
    }
    parts.push_back(Text(std::u16string_view(text).substr(from, found - from)));
    from = found + separator.size();
  }
  return Value::Object(vm.NewArray(parts));
}

// The case pairs the player maps beyond ASCII: (upper first, lower first,
// count, step). step 1: the ranges run side by side; step 2: upper and
// lower alternate in one range starting at `upper`.
struct CaseRange {
  char16_t upper;
  char16_t lower;
  char16_t count;
  char16_t step;
};
constexpr CaseRange kCaseRanges[] = {
    {0x00C0, 0x00E0, 23, 1},  {0x00D8, 0x00F8, 7, 1},   {0x0100, 0x0101, 24, 2},  {0x0132, 0x0133, 3, 2},
    {0x0139, 0x013A, 8, 2},   {0x014A, 0x014B, 23, 2},  {0x0179, 0x017A, 3, 2},   {0x0391, 0x03B1, 17, 1},
    {0x03A3, 0x03C3, 9, 1},   {0x0410, 0x0430, 32, 1},  {0x0400, 0x0450, 16, 1},  {0x0460, 0x0461, 17, 2},
    {0x048A, 0x048B, 27, 2},  {0x0531, 0x0561, 38, 1},  {0x1E00, 0x1E01, 75, 2},  {0x1EA0, 0x1EA1, 45, 2},
    {0x2160, 0x2170, 16, 1},  {0x24B6, 0x24D0, 26, 1},  {0xFF21, 0xFF41, 26, 1},
};

char16_t MapCase(char16_t unit, bool toUpper) {
  if (unit < 0x80) {
    if (toUpper && unit >= 'a' && unit <= 'z') return static_cast<char16_t>(unit - 32);
    if (!toUpper && unit >= 'A' && unit <= 'Z') return static_cast<char16_t>(unit + 32);
    return unit;
  }
  if (toUpper && unit == 0x00FF) return 0x0178;
  if (!toUpper && unit == 0x0178) return 0x00FF;
  for (const CaseRange& range : kCaseRanges) {
    if (range.step == 1) {
      const char16_t from = toUpper ? range.lower : range.upper;
      if (unit >= from && unit < from + range.count) {
        return static_cast<char16_t>(unit - from + (toUpper ? range.upper : range.lower));
      }
    } else if (unit >= range.upper && unit < range.upper + range.count * 2) {
      const bool isUpper = (unit - range.upper) % 2 == 0;
      if (toUpper && !isUpper) return static_cast<char16_t>(unit - 1);
      if (!toUpper && isUpper) return static_cast<char16_t>(unit + 1);
      return unit;
    }
  }
  return unit;
}

Value ChangeCase(NativeCall& call, bool toUpper) {
  Units text = SelfText(call);
  // Movies before SWF 6 change the case of ASCII letters only.
  const bool asciiOnly = call.vm.SwfVersion() < 6;
  for (char16_t& unit : text) {
    if (!asciiOnly || unit < 0x80) unit = MapCase(unit, toUpper);
  }
  return Text(text);
}

Value ToUpperCase(NativeCall& call) { return ChangeCase(call, true); }
Value ToLowerCase(NativeCall& call) { return ChangeCase(call, false); }

constexpr NativeMember kPrototypeMembers[] = {
    {"valueOf", PrimitiveText},
    {"toString", PrimitiveText},
    {"toUpperCase", ToUpperCase},
    {"toLowerCase", ToLowerCase},
    {"charAt", CharAt},
    {"charCodeAt", CharCodeAt},
    {"concat", Concat},
    {"indexOf", IndexOf},
    {"lastIndexOf", LastIndexOf},
    {"slice", Slice},
    {"substring", SubstringMethod},
    {"split", Split},
    {"substr", Substr},
};

constexpr NativeMember kStaticMembers[] = {
    {"fromCharCode", FromCharCode},
};

}  // namespace

void InstallString(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  classes.stringPrototype = vm.NewObject(classes.objectPrototype);
  vm.DefineMembers(classes.stringPrototype, kPrototypeMembers);
  const ObjectRef constructor = vm.NewClass(CallString, ConstructString, classes.stringPrototype);
  vm.DefineMembers(constructor, kStaticMembers);
  vm.DefineValue(classes.global, "String", Value::Object(constructor));
}

}  // namespace swf::avm1
