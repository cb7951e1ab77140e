#pragma once

#include <cstdint>

namespace swf {

// Coordinates in the file are integer twips (1/20 pixel).
using Twips = int32_t;
inline constexpr double kTwipsPerPixel = 20.0;

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;
  bool operator==(const Rgba&) const = default;
};

struct Rect {
  Twips xMin = 0;
  Twips xMax = 0;
  Twips yMin = 0;
  Twips yMax = 0;
  Twips Width() const { return xMax - xMin; }
  Twips Height() const { return yMax - yMin; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

}  // namespace swf
