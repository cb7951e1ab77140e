#include "swf/snapshot.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace swf {
namespace {

int StageSide(double pixels) { return static_cast<int>(std::floor(pixels)); }

}  // namespace

Snapshot TakeSnapshot(Player& player, const SnapshotOptions& options) {
  if (options.frames < 1) throw std::invalid_argument("the number of frames must be at least 1");
  int width = options.width;
  int height = options.height;
  const double stageWidth = player.StageWidth();
  const double stageHeight = player.StageHeight();
  const bool stageSize = width <= 0 && height <= 0;
  if (stageSize) {
    width = StageSide(stageWidth);
    height = StageSide(stageHeight);
    if (width < 1 || height < 1) {
      throw std::invalid_argument("the movie's stage is smaller than a pixel; give the picture size");
    }
  } else if (height <= 0) {
    height = stageWidth > 0 ? static_cast<int>(std::lround(width * stageHeight / stageWidth)) : width;
  } else if (width <= 0) {
    width = stageHeight > 0 ? static_cast<int>(std::lround(height * stageWidth / stageHeight)) : height;
  }
  if (width < 1 || height < 1 || width > kMaxSnapshotSide || height > kMaxSnapshotSide ||
      static_cast<int64_t>(width) * height > kMaxSnapshotPixels) {
    throw std::invalid_argument("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                                " is out of range (1 to " + std::to_string(kMaxSnapshotSide) + " pixels a side)");
  }
  for (int i = 1; i < options.frames; ++i) player.Tick();

  Snapshot snapshot;
  snapshot.width = width;
  snapshot.height = height;
  snapshot.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  RenderTarget target{snapshot.rgba.data(), width, height, width * 4, PixelFormat::kRgba32};
  if (stageSize) {
    // The stage at its own size: a fractional stage is cut at its last whole
    // pixel, not squeezed into the picture.
    const Rect& stage = player.StageRect();
    const double perTwip = 1 / kTwipsPerPixel;
    player.Render(target, options.quality, Matrix{perTwip, 0, 0, perTwip, -stage.xMin * perTwip, -stage.yMin * perTwip});
  } else {
    player.Render(target, options.quality);
  }
  return snapshot;
}

}  // namespace swf
