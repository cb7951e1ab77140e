#pragma once

// Sound fixtures made in code: tones, and the FLV container that
// carries ADPCM packets to the independent decoder.
#include <cstdint>
#include <span>
#include <vector>

namespace sound_testing {

// Interleaved 16-bit tones at half scale, a different pitch per channel,
// with a short burst of noise so that every code size and step gets used.
std::vector<int16_t> MakeTones(int sampleRate, int channels, double seconds);

// One audio tag per payload; `flags` is the tag's first byte (format, rate,
// size, channels bits).
std::vector<uint8_t> WrapInFlv(uint8_t flags, int sampleRate,
                               const std::vector<std::vector<uint8_t>>& payloads, std::span<const int> samplesPerPayload);
// The audio payloads of a container written that way or by ffmpeg.
std::vector<std::vector<uint8_t>> AudioPayloadsOfFlv(std::span<const uint8_t> flv);

// Random bytes from a fixed seed.
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed);

}  // namespace sound_testing
