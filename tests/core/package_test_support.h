#pragma once

// Reading packages back by the layout alone, independent of the package
// reader under test: the last 8 bytes give U and Z, the block before them
// is inflated with plain zlib.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace testing_support {

inline std::uint32_t Le32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

inline double LeDouble(std::string_view bytes, std::size_t offset) {
  std::uint64_t raw = 0;
  for (int i = 7; i >= 0; --i) raw = (raw << 8) | static_cast<unsigned char>(bytes[offset + i]);
  double value = 0;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

inline std::string InflateWithZlib(std::string_view compressed, std::size_t expectedSize) {
  std::string out(expectedSize + 1, '\0');
  uLongf length = static_cast<uLongf>(out.size());
  const int result = uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                                reinterpret_cast<const Bytef*>(compressed.data()),
                                static_cast<uLong>(compressed.size()));
  if (result != Z_OK) return "<inflate failed: " + std::to_string(result) + ">";
  out.resize(length);
  return out;
}

// The payload trailer: flag, reserved 0, OLE date, directory size.
inline std::string PayloadTrailer(bool releaseFlag, double date, std::uint32_t directorySize) {
  std::string trailer;
  trailer.push_back(releaseFlag ? 1 : 0);
  trailer.push_back(0);
  std::uint64_t raw = 0;
  std::memcpy(&raw, &date, sizeof raw);
  for (int i = 0; i < 8; ++i) trailer.push_back(static_cast<char>((raw >> (8 * i)) & 0xFF));
  for (int i = 0; i < 4; ++i) trailer.push_back(static_cast<char>((directorySize >> (8 * i)) & 0xFF));
  return trailer;
}

inline std::string Le32Bytes(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

}  // namespace testing_support
