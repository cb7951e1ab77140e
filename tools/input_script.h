#pragma once

#include <stdexcept>
#include <string_view>
#include <vector>

#include "swf/input_event.h"

namespace tools {

// One entry of a recorded input list: an event to deliver, or a Wait that
// runs the next frame first.
struct InputStep {
  bool wait = false;
  swf::InputEvent event;
};

class InputScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads an input list: a JSON array of objects with "type" MouseMove,
// MouseDown, MouseUp (pos [x, y], btn Left/Right/Middle), MouseWheel (delta),
// KeyDown, KeyUp (key: a name such as "Tab", or {"Char": "a"}), TextInput
// (codepoint: one character), TextControl (code), SetClipboardText (text) or
// Wait. Input-method composition (ImePreedit, ImeCommit) is left out. Throws
// InputScriptError naming the entry and what is wrong with it.
std::vector<InputStep> ReadInputScript(std::string_view json);

// The player's key code of a named key ("Tab" 9, "Enter" 13, "LeftShift" 16,
// ...) and of the key that types a character ('a' 65, '1' 49, '"' 222); 0 when
// there is none.
int KeyCodeOfName(std::string_view name);
int KeyCodeOfCharacter(char32_t character);

}  // namespace tools
