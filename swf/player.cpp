#include "swf/player.h"

#include <algorithm>

#include "swf/render/hit_test.h"
#include "swf/render/renderer.h"

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

ObjectHandle Player::ButtonUnder(Point stagePixels) const {
  const Rect& stage = StageRect();
  const Matrix twipsToPixels{1 / kTwipsPerPixel, 0, 0, 1 / kTwipsPerPixel, -stage.xMin / kTwipsPerPixel,
                             -stage.yMin / kTwipsPerPixel};
  return ButtonAt(runtime_.Objects(), movie_, twipsToPixels, stagePixels);
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
      const ObjectHandle hit = ButtonUnder(*mouse_);
      // Buttons answer the left button only; the others still move the mouse.
      const bool left = event.button == MouseButton::kLeft;
      if (event.kind == InputKind::kMouseDown && left) {
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
      buttons_.KeyDown(event.keyCode, event.character);
      break;
    case InputKind::kMouseWheel:
    case InputKind::kKeyUp:
    case InputKind::kTextInput:
    case InputKind::kTextControl:
    case InputKind::kSetClipboardText:
    case InputKind::kFocusIn:
      return;  // for key listeners and text fields
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
