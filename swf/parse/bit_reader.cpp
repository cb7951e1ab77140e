#include "swf/parse/bit_reader.h"

#include <cstring>

#include "swf/parse/parse_error.h"

namespace swf {

void BitReader::ThrowPastEnd(size_t wanted) const {
  throw ParseError("unexpected end of data at offset " + std::to_string(AbsoluteOffset()) + " (" +
                   std::to_string(wanted) + " more bytes needed, " + std::to_string(Remaining()) +
                   " left)");
}

std::span<const uint8_t> BitReader::Bytes(size_t count) {
  Align();
  if (count > Remaining()) ThrowPastEnd(count);
  auto result = bytes_.subspan(position_, count);
  position_ += count;
  return result;
}

uint8_t BitReader::U8() { return Bytes(1)[0]; }

uint16_t BitReader::U16() {
  auto b = Bytes(2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t BitReader::U32() {
  auto b = Bytes(4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float BitReader::Float() {
  const uint32_t bits = U32();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t BitReader::EncodedU32() {
  uint32_t value = 0;
  for (unsigned i = 0; i < 5; ++i) {
    const uint8_t byte = U8();
    value |= static_cast<uint32_t>(byte & 0x7F) << (7 * i);
    if ((byte & 0x80) == 0) break;
  }
  return value;
}

std::string BitReader::String() {
  Align();
  const auto rest = bytes_.subspan(position_);
  const void* zero = std::memchr(rest.data(), 0, rest.size());
  if (zero == nullptr) {
    throw ParseError("string without terminating zero at offset " + std::to_string(AbsoluteOffset()));
  }
  const size_t length = static_cast<const uint8_t*>(zero) - rest.data();
  std::string result(reinterpret_cast<const char*>(rest.data()), length);
  position_ += length + 1;
  return result;
}

BitReader BitReader::Sub(size_t count) {
  const size_t start = AbsoluteOffset();
  return BitReader(Bytes(count), start);
}

uint32_t BitReader::UB(unsigned bitCount) {
  if (bitCount > 32) throw ParseError("bit field wider than 32 bits at offset " + std::to_string(AbsoluteOffset()));
  uint32_t value = 0;
  for (unsigned i = 0; i < bitCount; ++i) {
    if (bitCount_ == 0) {
      if (AtEnd()) ThrowPastEnd(1);
      bitBuffer_ = bytes_[position_++];
      bitCount_ = 8;
    }
    --bitCount_;
    value = (value << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return value;
}

int32_t BitReader::SB(unsigned bitCount) {
  if (bitCount == 0) return 0;
  const uint32_t raw = UB(bitCount);
  if (bitCount < 32 && (raw & (1u << (bitCount - 1))) != 0) {
    return static_cast<int32_t>(raw | ~((1u << bitCount) - 1));
  }
  return static_cast<int32_t>(raw);
}

}  // namespace swf
