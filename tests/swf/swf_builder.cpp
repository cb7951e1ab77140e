#include "swf_builder.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace swftest {

void BitWriter::UB(uint32_t value, unsigned bits) {
  for (unsigned i = bits; i-- > 0;) {
    if (bitsUsed_ == 0) bytes_.push_back(0);
    if ((value >> i) & 1u) bytes_.back() |= static_cast<uint8_t>(0x80u >> bitsUsed_);
    bitsUsed_ = (bitsUsed_ + 1) % 8;
  }
}

void BitWriter::Align() { bitsUsed_ = 0; }

void BitWriter::U8(uint8_t value) {
  Align();
  bytes_.push_back(value);
}

void BitWriter::U16(uint16_t value) {
  U8(static_cast<uint8_t>(value));
  U8(static_cast<uint8_t>(value >> 8));
}

void BitWriter::U32(uint32_t value) {
  U16(static_cast<uint16_t>(value));
  U16(static_cast<uint16_t>(value >> 16));
}

void BitWriter::Append(const Bytes& bytes) {
  Align();
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void BitWriter::String(const std::string& text) {
  Append(Bytes(text.begin(), text.end()));
  U8(0);
}

unsigned SignedBits(int32_t value) {
  unsigned bits = 1;
  while (bits < 32 && (value < -(int64_t{1} << (bits - 1)) || value >= (int64_t{1} << (bits - 1)))) ++bits;
  return bits;
}

unsigned UnsignedBits(uint32_t value) {
  unsigned bits = 0;
  while (bits < 32 && (value >> bits) != 0) ++bits;
  return bits;
}

void BitWriter::Rect(const swf::Rect& r) {
  Align();
  unsigned bits = 1;
  for (int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) bits = std::max(bits, SignedBits(v));
  UB(bits, 5);
  for (int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) SB(v, bits);
  Align();
}

void BitWriter::Matrix(const swf::Matrix& m) {
  Align();
  auto fixed = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
  const bool hasScale = m.a != 1 || m.d != 1;
  UB(hasScale, 1);
  if (hasScale) {
    const unsigned bits = std::max(SignedBits(fixed(m.a)), SignedBits(fixed(m.d)));
    UB(bits, 5);
    SB(fixed(m.a), bits);
    SB(fixed(m.d), bits);
  }
  const bool hasRotate = m.b != 0 || m.c != 0;
  UB(hasRotate, 1);
  if (hasRotate) {
    const unsigned bits = std::max(SignedBits(fixed(m.b)), SignedBits(fixed(m.c)));
    UB(bits, 5);
    SB(fixed(m.b), bits);
    SB(fixed(m.c), bits);
  }
  const auto tx = static_cast<int32_t>(m.tx);
  const auto ty = static_cast<int32_t>(m.ty);
  const unsigned bits = (tx == 0 && ty == 0) ? 0 : std::max(SignedBits(tx), SignedBits(ty));
  UB(bits, 5);
  SB(tx, bits);
  SB(ty, bits);
  Align();
}

void BitWriter::Rgb(swf::Rgba c) {
  U8(c.r);
  U8(c.g);
  U8(c.b);
}

void BitWriter::Rgba(swf::Rgba c) {
  Rgb(c);
  U8(c.a);
}

void BitWriter::ColorTransform(const swf::ColorTransform& cx, bool withAlpha) {
  Align();
  UB(1, 1);  // add terms
  UB(1, 1);  // mult terms
  const int32_t values[] = {cx.redMult, cx.greenMult, cx.blueMult, cx.alphaMult,
                            cx.redAdd,  cx.greenAdd,  cx.blueAdd,  cx.alphaAdd};
  unsigned bits = 1;
  for (int32_t v : values) bits = std::max(bits, SignedBits(v));
  UB(bits, 4);
  for (int i = 0; i < 4; ++i) {
    if (i < 3 || withAlpha) SB(values[i], bits);
  }
  for (int i = 4; i < 8; ++i) {
    if (i < 7 || withAlpha) SB(values[i], bits);
  }
  Align();
}

Bytes BitWriter::Take() {
  Align();
  return std::move(bytes_);
}

Bytes Tag(uint16_t code, const Bytes& body, bool forceLong) {
  BitWriter w;
  if (body.size() < 0x3F && !forceLong) {
    w.U16(static_cast<uint16_t>((code << 6) | body.size()));
  } else {
    w.U16(static_cast<uint16_t>((code << 6) | 0x3F));
    w.U32(static_cast<uint32_t>(body.size()));
  }
  w.Append(body);
  return w.Take();
}

Bytes Deflate(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(size);
  return out;
}

namespace {

// LZMA-alone output is: properties (5), size (8), data. The movie wants the
// properties and the data only.
Bytes LzmaAlone(const Bytes& data) {
  lzma_stream stream = LZMA_STREAM_INIT;
  lzma_options_lzma options;
  lzma_lzma_preset(&options, 6);
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK) throw std::runtime_error("lzma_alone_encoder failed");
  Bytes out(data.size() + 1024);
  stream.next_in = data.data();
  stream.avail_in = data.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
  out.resize(out.size() - stream.avail_out);
  lzma_end(&stream);
  if (result != LZMA_STREAM_END) throw std::runtime_error("lzma encoding failed");
  return out;
}

// Raw LZMA1 without the end marker, and its 5 property bytes.
std::pair<Bytes, Bytes> LzmaRawWithoutEndMarker(const Bytes& data) {
  lzma_options_lzma options;
  lzma_lzma_preset(&options, 6);
  options.ext_flags = 0;  // no end marker
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_raw_encoder(&stream, filters) != LZMA_OK) throw std::runtime_error("lzma_raw_encoder failed");
  Bytes out(data.size() + 1024);
  stream.next_in = data.data();
  stream.avail_in = data.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
  out.resize(out.size() - stream.avail_out);
  lzma_end(&stream);
  if (result != LZMA_STREAM_END) throw std::runtime_error("lzma encoding failed");
  // Properties: (pb * 5 + lp) * 9 + lc, then the dictionary size.
  Bytes properties = {static_cast<uint8_t>((options.pb * 5 + options.lp) * 9 + options.lc)};
  for (int i = 0; i < 4; ++i) properties.push_back(static_cast<uint8_t>(options.dict_size >> (8 * i)));
  return {out, properties};
}

}  // namespace

