#include "sound/sound_fixtures.h"

#include <cmath>
#include <numbers>
#include <random>

namespace sound_testing {

std::vector<int16_t> MakeTones(int sampleRate, int channels, double seconds) {
  const size_t frames = static_cast<size_t>(sampleRate * seconds);
  std::vector<int16_t> samples;
  samples.reserve(frames * static_cast<size_t>(channels));
  std::mt19937 noise(7);
  std::uniform_int_distribution<int> noiseValue(-20000, 20000);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    for (int c = 0; c < channels; ++c) {
      const double pitch = c == 0 ? 440.0 : 660.0;
      double value = 16000 * std::sin(2 * std::numbers::pi * pitch * t);
      if (i % 5000 < 200) value = noiseValue(noise);  // bursts: big steps
      samples.push_back(static_cast<int16_t>(std::lround(value)));
    }
  }
  return samples;
}

namespace {

void Put24(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 16));
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 24));
  Put24(out, value);
}

uint32_t Get24(std::span<const uint8_t> data, size_t at) {
  return static_cast<uint32_t>(data[at] << 16 | data[at + 1] << 8 | data[at + 2]);
}

}  // namespace

std::vector<uint8_t> WrapInFlv(uint8_t flags, int sampleRate,
                               const std::vector<std::vector<uint8_t>>& payloads, std::span<const int> samplesPerPayload) {
  std::vector<uint8_t> out = {'F', 'L', 'V', 1, 0x04};
  Put32(out, 9);
  Put32(out, 0);
  uint64_t samplesSoFar = 0;
  for (size_t i = 0; i < payloads.size(); ++i) {
    const uint32_t size = static_cast<uint32_t>(payloads[i].size() + 1);
    const uint32_t milliseconds = static_cast<uint32_t>(samplesSoFar * 1000 / static_cast<uint64_t>(sampleRate));
    out.push_back(8);  // audio
    Put24(out, size);
    Put24(out, milliseconds & 0xFFFFFF);
    out.push_back(static_cast<uint8_t>(milliseconds >> 24));
    Put24(out, 0);
    out.push_back(flags);
    out.insert(out.end(), payloads[i].begin(), payloads[i].end());
    Put32(out, size + 11);
    samplesSoFar += static_cast<uint64_t>(samplesPerPayload[i]);
  }
  return out;
}

std::vector<std::vector<uint8_t>> AudioPayloadsOfFlv(std::span<const uint8_t> flv) {
  std::vector<std::vector<uint8_t>> payloads;
  if (flv.size() < 9) return payloads;
  size_t at = static_cast<size_t>(flv[5] << 24 | flv[6] << 16 | flv[7] << 8 | flv[8]) + 4;
  while (at + 11 <= flv.size()) {
    const uint8_t type = flv[at];
    const size_t size = Get24(flv, at + 1);
    const size_t body = at + 11;
    if (body + size > flv.size()) break;
    if (type == 8 && size > 0) payloads.emplace_back(flv.begin() + static_cast<ptrdiff_t>(body + 1),
                                                     flv.begin() + static_cast<ptrdiff_t>(body + size));
    at = body + size + 4;
  }
  return payloads;
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

}  // namespace sound_testing
