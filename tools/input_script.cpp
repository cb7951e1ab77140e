#include "tools/input_script.h"

#include <array>
#include <string>
#include <utility>

#include "tools/json_reader.h"

namespace tools {
namespace {

using swf::InputKind;

constexpr std::array<std::pair<std::string_view, int>, 36> kNamedKeys = {{
    {"Backspace", 8},   {"Tab", 9},           {"Enter", 13},       {"LeftShift", 16},
    {"RightShift", 16}, {"Shift", 16},        {"LeftControl", 17}, {"RightControl", 17},
    {"Control", 17},    {"LeftAlt", 18},      {"RightAlt", 18},    {"Alt", 18},
    {"Pause", 19},      {"CapsLock", 20},     {"Escape", 27},      {"Space", 32},
    {"PageUp", 33},     {"PageDown", 34},     {"End", 35},         {"Home", 36},
    {"Left", 37},       {"Up", 38},           {"Right", 39},       {"Down", 40},
    {"ArrowLeft", 37},  {"ArrowUp", 38},      {"ArrowRight", 39},  {"ArrowDown", 40},
    {"Insert", 45},     {"Delete", 46},       {"NumLock", 144},    {"ScrollLock", 145},
    {"F1", 112},        {"F2", 113},          {"F11", 122},        {"F12", 123},
}};

constexpr std::array<std::pair<std::string_view, swf::TextCommand>, 13> kTextCommands = {{
    {"SelectAll", swf::TextCommand::kSelectAll}, {"Copy", swf::TextCommand::kCopy},
    {"Cut", swf::TextCommand::kCut},             {"Paste", swf::TextCommand::kPaste},
    {"Enter", swf::TextCommand::kEnter},         {"Backspace", swf::TextCommand::kBackspace},
    {"Delete", swf::TextCommand::kDelete},       {"MoveLeft", swf::TextCommand::kMoveLeft},
    {"MoveRight", swf::TextCommand::kMoveRight}, {"MoveUp", swf::TextCommand::kMoveUp},
    {"MoveDown", swf::TextCommand::kMoveDown},   {"MoveHome", swf::TextCommand::kMoveHome},
    {"MoveEnd", swf::TextCommand::kMoveEnd},
}};

// The one code point of a UTF-8 text; 0 when it holds none or more than one.
char32_t SingleCodePoint(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (text.size() != length) return 0;
  if (length == 1) return lead;
  char32_t code = lead & (0x3F >> (length - 1));
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  return code;
}

class EntryReader {
 public:
  EntryReader(const JsonValue& entry, std::size_t index) : entry_(entry), index_(index) {}

  [[noreturn]] void Error(const std::string& what) const {
    throw InputScriptError("input entry " + std::to_string(index_ + 1) + ": " + what);
  }

  const JsonValue& Member(std::string_view name, JsonValue::Kind kind, std::string_view what) const {
    const JsonValue* value = entry_.Find(name);
    if (value == nullptr || value->kind != kind) Error("needs \"" + std::string(name) + "\" as " + std::string(what));
    return *value;
  }

  void Position(swf::InputEvent& event) const {
    const JsonValue& pos = Member("pos", JsonValue::Kind::kArray, "[x, y]");
    if (pos.items.size() != 2 || pos.items[0].kind != JsonValue::Kind::kNumber ||
        pos.items[1].kind != JsonValue::Kind::kNumber) {
      Error("needs \"pos\" as [x, y]");
    }
    event.x = pos.items[0].number;
    event.y = pos.items[1].number;
  }

  void Button(swf::InputEvent& event) const {
    const std::string& name = Member("btn", JsonValue::Kind::kString, "Left, Right or Middle").text;
    if (name == "Left") {
      event.button = swf::MouseButton::kLeft;
    } else if (name == "Right") {
      event.button = swf::MouseButton::kRight;
    } else if (name == "Middle") {
      event.button = swf::MouseButton::kMiddle;
    } else {
      Error("unknown button \"" + name + "\"");
    }
  }

  void Key(swf::InputEvent& event) const {
    const JsonValue* key = entry_.Find("key");
    if (key != nullptr && key->kind == JsonValue::Kind::kString) {
      event.keyCode = KeyCodeOfName(key->text);
      if (event.keyCode == 0) Error("unknown key \"" + key->text + "\"");
      return;
    }
    const JsonValue* character = key != nullptr ? key->Find("Char") : nullptr;
    if (character == nullptr || character->kind != JsonValue::Kind::kString || key->members.size() != 1) {
      Error("needs \"key\" as a key name or {\"Char\": \"c\"}");
    }
    event.character = SingleCodePoint(character->text);
    if (event.character == 0) Error("\"Char\" must be one character");
    event.keyCode = KeyCodeOfCharacter(event.character);
  }

