#include "swf/player.h"

#include <algorithm>

#include "swf/render/renderer.h"

namespace swf {
namespace {

// Movies that declare rate 0 still play; this is the fallback rate.
constexpr double kFallbackFrameRate = 12.0;

}  // namespace

Player::Player(std::span<const uint8_t> file, HostServices* host)
    : movie_(ParseMovie(file)), runtime_(movie_, host) {}

double Player::StageWidth() const { return movie_.header.frameSize.Width() / kTwipsPerPixel; }
double Player::StageHeight() const { return movie_.header.frameSize.Height() / kTwipsPerPixel; }

double Player::FrameInterval() const {
  const double rate = FrameRate() > 0 ? FrameRate() : kFallbackFrameRate;
  return 1.0 / rate;
}

size_t Player::Advance(double elapsedSeconds) {
  if (!(elapsedSeconds > 0)) return 0;  // also NaN
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
    runtime_.Tick();
    ++frames;
  }
  return frames;
}

double Player::TimeToNextFrame() const { return std::max(0.0, FrameInterval() - sinceLastFrame_); }

void Player::HandleInput(const InputEvent& event) {
  // Deliberately without effect for now: see the declaration.
  (void)event;
}

void Player::PullAudio(std::span<int16_t> interleavedStereo) {
  std::fill(interleavedStereo.begin(), interleavedStereo.end(), int16_t{0});
}

bool Player::GotoLabel(const std::string& label) {
  const auto found = movie_.root.labels.find(label);
  if (found == movie_.root.labels.end()) return false;
  runtime_.GotoFrame(found->second);
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
