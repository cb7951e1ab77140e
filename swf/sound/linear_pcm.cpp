#include "swf/sound/linear_pcm.h"

#include <algorithm>

namespace swf {
namespace {

size_t WholeFrames(size_t samples, int channels) {
  const size_t perFrame = static_cast<size_t>(std::max(channels, 1));
  return samples / perFrame * perFrame;
}

template <typename Expand>
std::vector<int16_t> DecodeBytes(std::span<const uint8_t> data, int channels, Expand expand) {
  std::vector<int16_t> samples(WholeFrames(data.size(), channels));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = expand(data[i]);
  return samples;
}

}  // namespace

std::vector<int16_t> DecodeLinearPcm(std::span<const uint8_t> data, bool sixteenBit, int channels) {
  if (!sixteenBit) {
    return DecodeBytes(data, channels, [](uint8_t b) { return static_cast<int16_t>((b - 128) * 256); });
  }
  std::vector<int16_t> samples(WholeFrames(data.size() / 2, channels));
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return samples;
}

// G.711: a sign bit, a 3-bit segment (exponent) and a 4-bit step within it.
int16_t ALawToLinear(uint8_t code) {
  const int a = code ^ 0x55;  // even bits are stored inverted
  const int segment = (a >> 4) & 7;
  int magnitude = ((a & 0x0F) << 4) + 8;
  if (segment > 0) magnitude = (magnitude + 0x100) << (segment - 1);
  return static_cast<int16_t>((a & 0x80) ? magnitude : -magnitude);
}

int16_t MuLawToLinear(uint8_t code) {
  const int u = ~code & 0xFF;  // stored inverted
  const int segment = (u >> 4) & 7;
  const int magnitude = ((((u & 0x0F) << 3) + 0x84) << segment) - 0x84;
  return static_cast<int16_t>((u & 0x80) ? -magnitude : magnitude);
}

std::vector<int16_t> DecodeALaw(std::span<const uint8_t> data, int channels) {
  return DecodeBytes(data, channels, ALawToLinear);
}

std::vector<int16_t> DecodeMuLaw(std::span<const uint8_t> data, int channels) {
  return DecodeBytes(data, channels, MuLawToLinear);
}

}  // namespace swf
