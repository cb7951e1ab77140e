// Damaged sound data: decoders take what the bytes hold and nothing more.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "swf/sound/adpcm.h"
#include "swf/sound/sound_decoder.h"
#include "sys/mp3.h"

namespace {

struct FormatCase {
  const char* name;
  swf::SoundEncoding encoding;
  size_t maxSamplesPerByte;  // what the bytes can hold at most
};

swf::SoundEncoding Encoding(swf::SoundCodec codec, bool sixteenBit, bool stereo) {
  return {static_cast<uint8_t>(codec), 22050, sixteenBit, stereo};
}

class CutData : public testing::TestWithParam<FormatCase> {};

// Random bytes are valid data of every format but MP3. Any cut of them
// decodes to the start of what the whole decodes to, never more.
TEST_P(CutData, DecodesTheStartOfTheWhole) {
  const FormatCase& c = GetParam();
  const std::vector<uint8_t> data = sound_testing::RandomBytes(40000, 11);
  const swf::PcmSound whole = swf::DecodeEventSound(c.encoding, data, nullptr);
  ASSERT_GT(whole.samples.size(), data.size() / 4);
  for (size_t cut : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{6}, size_t{7}, size_t{1001},
                     size_t{4100}, size_t{12289}, size_t{24577}, size_t{39999}}) {
    SCOPED_TRACE(cut);
    const swf::PcmSound part =
        swf::DecodeEventSound(c.encoding, std::span<const uint8_t>(data).first(cut), nullptr);
    EXPECT_EQ(part.samples.size() % static_cast<size_t>(part.channels), 0u);
    EXPECT_LE(part.samples.size(), cut * c.maxSamplesPerByte);
    ASSERT_LE(part.samples.size(), whole.samples.size());
    EXPECT_TRUE(std::equal(part.samples.begin(), part.samples.end(), whole.samples.begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CutData,
    testing::Values(FormatCase{"pcm16mono", Encoding(swf::SoundCodec::kPcmLittleEndian, true, false), 1},
                    FormatCase{"pcm16stereo", Encoding(swf::SoundCodec::kPcmNativeOrder, true, true), 1},
                    FormatCase{"pcm8stereo", Encoding(swf::SoundCodec::kPcmLittleEndian, false, true), 1},
                    FormatCase{"adpcmMono", Encoding(swf::SoundCodec::kAdpcm, true, false), 4},
                    FormatCase{"adpcmStereo", Encoding(swf::SoundCodec::kAdpcm, true, true), 4},
                    FormatCase{"alawStereo", Encoding(swf::SoundCodec::kALaw, false, true), 1},
                    FormatCase{"mulawMono", Encoding(swf::SoundCodec::kMuLaw, false, false), 1}),
    [](const testing::TestParamInfo<FormatCase>& tested) { return std::string(tested.param.name); });

// A sample ceiling stops ADPCM at a whole sample of every channel, midway
// through a packet or at its start, with what came before unchanged.
TEST(AdpcmCeiling, StopsAtTheStartOfTheWhole) {
  const std::vector<uint8_t> data = sound_testing::RandomBytes(20000, 21);
  for (int channels : {1, 2}) {
    const std::vector<int16_t> whole = swf::DecodeAdpcm(data, channels, swf::kMaxDecodedSamples);
    for (size_t ceiling : {size_t{0}, size_t{1}, size_t{4095}, size_t{4096 * 2}, size_t{9001}}) {
      SCOPED_TRACE(ceiling);
      const std::vector<int16_t> part = swf::DecodeAdpcm(data, channels, ceiling);
      EXPECT_LE(part.size(), ceiling);
      EXPECT_GT(part.size() + static_cast<size_t>(channels), ceiling);
      EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin()));
    }
  }
}

// Formats without a decoder here give silence at their rate, whatever the bytes.
TEST(UndecodedFormats, AreSilentAtTheirRate) {
  const std::vector<uint8_t> data = sound_testing::RandomBytes(3000, 5);
  const std::pair<uint8_t, int> cases[] = {{9, 22050}, {11, 22050}, {15, 22050}};
  for (const auto& [format, rate] : cases) {
    SCOPED_TRACE(format);
    const swf::PcmSound sound = swf::DecodeEventSound({format, 22050, true, false}, data, nullptr);
    EXPECT_TRUE(sound.samples.empty());
    EXPECT_EQ(sound.sampleRate, rate);
  }
}

// MP3 without a decoder, or with too few bytes for the seek count, is silent.
TEST(Mp3WithoutFrames, IsSilent) {
  const swf::SoundEncoding mp3{static_cast<uint8_t>(swf::SoundCodec::kMp3), 44100, true, true};
  const std::vector<uint8_t> data = sound_testing::RandomBytes(5000, 3);
  EXPECT_TRUE(swf::DecodeEventSound(mp3, data, nullptr).samples.empty());
  auto decoder = sys::CreateMp3Decoder();
  ASSERT_NE(decoder, nullptr);
  EXPECT_TRUE(swf::DecodeEventSound(mp3, std::span<const uint8_t>(data).first(1), decoder.get()).samples.empty());
  swf::StreamSoundDecoder stream(mp3, sys::CreateMp3Decoder());
  EXPECT_TRUE(stream.DecodeBlock(std::span<const uint8_t>(data).first(4)).samples.empty());
}

struct Mp3Damage {
  const char* name;
  // Damages `data` (seek count and frames) in place.
  void (*damage)(std::vector<uint8_t>& data);
  double keptFraction;     // the share of the whole that must still decode as it was, at its start
  double decodedFraction;  // the share that must decode at all: the decoder finds its way past damage
};

class DamagedMp3 : public testing::TestWithParam<Mp3Damage> {};

TEST_P(DamagedMp3, DecodesWhatItCanWithoutCrashing) {
  SKIP_WITHOUT_FFMPEG();
  sound_testing::Ffmpeg ffmpeg;
  const std::vector<uint8_t> tones = sound_testing::AsBytes(sound_testing::MakeTones(22050, 2, 1.0));
  const auto frames = ffmpeg.Run(tones, "-f s16le -ar 22050 -ac 2 -i in -c:a libmp3lame -b:a 64k "
                                        "-write_xing 0 -id3v2_version 0 -f mp3 out");
  ASSERT_TRUE(frames.has_value());
  std::vector<uint8_t> data = {0, 0};
  data.insert(data.end(), frames->begin(), frames->end());
  const swf::SoundEncoding encoding{static_cast<uint8_t>(swf::SoundCodec::kMp3), 22050, true, true};
  const swf::PcmSound whole = swf::DecodeEventSound(encoding, data, sys::CreateMp3Decoder().get());
  ASSERT_GT(whole.samples.size(), 40000u);

  GetParam().damage(data);
  const swf::PcmSound damaged = swf::DecodeEventSound(encoding, data, sys::CreateMp3Decoder().get());
  const size_t kept = static_cast<size_t>(static_cast<double>(whole.samples.size()) * GetParam().keptFraction);
  ASSERT_GE(damaged.samples.size(), kept);
  EXPECT_GE(static_cast<double>(damaged.samples.size()),
            static_cast<double>(whole.samples.size()) * GetParam().decodedFraction);
  EXPECT_LE(damaged.samples.size(), whole.samples.size() + 1152 * 2);
  EXPECT_TRUE(std::equal(whole.samples.begin(), whole.samples.begin() + static_cast<ptrdiff_t>(kept),
                         damaged.samples.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedMp3,
    testing::Values(
        Mp3Damage{"cutInHalf", [](std::vector<uint8_t>& d) { d.resize(d.size() / 2); }, 0.4, 0.4},
        Mp3Damage{"cutInFirstFrame", [](std::vector<uint8_t>& d) { d.resize(100); }, 0.0, 0.0},
        Mp3Damage{"noiseInTheMiddle",
                  [](std::vector<uint8_t>& d) {
                    const auto noise = sound_testing::RandomBytes(d.size() / 10, 9);
                    std::copy(noise.begin(), noise.end(), d.begin() + static_cast<ptrdiff_t>(d.size() / 2));
                  },
                  0.4, 0.8},
        Mp3Damage{"longNoiseAfterTheStart",
                  [](std::vector<uint8_t>& d) {
                    const auto noise = sound_testing::RandomBytes(d.size() / 2, 17);
                    std::copy(noise.begin(), noise.end(), d.begin() + static_cast<ptrdiff_t>(d.size() / 5));
                  },
                  0.15, 0.3},
        Mp3Damage{"zerosInTheMiddle",
                  [](std::vector<uint8_t>& d) { std::fill(d.begin() + static_cast<ptrdiff_t>(d.size() / 2),
                                                          d.begin() + static_cast<ptrdiff_t>(d.size() * 6 / 10), 0); },
                  0.4, 0.8},
        Mp3Damage{"allNoise", [](std::vector<uint8_t>& d) { d = sound_testing::RandomBytes(d.size(), 13); }, 0.0, 0.0},
        Mp3Damage{"everyFrameHeaderFlipped",
                  [](std::vector<uint8_t>& d) {
                    for (size_t i = 3; i + 1 < d.size(); ++i) {
                      if (d[i - 1] == 0xFF && (d[i] & 0xE0) == 0xE0) d[i] ^= 0x06;  // layer bits
                    }
                  },
                  0.0, 0.0}),
    [](const testing::TestParamInfo<Mp3Damage>& tested) { return std::string(tested.param.name); });

// Nellymoser (4 to 6) is mono whatever the tag says.
int ExpectedChannels(const swf::SoundEncoding& encoding) {
  return encoding.stereo && (encoding.format < 4 || encoding.format > 6) ? 2 : 1;
}

// Any bytes as any format, whole and as stream blocks, with the system's MP3
// decoder: nothing crashes (the native build runs under the sanitizers)
// and nothing decodes more than the bytes can hold.
TEST(RandomSoundData, StaysWithinWhatTheBytesHold) {
  for (uint32_t seed = 0; seed < 300; ++seed) {
    SCOPED_TRACE(seed);
    std::vector<uint8_t> data = sound_testing::RandomBytes(seed * 97 % 9000, seed);
    if (seed % 3 == 0 && data.size() > 4) data[2] = 0xFF;  // an MP3 frame sync after the seek count
    const swf::SoundEncoding encoding{static_cast<uint8_t>(seed % 16), swf::SampleRateFromCode(static_cast<int>(seed / 16)),
                                      seed % 5 < 2, seed % 7 < 3};
    auto decoder = sys::CreateMp3Decoder();
    const swf::PcmSound sound = swf::DecodeEventSound(encoding, data, decoder.get());
    swf::StreamSoundDecoder stream(encoding, sys::CreateMp3Decoder());
    size_t streamed = 0;
    for (size_t at = 0; at < data.size(); at += 700) {
      const swf::PcmSound block = stream.DecodeBlock(std::span<const uint8_t>(data).subspan(at, std::min<size_t>(700, data.size() - at)));
      EXPECT_EQ(block.channels, ExpectedChannels(encoding));
      EXPECT_EQ(block.samples.size() % static_cast<size_t>(block.channels), 0u);
      streamed += block.samples.size();
    }
    EXPECT_EQ(sound.channels, ExpectedChannels(encoding));
    EXPECT_EQ(sound.samples.size() % static_cast<size_t>(sound.channels), 0u);
    // Fixed-rate MP3 frames hold at most 24 samples a byte (1152 stereo
    // samples in 48 bytes); free-format ones, under 21 bytes a frame, 110.
    const size_t ceiling = data.size() * (encoding.format == 2 ? 110 : 4) + 2 * 1152 * 2;
    EXPECT_LE(sound.samples.size(), ceiling);
    EXPECT_LE(streamed, ceiling);
  }
}

}  // namespace
