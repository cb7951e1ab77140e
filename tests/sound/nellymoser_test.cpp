// Nellymoser against ffmpeg's decoder, on tones ffmpeg encodes into the FLV
// container (one audio tag per packet of blocks, as a movie's blocks are).
// Coefficients without bits are filled with noise of random sign, which no
// two decoders draw alike, so the comparison is by the error's energy.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "swf/sound/nellymoser.h"
#include "swf/sound/sound_decoder.h"

namespace {

using sound_testing::AsSamples;
using sound_testing::Ffmpeg;

// Signal to error, in decibels.
double SignalToError(const std::vector<int16_t>& expected, const std::vector<int16_t>& actual) {
  double signal = 0;
  double error = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    const double want = expected[i];
    signal += want * want;
    const double difference = want - actual[i];
    error += difference * difference;
  }
  return 10 * std::log10(signal / std::max(error, 1.0));
}

struct NellyCase {
  int sampleRate;
  uint8_t codec;  // the tag's format field the container gives this rate
};

class NellymoserAgainstFfmpeg : public testing::TestWithParam<NellyCase> {};

TEST_P(NellymoserAgainstFfmpeg, DecodesAsFfmpegDoes) {
  SKIP_WITHOUT_FFMPEG();
  const auto [sampleRate, codec] = GetParam();
  const std::vector<uint8_t> tones = sound_testing::AsBytes(sound_testing::MakeTones(sampleRate, 1, 1.0));
  Ffmpeg ffmpeg;
  const auto flv = ffmpeg.Run(tones, "-f s16le -ar " + std::to_string(sampleRate) +
                                         " -ac 1 -i in -c:a nellymoser -f flv out");
  ASSERT_TRUE(flv.has_value());
  const auto expectedBytes = ffmpeg.Run(*flv, "-i in -f s16le out");
  ASSERT_TRUE(expectedBytes.has_value());
  const std::vector<int16_t> expected = AsSamples(*expectedBytes);

  std::vector<uint8_t> data;
  for (const auto& payload : sound_testing::AudioPayloadsOfFlv(*flv)) data.insert(data.end(), payload.begin(), payload.end());
  ASSERT_EQ(data.size() % swf::kNellymoserBlockBytes, 0u);
  // The tag says stereo on purpose: the codec is mono regardless.
  const swf::SoundEncoding encoding{codec, sampleRate, true, true};
  const swf::PcmSound sound = swf::DecodeEventSound(encoding, data, nullptr);
  EXPECT_EQ(sound.sampleRate, sampleRate);
  EXPECT_EQ(sound.channels, 1);
  ASSERT_EQ(sound.samples.size(), expected.size());
  ASSERT_GT(expected.size(), static_cast<size_t>(sampleRate / 2));
  const double snr = SignalToError(expected, sound.samples);
  RecordProperty("signal_to_error_db", std::to_string(snr));
  EXPECT_GT(snr, 25.0);  // 33 to 44 dB seen; a wrong bit share gives below 0
}

INSTANTIATE_TEST_SUITE_P(Forms, NellymoserAgainstFfmpeg,
                         testing::Values(NellyCase{8000, 5}, NellyCase{16000, 4}, NellyCase{11025, 6},
                                         NellyCase{22050, 6}, NellyCase{44100, 6}));

// A stream's blocks (three codec blocks a frame here) carry the overlap and
// the noise on: together they are the sound decoded whole.
TEST(Nellymoser, StreamBlocksTogetherMakeTheWholeSound) {
  const std::vector<uint8_t> data = sound_testing::RandomBytes(swf::kNellymoserBlockBytes * 10, 9);
  const swf::SoundEncoding encoding{static_cast<uint8_t>(swf::SoundCodec::kNellymoser), 22050, true, false};
  swf::StreamSoundDecoder stream(encoding, nullptr);
  std::vector<int16_t> streamed;
  for (size_t at = 0; at < data.size(); at += 3 * swf::kNellymoserBlockBytes) {
    const swf::PcmSound block =
        stream.DecodeBlock(std::span(data).subspan(at, std::min(3 * swf::kNellymoserBlockBytes, data.size() - at)));
    EXPECT_EQ(block.sampleRate, 22050);
    streamed.insert(streamed.end(), block.samples.begin(), block.samples.end());
  }
  EXPECT_EQ(streamed, swf::DecodeEventSound(encoding, data, nullptr).samples);
}

TEST(Nellymoser, PartialBlocksAndCeilingCutTheSound) {
  const std::vector<uint8_t> data = sound_testing::RandomBytes(swf::kNellymoserBlockBytes * 3 + 40, 5);
  EXPECT_EQ(swf::DecodeNellymoser(data, swf::kMaxDecodedSamples).size(), 3 * swf::kNellymoserBlockSamples);
  EXPECT_EQ(swf::DecodeNellymoser(data, 2 * swf::kNellymoserBlockSamples + 1).size(),
            2 * swf::kNellymoserBlockSamples);
  EXPECT_TRUE(swf::DecodeNellymoser(std::span(data).first(63), swf::kMaxDecodedSamples).empty());
}

}  // namespace
