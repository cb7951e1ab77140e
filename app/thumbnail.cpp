#include "app/thumbnail.h"

namespace app {

std::vector<uint32_t> StretchNearest(const uint32_t* source, int width, int height, int side) {
  std::vector<uint32_t> target(static_cast<size_t>(side) * side, 0);
  if (!source || width <= 0 || height <= 0) return target;
  for (int y = 0; y < side; ++y) {
    int sy = static_cast<int>(((2LL * y + 1) * height) / (2LL * side));
    const uint32_t* row = source + static_cast<size_t>(sy) * width;
    for (int x = 0; x < side; ++x) {
      int sx = static_cast<int>(((2LL * x + 1) * width) / (2LL * side));
      target[static_cast<size_t>(y) * side + x] = row[sx];
    }
  }
  return target;
}

}  // namespace app
