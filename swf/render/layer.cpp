#include "swf/render/layer.h"

#include <algorithm>

namespace swf {

Layer::Layer(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(LayerBytes(width, height)), 0) {}

void CompositeMasked(const Layer& content, const Layer& mask, agg::rendering_buffer& target) {
  const int width = std::min({content.Width(), mask.Width(), static_cast<int>(target.width())});
  const int height = std::min({content.Height(), mask.Height(), static_cast<int>(target.height())});
  for (int y = 0; y < height; ++y) {
    const uint8_t* source = content.Row(y);
    const uint8_t* coverage = mask.Row(y);
    uint8_t* out = target.row_ptr(y);
    for (int x = 0; x < width; ++x, source += 4, coverage += 4, out += 4) {
      const unsigned m = coverage[3];
      if (m == 0 || source[3] == 0) continue;
      // out = source * m + out * (1 - alpha * m), all in 0..255 fixed point.
      const unsigned keep = 255 * 255 - source[3] * m;
      for (int c = 0; c < 4; ++c) {
        out[c] = static_cast<uint8_t>(std::min(255u, (source[c] * m * 255 + out[c] * keep + 255 * 255 / 2) / (255 * 255)));
      }
    }
  }
}

}  // namespace swf
