#include "swf/sound/adpcm.h"

#include <algorithm>
#include <array>

namespace swf {
namespace {

// The IMA step sizes, indexed 0..88.
constexpr std::array<int, 89> kStepSizes = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves after a code, by its magnitude bits, per code size.
constexpr std::array<int, 2> kIndexShift2 = {-1, 2};
constexpr std::array<int, 4> kIndexShift3 = {-1, -1, 2, 4};
constexpr std::array<int, 8> kIndexShift4 = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr std::array<int, 16> kIndexShift5 = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};

std::span<const int> IndexShifts(int codeBits) {
  switch (codeBits) {
    case 2: return kIndexShift2;
    case 3: return kIndexShift3;
    case 4: return kIndexShift4;
    default: return kIndexShift5;
  }
}

// Most significant bit first; reads past the end are the caller's to avoid
// (it checks BitsLeft first).
class BitStream {
 public:
  explicit BitStream(std::span<const uint8_t> data) : data_(data) {}

  size_t BitsLeft() const { return data_.size() * 8 - position_; }

  uint32_t Read(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      const uint8_t byte = data_[position_ >> 3];
      value = (value << 1) | ((byte >> (7 - (position_ & 7))) & 1);
      ++position_;
    }
    return value;
  }

 private:
  std::span<const uint8_t> data_;
  size_t position_ = 0;
};

struct ChannelState {
  int predictor = 0;
  int stepIndex = 0;
};

int16_t ExpandCode(ChannelState& state, uint32_t code, int codeBits, std::span<const int> indexShifts) {
  const uint32_t signBit = 1u << (codeBits - 1);
  int step = kStepSizes[static_cast<size_t>(state.stepIndex)];
  // difference = (magnitude + 1/2) * step / 2^(codeBits-2), summed bit by bit
  // with the step halved each time, as the encoder computed it.
  int difference = step >> (codeBits - 1);
  for (uint32_t bit = signBit >> 1; bit != 0; bit >>= 1) {
    if (code & bit) difference += step;
    step >>= 1;
  }
  state.predictor += (code & signBit) ? -difference : difference;
  state.predictor = std::clamp(state.predictor, -32768, 32767);
  state.stepIndex = std::clamp(state.stepIndex + indexShifts[code & (signBit - 1)], 0, 88);
  return static_cast<int16_t>(state.predictor);
}

}  // namespace

std::vector<int16_t> DecodeAdpcm(std::span<const uint8_t> data, int channels, size_t maxSamples) {
  std::vector<int16_t> samples;
  if (channels < 1 || channels > 2) return samples;
  BitStream bits(data);
  if (bits.BitsLeft() < 2) return samples;
  const int codeBits = static_cast<int>(bits.Read(2)) + 2;
  const std::span<const int> indexShifts = IndexShifts(codeBits);
  const size_t channelCount = static_cast<size_t>(channels);
  const size_t headerBits = 22 * channelCount;
  const size_t frameBits = static_cast<size_t>(codeBits) * channelCount;
  // Every output sample costs at least two bits, so this never over-reserves much.
  samples.reserve(std::min(bits.BitsLeft() / static_cast<size_t>(codeBits) + channelCount, maxSamples));

  std::array<ChannelState, 2> state{};
  while (bits.BitsLeft() >= headerBits && samples.size() + channelCount <= maxSamples) {
    for (size_t c = 0; c < channelCount; ++c) {
      state[c].predictor = static_cast<int16_t>(bits.Read(16));
      state[c].stepIndex = std::min(static_cast<int>(bits.Read(6)), 88);
      samples.push_back(static_cast<int16_t>(state[c].predictor));
    }
    for (int i = 1; i < kAdpcmPacketSamples && bits.BitsLeft() >= frameBits && samples.size() + channelCount <= maxSamples;
         ++i) {
      for (size_t c = 0; c < channelCount; ++c) {
        samples.push_back(ExpandCode(state[c], bits.Read(codeBits), codeBits, indexShifts));
      }
    }
  }
  return samples;
}

}  // namespace swf
