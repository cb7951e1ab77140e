#pragma once

// Helpers shared by the tests of records kept as data.
#include <cstring>
#include <string>
#include <vector>

#include "swf/parse/movie.h"
#include "swf_builder.h"

namespace swftest {

inline void Fixed(BitWriter& w, double value) { w.U32(static_cast<uint32_t>(static_cast<int32_t>(value * 65536))); }
inline void Fixed8(BitWriter& w, double value) { w.U16(static_cast<uint16_t>(static_cast<int16_t>(value * 256))); }
inline void Float(BitWriter& w, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  w.U32(bits);
}

// A warning of the movie names the tag with this code.
inline bool HasWarning(const swf::ParsedMovie& movie, uint16_t code) {
  const std::string prefix = "tag " + std::to_string(code) + " ";
  for (const std::string& warning : movie.warnings) {
    if (warning.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// A one-frame movie of `tags`.
inline swf::ParsedMovie MovieOf(std::vector<Bytes> tags, uint8_t version = 10) {
  tags.push_back(ShowFrame());
  return swf::ParseMovie(Movie(tags, Signature::kFws, version));
}

inline Bytes BytesOf(std::span<const uint8_t> span) { return Bytes(span.begin(), span.end()); }

}  // namespace swftest
