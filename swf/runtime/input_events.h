#pragma once

// How mouse and keyboard events reach scripts besides buttons: the clip
// events every clip hears (mouseDown, keyUp, ...) with their on-methods, the
// listeners of Key and Mouse, clips that act as buttons, and dragging.
//
// For one event the player first queues the clip events (children before
// their parent, the last placed first) and runs them, then tells the
// listeners, then lets the button under the mouse answer.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "swf/avm1/display_host.h"
#include "swf/avm1/value.h"
#include "swf/runtime/handle.h"

namespace swf {

class Runtime;
struct DisplayObject;

// A clip acts as a button when it has a button event (onClipEvent(press),
// an onRelease method, ...) and is enabled; a button answers while enabled.
bool CatchesMouse(Runtime& runtime, const DisplayObject& object);
// A button or clip as scripts left its `enabled` and `useHandCursor`.
bool ScriptFlag(Runtime& runtime, ObjectHandle object, std::string_view name, bool fallback);

// Queues clip event `event` (a clip_event bit) for every clip below the root
// that listens for it, as a handler or through its on-method, and runs the
// queue. `keyCode` picks the keyPress handlers (button key codes).
void BroadcastClipEvent(Runtime& runtime, uint32_t event, uint8_t keyCode = 0);

// Calls `method` on the listeners of the global object `broadcaster`
// (Key, Mouse, Stage) with `args`, then runs what they queued.
void NotifyListeners(Runtime& runtime, std::string_view broadcaster, std::string_view method,
                     std::span<const avm1::Value> args = {});

// A clip's state as a button (up, over, down): the frame of its "_up",
// "_over" or "_down" label, when its timeline has one.
void ShowClipButtonState(Runtime& runtime, ObjectHandle clip, uint8_t buttonState);

// The keyboard focus: a button, a clip acting as a button or with a true
// focusEnabled or tabEnabled, or a text field can take it. SetFocus tells the object
// losing it (onKillFocus), the one taking it (onSetFocus) and Selection's
// listeners (onSetFocus); none clears it. False when `target` cannot take it.
bool CanTakeFocus(Runtime& runtime, const DisplayObject& object);
bool SetFocus(Runtime& runtime, ObjectHandle target);
// Tab: the focus goes to the next object in tab order (those with a tabIndex
// by it, otherwise by their place on the stage, row by row).
void MoveFocusByTab(Runtime& runtime, bool backwards);
// Calls `method` (onKeyDown, onKeyUp) on the object with the focus.
void TellFocus(Runtime& runtime, std::string_view method);
// Calls the object's `method` with `args`, if it has one, then runs what
// it queued.
void TellObject(Runtime& runtime, ObjectHandle object, std::string_view method, std::span<const avm1::Value> args);

// startDrag/stopDrag: the clip follows the mouse from now on (one drag at a
// time), and FollowDrag moves it to where the mouse is.
void StartDrag(Runtime& runtime, ObjectHandle clip, bool lockCenter, std::optional<avm1::DragRectangle> bounds);
void StopDrag(Runtime& runtime);
void FollowDrag(Runtime& runtime);
// The _droptarget of `clip`: the slash path of the clip under the mouse
// where its last drag left it, or "".
std::string DropTargetOf(const Runtime& runtime, ObjectHandle clip);

}  // namespace swf
