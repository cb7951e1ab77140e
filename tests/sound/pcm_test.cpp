// Uncompressed and G.711 sound against ffmpeg's decoders of the same bytes.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "swf/sound/sound_decoder.h"

namespace {

using sound_testing::AsBytes;
using sound_testing::AsSamples;
using sound_testing::Ffmpeg;

struct PcmCase {
  const char* name;
  swf::SoundCodec codec;
  bool sixteenBit;
  int channels;
  int sampleRate;
  const char* ffmpegFormat;  // ffmpeg's name for the raw format
};

class PcmAgainstFfmpeg : public testing::TestWithParam<PcmCase> {};

// Tones are encoded by ffmpeg to the format, then decoded by both.
TEST_P(PcmAgainstFfmpeg, DecodesTheSameSamples) {
  SKIP_WITHOUT_FFMPEG();
  const PcmCase& c = GetParam();
  const std::string rate = std::to_string(c.sampleRate);
  const std::string channels = std::to_string(c.channels);
  const std::vector<uint8_t> tones = AsBytes(sound_testing::MakeTones(c.sampleRate, c.channels, 0.3));
  Ffmpeg ffmpeg;
  const auto encoded = ffmpeg.Run(tones, "-f s16le -ar " + rate + " -ac " + channels + " -i in -f " +
                                             c.ffmpegFormat + " out");
  ASSERT_TRUE(encoded.has_value());
  const auto expected = ffmpeg.Run(*encoded, "-f " + std::string(c.ffmpegFormat) + " -ar " + rate + " -ac " +
                                                 channels + " -i in -f s16le out");
  ASSERT_TRUE(expected.has_value());

  const swf::SoundEncoding encoding{static_cast<uint8_t>(c.codec), c.sampleRate, c.sixteenBit, c.channels == 2};
  const swf::PcmSound sound = swf::DecodeEventSound(encoding, *encoded, nullptr);
  EXPECT_EQ(sound.sampleRate, c.sampleRate);
  EXPECT_EQ(sound.channels, c.channels);
  ASSERT_FALSE(sound.samples.empty());
  EXPECT_EQ(sound.samples, AsSamples(*expected));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PcmAgainstFfmpeg,
    testing::Values(PcmCase{"native16mono", swf::SoundCodec::kPcmNativeOrder, true, 1, 22050, "s16le"},
                    PcmCase{"little16stereo", swf::SoundCodec::kPcmLittleEndian, true, 2, 44100, "s16le"},
                    PcmCase{"native8mono", swf::SoundCodec::kPcmNativeOrder, false, 1, 11025, "u8"},
                    PcmCase{"little8stereo", swf::SoundCodec::kPcmLittleEndian, false, 2, 5512, "u8"},
                    PcmCase{"alawMono", swf::SoundCodec::kALaw, false, 1, 8000, "alaw"},
                    PcmCase{"alawStereo", swf::SoundCodec::kALaw, false, 2, 11025, "alaw"},
                    PcmCase{"mulawMono", swf::SoundCodec::kMuLaw, false, 1, 8000, "mulaw"},
                    PcmCase{"mulawStereo", swf::SoundCodec::kMuLaw, false, 2, 22050, "mulaw"}),
    [](const testing::TestParamInfo<PcmCase>& tested) { return std::string(tested.param.name); });

// Every one of the 256 codes, not only those a tone reaches.
TEST(G711, EveryCodeDecodesAsFfmpegDoes) {
  SKIP_WITHOUT_FFMPEG();
  std::vector<uint8_t> codes(256);
  std::iota(codes.begin(), codes.end(), 0);
  for (const auto& [codec, name] : {std::pair{swf::SoundCodec::kALaw, "alaw"}, std::pair{swf::SoundCodec::kMuLaw, "mulaw"}}) {
    SCOPED_TRACE(name);
    Ffmpeg ffmpeg;
    const auto expected = ffmpeg.Run(codes, "-f " + std::string(name) + " -ar 8000 -ac 1 -i in -f s16le out");
    ASSERT_TRUE(expected.has_value());
    const swf::PcmSound sound =
        swf::DecodeEventSound(swf::SoundEncoding{static_cast<uint8_t>(codec), 8000, false, false}, codes, nullptr);
    EXPECT_EQ(sound.samples, AsSamples(*expected));
  }
}

}  // namespace
