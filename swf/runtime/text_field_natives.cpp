// TextField.prototype: the field's properties as accessors and its methods,
// and MovieClip.prototype.createTextField.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/avm1/utf16.h"
#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"
#include "swf/runtime/text_format_object.h"

namespace swf {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;
using text::TextFieldState;

namespace {

// The field a method or accessor was called on.
struct FieldReceiver {
  ScriptBridge* bridge = nullptr;
  ObjectHandle handle;
  TextFieldState* field = nullptr;

  explicit FieldReceiver(NativeCall& call) {
    bridge = BridgeOf(call.vm);
    if (bridge == nullptr) return;
    handle = bridge->HandleOfValue(call.self);
    const DisplayObject* object = bridge->GetRuntime().Objects().Get(handle);
    if (object != nullptr && object->textField) field = object->textField.get();
  }
  bool Live() const { return field != nullptr; }
  Runtime& GetRuntime() const { return bridge->GetRuntime(); }
  void Changed() const { GetRuntime().TextFieldChanged(handle); }
};

// In the order the player makes them (for..in lists them newest first).
enum Property : int {
  kGridFitType, kAntiAliasType, kThickness, kSharpness, kFilters, kScroll, kMaxScroll, kBorderColor,
  kBackgroundColor, kTextColor, kTabIndex, kAutoSize, kText, kType, kHtmlText, kVariable, kHScroll, kMaxHScroll,
  kMaxChars, kEmbedFonts, kHtml, kBorder, kBackground, kWordWrap, kPassword, kMultiline, kSelectable, kLength,
  kBottomScroll, kTextWidth, kTextHeight, kRestrict, kCondenseWhite, kMouseWheelEnabled, kStyleSheet,
  kPropertyCount
};

constexpr const char* kPropertyNames[kPropertyCount] = {
    "gridFitType", "antiAliasType", "thickness",  "sharpness",     "filters",   "scroll",    "maxscroll",
    "borderColor", "backgroundColor", "textColor", "tabIndex",     "autoSize",  "text",      "type",
    "htmlText",    "variable",      "hscroll",    "maxhscroll",    "maxChars",  "embedFonts", "html",
    "border",      "background",    "wordWrap",   "password",      "multiline", "selectable", "length",
    "bottomScroll", "textWidth",    "textHeight", "restrict",      "condenseWhite", "mouseWheelEnabled",
    "styleSheet"};

// Per-field extras scripts set that layout does not use.
struct Extras {
  std::string antiAliasType = "normal";
  std::string gridFitType = "pixel";
  double sharpness = 0;
  double thickness = 0;
};

const char* AutoSizeName(text::AutoSize size) {
  switch (size) {
    case text::AutoSize::kLeft: return "left";
    case text::AutoSize::kCenter: return "center";
    case text::AutoSize::kRight: return "right";
    case text::AutoSize::kNone: break;
  }
  return "none";
}

double Uint24Color(avm1::Vm& vm, const Value& value) {
  const double number = vm.ToNumber(value);
  if (!std::isfinite(number)) return 0;
  double wrapped = std::fmod(std::trunc(number), 4294967296.0);
  if (wrapped < 0) wrapped += 4294967296.0;
  return static_cast<double>(static_cast<uint32_t>(wrapped) & 0xffffffu);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

void SetFieldText(TextFieldState& field, const std::string& text) {
  if (field.html) {
    text::SetHtmlText(field, text);
  } else {
    text::SetPlainText(field, text);
  }
}

Value ReadProperty(avm1::Vm& vm, const FieldReceiver& receiver, int property) {
  (void)vm;
  TextFieldState& f = *receiver.field;
  switch (property) {
    case kText: return Value::String(text::PlainText(f));
    case kHtmlText: return Value::String(text::HtmlText(f));
    case kHtml: return Value::Boolean(f.html);
    case kLength: return Value::Number(static_cast<double>(f.content.Length()));
    case kTextWidth: return Value::Number(std::round(f.layout.textWidth / 20));
    case kTextHeight: return Value::Number(std::round(f.layout.textHeight / 20));
    case kTextColor: return Value::Number(f.newFormat.color.value_or(0));
    case kBorder: return Value::Boolean(f.border);
    case kBorderColor: return Value::Number(f.borderColor);
    case kBackground: return Value::Boolean(f.background);
    case kBackgroundColor: return Value::Number(f.backgroundColor);
    case kWordWrap: return Value::Boolean(f.wordWrap);
    case kMultiline: return Value::Boolean(f.multiline);
    case kType: return Value::String(f.input ? "input" : "dynamic");
    case kSelectable: return Value::Boolean(f.selectable);
    case kEmbedFonts: return Value::Boolean(f.embedFonts);
    case kAutoSize: return Value::String(AutoSizeName(f.autoSize));
    case kPassword: return Value::Boolean(f.password);
    case kMaxChars: return f.maxChars > 0 ? Value::Number(f.maxChars) : Value::Null();
    case kVariable: return f.variable.empty() ? Value::Null() : Value::String(f.variable);
    case kRestrict: return f.restrict ? Value::String(*f.restrict) : Value::Null();
    case kCondenseWhite: return Value::Boolean(f.condenseWhite);
    case kScroll: return Value::Number(f.scroll);
    case kMaxScroll: return Value::Number(text::MaxScroll(f));
    case kBottomScroll: return Value::Number(text::BottomScroll(f));
    case kHScroll: return Value::Number(f.hscroll);
    case kMaxHScroll: return Value::Number(text::MaxHScroll(f));
    case kMouseWheelEnabled: return Value::Boolean(f.mouseWheelEnabled);
    case kAntiAliasType: return Value::String("normal");
    case kGridFitType: return Value::String("pixel");
    case kSharpness: return Value::Number(0);
    case kThickness: return Value::Number(0);
    case kTabIndex: return f.tabIndex ? Value::Number(*f.tabIndex) : Value();
    default: return {};
  }
}

void WriteProperty(avm1::Vm& vm, FieldReceiver& receiver, int property, const Value& value) {
  // Conversions may run scripts; the field is looked up again after them.
  std::string textValue;
  double number = 0;
  bool flag = false;
  switch (property) {
    case kText:
    case kHtmlText:
    case kType:
    case kAutoSize:
    case kVariable:
    case kRestrict:
      if (!value.IsUndefinedOrNull() || property == kText || property == kHtmlText) textValue = vm.ToStringValue(value);
      if (property == kAutoSize && value.Is(ValueKind::kBoolean)) textValue = value.AsBoolean() ? "left" : "none";
      break;
    case kTextColor:
    case kBorderColor:
    case kBackgroundColor:
      number = Uint24Color(vm, value);
      break;
    default:
      number = vm.ToNumber(value);
      flag = vm.ToBoolean(value);
      break;
  }
  FieldReceiver again(receiver);
  const DisplayObject* object = again.GetRuntime().Objects().Get(again.handle);
  if (object == nullptr || !object->textField) return;
  TextFieldState& f = *object->textField;
  bool textChanged = false;
  switch (property) {
    case kText:
      text::SetPlainText(f, textValue);
      textChanged = true;
      break;
    case kHtmlText:
      text::SetHtmlText(f, textValue);
      textChanged = true;
      break;
    case kHtml: f.html = flag; break;
    case kTextColor: {
      text::TextFormat color;
      color.color = static_cast<uint32_t>(number);
      f.content.ApplyFormat(0, f.content.Length(), color);
      f.newFormat.color = static_cast<uint32_t>(number);
      break;
    }
    case kBorder: f.border = flag; break;
    case kBorderColor: f.borderColor = static_cast<uint32_t>(number); break;
    case kBackground: f.background = flag; break;
    case kBackgroundColor: f.backgroundColor = static_cast<uint32_t>(number); break;
    case kWordWrap: f.wordWrap = flag; break;
    case kMultiline: f.multiline = flag; break;
    case kType: {
      const std::string type = Lower(textValue);
      if (type == "input") f.input = true;
      if (type == "dynamic") f.input = false;
      break;
    }
    case kSelectable: f.selectable = flag; break;
    case kEmbedFonts: f.embedFonts = flag; break;
    case kAutoSize: {
      const std::string size = Lower(textValue);
      if (size == "left") f.autoSize = text::AutoSize::kLeft;
      else if (size == "center") f.autoSize = text::AutoSize::kCenter;
      else if (size == "right") f.autoSize = text::AutoSize::kRight;
      else f.autoSize = text::AutoSize::kNone;
      break;
    }
    case kPassword: f.password = flag; break;
    case kMaxChars: f.maxChars = std::isfinite(number) && number > 0 ? static_cast<int>(std::min(number, 2147483647.0)) : 0; break;
    case kVariable: f.variable = value.IsUndefinedOrNull() ? std::string() : textValue; break;
    case kRestrict:
      if (value.IsUndefinedOrNull() || textValue.empty()) {
        f.restrict.reset();
      } else {
        f.restrict = textValue;
      }
      break;
    case kCondenseWhite: f.condenseWhite = flag; break;
    case kScroll:
      if (std::isfinite(number)) f.scroll = static_cast<int>(std::clamp(number, 1.0, 1e9));
      break;
    case kHScroll:
      if (std::isfinite(number)) f.hscroll = std::clamp(std::trunc(number), 0.0, text::MaxHScroll(f));
      break;
    case kMouseWheelEnabled: f.mouseWheelEnabled = flag; break;
    case kTabIndex:
      if (value.IsUndefinedOrNull()) {
        f.tabIndex.reset();
      } else {
        f.tabIndex = number;
      }
      break;
    default: return;  // read-only
  }
  again.Changed();
  if (textChanged) again.GetRuntime().StoreTextVariable(again.handle);
  if (property == kVariable) {
    // A new binding starts again from the field's own text.
    if (!f.initialText.empty()) SetFieldText(f, f.initialText);
    again.GetRuntime().TextFieldChanged(again.handle);
    again.GetRuntime().SyncTextVariable(again.handle, true);
  }
}

template <int N>
Value GetProperty(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live()) return {};
  if (N == kText || N == kHtmlText) receiver.GetRuntime().SyncTextVariable(receiver.handle, false);
  FieldReceiver again(call);
  return again.Live() ? ReadProperty(call.vm, again, N) : Value();
}

// The properties added last are stored as plain values on an object that
// is not a field (the others ignore it).
constexpr bool StoredOnOtherObjects(int property) {
  return property == kFilters || property == kSharpness || property == kThickness || property == kAntiAliasType ||
         property == kGridFitType;
}

template <int N>
Value SetProperty(NativeCall& call) {
  FieldReceiver receiver(call);
  if (receiver.Live()) {
    WriteProperty(call.vm, receiver, N, call.Arg(0));
  } else if (StoredOnOtherObjects(N) && call.self.Is(ValueKind::kObject)) {
    call.vm.DefineValue(call.self.AsObject(), kPropertyNames[N], call.Arg(0), 0);
  }
  return {};
}

template <int... N>
void DefineAccessors(avm1::Vm& vm, ObjectRef prototype, std::integer_sequence<int, N...>) {
  ((void)[&] {
    const ObjectRef getter = vm.NewFunction(GetProperty<N>);
    const ObjectRef setter = vm.NewFunction(SetProperty<N>);
    avm1::Property& property = vm.Get(prototype)->properties.Set(kPropertyNames[N], false);
    property.getter = getter;
    property.setter = setter;
    property.flags = 0;  // listed by for..in, as in the player
  }(), ...);
}

// A script's index argument as a whole number, none when it is not given.
std::optional<size_t> IndexArgument(NativeCall& call, size_t at, size_t length) {
  if (at >= call.args.size() || call.Arg(at).IsUndefinedOrNull()) return std::nullopt;
  const double value = call.vm.ToNumber(call.Arg(at));
  if (!std::isfinite(value) || value < 0) return 0;
  return static_cast<size_t>(std::min(value, static_cast<double>(length)));
}

// The range a getTextFormat/setTextFormat call names with the arguments
// before its format: none, one character, or [begin, end).
std::pair<size_t, size_t> RangeArguments(NativeCall& call, size_t count, size_t length) {
  if (count == 0) return {0, length};
  const auto begin = IndexArgument(call, 0, length);
  if (count == 1) {
    const size_t at = begin.value_or(0);
    return {at, std::min(at + 1, length)};
  }
  const auto end = IndexArgument(call, 1, length);
  const size_t from = begin.value_or(0);
  return {from, std::max(from, end.value_or(length))};
}

Value GetTextFormat(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live()) return {};
  const text::StyledText& content = receiver.field->content;
  const auto [begin, end] = RangeArguments(call, std::min<size_t>(call.args.size(), 2), content.Length());
  return NewTextFormatObject(call.vm, content.CommonFormat(begin, end));
}

Value SetTextFormat(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live() || call.args.empty()) return {};
  const text::TextFormat* given = TextFormatOf(call.vm, call.args.back());
  if (given == nullptr) return {};
  text::StyledText& content = receiver.field->content;
  const auto [begin, end] = RangeArguments(call, std::min<size_t>(call.args.size() - 1, 2), content.Length());
  // Paragraph fields hold for whole paragraphs.
  text::TextFormat characters = *given;
  text::TextFormat paragraphs;
  std::swap(paragraphs.align, characters.align);
  std::swap(paragraphs.leftMargin, characters.leftMargin);
  std::swap(paragraphs.rightMargin, characters.rightMargin);
  std::swap(paragraphs.indent, characters.indent);
  std::swap(paragraphs.blockIndent, characters.blockIndent);
  std::swap(paragraphs.leading, characters.leading);
  std::swap(paragraphs.bullet, characters.bullet);
  std::swap(paragraphs.tabStops, characters.tabStops);
  content.ApplyFormat(begin, end, characters);
  const size_t paragraphEnd = content.ParagraphEnd(end > begin ? end - 1 : end);
  content.ApplyFormat(content.ParagraphStart(begin), std::min(paragraphEnd + 1, content.Length()), paragraphs);
  receiver.Changed();
  return {};
}