Bytes Movie(const std::vector<Bytes>& tags, Signature signature, uint8_t version, swf::Rect stage, uint16_t frameRate,
            uint16_t frameCount) {
  BitWriter body;
  body.Rect(stage);
  body.U16(frameRate);
  body.U16(frameCount);
  for (const Bytes& tag : tags) body.Append(tag);
  body.Append(Tag(0, {}));
  const Bytes plain = body.Take();

  BitWriter file;
  const char first = signature == Signature::kFws ? 'F' : signature == Signature::kCws ? 'C' : 'Z';
  file.U8(static_cast<uint8_t>(first));
  file.U8('W');
  file.U8('S');
  file.U8(version);
  file.U32(static_cast<uint32_t>(plain.size() + 8));
  if (signature == Signature::kFws) {
    file.Append(plain);
  } else if (signature == Signature::kCws) {
    file.Append(Deflate(plain));
  } else if (signature == Signature::kZwsNoEndMarker) {
    const auto [data, properties] = LzmaRawWithoutEndMarker(plain);
    file.U32(static_cast<uint32_t>(data.size()));
    file.Append(properties);
    file.Append(data);
  } else {
    const Bytes alone = LzmaAlone(plain);
    const size_t dataSize = alone.size() - 13;
    file.U32(static_cast<uint32_t>(dataSize));
    file.Append(Bytes(alone.begin(), alone.begin() + 5));
    file.Append(Bytes(alone.begin() + 13, alone.end()));
  }
  return file.Take();
}

ShapeWriter& ShapeWriter::Solid(swf::Rgba color) {
  fills_.push_back(color);
  return *this;
}

ShapeWriter& ShapeWriter::Line(uint16_t width, swf::Rgba color) {
  lines_.emplace_back(width, color);
  return *this;
}

void ShapeWriter::WriteStyleArrays() {
  out_.U8(static_cast<uint8_t>(fills_.size()));
  for (const auto& color : fills_) {
    out_.U8(0x00);
    version_ >= 3 ? out_.Rgba(color) : out_.Rgb(color);
  }
  out_.U8(static_cast<uint8_t>(lines_.size()));
  for (const auto& [width, color] : lines_) {
    out_.U16(width);
    if (version_ >= 4) {
      out_.U8(0);  // round caps, round joins, no fill, scaling
      out_.U8(0);
      out_.Rgba(color);
    } else {
      version_ >= 3 ? out_.Rgba(color) : out_.Rgb(color);
    }
  }
  fillBits_ = UnsignedBits(static_cast<uint32_t>(fills_.size()));
  lineBits_ = UnsignedBits(static_cast<uint32_t>(lines_.size()));
  out_.UB(fillBits_, 4);
  out_.UB(lineBits_, 4);
}

ShapeWriter& ShapeWriter::BeginRecords() {
  WriteStyleArrays();
  return *this;
}

