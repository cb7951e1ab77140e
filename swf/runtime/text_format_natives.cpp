// TextFormat: every field unset (null) until given; values are coerced as
// they are stored (whole numbers cut or rounded, margins kept from going below 0 by setters,
// colours as unsigned 32 bits, the alignment from its name).
#include <cmath>
#include <cstdint>
#include <limits>

#include "swf/avm1/utf16.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"
#include "swf/runtime/text_format_object.h"

namespace swf {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;
using text::TextFormat;

namespace {

enum Field : int {
  kFont, kSize, kColor, kBold, kItalic, kUnderline, kUrl, kTarget, kAlign, kLeftMargin, kRightMargin, kIndent,
  kLeading, kBlockIndent, kBullet, kKerning, kLetterSpacing, kTabStops, kFieldCount
};

// In the constructor's argument order first.
constexpr const char* kFieldNames[kFieldCount] = {
    "font",   "size",       "color",       "bold",   "italic",  "underline",   "url",     "target",        "align",
    "leftMargin", "rightMargin", "indent", "leading", "blockIndent", "bullet", "kerning", "letterSpacing", "tabStops"};

// How a value is being stored: by the constructor, which takes numbers
// as they come (cut to whole ones), or by a setter, which keeps margins
// from going below 0; a version 8 movie's setters round.
enum class Store { kConstructor, kSetter, kSetterRounding };

// A number as the player stores a whole-number field: cut toward zero or
// rounded half to even, and the lowest 32-bit integer when it does not fit.
double WholeNumber(double value, bool round = true) {
  const double rounded = round ? std::nearbyint(value) : std::trunc(value);
  if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) return -2147483648.0;
  return rounded;
}

constexpr size_t kMaxFontName = 64;

double Uint32(double value) {
  if (!std::isfinite(value)) return 0;
  const double truncated = std::trunc(value);
  double wrapped = std::fmod(truncated, 4294967296.0);
  if (wrapped < 0) wrapped += 4294967296.0;
  return wrapped;
}

const char* AlignName(text::Align align) {
  switch (align) {
    case text::Align::kRight: return "right";
    case text::Align::kCenter: return "center";
    case text::Align::kJustify: return "justify";
    case text::Align::kLeft: break;
  }
  return "left";
}

TextFormatPayload* PayloadOf(avm1::Vm& vm, const Value& self) {
  if (!self.Is(ValueKind::kObject)) return nullptr;
  avm1::Object* object = vm.Get(self.AsObject());
  return object != nullptr ? object->PayloadAs<TextFormatPayload>() : nullptr;
}

template <typename T>
Value Optional(const std::optional<T>& value, Value (*make)(const T&)) {
  return value ? make(*value) : Value::Null();
}

Value Read(avm1::Vm& vm, const TextFormat& f, int field) {
  auto number = [](const std::optional<double>& v) { return v ? Value::Number(*v) : Value::Null(); };
  auto boolean = [](const std::optional<bool>& v) { return v ? Value::Boolean(*v) : Value::Null(); };
  auto string = [](const std::optional<std::string>& v) { return v ? Value::String(*v) : Value::Null(); };
  switch (field) {
    case kFont: return string(f.font);
    case kSize: return number(f.size);
    case kColor: return f.color ? Value::Number(*f.color) : Value::Null();
    case kBold: return boolean(f.bold);
    case kItalic: return boolean(f.italic);
    case kUnderline: return boolean(f.underline);
    case kUrl: return string(f.url);
    case kTarget: return string(f.target);
    case kAlign: return f.align ? Value::String(AlignName(*f.align)) : Value::Null();
    case kLeftMargin: return number(f.leftMargin);
    case kRightMargin: return number(f.rightMargin);
    case kIndent: return number(f.indent);
    case kLeading: return number(f.leading);
    case kBlockIndent: return number(f.blockIndent);
    case kBullet: return boolean(f.bullet);
    case kKerning: return boolean(f.kerning);
    case kLetterSpacing: return number(f.letterSpacing);
    case kTabStops: {
      if (!f.tabStops) return Value::Null();
      std::vector<Value> items;
      for (double stop : *f.tabStops) items.push_back(Value::Number(stop));
      return Value::Object(vm.NewArray(items));
    }
    default: return {};
  }
}

void Write(avm1::Vm& vm, TextFormat& f, int field, const Value& value, Store store) {
  const bool unset = value.IsUndefinedOrNull();
  const bool round = store == Store::kSetterRounding;
  auto whole = [&](std::optional<double>& target) {
    if (unset) {
      target.reset();
    } else {
      target = WholeNumber(vm.ToNumber(value), round);
    }
  };
  // `always`: a margin no setter lets below 0; the others only before
  // version 8.
  auto margin = [&](std::optional<double>& target, bool always) {
    if (unset) {
      target.reset();
    } else if (store == Store::kConstructor || (!always && round)) {
      target = WholeNumber(vm.ToNumber(value), round);
    } else {
      target = WholeNumber(std::max(0.0, vm.ToNumber(value)), round);
    }
  };
  auto boolean = [&](std::optional<bool>& target) {
    if (unset) {
      target.reset();
    } else {
      target = vm.ToBoolean(value);
    }
  };
  auto string = [&](std::optional<std::string>& target) {
    if (unset) {
      target.reset();
    } else {
      target = vm.ToStringValue(value);
    }
  };
  switch (field) {
    case kFont:
      string(f.font);
      // The player keeps a font name of at most 64 characters.
      if (f.font && avm1::Utf16Length(*f.font) > kMaxFontName) {
        f.font = avm1::FromUtf16(avm1::ToUtf16(*f.font).substr(0, kMaxFontName));
      }
      break;
    case kSize: whole(f.size); break;
    case kColor:
      if (unset) {
        f.color.reset();
      } else {
        f.color = static_cast<uint32_t>(Uint32(vm.ToNumber(value)));
      }
      break;
    case kBold: boolean(f.bold); break;
    case kItalic: boolean(f.italic); break;
    case kUnderline: boolean(f.underline); break;
    case kUrl: string(f.url); break;
    case kTarget: string(f.target); break;
    case kAlign: {
      // A setter given nothing keeps the alignment.
      if (unset) {
        if (store == Store::kConstructor) f.align.reset();
        break;
      }
      std::string name = vm.ToStringValue(value);
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (name == "left") f.align = text::Align::kLeft;
      if (name == "right") f.align = text::Align::kRight;
      if (name == "center") f.align = text::Align::kCenter;
      if (name == "justify") f.align = text::Align::kJustify;
      break;
    }
    case kLeftMargin: margin(f.leftMargin, true); break;
    case kRightMargin: margin(f.rightMargin, true); break;
    case kIndent: margin(f.indent, false); break;
    case kLeading: margin(f.leading, false); break;
    case kBlockIndent: margin(f.blockIndent, false); break;
    case kBullet: boolean(f.bullet); break;
    case kKerning: boolean(f.kerning); break;
    case kLetterSpacing:
      if (unset) {
        f.letterSpacing.reset();
      } else {
        f.letterSpacing = vm.ToNumber(value);
      }
      break;
    case kTabStops: {
      if (unset) {
        f.tabStops.reset();
        break;
      }
      std::vector<double> stops;
      // Any object is read as a list: its length and indexed members.
      if (value.Is(ValueKind::kObject)) {
        const double length = vm.ToNumber(vm.GetMember(value, "length"));
        for (int i = 0; i < length && i < 4096; ++i) {
          stops.push_back(WholeNumber(vm.ToNumber(vm.GetMember(value, std::to_string(i)))));
        }
      } else {
        stops.push_back(WholeNumber(vm.ToNumber(value)));
      }
      f.tabStops = stops;
      break;
    }
    default: break;
  }
}

template <int N>
Value GetField(NativeCall& call) {
  const TextFormatPayload* payload = PayloadOf(call.vm, call.self);
  return payload != nullptr ? Read(call.vm, payload->format, N) : Value();
}

template <int N>
Value SetField(NativeCall& call) {
  if (TextFormatPayload* payload = PayloadOf(call.vm, call.self)) {
    TextFormat changed = payload->format;
    Write(call.vm, changed, N, call.Arg(0), call.vm.SwfVersion() >= 8 ? Store::kSetterRounding : Store::kSetter);
    // The value's conversion may have run a script that dropped the object.
    if (TextFormatPayload* still = PayloadOf(call.vm, call.self)) still->format = changed;
  }
  return {};
}

template <int... N>
void DefineAccessors(avm1::Vm& vm, ObjectRef prototype, std::integer_sequence<int, N...>) {
  ((void)[&] {
    const ObjectRef getter = vm.NewFunction(GetField<N>);
    const ObjectRef setter = vm.NewFunction(SetField<N>);
    avm1::Property& property = vm.Get(prototype)->properties.Set(kFieldNames[N], false);
    property.getter = getter;
    property.setter = setter;
    property.flags = avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete;
  }(), ...);
}

Value ConstructTextFormat(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  avm1::Object* object = call.vm.Get(call.self.AsObject());
  if (object == nullptr) return {};
  object->payload = std::make_unique<TextFormatPayload>();
  TextFormat format;
  for (size_t i = 0; i < call.args.size() && i <= kLeading; ++i) Write(call.vm, format, static_cast<int>(i), call.args[i], Store::kConstructor);
  if (TextFormatPayload* payload = PayloadOf(call.vm, call.self)) payload->format = format;
  return call.self;
}

Value CallTextFormat(NativeCall&) { return {}; }

// getTextExtent(text[, width]): the size the text takes in this format,
// laid out in a field of that width (wrapping) or on one line.
Value GetTextExtent(NativeCall& call) {
  const TextFormatPayload* payload = PayloadOf(call.vm, call.self);
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (payload == nullptr || bridge == nullptr || call.args.empty()) return {};
  TextFormat format = text::DefaultTextFormat();
  format.Apply(payload->format);
  text::StyledText styled(format);
  styled.Append(avm1::ToUtf16(call.vm.ToStringValue(call.Arg(0))), format);
  text::LayoutBox box;
  const bool wrap = call.args.size() > 1 && !call.Arg(1).IsUndefinedOrNull();
  const double givenWidth = wrap ? call.vm.ToNumber(call.Arg(1)) : 0;
  box.wordWrap = wrap;
  box.multiline = true;
  box.width = wrap ? givenWidth * 20 : 1e9;
  text::FontLibrary& fonts = bridge->GetRuntime().Fonts();
  const text::TextLayout layout =
      text::LayOut(styled, box, [&](const TextFormat& f) { return fonts.ForFormat(f, false); });
  const text::LayoutLine& first = layout.lines.front();
  const double width = std::round(layout.textWidth / 20);
  const double height = std::round(layout.textHeight / 20);
  const ObjectRef result = call.vm.NewObject();
  const Value out = Value::Object(result);
  call.vm.SetMember(out, "ascent", Value::Number(std::round(first.ascent / 20)));
  call.vm.SetMember(out, "descent", Value::Number(std::round(first.descent / 20)));
  call.vm.SetMember(out, "width", Value::Number(width));
  call.vm.SetMember(out, "height", Value::Number(height));
  call.vm.SetMember(out, "textFieldHeight", Value::Number(height + 4));
  call.vm.SetMember(out, "textFieldWidth", Value::Number(wrap ? givenWidth : width + 4));
  return out;
}

constexpr avm1::NativeMember kTextFormatMembers[] = {
    {"getTextExtent", GetTextExtent},
};

}  // namespace

const text::TextFormat* TextFormatOf(avm1::Vm& vm, const Value& value) {
  const TextFormatPayload* payload = PayloadOf(vm, value);
  return payload != nullptr ? &payload->format : nullptr;
}

Value NewTextFormatObject(avm1::Vm& vm, const text::TextFormat& format) {
  const Value constructor = vm.GetMember(Value::Object(vm.Classes().global), "TextFormat");
  const Value prototype = vm.GetMember(constructor, "prototype");
  const ObjectRef made = vm.NewObject(prototype.Is(ValueKind::kObject) ? prototype.AsObject() : ObjectRef{});
  auto payload = std::make_unique<TextFormatPayload>();
  payload->format = format;
  vm.Get(made)->payload = std::move(payload);
  return Value::Object(made);
}

namespace natives {

void InstallTextFormat(avm1::Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  DefineAccessors(vm, prototype, std::make_integer_sequence<int, kFieldCount>());
  vm.DefineMembers(prototype, kTextFormatMembers);
  const ObjectRef constructor = vm.NewClass(CallTextFormat, ConstructTextFormat, prototype);
  vm.DefineValue(vm.Classes().global, "TextFormat", Value::Object(constructor));
}

}  // namespace natives
}  // namespace swf
