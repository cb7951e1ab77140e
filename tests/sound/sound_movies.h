#pragma once

// Sound tags for movies built in code (with tests/swf's builder).
#include <cstdint>
#include <span>
#include <vector>

#include "../swf/swf_builder.h"

namespace sound_testing {

struct Info {  // SOUNDINFO
  bool stop = false;
  bool noMultiple = false;
  int loops = -1;  // -1: not given
};

// The format byte's fields: format, rate code (0..3), 16-bit, stereo.
uint8_t FormatByte(uint8_t format, int rateCode, bool sixteenBit, bool stereo);

swftest::Bytes DefineSound(uint16_t id, uint8_t formatByte, uint32_t sampleCount, std::span<const uint8_t> data);
swftest::Bytes StartSound(uint16_t id, const Info& info = {});
// SoundStreamHead2 for blocks in `formatByte`'s format.
swftest::Bytes StreamHead(uint8_t formatByte, uint16_t samplesPerBlock, int16_t latencySeek = 0);
swftest::Bytes StreamBlock(std::span<const uint8_t> data);

// Little-endian 16-bit samples.
std::vector<uint8_t> PcmBytes(std::span<const int16_t> samples);

}  // namespace sound_testing
