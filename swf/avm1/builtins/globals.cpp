// The global functions of this family: parseInt, parseFloat, isNaN,
// isFinite, escape, unescape and ASSetPropFlags, and the global NaN and
// Infinity.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"

namespace swf::avm1 {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

// parseInt(text, radix): without a radix "0x" means hexadecimal and a
// leading zero octal; a radix outside 2-36 gives NaN, as does text with no
// digit where one is expected. Reading stops at the first other character.
double ParseIntText(std::string_view text, std::optional<int> radix) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = radix.value_or(10);
  const bool hexPrefix = i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
  if (!radix) {
    if (hexPrefix) {
      base = 16;
      i += 2;
    } else if (i + 1 < text.size() && text[i] == '0' && DigitValue(text[i + 1]) < 10) {
      base = 8;
    }
  } else if (base == 16 && hexPrefix) {
    i += 2;
  }
  if (base < 2 || base > 36) return std::numeric_limits<double>::quiet_NaN();
  double value = 0;
  size_t digits = 0;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i, ++digits) value = value * base + DigitValue(text[i]);
  if (digits == 0) return std::numeric_limits<double>::quiet_NaN();
  return negative ? -value : value;
}

// parseFloat's reading, which is looser than a number literal: after the
// first point further points are skipped ("1.2.3" is 1.23) but then an
// exponent is not read; an exponent wraps to 32 bits, and one without
// digits is ignored ("10e" is 10). The digits after the point are added
// one by one at falling scales, as the player does; its results differ
// from a correctly rounded reading in the last bit (".1499999" is
// 0.14999990000000005).
double ParseFloatText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  double value = 0;
  double scale = 0.1;
  bool point = false, extraPoint = false, anyDigit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (point) {
        value += (c - '0') * scale;
        scale /= 10;
      } else {
        value = value * 10 + (c - '0');
      }
      anyDigit = true;
    } else if (c == '.') {
      extraPoint = point;
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::numeric_limits<double>::quiet_NaN();
  if (!extraPoint && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t k = i + 1;
    bool negativeExponent = false;
    if (k < text.size() && (text[k] == '-' || text[k] == '+')) negativeExponent = text[k++] == '-';
    std::uint32_t magnitude = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) {
      magnitude = magnitude * 10u + static_cast<std::uint32_t>(text[k] - '0');
    }
    const auto exponent = static_cast<std::int32_t>(negativeExponent ? 0u - magnitude : magnitude);
    // 10^exponent read from text: the same on every C library, which pow
    // is not.
    if (exponent > 400) {
      value = value == 0 ? 0 : std::numeric_limits<double>::infinity();
    } else if (exponent < -400) {
      value = 0;
    } else if (exponent != 0) {
      value *= std::strtod(("1e" + std::to_string(exponent)).c_str(), nullptr);
    }
  }
  return negative ? -value : value;
}

// escape: letters and digits stay; every other byte of the UTF-8 text is
// %XX. The text ends at a zero character.
std::string EscapeText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\0') break;
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += "0123456789ABCDEF"[byte >> 4];
      out += "0123456789ABCDEF"[byte & 15];
    }
  }
  return out;
}

// unescape: %XX is a byte, '+' a space. A '%' followed by anything else
// is dropped with the character after it; "%X" followed by a non-digit
// drops all three (and, after a '+', the character that follows too).
std::string UnescapeText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\0') break;
    if (c == '+') {
      out += ' ';
      continue;
    }
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 >= text.size()) break;
    const int high = DigitValue(text[i + 1]);
    if (high >= 16) {
      ++i;
      continue;
    }
    if (i + 2 >= text.size()) break;
    const int low = DigitValue(text[i + 2]);
    if (low >= 16) {
      i += text[i + 2] == '+' ? 3 : 2;
      continue;
    }
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