  InputStep Read() const {
    if (entry_.kind != JsonValue::Kind::kObject) Error("is not an object");
    const std::string& type = Member("type", JsonValue::Kind::kString, "a string").text;
    InputStep step;
    swf::InputEvent& event = step.event;
    if (type == "Wait") {
      step.wait = true;
    } else if (type == "MouseMove") {
      event.kind = InputKind::kMouseMove;
      Position(event);
    } else if (type == "MouseDown" || type == "MouseUp") {
      event.kind = type == "MouseDown" ? InputKind::kMouseDown : InputKind::kMouseUp;
      Position(event);
      Button(event);
    } else if (type == "MouseWheel") {
      event.kind = InputKind::kMouseWheel;
      const JsonValue* delta = entry_.Find("delta");
      // Either a plain number of lines or {"Lines": n} / {"Pixels": n}.
      if (delta != nullptr && delta->kind == JsonValue::Kind::kObject && delta->members.size() == 1) {
        delta = &delta->members.front().second;
      }
      if (delta == nullptr || delta->kind != JsonValue::Kind::kNumber) Error("needs \"delta\" as a number");
      event.wheelDelta = delta->number;
    } else if (type == "KeyDown" || type == "KeyUp") {
      event.kind = type == "KeyDown" ? InputKind::kKeyDown : InputKind::kKeyUp;
      Key(event);
    } else if (type == "TextInput") {
      event.kind = InputKind::kTextInput;
      event.character = SingleCodePoint(Member("codepoint", JsonValue::Kind::kString, "one character").text);
      if (event.character == 0) Error("\"codepoint\" must be one character");
    } else if (type == "TextControl") {
      event.kind = InputKind::kTextControl;
      const std::string& code = Member("code", JsonValue::Kind::kString, "a command name").text;
      for (const auto& [name, command] : kTextCommands) {
        if (name == code) event.command = command;
      }
      if (event.command == swf::TextCommand::kNone) Error("unknown text command \"" + code + "\"");
    } else if (type == "SetClipboardText") {
      event.kind = InputKind::kSetClipboardText;
      event.text = Member("text", JsonValue::Kind::kString, "a string").text;
    } else {
      Error("unknown type \"" + type + "\"");
    }
    return step;
  }

 private:
  const JsonValue& entry_;
  std::size_t index_;
};

}  // namespace

int KeyCodeOfName(std::string_view name) {
  for (const auto& [keyName, code] : kNamedKeys) {
    if (keyName == name) return code;
  }
  return 0;
}

int KeyCodeOfCharacter(char32_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return static_cast<int>(c);
  // The other keys of a US keyboard, shifted or not.
  static constexpr std::pair<std::string_view, int> kPunctuation[] = {
      {";:", 186}, {"=+", 187}, {",<", 188}, {"-_", 189}, {".>", 190}, {"/?", 191},
      {"`~", 192}, {"[{", 219}, {"\\|", 220}, {"]}", 221}, {"'\"", 222},
      {")!@#$%^&*(", 0}};
  for (const auto& [characters, code] : kPunctuation) {
    const std::size_t at = characters.find(static_cast<char>(c));
    if (c >= 0x80 || at == std::string_view::npos) continue;
    return code != 0 ? code : static_cast<int>('0' + at);  // shifted digits
  }
  return 0;
}

std::vector<InputStep> ReadInputScript(std::string_view json) {
  JsonValue document;
  try {
    document = ReadJson(json);
  } catch (const JsonError& error) {
    throw InputScriptError(std::string("not valid JSON: ") + error.what());
  }
  if (document.kind != JsonValue::Kind::kArray) throw InputScriptError("the input list must be a JSON array");
  std::vector<InputStep> steps;
  for (std::size_t i = 0; i < document.items.size(); ++i) {
    const JsonValue& entry = document.items[i];
    const JsonValue* type = entry.Find("type");
    if (type != nullptr && (type->text == "ImePreedit" || type->text == "ImeCommit")) continue;
    steps.push_back(EntryReader(entry, i).Read());
  }
  return steps;
}

}  // namespace tools
