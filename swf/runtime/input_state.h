#pragma once

// What the movie knows of the keyboard, the mouse and the window between events: the
// keys held and toggled, the last key pressed, whether the cursor is shown,
// and the clip being dragged. Input events write it; Key, Mouse and the
// drag natives read it.

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "swf/parse/types.h"
#include "swf/runtime/handle.h"

namespace swf {

// A drag's limits for the clip's registration point, in its parent's twips.
struct DragBounds {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A startDrag in progress: the clip follows the mouse, its registration
// point kept at `offset` from it (twips of its parent), within `bounds`
// (its parent's twips) when given.
struct DragState {
  ObjectHandle clip;
  Point offset;
  std::optional<DragBounds> bounds;
};

struct InputState {
  static constexpr int kKeyCount = 256;
  // Held down now, by key code (the mouse buttons are 1, 2 and 4).
  std::bitset<kKeyCount> down;
  // Flipped by every press of the key (Caps Lock's light, and the same for
  // every other code).
  std::bitset<kKeyCount> toggled;
  int lastKeyCode = 0;
  char32_t lastCharacter = 0;
  bool cursorShown = true;
  // The button, clip or text field that has the keyboard focus; none.
  ObjectHandle focus;
  std::optional<DragState> drag;
  // The host's clipboard as the movie last heard of it (UTF-8).
  std::string clipboard;
  // The field a press of the left button is selecting text in, while held.
  ObjectHandle selecting;
  // Set while the objects hear of a focus change: the new field's
  // selection is made after it.
  bool focusChanging = false;
  // The last dragged clip and the slash path of the clip under the mouse as
  // its drag left it (its _droptarget).
  ObjectHandle dropTargetClip;
  std::string dropTarget;
  // Stage's layout settings as scripts set them (the host shows the movie
  // its own way).
  std::string scaleMode = "showAll";
  std::string align;
  bool showMenu = true;
  std::string displayState = "normal";

  void Press(int code) {
    if (code <= 0 || code >= kKeyCount) return;
    down.set(static_cast<size_t>(code));
    toggled.flip(static_cast<size_t>(code));
  }
  void Release(int code) {
    if (code > 0 && code < kKeyCount) down.reset(static_cast<size_t>(code));
  }
  bool IsDown(int code) const { return code > 0 && code < kKeyCount && down.test(static_cast<size_t>(code)); }
  bool IsToggled(int code) const {
    return code > 0 && code < kKeyCount && toggled.test(static_cast<size_t>(code));
  }
};

}  // namespace swf