namespace {

Value ParseInt(NativeCall& call) {
  std::optional<int> radix;
  if (!call.Arg(1).Is(ValueKind::kUndefined)) radix = DoubleToInt32(call.vm.ToNumber(call.Arg(1)));
  return Value::Number(ParseIntText(call.vm.ToStringValue(call.Arg(0)), radix));
}

Value ParseFloat(NativeCall& call) {
  if (call.args.empty()) return {};
  return Value::Number(ParseFloatText(call.vm.ToStringValue(call.Arg(0))));
}

// isNaN() and isFinite() without an argument see NaN, whatever undefined
// converts to in the movie's version.
double NumberArgument(NativeCall& call) {
  return call.args.empty() ? std::numeric_limits<double>::quiet_NaN() : call.vm.ToNumber(call.args[0]);
}

Value IsNaNFunction(NativeCall& call) { return Value::Boolean(std::isnan(NumberArgument(call))); }

Value IsFiniteFunction(NativeCall& call) { return Value::Boolean(std::isfinite(NumberArgument(call))); }

Value Escape(NativeCall& call) {
  if (call.args.empty()) return {};
  return Value::String(EscapeText(call.vm.ToStringValue(call.Arg(0))));
}

Value Unescape(NativeCall& call) {
  if (call.args.empty()) return {};
  return Value::String(UnescapeText(call.vm.ToStringValue(call.Arg(0))));
}

// ASSetPropFlags(object, names, set, clear): names is null (every own
// property), a comma-separated list or an array of names.
Value SetPropFlags(NativeCall& call) {
  Vm& vm = call.vm;
  const Value& target = call.Arg(0);
  if (!target.Is(ValueKind::kObject) && !target.Is(ValueKind::kClip)) return {};
  Object* object = vm.Get(vm.ObjectFor(target));
  if (object == nullptr) return {};
  const auto set = static_cast<std::uint32_t>(ToInt32(call.Arg(2), vm.Conversions()));
  const auto clear = static_cast<std::uint32_t>(ToInt32(call.Arg(3), vm.Conversions()));
  const auto change = [&](Property& property) { property.flags = (property.flags & ~clear) | set; };
  const Value& names = call.Arg(1);
  if (names.Is(ValueKind::kNull)) {
    object->properties.ForEach([&](const std::string&, Property& property) { change(property); });
    return {};
  }
  std::vector<std::string> list;
  const Object* namesObject = names.Is(ValueKind::kObject) ? vm.Get(names.AsObject()) : nullptr;
  if (namesObject != nullptr && namesObject->cls == ObjectClass::kArray) {
    const std::int64_t length = builtins::LengthOf(vm, names);
    for (std::int64_t i = 0; i < length; ++i) {
      list.push_back(vm.ToStringValue(vm.GetMember(names, builtins::IndexName(static_cast<double>(i)))));
    }
  } else {
    const std::string text = vm.ToStringValue(names);
    size_t from = 0;
    while (from <= text.size()) {
      const size_t comma = std::min(text.find(',', from), text.size());
      list.push_back(text.substr(from, comma - from));
      from = comma + 1;
    }
  }
  object = vm.Get(vm.ObjectFor(target));
  if (object == nullptr) return {};
  for (const std::string& name : list) {
    if (Property* property = object->properties.Find(name, vm.IgnoreCase())) change(*property);
  }
  return {};
}

constexpr NativeMember kGlobalFunctions[] = {
    {"parseInt", ParseInt}, {"parseFloat", ParseFloat}, {"isNaN", IsNaNFunction},
    {"isFinite", IsFiniteFunction}, {"escape", Escape}, {"unescape", Unescape},
    {"ASSetPropFlags", SetPropFlags},
};

}  // namespace

void InstallGlobalFunctions(Vm& vm) {
  const ObjectRef global = vm.Classes().global;
  vm.DefineMembers(global, kGlobalFunctions);
  vm.DefineValue(global, "NaN", Value::Number(std::numeric_limits<double>::quiet_NaN()));
  vm.DefineValue(global, "Infinity", Value::Number(std::numeric_limits<double>::infinity()));
}

}  // namespace swf::avm1
