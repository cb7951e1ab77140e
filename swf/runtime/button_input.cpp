#include "swf/runtime/button_input.h"

#include <optional>
#include <utility>

#include "swf/runtime/input_events.h"
#include "swf/runtime/runtime.h"

namespace swf {
namespace {

namespace cond = button_condition;
namespace state = button_state;

// The DefineButtonSound entry played on a transition, if it has one.
std::optional<size_t> SoundIndex(uint16_t condition) {
  switch (condition) {
    case cond::kOverUpToIdle:
      return button_sound::kOverUpToIdle;
    case cond::kIdleToOverUp:
      return button_sound::kIdleToOverUp;
    case cond::kOverUpToOverDown:
      return button_sound::kOverUpToOverDown;
    case cond::kOverDownToOverUp:
      return button_sound::kOverDownToOverUp;
    default:
      return std::nullopt;
  }
}

// The clip event (and on-method) of a transition.
uint32_t ClipEventOf(uint16_t condition) {
  switch (condition) {
    case cond::kIdleToOverUp: return clip_event::kRollOver;
    case cond::kOverUpToIdle: return clip_event::kRollOut;
    case cond::kOverUpToOverDown: return clip_event::kPress;
    case cond::kOverDownToOverUp: return clip_event::kRelease;
    case cond::kOverDownToOutDown: return clip_event::kDragOut;
    case cond::kOutDownToOverDown: return clip_event::kDragOver;
    case cond::kOutDownToIdle: return clip_event::kReleaseOutside;
    case cond::kIdleToOverDown: return clip_event::kDragOver;
    case cond::kOverDownToIdle: return clip_event::kDragOut;
    default: return 0;
  }
}

const ButtonDefinition* DefinitionOf(const DisplayObject* object) {
  if (object == nullptr || object->kind != ObjectKind::kButton || object->character == nullptr) return nullptr;
  return std::get_if<ButtonDefinition>(object->character);
}

// The topmost button below `parent` (children by decreasing depth, each one's
// own descendants before those below it) with a key-press condition for
// `code`.
const DisplayObject* KeyPressButton(const Stage& stage, const DisplayObject& parent, uint8_t code) {
  for (auto it = parent.children.rbegin(); it != parent.children.rend(); ++it) {
    const DisplayObject* child = stage.Get(it->second);
    if (child == nullptr) continue;
    if (const ButtonDefinition* button = DefinitionOf(child)) {
      for (const ButtonCondAction& action : button->actions) {
        if (action.keyCode == code) return child;
      }
      continue;
    }
    if (child->kind == ObjectKind::kMovieClip) {
      if (const DisplayObject* found = KeyPressButton(stage, *child, code)) return found;
    }
  }
  return nullptr;
}

}  // namespace

uint8_t ButtonKeyCode(int keyCode, char32_t character) {
  switch (keyCode) {
    case 37: return 1;   // left
    case 39: return 2;   // right
    case 36: return 3;   // home
    case 35: return 4;   // end
    case 45: return 5;   // insert
    case 46: return 6;   // delete
    case 8: return 8;    // backspace
    case 13: return 13;  // enter
    case 38: return 14;  // up
    case 40: return 15;  // down
    case 33: return 16;  // page up
    case 34: return 17;  // page down
    case 9: return 18;   // tab
    case 27: return 19;  // escape
    case 32: return 32;  // space
    default: break;
  }
  if (character >= 32 && character <= 126) return static_cast<uint8_t>(character);
  return 0;
}

bool ButtonInput::Alive(ObjectHandle button) const {
  const DisplayObject* object = runtime_.Objects().Get(button);
  return object != nullptr && CatchesMouse(runtime_, *object);
}

bool ButtonInput::TracksAsMenu(ObjectHandle button) const {
  const ButtonDefinition* definition = DefinitionOf(runtime_.Objects().Get(button));
  const bool fromTag = definition != nullptr && definition->trackAsMenu;
  return ScriptFlag(runtime_, button, "trackAsMenu", fromTag);
}

// A button's transition: its sound, its actions for the condition, then its
// on-method, and the state's records shown. A clip acting as a button runs
// its handlers and method for the event and shows its state's frame.
void ButtonInput::Fire(ObjectHandle button, uint16_t condition, uint8_t shownState) {
  const DisplayObject* object = runtime_.Objects().Get(button);
  if (object == nullptr) return;
  const uint32_t event = ClipEventOf(condition);
  const ButtonDefinition* definition = DefinitionOf(object);
  if (definition == nullptr) {
    if (object->kind != ObjectKind::kMovieClip) return;
    if (event != 0) {
      runtime_.Context().Enqueue(QueuedActions{button, nullptr, QueuedKind::kClipEvent, event, object->clipActions});
    }
    ShowClipButtonState(runtime_, button, shownState);
    return;
  }
  const ObjectHandle parent = object->parent;
  const ParsedMovie* movie = object->movie;
  if (const std::optional<size_t> index = SoundIndex(condition)) {
    const ButtonSound& sound = definition->sounds[*index];
    if (sound.soundId != 0) sounds_.push_back({sound.soundId, sound.info, movie});
  }
  for (const ButtonCondAction& action : definition->actions) {
    if ((action.conditions & condition) != 0) runtime_.Context().Enqueue(parent, action.actions);
  }
  if (event != 0 && runtime_.Bridge().HasScriptObject(button)) {
    runtime_.Context().Enqueue(QueuedActions{button, nullptr, QueuedKind::kClipEvent, event, nullptr});
  }
  runtime_.SetButtonState(button, shownState);
}

void ButtonInput::RunActions() { runtime_.RunFrameActions(); }

ButtonInput::Place ButtonInput::PlaceOf(ObjectHandle button) const {
  const DisplayObject* object = runtime_.Objects().Get(button);
  if (object == nullptr) return {};
  return {object->parent, object->depth, object->characterId};
}

void ButtonInput::Hover(ObjectHandle button) {
  hovered_ = button;
  hoveredPlace_ = PlaceOf(button);
}

void ButtonInput::Press(ObjectHandle button) {
  pressed_ = button;
  pressedPlace_ = PlaceOf(button);
}

// A timeline that takes a button off and puts the same button back at the
// same depth (a goto back over its frames) leaves the mouse where it was: the
// new button takes the old one's state without a transition.
ObjectHandle ButtonInput::Replacement(ObjectHandle button, const Place& place, uint8_t shownState) {
  if (button.IsNone() || Alive(button)) return button;
  const Stage& stage = runtime_.Objects();
  const DisplayObject* parent = stage.Get(place.parent);
  const DisplayObject* successor = parent != nullptr ? stage.ChildAt(*parent, place.depth) : nullptr;
  if (DefinitionOf(successor) == nullptr || successor->characterId != place.characterId) return {};
  runtime_.SetButtonState(successor->self, shownState);
  return successor->self;
}

void ButtonInput::FollowReplacements() {
  if (mouseDown_) {
    pressed_ = Replacement(pressed_, pressedPlace_, pressedOver_ ? state::kDown : state::kOver);
    hovered_ = !pressed_.IsNone() && pressedOver_ ? pressed_ : ObjectHandle{};
  } else {
    hovered_ = Replacement(hovered_, hoveredPlace_, state::kOver);
  }
}

void ButtonInput::RollTo(ObjectHandle hit) {
  if (hit == hovered_ && Alive(hovered_)) return;
  if (Alive(hovered_)) Fire(hovered_, cond::kOverUpToIdle, state::kUp);
  Hover({});
  if (Alive(hit)) {
    Hover(hit);
    Fire(hit, cond::kIdleToOverUp, state::kOver);
  }
}

void ButtonInput::MouseMove(ObjectHandle hit) {
  FollowReplacements();
  if (!mouseDown_) {
    RollTo(hit);
    RunActions();
    return;
  }
  if (!pressed_.IsNone()) {
    if (hit == pressed_ && !pressedOver_) {
      Fire(pressed_, cond::kOutDownToOverDown, state::kDown);
      pressedOver_ = true;
    } else if (hit != pressed_ && pressedOver_) {
      if (TracksAsMenu(pressed_)) {
        // A menu lets go of a button the mouse leaves: the next one takes the press.
        Fire(pressed_, cond::kOverDownToIdle, state::kUp);
        Press({});
      } else {
        Fire(pressed_, cond::kOverDownToOutDown, state::kOver);
        pressedOver_ = false;
      }
    }
  }
  if (pressed_.IsNone() && Alive(hit) && TracksAsMenu(hit)) {
    Press(hit);
    pressedOver_ = true;
    Fire(hit, cond::kIdleToOverDown, state::kDown);
  }
  Hover(!pressed_.IsNone() && pressedOver_ ? pressed_ : ObjectHandle{});
  RunActions();
}

void ButtonInput::MouseDown(ObjectHandle hit) {
  FollowReplacements();
  if (mouseDown_) return;
  RollTo(hit);
  mouseDown_ = true;
  if (Alive(hit)) {
    Press(hit);
    pressedOver_ = true;
    Hover(hit);
    Fire(hit, cond::kOverUpToOverDown, state::kDown);
  }
  RunActions();
}

void ButtonInput::MouseUp(ObjectHandle hit) {
  FollowReplacements();
  if (!mouseDown_) {
    MouseMove(hit);
    return;
  }
  MouseMove(hit);
  mouseDown_ = false;
  if (Alive(pressed_)) {
    if (pressedOver_) {
      Fire(pressed_, cond::kOverDownToOverUp, state::kOver);
      Hover(pressed_);
    } else {
      Fire(pressed_, cond::kOutDownToIdle, state::kUp);
      Hover({});
    }
  }
  Press({});
  pressedOver_ = false;
  // The actions may have moved or removed what is under the mouse; the next
  // move or frame finds out. Until then, a button released outside gives way
  // to the one the mouse is over.
  if (hovered_.IsNone()) RollTo(hit);
  RunActions();
}

bool ButtonInput::KeyDown(int keyCode, char32_t character) {
  const uint8_t code = ButtonKeyCode(keyCode, character);
  if (code == 0) return false;
  const Stage& stage = runtime_.Objects();
  const DisplayObject* button = KeyPressButton(stage, *stage.Get(stage.Root()), code);
  if (button == nullptr) return false;
  for (const ButtonCondAction& action : DefinitionOf(button)->actions) {
    if (action.keyCode == code) runtime_.Context().Enqueue(button->parent, action.actions);
  }
  RunActions();
  return true;
}

void ButtonInput::Reset() {
  FollowReplacements();
  if (mouseDown_ && Alive(pressed_)) {
    Fire(pressed_, pressedOver_ ? cond::kOverDownToIdle : cond::kOutDownToIdle, state::kUp);
  } else if (Alive(hovered_)) {
    Fire(hovered_, cond::kOverUpToIdle, state::kUp);
  }
  mouseDown_ = false;
  Press({});
  Hover({});
  pressedOver_ = false;
  RunActions();
}

CursorShape ButtonInput::Cursor() const {
  const ObjectHandle over = mouseDown_ ? (pressedOver_ ? pressed_ : ObjectHandle{}) : hovered_;
  const bool hand = Alive(over) && ScriptFlag(runtime_, over, "useHandCursor", true);
  return hand ? CursorShape::kHand : CursorShape::kArrow;
}

std::vector<SoundRequest> ButtonInput::TakeSoundRequests() { return std::exchange(sounds_, {}); }

}  // namespace swf
