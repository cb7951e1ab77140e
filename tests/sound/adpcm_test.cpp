// ADPCM against ffmpeg's decoder. The packets travel to it in the FLV
// video container, one audio tag each, as sound blocks do in a movie.
#include <gtest/gtest.h>

#include <string>

#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "swf/sound/adpcm.h"
#include "swf/sound/pcm_sound.h"

namespace {

using sound_testing::AsSamples;
using sound_testing::Ffmpeg;

uint8_t FlvAdpcmFlags(int sampleRate, int channels) {
  const int rateCode = sampleRate >= 44100 ? 3 : sampleRate >= 22050 ? 2 : sampleRate >= 11025 ? 1 : 0;
  return static_cast<uint8_t>(1 << 4 | rateCode << 2 | 1 << 1 | (channels == 2 ? 1 : 0));
}

std::vector<int16_t> DecodeEach(const std::vector<std::vector<uint8_t>>& payloads, int channels) {
  std::vector<int16_t> all;
  for (const auto& payload : payloads) {
    const std::vector<int16_t> part = swf::DecodeAdpcm(payload, channels, swf::kMaxDecodedSamples);
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

struct EncodedCase {
  int sampleRate;
  int channels;
};

class AdpcmEncodedByFfmpeg : public testing::TestWithParam<EncodedCase> {};

// ffmpeg encodes tones (its encoder writes 4-bit codes only).
TEST_P(AdpcmEncodedByFfmpeg, DecodesAsFfmpegDoes) {
  SKIP_WITHOUT_FFMPEG();
  const auto [sampleRate, channels] = GetParam();
  const std::vector<uint8_t> tones = sound_testing::AsBytes(sound_testing::MakeTones(sampleRate, channels, 0.5));
  Ffmpeg ffmpeg;
  const auto flv = ffmpeg.Run(tones, "-f s16le -ar " + std::to_string(sampleRate) + " -ac " + std::to_string(channels) +
                                         " -i in -c:a adpcm_swf -f flv out");
  ASSERT_TRUE(flv.has_value());
  const auto expected = ffmpeg.Run(*flv, "-i in -f s16le out");
  ASSERT_TRUE(expected.has_value());
  const auto payloads = sound_testing::AudioPayloadsOfFlv(*flv);
  ASSERT_FALSE(payloads.empty());
  const std::vector<int16_t> decoded = DecodeEach(payloads, channels);
  ASSERT_FALSE(decoded.empty());
  EXPECT_EQ(decoded, AsSamples(*expected));
}

INSTANTIATE_TEST_SUITE_P(Rates, AdpcmEncodedByFfmpeg,
                         testing::Values(EncodedCase{11025, 1}, EncodedCase{22050, 1}, EncodedCase{44100, 2}));

struct CodeSizeCase {
  int codeBits;
  int channels;
};

class AdpcmAnyCodes : public testing::TestWithParam<CodeSizeCase> {};

// Random bits are a valid stream of any code size: random first samples and
// step indexes, codes that slam into the limits. Blocks of 1.5 and 2.3
// packets and a few bytes end inside a packet, a sample and a header.
TEST_P(AdpcmAnyCodes, DecodesAsFfmpegDoes) {
  SKIP_WITHOUT_FFMPEG();
  const auto [codeBits, channels] = GetParam();
  const size_t packetBytes = static_cast<size_t>((22 + codeBits * 4095) * channels / 8);
  std::vector<std::vector<uint8_t>> payloads;
  std::vector<int> counts;
  uint32_t seed = static_cast<uint32_t>(codeBits * 10 + channels);
  for (size_t bytes : {packetBytes * 3 / 2, packetBytes * 23 / 10, size_t{7}, size_t{40}}) {
    std::vector<uint8_t> payload = sound_testing::RandomBytes(bytes, seed++);
    payload[0] = static_cast<uint8_t>((payload[0] & 0x3F) | (codeBits - 2) << 6);
    counts.push_back(static_cast<int>(swf::DecodeAdpcm(payload, channels, swf::kMaxDecodedSamples).size()) / channels);
    payloads.push_back(std::move(payload));
  }
  Ffmpeg ffmpeg;
  const auto expected = ffmpeg.Run(sound_testing::WrapInFlv(FlvAdpcmFlags(22050, channels), 22050, payloads, counts),
                                   "-i in -f s16le out");
  ASSERT_TRUE(expected.has_value());
  const std::vector<int16_t> decoded = DecodeEach(payloads, channels);
  EXPECT_GT(decoded.size(), static_cast<size_t>(4096 * channels));
  EXPECT_EQ(decoded, AsSamples(*expected));
}

INSTANTIATE_TEST_SUITE_P(CodeSizes, AdpcmAnyCodes,
                         testing::Values(CodeSizeCase{2, 1}, CodeSizeCase{3, 1}, CodeSizeCase{4, 2}, CodeSizeCase{5, 1},
                                         CodeSizeCase{2, 2}, CodeSizeCase{5, 2}));

}  // namespace
