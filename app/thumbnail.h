#pragma once
// Pure picture work of the thumbnail capture, kept apart from windows so that
// it is exact and testable.

#include <cstdint>
#include <vector>

namespace app {

inline constexpr int kThumbnailSide = 130;

// Stretches a width × height picture (rows top to bottom) to side × side
// without smoothing: each target pixel takes the source pixel under its
// centre, so pixels are dropped or repeated, never blended, and the result
// is the same on every system.
std::vector<uint32_t> StretchNearest(const uint32_t* source, int width, int height, int side = kThumbnailSide);

}  // namespace app
