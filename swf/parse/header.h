#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "swf/parse/types.h"

namespace swf {

enum class Compression { kNone, kZlib, kLzma };

struct Header {
  Compression compression = Compression::kNone;
  uint8_t version = 0;
  uint32_t declaredLength = 0;  // FileLength: uncompressed size including the 8-byte signature block
  Rect frameSize;
  double frameRate = 0;  // frames per second, from 8.8 fixed point
  uint16_t frameCount = 0;
};

// The movie with its body decompressed. `body` starts right after the 8-byte
// signature block; `tagsOffset` is where the tag stream begins inside it.
struct DecodedMovie {
  Header header;
  std::vector<uint8_t> body;
  size_t tagsOffset = 0;
};

// Movies larger than this are refused, whatever their header claims.
inline constexpr size_t kMaxDecodedSize = size_t{256} << 20;

// Checks the signature, decompresses the body (never beyond the declared
// length nor `maxSize`) and reads the frame size, rate and count.
// Throws ParseError with a readable message.
DecodedMovie DecodeMovie(std::span<const uint8_t> file, size_t maxSize = kMaxDecodedSize);

}  // namespace swf