Value SetNewTextFormat(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live()) return {};
  if (const text::TextFormat* given = TextFormatOf(call.vm, call.Arg(0))) receiver.field->newFormat.Apply(*given);
  return {};
}

Value GetNewTextFormat(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live()) return {};
  return NewTextFormatObject(call.vm, receiver.field->newFormat);
}

Value ReplaceText(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live() || call.args.size() < 3) return {};
  const size_t length = receiver.field->content.Length();
  const size_t begin = IndexArgument(call, 0, length).value_or(0);
  const size_t end = std::max(begin, IndexArgument(call, 1, length).value_or(length));
  const std::string inserted = call.vm.ToStringValue(call.Arg(2));
  FieldReceiver again(call);
  if (!again.Live()) return {};
  text::ReplaceText(*again.field, begin, end, inserted);
  again.Changed();
  again.GetRuntime().StoreTextVariable(again.handle);
  return {};
}

// replaceSel(text): the selection (the caret when nothing is selected)
// becomes the text, in the new text format.
Value ReplaceSel(NativeCall& call) {
  FieldReceiver receiver(call);
  if (!receiver.Live() || call.args.empty()) return {};
  const std::string inserted = call.vm.ToStringValue(call.Arg(0));
  FieldReceiver again(call);
  if (!again.Live()) return {};
  TextFieldState& field = *again.field;
  const size_t length = field.content.Length();
  const size_t begin = std::min(std::min(field.selectionBegin, field.selectionEnd), length);
  const size_t end = std::min(std::max(field.selectionBegin, field.selectionEnd), length);
  text::ReplaceText(field, begin, end, inserted);
  field.selectionBegin = field.selectionEnd = begin + avm1::Utf16Length(inserted);
  again.Changed();
  again.GetRuntime().StoreTextVariable(again.handle);
  return {};
}

