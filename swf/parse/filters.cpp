#include "swf/parse/filters.h"

#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

// The fields that end the shadow, glow, bevel and gradient filters: blur,
// angle and distance (glows store neither), strength, then one flags byte of
// inner, knockout, composite source and, on bevels and gradient filters, on
// top with 4 bits of passes instead of 5.
template <typename F>
void ReadShadowTail(BitReader& reader, F& f) {
  f.blurX = reader.Fixed16();
  f.blurY = reader.Fixed16();
  if constexpr (requires { f.angle; }) {
    f.angle = reader.Fixed16();
    f.distance = reader.Fixed16();
  }
  f.strength = reader.Fixed8();
  const uint8_t flags = reader.U8();
  f.inner = (flags & 0x80) != 0;
  f.knockout = (flags & 0x40) != 0;
  f.compositeSource = (flags & 0x20) != 0;
  if constexpr (requires { f.onTop; }) {
    f.onTop = (flags & 0x10) != 0;
    f.passes = static_cast<uint8_t>(flags & 0x0F);
  } else {
    f.passes = static_cast<uint8_t>(flags & 0x1F);
  }
}

DropShadowFilter ReadDropShadow(BitReader& reader) {
  DropShadowFilter f;
  f.color = ReadRgba(reader);
  ReadShadowTail(reader, f);
  return f;
}

BlurFilter ReadBlur(BitReader& reader) {
  BlurFilter f;
  f.blurX = reader.Fixed16();
  f.blurY = reader.Fixed16();
  f.passes = reader.U8() >> 3;
  return f;
}

GlowFilter ReadGlow(BitReader& reader) {
  GlowFilter f;
  f.color = ReadRgba(reader);
  ReadShadowTail(reader, f);
  return f;
}

BevelFilter ReadBevel(BitReader& reader) {
  BevelFilter f;
  f.highlightColor = ReadRgba(reader);
  f.shadowColor = ReadRgba(reader);
  ReadShadowTail(reader, f);
  return f;
}

GradientFilter ReadGradientFilter(BitReader& reader, bool bevel) {
  GradientFilter f;
  f.bevel = bevel;
  const unsigned count = reader.U8();  // at most 255 colours, bounded by the tag's bytes as they are read
  for (unsigned i = 0; i < count; ++i) f.colors.push_back(ReadRgba(reader));
  for (unsigned i = 0; i < count; ++i) f.ratios.push_back(reader.U8());
  ReadShadowTail(reader, f);
  return f;
}

ConvolutionFilter ReadConvolution(BitReader& reader) {
  ConvolutionFilter f;
  f.columns = reader.U8();
  f.rows = reader.U8();
  f.divisor = reader.Float();
  f.bias = reader.Float();
  const size_t cells = size_t{f.columns} * f.rows;
  if (cells * 4 > reader.Remaining()) {
    throw ParseError("convolution matrix of " + std::to_string(cells) + " cells does not fit its tag at offset " +
                     std::to_string(reader.AbsoluteOffset()));
  }
  f.matrix.reserve(cells);
  for (size_t i = 0; i < cells; ++i) f.matrix.push_back(reader.Float());
  f.defaultColor = ReadRgba(reader);
  const uint8_t flags = reader.U8();
  f.clamp = (flags & 0x02) != 0;
  f.preserveAlpha = (flags & 0x01) != 0;
  return f;
}

ColorMatrixFilter ReadColorMatrix(BitReader& reader) {
  ColorMatrixFilter f;
  for (float& value : f.matrix) value = reader.Float();
  return f;
}

Filter ReadFilter(BitReader& reader) {
  const uint8_t id = reader.U8();
  switch (id) {
    case filter_id::kDropShadow: return ReadDropShadow(reader);
    case filter_id::kBlur: return ReadBlur(reader);
    case filter_id::kGlow: return ReadGlow(reader);
    case filter_id::kBevel: return ReadBevel(reader);
    case filter_id::kGradientGlow: return ReadGradientFilter(reader, false);
    case filter_id::kConvolution: return ReadConvolution(reader);
    case filter_id::kColorMatrix: return ReadColorMatrix(reader);
    case filter_id::kGradientBevel: return ReadGradientFilter(reader, true);
    default:
      throw ParseError("unknown filter " + std::to_string(id) + " at offset " +
                       std::to_string(reader.AbsoluteOffset() - 1));
  }
}

}  // namespace

std::vector<Filter> ReadFilterList(BitReader& reader) {
  const unsigned count = reader.U8();  // at most 255
  std::vector<Filter> filters;
  for (unsigned i = 0; i < count; ++i) filters.push_back(ReadFilter(reader));
  return filters;
}

void SkipFilterList(BitReader& reader) { ReadFilterList(reader); }

BlendMode ToBlendMode(uint8_t stored) {
  if (stored < static_cast<uint8_t>(BlendMode::kNormal) || stored > static_cast<uint8_t>(BlendMode::kHardLight)) {
    return BlendMode::kNormal;
  }
  return static_cast<BlendMode>(stored);
}

}  // namespace swf
