#include "swf/parse/records.h"

namespace swf {

Rect ReadRect(BitReader& reader) {
  reader.Align();
  const unsigned bits = reader.UB(5);
  Rect rect;
  rect.xMin = reader.SB(bits);
  rect.xMax = reader.SB(bits);
  rect.yMin = reader.SB(bits);
  rect.yMax = reader.SB(bits);
  reader.Align();
  return rect;
}

Matrix ReadMatrix(BitReader& reader) {
  reader.Align();
  Matrix matrix;
  if (reader.Flag()) {
    const unsigned bits = reader.UB(5);
    matrix.a = reader.FB(bits);
    matrix.d = reader.FB(bits);
  }
  if (reader.Flag()) {
    const unsigned bits = reader.UB(5);
    matrix.b = reader.FB(bits);
    matrix.c = reader.FB(bits);
  }
  const unsigned bits = reader.UB(5);
  matrix.tx = reader.SB(bits);
  matrix.ty = reader.SB(bits);
  reader.Align();
  return matrix;
}

Rgba ReadRgb(BitReader& reader) {
  Rgba color;
  color.r = reader.U8();
  color.g = reader.U8();
  color.b = reader.U8();
  return color;
}

Rgba ReadRgba(BitReader& reader) {
  Rgba color = ReadRgb(reader);
  color.a = reader.U8();
  return color;
}

ColorTransform ReadColorTransform(BitReader& reader, bool withAlpha) {
  reader.Align();
  ColorTransform cx;
  const bool hasAdd = reader.Flag();
  const bool hasMult = reader.Flag();
  const unsigned bits = reader.UB(4);
  if (hasMult) {
    cx.redMult = reader.SB(bits);
    cx.greenMult = reader.SB(bits);
    cx.blueMult = reader.SB(bits);
    if (withAlpha) cx.alphaMult = reader.SB(bits);
  }
  if (hasAdd) {
    cx.redAdd = reader.SB(bits);
    cx.greenAdd = reader.SB(bits);
    cx.blueAdd = reader.SB(bits);
    if (withAlpha) cx.alphaAdd = reader.SB(bits);
  }
  reader.Align();
  return cx;
}

}  // namespace swf