Value RemoveTextField(NativeCall& call) {
  FieldReceiver receiver(call);
  if (receiver.Live()) receiver.GetRuntime().RemoveClipByScript(receiver.handle);
  return {};
}

Value GetFontList(NativeCall& call) {
  std::vector<Value> names;
  for (const char* name : {"_sans", "_serif", "_typewriter"}) names.push_back(Value::String(name));
  return Value::Object(call.vm.NewArray(names));
}

// createTextField(name, depth, x, y, width, height): whole pixels.
Value CreateTextField(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || call.args.size() < 6) return {};
  const ObjectHandle parent = bridge->HandleOfValue(call.self);
  if (bridge->GetRuntime().Objects().Get(parent) == nullptr) return {};
  const std::string name = call.vm.ToStringValue(call.Arg(0));
  double numbers[5];
  for (size_t i = 0; i < 5; ++i) {
    const double value = call.vm.ToNumber(call.Arg(i + 1));
    numbers[i] = std::isfinite(value) ? std::trunc(value) : 0;
  }
  const double depth = std::clamp(numbers[0], -2147483648.0, 2147483647.0);
  const ObjectHandle made = bridge->GetRuntime().PlaceTextField(
      parent, static_cast<int32_t>(depth), name, numbers[1] * 20, numbers[2] * 20, numbers[3] * 20, numbers[4] * 20);
  if (made.IsNone()) return {};
  if (call.vm.SwfVersion() < 8) return {};
  return bridge->ValueOf(made);
}

