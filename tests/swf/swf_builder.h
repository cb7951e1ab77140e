#pragma once

// A small writer of SWF bytes for tests: fixtures are built in code, field by
// field, so that each test shows exactly what the file holds.
#include <cstdint>
#include <string>
#include <vector>

#include "swf/parse/color_transform.h"
#include "swf/parse/matrix.h"
#include "swf/parse/types.h"

namespace swftest {

using Bytes = std::vector<uint8_t>;

// Writes little-endian numbers and MSB-first bit fields; byte writes pad the
// bit field first, as the format does.
class BitWriter {
 public:
  void UB(uint32_t value, unsigned bits);
  void SB(int32_t value, unsigned bits) { UB(static_cast<uint32_t>(value), bits); }
  void Align();
  void U8(uint8_t value);
  void U16(uint16_t value);
  void U32(uint32_t value);
  void Append(const Bytes& bytes);
  void String(const std::string& text);
  void Rect(const swf::Rect& rect);
  void Matrix(const swf::Matrix& matrix);
  void Rgb(swf::Rgba color);
  void Rgba(swf::Rgba color);
  void ColorTransform(const swf::ColorTransform& cx, bool withAlpha);
  Bytes Take();

 private:
  Bytes bytes_;
  unsigned bitsUsed_ = 0;  // bits used in the last byte, 0 = aligned
};

// Bits needed to hold `value` as a signed / unsigned field.
unsigned SignedBits(int32_t value);
unsigned UnsignedBits(uint32_t value);

// kZws writes the LZMA end marker, kZwsNoEndMarker leaves it out (both occur).
enum class Signature { kFws, kCws, kZws, kZwsNoEndMarker };

// One tag: header (short or long form) and body.
Bytes Tag(uint16_t code, const Bytes& body, bool forceLong = false);

// zlib stream of `data`.
Bytes Deflate(const Bytes& data);

// A complete file around the tag stream (the End tag is appended).
Bytes Movie(const std::vector<Bytes>& tags, Signature signature = Signature::kFws, uint8_t version = 10,
            swf::Rect stage = {0, 4000, 0, 3000}, uint16_t frameRate = 24 << 8, uint16_t frameCount = 1);

// A shape's SHAPEWITHSTYLE written record by record.
class ShapeWriter {
 public:
  explicit ShapeWriter(int shapeVersion) : version_(shapeVersion) {}
  ShapeWriter& Solid(swf::Rgba color);
  ShapeWriter& Line(uint16_t width, swf::Rgba color);
  // Starts the records; style arrays are complete by now.
  ShapeWriter& BeginRecords();
  // StyleChangeRecord; negative values leave a field out.
  ShapeWriter& Change(int fill0, int fill1, int line, bool move = false, int32_t x = 0, int32_t y = 0);
  ShapeWriter& NewStyles(const std::vector<swf::Rgba>& fills, int fill0, int fill1);
  ShapeWriter& LineTo(int32_t dx, int32_t dy);
  ShapeWriter& CurveTo(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady);
  Bytes End();

 private:
  void WriteStyleArrays();
  int version_;
  std::vector<swf::Rgba> fills_;
  std::vector<std::pair<uint16_t, swf::Rgba>> lines_;
  BitWriter out_;
  unsigned fillBits_ = 0;
  unsigned lineBits_ = 0;
};

// DefineShape(version) body: id, bounds, (v4: edge bounds and flags), shape.
Bytes DefineShape(int shapeVersion, uint16_t id, swf::Rect bounds, const Bytes& shapeWithStyle);
// A square of `size` twips at the origin filled with `color` (DefineShape3).
Bytes SquareShapeTag(uint16_t id, int32_t size, swf::Rgba color);

struct Place {
  uint16_t depth = 1;
  bool move = false;
  int characterId = -1;
  const swf::Matrix* matrix = nullptr;
  const swf::ColorTransform* colorTransform = nullptr;
  int ratio = -1;
  std::string name = {};
  uint16_t clipDepth = 0;  // a mask of the depths up to this one; 0: none
};
Bytes PlaceObject2(const Place& place);
Bytes RemoveObject2(uint16_t depth);
Bytes ShowFrame();
Bytes DefineSprite(uint16_t id, uint16_t frameCount, const std::vector<Bytes>& tags);

}  // namespace swftest
