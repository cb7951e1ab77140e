#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/types.h"

namespace swf {

// The filters of PlaceObject3 and of DefineButton2 records (FILTERLIST), kept
// as they are stored: blur sizes in pixels (16.16 in the file), angles in
// radians, distances in pixels, strengths as 8.8 values. None is drawn yet.

struct DropShadowFilter {
  Rgba color;
  double blurX = 0;
  double blurY = 0;
  double angle = 0;
  double distance = 0;
  double strength = 0;
  bool inner = false;
  bool knockout = false;
  bool compositeSource = false;
  uint8_t passes = 0;  // 5 bits
  bool operator==(const DropShadowFilter&) const = default;
};

struct BlurFilter {
  double blurX = 0;
  double blurY = 0;
  uint8_t passes = 0;  // 5 bits
  bool operator==(const BlurFilter&) const = default;
};

struct GlowFilter {
  Rgba color;
  double blurX = 0;
  double blurY = 0;
  double strength = 0;
  bool inner = false;
  bool knockout = false;
  bool compositeSource = false;
  uint8_t passes = 0;  // 5 bits
  bool operator==(const GlowFilter&) const = default;
};

struct BevelFilter {
  // In file order: the first colour is the highlight, the second the shadow
  // (as the reference pictures of bevelled objects show them).
  Rgba highlightColor;
  Rgba shadowColor;
  double blurX = 0;
  double blurY = 0;
  double angle = 0;
  double distance = 0;
  double strength = 0;
  bool inner = false;
  bool knockout = false;
  bool compositeSource = false;
  bool onTop = false;
  uint8_t passes = 0;  // 4 bits
  bool operator==(const BevelFilter&) const = default;
};

// Gradient glow and gradient bevel share one layout; `bevel` tells them apart.
struct GradientFilter {
  bool bevel = false;
  std::vector<Rgba> colors;
  std::vector<uint8_t> ratios;  // as many as colours
  double blurX = 0;
  double blurY = 0;
  double angle = 0;
  double distance = 0;
  double strength = 0;
  bool inner = false;
  bool knockout = false;
  bool compositeSource = false;
  bool onTop = false;
  uint8_t passes = 0;  // 4 bits
  bool operator==(const GradientFilter&) const = default;
};

struct ConvolutionFilter {
  uint8_t columns = 0;
  uint8_t rows = 0;
  float divisor = 0;
  float bias = 0;
  std::vector<float> matrix;  // rows x columns, row by row
  Rgba defaultColor;
  bool clamp = false;
  bool preserveAlpha = false;
  bool operator==(const ConvolutionFilter&) const = default;
};

struct ColorMatrixFilter {
  float matrix[20] = {};  // 4 rows (R, G, B, A) of 5; the fifth column is the offset
  bool operator==(const ColorMatrixFilter&) const = default;
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter, GradientFilter, ConvolutionFilter,
                            ColorMatrixFilter>;

// The FilterID of the file for each kind (gradient filters: 4 glow, 7 bevel).
namespace filter_id {
inline constexpr uint8_t kDropShadow = 0;
inline constexpr uint8_t kBlur = 1;
inline constexpr uint8_t kGlow = 2;
inline constexpr uint8_t kBevel = 3;
inline constexpr uint8_t kGradientGlow = 4;
inline constexpr uint8_t kConvolution = 5;
inline constexpr uint8_t kColorMatrix = 6;
inline constexpr uint8_t kGradientBevel = 7;
}  // namespace filter_id

// Reads a FILTERLIST; an unknown filter id throws ParseError (its size is not
// known, so nothing after it can be read).
std::vector<Filter> ReadFilterList(BitReader& reader);

// Skips a FILTERLIST.
void SkipFilterList(BitReader& reader);

// BlendMode byte of PlaceObject3 and button records. Values past the last
// known mode draw as normal.
enum class BlendMode : uint8_t {
  kNormal = 1,
  kLayer = 2,
  kMultiply = 3,
  kScreen = 4,
  kLighten = 5,
  kDarken = 6,
  kDifference = 7,
  kAdd = 8,
  kSubtract = 9,
  kInvert = 10,
  kAlpha = 11,
  kErase = 12,
  kOverlay = 13,
  kHardLight = 14,
};

// 0 and the reserved values 15-255 mean normal.
BlendMode ToBlendMode(uint8_t stored);

}  // namespace swf