constexpr avm1::NativeMember kTextFieldMembers[] = {
    {"getTextFormat", GetTextFormat},
    {"setTextFormat", SetTextFormat},
    {"setNewTextFormat", SetNewTextFormat},
    {"getNewTextFormat", GetNewTextFormat},
    {"replaceText", ReplaceText, avm1::property_flags::kDontEnum | avm1::property_flags::kHiddenBelow7},
    {"replaceSel", ReplaceSel},
    {"removeTextField", RemoveTextField},
};

constexpr avm1::NativeMember kTextFieldStatics[] = {
    {"getFontList", GetFontList},
};

constexpr avm1::NativeMember kClipMembers[] = {
    {"createTextField", CreateTextField},
};

}  // namespace

namespace natives {

void InstallTextField(avm1::Vm& vm) {
  avm1::Builtins& classes = vm.MutableClasses();
  if (classes.textFieldPrototype.id == 0) classes.textFieldPrototype = vm.NewObject();
  const ObjectRef prototype = classes.textFieldPrototype;
  DefineAccessors(vm, prototype, std::make_integer_sequence<int, kPropertyCount>());
  vm.DefineMembers(prototype, kTextFieldMembers);
  const Value constructor = vm.GetMember(Value::Object(classes.global), "TextField");
  if (constructor.Is(ValueKind::kObject)) vm.DefineMembers(constructor.AsObject(), kTextFieldStatics);
  if (classes.movieClipPrototype.id != 0) vm.DefineMembers(classes.movieClipPrototype, kClipMembers);
}

}  // namespace natives
}  // namespace swf
