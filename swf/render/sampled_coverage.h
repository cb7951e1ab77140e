#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "swf/parse/types.h"

namespace swf {

// Where a high-quality stroke looks at a pixel: the centres of its four
// quarters, in pixels from its top-left corner.
inline constexpr Point kStrokeSamplePoints[4] = {{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}};

// High-quality strokes cover pixels by quarters: a pixel counts which of the
// four sample points kStrokeSamplePoints lie inside the stroke's outline, by
// the non-zero rule. An edge through the middle of a pixel thus gives exactly
// half its colour, wherever inside that half the edge runs.
class SampledCoverage {
 public:
  // Calls paint(y, x0, x1, samples) for runs [x0, x1) of row y whose pixels
  // have the same number (1 .. 4) of samples inside `contours`; each contour
  // is closed from its last point to its first. Only pixels of a width x
  // height target are reported. `counts` is scratch space kept by the caller.
  static void Render(const std::vector<std::vector<Point>>& contours, int width, int height,
                     std::vector<uint8_t>& counts,
                     const std::function<void(int y, int x0, int x1, int samples)>& paint);
};

// AGG's cover value for a pixel with `samples` of its four samples covered:
// blending a colour with it gives colour * samples / 4 over the rest.
inline unsigned CoverOfSamples(int samples) { return samples >= 4 ? 255u : static_cast<unsigned>(samples) * 64u; }

}  // namespace swf
