#pragma once

#include <cstdint>
#include <string>

namespace swf {

// One mouse, keyboard or text event as a host hands it to the player,
// independent of where it came from (a window's messages, a recorded list).
enum class InputKind {
  kMouseMove,
  kMouseDown,
  kMouseUp,
  kMouseWheel,
  kKeyDown,
  kKeyUp,
  kTextInput,        // a character typed
  kTextControl,      // an editing command for a text field
  kSetClipboardText,  // the host's clipboard now holds `text`
  kMouseLeave,        // the mouse left the picture (no position)
  kFocusIn,           // the player's window got the keyboard focus
  kFocusOut           // and lost it (a pressed mouse button is not seen going up)
};

enum class MouseButton { kNone, kLeft, kRight, kMiddle };

enum class TextCommand {
  kNone,
  kSelectAll,
  kCopy,
  kCut,
  kPaste,
  kEnter,
  kBackspace,
  kDelete,
  kMoveLeft,
  kMoveRight,
  kMoveUp,
  kMoveDown,
  kMoveHome,
  kMoveEnd
};

struct InputEvent {
  InputKind kind = InputKind::kMouseMove;
  double x = 0;  // stage pixels, for mouse events
  double y = 0;
  MouseButton button = MouseButton::kNone;
  double wheelDelta = 0;         // lines; positive away from the user
  int keyCode = 0;               // the player's key code (Tab 9, Enter 13, 'A' 65, ...)
  char32_t character = 0;        // kTextInput, and the character a key press makes, when it makes one
  TextCommand command = TextCommand::kNone;
  std::string text;              // kSetClipboardText, UTF-8
};

}  // namespace swf
