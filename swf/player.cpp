#include "swf/player.h"

#include "swf/render/renderer.h"

namespace swf {
namespace {

// Movies that declare rate 0 still play; this is the fallback rate.
constexpr double kFallbackFrameRate = 12.0;

}  // namespace

Player::Player(std::span<const uint8_t> file) : movie_(ParseMovie(file)), root_(movie_, movie_.root) {}

double Player::StageWidth() const { return movie_.header.frameSize.Width() / kTwipsPerPixel; }
double Player::StageHeight() const { return movie_.header.frameSize.Height() / kTwipsPerPixel; }

double Player::FrameInterval() const {
  const double rate = FrameRate() > 0 ? FrameRate() : kFallbackFrameRate;
  return 1.0 / rate;
}

bool Player::GotoLabel(const std::string& label) {
  const auto found = movie_.root.labels.find(label);
  if (found == movie_.root.labels.end()) return false;
  root_.GotoFrame(found->second);
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
  RenderDisplayList(root_.List(), target, options, scratch_);
}

}  // namespace swf
