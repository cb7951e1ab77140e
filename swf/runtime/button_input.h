#pragma once

// How buttons answer the mouse and the keyboard: each button goes between
// idle, over-up, over-down and out-down as the mouse moves over it, is
// pressed and released; every transition shows the state's records, queues
// the button's actions for it (run by the execution context, the button's
// parent as their clip) and asks for the button's sound for it. Which button
// is under the mouse is found by the caller, from the geometry.

#include <cstdint>
#include <vector>

#include "swf/parse/sounds.h"
#include "swf/runtime/handle.h"

namespace swf {

class Runtime;
struct ParsedMovie;

// A sound a button asks to be played (or stopped, by its SOUNDINFO) on one
// of its transitions, handed to whoever plays sounds.
struct SoundRequest {
  uint16_t soundId = 0;
  SoundInfo info;
  const ParsedMovie* movie = nullptr;  // whose DefineSound `soundId` is; null: the root's
};

// The mouse cursor the host should show.
enum class CursorShape { kArrow, kHand };

// A button's key-press condition code (1 left, 2 right, 3 home, 4 end,
// 5 insert, 6 delete, 8 backspace, 13 enter, 14 up, 15 down, 16 page up,
// 17 page down, 18 tab, 19 escape, 32-126 the character) for a key going
// down: the player's key code, and the character it types when it types one.
// 0 when no condition can name the key.
uint8_t ButtonKeyCode(int keyCode, char32_t character);

class ButtonInput {
 public:
  explicit ButtonInput(Runtime& runtime) : runtime_(runtime) {}
  ButtonInput(const ButtonInput&) = delete;
  ButtonInput& operator=(const ButtonInput&) = delete;

  // The mouse is now over `hit` (the topmost button under it, or none), with
  // the left button as it was; after a frame the same call says what is under
  // the mouse now that the picture changed.
  void MouseMove(ObjectHandle hit);
  // The left mouse button went down or up over `hit`.
  void MouseDown(ObjectHandle hit);
  void MouseUp(ObjectHandle hit);
  // A key went down: the first button, from the top, with a key-press
  // condition for it runs that condition's actions; false when none has.
  bool KeyDown(int keyCode, char32_t character);
  // The host lost the mouse (focus gone, capture lost): a pressed button is
  // released outside and the one under the mouse rolls out.
  void Reset();

  CursorShape Cursor() const;
  // The sounds asked for since the last call, oldest first.
  std::vector<SoundRequest> TakeSoundRequests();

 private:
  bool Alive(ObjectHandle button) const;
  bool TracksAsMenu(ObjectHandle button) const;
  // Shows `state` on the button, queues its actions for `condition` and asks
  // for the condition's sound.
  void Fire(ObjectHandle button, uint16_t condition, uint8_t state);
  void RollTo(ObjectHandle hit);
  void RunActions();

  // Where a button stands, to know it again when its timeline replaces it.
  struct Place {
    ObjectHandle parent;
    int32_t depth = 0;
    uint16_t characterId = 0;
  };
  Place PlaceOf(ObjectHandle button) const;
  void Hover(ObjectHandle button);
  void Press(ObjectHandle button);
  ObjectHandle Replacement(ObjectHandle button, const Place& place, uint8_t shownState);
  void FollowReplacements();

  Runtime& runtime_;
  bool mouseDown_ = false;
  // Mouse up: the button under the mouse (over-up). Mouse down: the pressed
  // button, over it (over-down) or not (out-down).
  ObjectHandle hovered_;
  ObjectHandle pressed_;
  Place hoveredPlace_;
  Place pressedPlace_;
  bool pressedOver_ = false;
  std::vector<SoundRequest> sounds_;
};

}  // namespace swf
