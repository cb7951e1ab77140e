#include "swf/player.h"

#include <algorithm>

#include "swf/render/hit_test.h"
#include "swf/render/renderer.h"
#include "swf/runtime/input_events.h"
#include "swf/runtime/text_editing.h"

namespace swf {
namespace {

// Movies that declare rate 0 still play; this is the fallback rate.
constexpr double kFallbackFrameRate = 12.0;

// Audio pulled within this long keeps the frames following the stream.
constexpr double kAudioPullTimeout = 0.25;

double EffectiveRate(double rate) { return rate > 0 ? rate : kFallbackFrameRate; }

}  // namespace

Player::Player(std::span<const uint8_t> file, HostServices* host)
    : movie_(ParseMovie(file)), runtime_(movie_, host), audio_(movie_, host, EffectiveRate(movie_.header.frameRate)) {
  AfterStep();
}

void Player::AfterStep() {
  audio_.EnterFrames(runtime_.TakeSoundFrames(), runtime_.Objects());
  audio_.RunScriptRequests(runtime_.Sounds().TakeRequests());
}

void Player::Play() {
  runtime_.Play();
  AfterStep();
}

void Player::Stop() {
  runtime_.Stop();
  AfterStep();
}

void Player::GotoFrame(size_t frame) {
  runtime_.GotoFrame(frame);
  AfterStep();
}

void Player::Tick() {
  runtime_.Tick();
  FollowDrag(runtime_);
  // Buttons answer the mouse where it stands now that the picture changed.
  if (mouse_) buttons_.MouseMove(ButtonUnder(*mouse_));
  AfterStep();
}

double Player::StageWidth() const { return movie_.header.frameSize.Width() / kTwipsPerPixel; }
double Player::StageHeight() const { return movie_.header.frameSize.Height() / kTwipsPerPixel; }

double Player::FrameInterval() const { return 1.0 / EffectiveRate(FrameRate()); }

size_t Player::Advance(double elapsedSeconds) {
  if (!(elapsedSeconds > 0)) return 0;  // also NaN
  sinceAudioPulled_ = audioPulled_.exchange(false) ? 0 : sinceAudioPulled_ + elapsedSeconds;
  if (sinceAudioPulled_ < kAudioPullTimeout && IsPlaying()) {
    if (const std::optional<size_t> due = audio_.StreamFrame(runtime_.Root())) {
      // The stream leads: run the frames its audio has reached, drawn or not.
      size_t frames = 0;
      while (CurrentFrame() < *due && frames < kMaxCatchUpFrames && IsPlaying()) {
        const size_t before = CurrentFrame();
        runtime_.AdvanceClock(FrameInterval() * 1000.0);
        Tick();
        ++frames;
        if (CurrentFrame() < before) break;  // looped: the stream starts again
      }
      sinceLastFrame_ = 0;
      return frames;
    }
  }
  const double interval = FrameInterval();
  // A virtual clock adding one interval per frame must land on every frame,
  // so a frame is due a hair before its exact time.
  const double slack = interval * 1e-9;
  sinceLastFrame_ += elapsedSeconds;
  size_t frames = 0;
  while (sinceLastFrame_ + slack >= interval) {
    if (frames == kMaxCatchUpFrames) {
      sinceLastFrame_ = 0;
      break;
    }
    sinceLastFrame_ = std::max(0.0, sinceLastFrame_ - interval);
    // The timers that fall due before the frame run ahead of it.
    runtime_.AdvanceClock(interval * 1000.0);
    Tick();
    ++frames;
  }
  return frames;
}

double Player::TimeToNextFrame() const { return std::max(0.0, FrameInterval() - sinceLastFrame_); }

ObjectHandle Player::ButtonUnder(Point stagePixels, bool withTextFields) {
  const Rect& stage = StageRect();
  const Matrix twipsToPixels{1 / kTwipsPerPixel, 0, 0, 1 / kTwipsPerPixel, -stage.xMin / kTwipsPerPixel,
                             -stage.yMin / kTwipsPerPixel};
  return MouseTargetAt(runtime_.Objects(), movie_, twipsToPixels, stagePixels, [&](const DisplayObject& object) {
    if (object.kind == ObjectKind::kTextField) {
      return withTextFields && object.textField != nullptr && object.textField->selectable;
    }
    return CatchesMouse(runtime_, object);
  });
}

namespace {

// Key codes of the mouse buttons, as Key.isDown knows them.
int MouseKeyCode(MouseButton button) {
  switch (button) {
    case MouseButton::kLeft: return 1;
    case MouseButton::kRight: return 2;
    case MouseButton::kMiddle: return 4;
    case MouseButton::kNone: return 0;
  }
  return 0;
}

// What Key.getAscii gives for a key that types no character of its own.
char32_t KeyCharacter(const InputEvent& event) {
  if (event.character != 0) return event.character;
  switch (event.keyCode) {
    case 8:
    case 9:
    case 13:
    case 27:
    case 32: return static_cast<char32_t>(event.keyCode);
    case 46: return 127;
    default: return 0;
  }
}

}  // namespace

void Player::RouteMouse(const InputEvent& event) {
  const Rect& stage = StageRect();
  runtime_.SetMousePosition(Point{event.x * kTwipsPerPixel + stage.xMin, event.y * kTwipsPerPixel + stage.yMin});
  InputState& input = runtime_.Input();
  if (event.kind == InputKind::kMouseMove) {
    FollowDrag(runtime_);
    DragSelection(runtime_);
    BroadcastClipEvent(runtime_, clip_event::kMouseMove);
    NotifyListeners(runtime_, "Mouse", "onMouseMove");
    return;
  }
  const bool down = event.kind == InputKind::kMouseDown;
  if (down) {
    input.Press(MouseKeyCode(event.button));
  } else {
    input.Release(MouseKeyCode(event.button));
  }
  // Clips and listeners hear the left button only.
  if (event.button != MouseButton::kLeft) return;
  if (!down) ReleaseSelection(runtime_);
  BroadcastClipEvent(runtime_, down ? clip_event::kMouseDown : clip_event::kMouseUp);
  NotifyListeners(runtime_, "Mouse", down ? "onMouseDown" : "onMouseUp");
}

void Player::RouteKey(const InputEvent& event) {
  InputState& input = runtime_.Input();
  input.lastKeyCode = event.keyCode;
  input.lastCharacter = KeyCharacter(event);
  if (event.kind == InputKind::kKeyUp) {
    input.Release(event.keyCode);
    BroadcastClipEvent(runtime_, clip_event::kKeyUp);
    NotifyListeners(runtime_, "Key", "onKeyUp");
    TellFocus(runtime_, "onKeyUp");
    return;
  }
  input.Press(event.keyCode);
  BroadcastClipEvent(runtime_, clip_event::kKeyDown);
  NotifyListeners(runtime_, "Key", "onKeyDown");
  TellFocus(runtime_, "onKeyDown");
  constexpr int kTab = 9;
  constexpr int kShift = 16;
  if (event.keyCode == kTab) MoveFocusByTab(runtime_, input.IsDown(kShift));
  // A character for the field being typed in reaches the buttons as it is
  // typed (TextInput), when they may take it instead.
  if (event.character == 0 || !TextFieldTakesTyping(runtime_)) buttons_.KeyDown(event.keyCode, event.character);
  if (const uint8_t code = ButtonKeyCode(event.keyCode, input.lastCharacter); code != 0) {
    BroadcastClipEvent(runtime_, clip_event::kKeyPress, code);
  }
}

void Player::HandleInput(const InputEvent& event) {
  RouteInput(event);
  AfterStep();  // a button's actions may have gone to frames with sounds
}

void Player::RouteInput(const InputEvent& event) {
  switch (event.kind) {
    case InputKind::kMouseMove:
    case InputKind::kMouseDown:
    case InputKind::kMouseUp: {
      mouse_ = Point{event.x, event.y};
      RouteMouse(event);
      const ObjectHandle hit = ButtonUnder(*mouse_);
      // Buttons answer the left button only; the others still move the mouse.
      const bool left = event.button == MouseButton::kLeft;
      if (event.kind == InputKind::kMouseDown && left) {
        // A text field above the buttons takes the press.
        if (PressOnTextField(runtime_, ButtonUnder(*mouse_, true))) break;
        buttons_.MouseDown(hit);
      } else if (event.kind == InputKind::kMouseUp && left) {
        buttons_.MouseUp(hit);
      } else {
        buttons_.MouseMove(hit);
      }
      break;
    }
    case InputKind::kMouseLeave:
      mouse_.reset();
      buttons_.MouseMove({});
      break;
    case InputKind::kFocusOut:
      buttons_.Reset();
      break;
    case InputKind::kKeyDown:
    case InputKind::kKeyUp:
      RouteKey(event);
      break;
    case InputKind::kMouseWheel: {
      const avm1::Value delta = avm1::Value::Number(event.wheelDelta);
      NotifyListeners(runtime_, "Mouse", "onMouseWheel", std::span<const avm1::Value>(&delta, 1));
      break;
    }
    case InputKind::kTextInput:
      // A button's keyPress for the character takes it from the field.
      if (TextFieldTakesTyping(runtime_) && !buttons_.KeyDown(0, event.character)) {
        TypeCharacter(runtime_, event.character);
      }
      break;
    case InputKind::kTextControl:
      RunTextCommand(runtime_, event.command);
      break;
    case InputKind::kSetClipboardText:
      SetClipboard(runtime_, event.text);
      return;
    case InputKind::kFocusIn:
      return;
  }
  // Button actions may have gone to frames with sounds.
  AfterStep();
}

void Player::PullAudio(std::span<int16_t> interleavedStereo) {
  audio_.Pull(interleavedStereo);
  audioPulled_ = true;
}

bool Player::GotoLabel(const std::string& label) {
  const auto found = movie_.root.labels.find(label);
  if (found == movie_.root.labels.end()) return false;
  GotoFrame(found->second);
  return true;
}

Rgba Player::BackgroundColor() const {
  if (backgroundOverride_) return *backgroundOverride_;
  return movie_.backgroundColor.value_or(Rgba{255, 255, 255, 255});
}

void Player::Render(const RenderTarget& target, Quality quality) const {
  Render(target, quality, ShowAllTransform(StageRect(), target.width, target.height));
}

void Player::Render(const RenderTarget& target, Quality quality, const Matrix& view) const {
  RenderOptions options;
  options.quality = quality;
  options.view = view;
  options.background = BackgroundColor();
  options.bitmaps = &movie_.bitmaps;
  RenderStage(runtime_.Objects(), target, options, scratch_);
}

}  // namespace swf
