#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Inflate one zlib stream, producing at most `limit` bytes (extra output is
// dropped). Data that ends early yields what was decoded; corrupt data before
// any output throws ParseError.
std::vector<uint8_t> InflateLimited(std::span<const uint8_t> input, size_t limit);

// Decode raw LZMA1 data given its 5 property bytes, producing at most `limit`
// bytes; works whether or not the data ends with an end marker.
std::vector<uint8_t> LzmaDecodeLimited(std::span<const uint8_t> properties, std::span<const uint8_t> input,
                                       size_t limit);

}  // namespace swf
