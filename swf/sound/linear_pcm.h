#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Uncompressed sound data to 16-bit samples. 8-bit data is unsigned
// (128 = silence); 16-bit data is signed little-endian. A trailing partial
// sample or partial stereo pair is left out.
std::vector<int16_t> DecodeLinearPcm(std::span<const uint8_t> data, bool sixteenBit, int channels);

// G.711 companded sound, one byte a sample.
std::vector<int16_t> DecodeALaw(std::span<const uint8_t> data, int channels);
std::vector<int16_t> DecodeMuLaw(std::span<const uint8_t> data, int channels);

int16_t ALawToLinear(uint8_t code);
int16_t MuLawToLinear(uint8_t code);

}  // namespace swf
