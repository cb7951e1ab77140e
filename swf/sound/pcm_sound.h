#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// Decoded sound: 16-bit signed samples at the sound's own rate, channels
// interleaved (left, right, left, ...) when there are two.
struct PcmSound {
  int sampleRate = 0;
  int channels = 1;
  std::vector<int16_t> samples;

  // Samples per channel.
  size_t FrameCount() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Ceiling on one decoded sound, in samples (all channels): 64 MiB of PCM, a
// little over six minutes of 44.1 kHz stereo. Long music comes as stream
// blocks, each decoded on its own; an event sound beyond this is cut short.
inline constexpr size_t kMaxDecodedSamples = size_t{32} << 20;

}  // namespace swf
