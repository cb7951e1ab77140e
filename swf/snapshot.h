#pragma once

#include <cstdint>
#include <vector>

#include "swf/player.h"

namespace swf {

// The largest picture a snapshot makes, per side and in pixels overall.
inline constexpr int kMaxSnapshotSide = 16384;
inline constexpr int64_t kMaxSnapshotPixels = int64_t{64} << 20;

struct SnapshotOptions {
  int frames = 1;   // the picture shows the state after this many frames (1 = the first)
  int width = 0;    // 0: the stage width in whole pixels
  int height = 0;   // 0: the stage height in whole pixels (or kept in proportion to a given width)
  Quality quality = Quality::kHigh;
};

struct Snapshot {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel
};

// Runs the player from where it stands for frames - 1 ticks and renders the
// frame then shown. Throws std::invalid_argument for sizes out of range.
Snapshot TakeSnapshot(Player& player, const SnapshotOptions& options);

}  // namespace swf
