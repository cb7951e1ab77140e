#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// The sound tags' ADPCM: a 2-bit code size (2 to 5 bits a sample), then
// packets of 4096 samples a channel. Each packet starts, per channel, with
// the first sample as it is (16 bits) and a 6-bit step index; every further
// sample is one code a channel, channels interleaved. The last packet may be
// short; a partial sample at the end is left out. Everything is read most
// significant bit first, across byte boundaries.
inline constexpr int kAdpcmPacketSamples = 4096;

// Decoding stops at `maxSamples` samples (all channels).
std::vector<int16_t> DecodeAdpcm(std::span<const uint8_t> data, int channels, size_t maxSamples);

}  // namespace swf
