#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace swf {

// Reads the little-endian numbers and MSB-first bit fields of the format from
// a bounded byte range. Every byte-aligned read first drops the partly used
// bit byte, which is how the format pads bit fields. Reading past the end
// throws ParseError naming the absolute offset, so a bad tag fails alone.
class BitReader {
 public:
  // `baseOffset` is where `bytes` starts in the file; used for messages only.
  explicit BitReader(std::span<const uint8_t> bytes, size_t baseOffset = 0)
      : bytes_(bytes), baseOffset_(baseOffset) {}

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int16_t S16() { return static_cast<int16_t>(U16()); }
  int32_t S32() { return static_cast<int32_t>(U32()); }
  double Fixed16() { return S32() / 65536.0; }  // FIXED, 16.16
  double Fixed8() { return S16() / 256.0; }     // FIXED8, 8.8
  float Float();
  uint32_t EncodedU32();
  std::string String();  // up to and without the terminating 0
  std::span<const uint8_t> Bytes(size_t count);
  std::span<const uint8_t> Rest() { return Bytes(Remaining()); }
  void Skip(size_t count) { Bytes(count); }

  // A reader for the next `count` bytes, which this reader skips.
  BitReader Sub(size_t count);

  uint32_t UB(unsigned bitCount);
  int32_t SB(unsigned bitCount);
  double FB(unsigned bitCount) { return SB(bitCount) / 65536.0; }
  bool Flag() { return UB(1) != 0; }
  void Align() { bitCount_ = 0; }

  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }
  size_t AbsoluteOffset() const { return baseOffset_ + position_; }

 private:
  [[noreturn]] void ThrowPastEnd(size_t wanted) const;

  std::span<const uint8_t> bytes_;
  size_t baseOffset_;
  size_t position_ = 0;
  uint32_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
};

}  // namespace swf