ShapeWriter& ShapeWriter::Change(int fill0, int fill1, int line, bool move, int32_t x, int32_t y) {
  out_.UB(0, 1);
  out_.UB(0, 1);  // no new styles
  out_.UB(line >= 0, 1);
  out_.UB(fill1 >= 0, 1);
  out_.UB(fill0 >= 0, 1);
  out_.UB(move, 1);
  if (move) {
    const unsigned bits = std::max(SignedBits(x), SignedBits(y));
    out_.UB(bits, 5);
    out_.SB(x, bits);
    out_.SB(y, bits);
  }
  if (fill0 >= 0) out_.UB(static_cast<uint32_t>(fill0), fillBits_);
  if (fill1 >= 0) out_.UB(static_cast<uint32_t>(fill1), fillBits_);
  if (line >= 0) out_.UB(static_cast<uint32_t>(line), lineBits_);
  return *this;
}

ShapeWriter& ShapeWriter::NewStyles(const std::vector<swf::Rgba>& fills, int fill0, int fill1) {
  out_.UB(0, 1);
  out_.UB(1, 1);  // new styles
  out_.UB(0, 1);
  out_.UB(fill1 >= 0, 1);
  out_.UB(fill0 >= 0, 1);
  out_.UB(0, 1);
  // The indices come before the new arrays (so they are written with the
  // old width) but refer to the new arrays.
  if (fill0 >= 0) out_.UB(static_cast<uint32_t>(fill0), fillBits_);
  if (fill1 >= 0) out_.UB(static_cast<uint32_t>(fill1), fillBits_);
  fills_ = fills;
  lines_.clear();
  WriteStyleArrays();
  return *this;
}

ShapeWriter& ShapeWriter::LineTo(int32_t dx, int32_t dy) {
  const unsigned bits = std::max({SignedBits(dx), SignedBits(dy), 2u});
  out_.UB(1, 1);
  out_.UB(1, 1);
  out_.UB(bits - 2, 4);
  out_.UB(1, 1);  // general line
  out_.SB(dx, bits);
  out_.SB(dy, bits);
  return *this;
}

ShapeWriter& ShapeWriter::CurveTo(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
  const unsigned bits = std::max({SignedBits(cdx), SignedBits(cdy), SignedBits(adx), SignedBits(ady), 2u});
  out_.UB(1, 1);
  out_.UB(0, 1);
  out_.UB(bits - 2, 4);
  out_.SB(cdx, bits);
  out_.SB(cdy, bits);
  out_.SB(adx, bits);
  out_.SB(ady, bits);
  return *this;
}

Bytes ShapeWriter::End() {
  out_.UB(0, 6);
  return out_.Take();
}

Bytes DefineShape(int shapeVersion, uint16_t id, swf::Rect bounds, const Bytes& shapeWithStyle) {
  BitWriter w;
  w.U16(id);
  w.Rect(bounds);
  if (shapeVersion >= 4) {
    w.Rect(bounds);
    w.U8(0);
  }
  w.Append(shapeWithStyle);
  const uint16_t code = shapeVersion == 1 ? 2 : shapeVersion == 2 ? 22 : shapeVersion == 3 ? 32 : 83;
  return Tag(code, w.Take());
}

Bytes SquareShapeTag(uint16_t id, int32_t size, swf::Rgba color) {
  const Bytes shape = ShapeWriter(3)
                          .Solid(color)
                          .BeginRecords()
                          .Change(-1, 1, -1, true, 0, 0)
                          .LineTo(size, 0)
                          .LineTo(0, size)
                          .LineTo(-size, 0)
                          .LineTo(0, -size)
                          .End();
  return DefineShape(3, id, {0, size, 0, size}, shape);
}

Bytes PlaceObject2(const Place& place) {
  BitWriter w;
  uint8_t flags = 0;
  if (place.clipDepth != 0) flags |= 0x40;
  if (!place.name.empty()) flags |= 0x20;
  if (place.ratio >= 0) flags |= 0x10;
  if (place.colorTransform) flags |= 0x08;
  if (place.matrix) flags |= 0x04;
  if (place.characterId >= 0) flags |= 0x02;
  if (place.move) flags |= 0x01;
  w.U8(flags);
  w.U16(place.depth);
  if (place.characterId >= 0) w.U16(static_cast<uint16_t>(place.characterId));
  if (place.matrix) w.Matrix(*place.matrix);
  if (place.colorTransform) w.ColorTransform(*place.colorTransform, true);
  if (place.ratio >= 0) w.U16(static_cast<uint16_t>(place.ratio));
  if (!place.name.empty()) w.String(place.name);
  if (place.clipDepth != 0) w.U16(place.clipDepth);
  return Tag(26, w.Take());
}

Bytes RemoveObject2(uint16_t depth) {
  BitWriter w;
  w.U16(depth);
  return Tag(28, w.Take());
}

Bytes ShowFrame() { return Tag(1, {}); }

Bytes DefineSprite(uint16_t id, uint16_t frameCount, const std::vector<Bytes>& tags) {
  BitWriter w;
  w.U16(id);
  w.U16(frameCount);
  for (const Bytes& tag : tags) w.Append(tag);
  w.Append(Tag(0, {}));
  return Tag(39, w.Take());
}

}  // namespace swftest
