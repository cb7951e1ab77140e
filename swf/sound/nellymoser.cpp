#include "swf/sound/nellymoser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace swf {
namespace {

// A block: a 116-bit header of band levels shared by its two frames, then
// 198 bits of coefficient codes for each frame.
constexpr int kBands = 23;
constexpr int kFrameSamples = 128;    // coefficients a frame, and samples out
constexpr int kCodedCoefficients = 124;  // the top four are always zero
constexpr int kHeaderBits = 116;
constexpr int kFrameCodeBits = 198;
constexpr int kMaxCodeBits = 6;

// Coefficients in each band, lowest band first (124 in all).
constexpr std::array<int, kBands> kBandWidths = {2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4,
                                                 4, 5, 6, 6, 7, 8, 9, 10, 12, 14, 15};

// The first band's level by its 6-bit code, in 1/2048 of a doubling.
constexpr std::array<int, 64> kFirstBandLevels = {
    3134,  5342,  6870,  7792,  8569,  9185,  9744,  10191, 10631, 11061, 11434, 11770, 12116,
    12513, 12925, 13300, 13674, 14027, 14352, 14716, 15117, 15477, 15824, 16157, 16513, 16804,
    17090, 17401, 17679, 17948, 18238, 18520, 18764, 19078, 19381, 19640, 19921, 20205, 20500,
    20813, 21162, 21465, 21794, 22137, 22453, 22756, 23067, 23350, 23636, 23926, 24227, 24521,
    24819, 25107, 25414, 25730, 26120, 26497, 26895, 27344, 27877, 28463, 29426, 31355};

// Each further band's level is the one below plus a step, by a 5-bit code.
constexpr std::array<int, 32> kBandLevelSteps = {
    -11725, -9420, -7910, -6801, -5948, -5233, -4599, -4039, -3507, -3030, -2596,
    -2170,  -1774, -1383, -1016, -660,  -329,  -1,    337,   696,   1085,  1512,
    1962,   2433,  2968,  3569,  4314,  5279,  6622,  8154,  10076, 12975};

// What a coefficient's code stands for, as a multiple of its band's scale:
// for b bits, the 2^b values start at index 2^b - 1.
constexpr std::array<float, 127> kCodeValues = {
    0.0000000000f,
    -0.8472560048f, 0.7224709988f,
    -1.5247479677f, -0.4531480074f, 0.3753609955f, 1.4717899561f,
    -1.9822579622f, -1.1929379702f, -0.5829370022f, -0.0693780035f, 0.3909569979f, 0.9069200158f, 1.4862740040f,
    2.2215409279f,
    -2.3887870312f, -1.8067539930f, -1.4105420113f, -1.0773609877f, -0.7995010018f, -0.5558109879f, -0.3334020078f,
    -0.1324490011f, 0.0568020009f, 0.2548770010f, 0.4773550034f, 0.7386850119f, 1.0443060398f, 1.3954459429f,
    1.8098750114f, 2.3918759823f,
    -2.3893830776f, -1.9884680510f, -1.7514040470f, -1.5643119812f, -1.3922129869f, -1.2164649963f, -1.0469499826f,
    -0.8905100226f, -0.7645580173f, -0.6454579830f, -0.5259280205f, -0.4059549868f, -0.3029719889f, -0.2096900046f,
    -0.1239869967f, -0.0479229987f, 0.0257730000f, 0.1001340002f, 0.1737180054f, 0.2585540116f, 0.3522900045f,
    0.4569880068f, 0.5767750144f, 0.7003160119f, 0.8425520062f, 1.0093879700f, 1.1821349859f, 1.3534560204f,
    1.5320819616f, 1.7332619429f, 1.9722349644f, 2.3978140354f,
    -2.5756309032f, -2.0573320389f, -1.8984919786f, -1.7727810144f, -1.6662600040f, -1.5742180347f, -1.4993319511f,
    -1.4316639900f, -1.3652280569f, -1.3000990152f, -1.2280930281f, -1.1588579416f, -1.0921250582f, -1.0135740042f,
    -0.9202849865f, -0.8287050128f, -0.7374889851f, -0.6447759867f, -0.5590940118f, -0.4857139885f, -0.4110319912f,
    -0.3459700048f, -0.2851159871f, -0.2341620028f, -0.1870580018f, -0.1442500055f, -0.1107169986f, -0.0739680007f,
    -0.0365610011f, -0.0073290002f, 0.0203610007f, 0.0479039997f, 0.0751969963f, 0.0980999991f, 0.1220389977f,
    0.1458999962f, 0.1694349945f, 0.1970459968f, 0.2252430022f, 0.2556869984f, 0.2870100141f, 0.3197099864f,
    0.3525829911f, 0.3889069855f, 0.4334920049f, 0.4769459963f, 0.5204820037f, 0.5644530058f, 0.6122040153f,
    0.6685929894f, 0.7341650128f, 0.8032159805f, 0.8784040213f, 0.9566209912f, 1.0397069454f, 1.1293770075f,
    1.2211159468f, 1.3080279827f, 1.4024800062f, 1.5056819916f, 1.6227730513f, 1.7724959850f, 1.9430880547f,
    2.2903931141f};

// The bit budget is shared out by a fixed-point search that encoder and
// decoder must run identically; these are its constants.
constexpr int kOffsetScale = 4228;
constexpr int kOffsetShift = 19;

using Levels = std::array<int, kCodedCoefficients>;
using CodeBits = std::array<int, kCodedCoefficients>;

// Two's complement shifts either way, as the search is defined; a left shift
// of a negative number is done on the unsigned pattern.
int ShiftBy(int value, int shift) {
  if (shift >= 0) return static_cast<int>(static_cast<uint32_t>(value) << std::min(shift, 31));
  return value >> std::min(-shift, 31);
}

// Sums that wrap around as 32-bit two's complement: damaged levels can push
// the search's offsets that far, and must not make the arithmetic undefined.
int WrapAdd(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int WrapSub(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

// A level above `offset` in code bits: rounded, within 0..6.
int RoundedBits(int above, int precision) {
  return static_cast<int>(std::clamp<int64_t>((int64_t{ShiftBy(above, -(precision - 1))} + 1) >> 1, 0, kMaxCodeBits));
}

// Shifts `value` up until its top bit is bit 30 and says by how much.
int Normalize(int& value) {
  if (value == 0) return 31;
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  const int by = 30 - (std::bit_width(magnitude) - 1);
  value = ShiftBy(value, by);
  return by;
}

// Bits a coefficient gets at `offset`: its level above the offset, rounded,
// within 0..6. The offset is a 16-bit value when counting, as it is defined.
int BitsAt(int16_t level, int offset, int precision) { return RoundedBits(level - offset, precision); }

int TotalBitsAt(const std::array<int16_t, kCodedCoefficients>& levels, int offset, int precision) {
  int total = 0;
  for (int16_t level : levels) total += BitsAt(level, static_cast<int16_t>(offset), precision);
  return total;
}

// Shares a frame's 198 code bits out among the coefficients by their band
// levels: a common offset is sought (an estimate, then steps, then halving)
// at which the rounded levels above it add up to the budget, and an excess
// is cut from the top coefficients.
CodeBits AllocateBits(const Levels& bandLevels) {
  int peak = 0;
  for (int level : bandLevels) peak = std::max(peak, level);
  int shift = Normalize(peak) - 16;

  std::array<int16_t, kCodedCoefficients> levels{};
  int sum = 0;
  for (int i = 0; i < kCodedCoefficients; ++i) {
    const auto scaled = static_cast<int16_t>(ShiftBy(bandLevels[i], shift));
    levels[i] = static_cast<int16_t>((3 * scaled) >> 2);
    sum += levels[i];
  }

  const int precision = shift + 11;
  sum -= ShiftBy(kFrameCodeBits, precision);
  const int sumShift = precision + Normalize(sum);
  int low = ShiftBy((kOffsetScale * (sum >> 16)) >> 15, precision - (kOffsetShift + sumShift - 31));
  int total = TotalBitsAt(levels, low, precision);

  if (total != kFrameCodeBits) {
    int step = total - kFrameCodeBits;
    int stepShift = 0;
    while (std::abs(step) <= 16383) {
      step *= 2;
      ++stepShift;
    }
    step = ShiftBy((step * kOffsetScale) >> 15, precision - (kOffsetShift + stepShift - 15));

    // Step until the total crosses the budget...
    int tries = 1;
    int previous = low;
    int previousTotal = total;
    for (; tries < 20; ++tries) {
      previous = low;
      previousTotal = total;
      low = WrapAdd(low, step);
      total = TotalBitsAt(levels, low, precision);
      if ((total - kFrameCodeBits) * (previousTotal - kFrameCodeBits) <= 0) break;
    }
    int high = low;
    int highTotal = total;
    int lowTotal = previousTotal;
    if (total > kFrameCodeBits) {
      low = previous;
    } else {
      high = previous;
      highTotal = previousTotal;
      lowTotal = total;
    }
    // ...then halve the bracket, within the same count of tries.
    while (total != kFrameCodeBits && tries <= 19) {
      const int middle = WrapAdd(high, low) >> 1;
      total = TotalBitsAt(levels, middle, precision);
      if (total > kFrameCodeBits) {
        high = middle;
        highTotal = total;
      } else {
        low = middle;
        lowTotal = total;
      }
      ++tries;
    }
    if (std::abs(highTotal - kFrameCodeBits) >= std::abs(lowTotal - kFrameCodeBits)) {
      total = lowTotal;
    } else {
      low = high;
      total = highTotal;
    }
  }

  CodeBits bits{};
  for (int i = 0; i < kCodedCoefficients; ++i) {
    bits[i] = RoundedBits(WrapSub(levels[i], low), precision);
  }
  if (total > kFrameCodeBits) {
    int used = 0;
    int i = 0;
    while (used < kFrameCodeBits && i < kCodedCoefficients) used += bits[i++];
    bits[i - 1] -= used - kFrameCodeBits;
    for (; i < kCodedCoefficients; ++i) bits[i] = 0;
  }
  return bits;
}

// Least significant bit first, within one block.
class BlockBits {
 public:
  explicit BlockBits(std::span<const uint8_t> block, int startBit = 0) : block_(block), position_(startBit) {}

  int Read(int count) {
    int value = 0;
    for (int i = 0; i < count; ++i, ++position_) {
      value |= ((block_[static_cast<size_t>(position_ >> 3)] >> (position_ & 7)) & 1) << i;
    }
    return value;
  }

 private:
  std::span<const uint8_t> block_;
  int position_;
};

}  // namespace

// Turns blocks into samples, keeping the overlap between frames and the
// noise that fills coefficients without bits.
class NellymoserStream::Decoder {
 public:
  Decoder() {
    for (int n = 0; n < 2 * kFrameSamples; ++n) {
      window_[static_cast<size_t>(n)] = static_cast<float>(std::sin((n + 0.5) * std::numbers::pi / (2 * kFrameSamples)));
      for (int k = 0; k < kFrameSamples; ++k) {
        basis_[static_cast<size_t>(n * kFrameSamples + k)] = static_cast<float>(
            std::cos(std::numbers::pi / kFrameSamples * (n + 0.5 + kFrameSamples / 2.0) * (k + 0.5)));
      }
    }
  }

  void DecodeBlock(std::span<const uint8_t> block, std::vector<int16_t>& out) {
    BlockBits header(block);
    Levels levels{};
    std::array<float, kCodedCoefficients> scales{};
    int level = kFirstBandLevels[static_cast<size_t>(header.Read(6))];
    int index = 0;
    for (int band = 0; band < kBands; ++band) {
      if (band > 0) level += kBandLevelSteps[static_cast<size_t>(header.Read(5))];
      // Scaled for 16-bit output.
      const float scale = std::exp2(static_cast<float>(level) / 2048.0f) / 8.0f;
      for (int i = 0; i < kBandWidths[static_cast<size_t>(band)]; ++i, ++index) {
        levels[static_cast<size_t>(index)] = level;
        scales[static_cast<size_t>(index)] = scale;
      }
    }
    const CodeBits bits = AllocateBits(levels);

    for (int frame = 0; frame < 2; ++frame) {
      BlockBits codes(block, kHeaderBits + frame * kFrameCodeBits);
      std::array<float, kFrameSamples> coefficients{};
      for (size_t i = 0; i < kCodedCoefficients; ++i) {
        if (bits[i] > 0) {
          const int code = codes.Read(bits[i]);
          coefficients[i] = kCodeValues[static_cast<size_t>((1 << bits[i]) - 1 + code)] * scales[i];
        } else {
          coefficients[i] = static_cast<float>(std::numbers::sqrt2 / 2) * scales[i] * (NextNoiseBit() ? -1.0f : 1.0f);
        }
      }
      EmitFrame(coefficients, out);
    }
  }

 private:
  // Inverse transform to 256 samples, windowed; the first half overlaps the
  // second half of the frame before.
  void EmitFrame(const std::array<float, kFrameSamples>& coefficients, std::vector<int16_t>& out) {
    for (int n = 0; n < 2 * kFrameSamples; ++n) {
      const float* row = &basis_[static_cast<size_t>(n * kFrameSamples)];
      float sum = 0;
      for (int k = 0; k < kFrameSamples; ++k) sum += row[k] * coefficients[static_cast<size_t>(k)];
      const float windowed = sum * window_[static_cast<size_t>(n)];
      if (n < kFrameSamples) {
        const float sample = windowed + overlap_[static_cast<size_t>(n)];
        out.push_back(static_cast<int16_t>(std::clamp(std::lrint(sample), -32768L, 32767L)));
      } else {
        overlap_[static_cast<size_t>(n - kFrameSamples)] = windowed;
      }
    }
  }

  bool NextNoiseBit() {
    noise_ = noise_ * 1664525u + 1013904223u;
    return (noise_ >> 31) != 0;
  }

  std::array<float, 2 * kFrameSamples> window_{};
  std::vector<float> basis_ = std::vector<float>(2 * kFrameSamples * kFrameSamples);
  std::array<float, kFrameSamples> overlap_{};
  uint32_t noise_ = 1;
};

NellymoserStream::NellymoserStream() : decoder_(std::make_unique<Decoder>()) {}
NellymoserStream::~NellymoserStream() = default;

void NellymoserStream::Decode(std::span<const uint8_t> data, size_t maxSamples, std::vector<int16_t>& out) {
  const size_t room = (maxSamples - std::min(maxSamples, out.size())) / kNellymoserBlockSamples;
  const size_t blocks = std::min(data.size() / kNellymoserBlockBytes, room);
  out.reserve(out.size() + blocks * kNellymoserBlockSamples);
  for (size_t i = 0; i < blocks; ++i) {
    decoder_->DecodeBlock(data.subspan(i * kNellymoserBlockBytes, kNellymoserBlockBytes), out);
  }
}

std::vector<int16_t> DecodeNellymoser(std::span<const uint8_t> data, size_t maxSamples) {
  std::vector<int16_t> samples;
  if (data.size() < kNellymoserBlockBytes || maxSamples < kNellymoserBlockSamples) return samples;
  NellymoserStream stream;
  stream.Decode(data, maxSamples, samples);
  return samples;
}

}  // namespace swf
