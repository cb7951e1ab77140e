// MP3 through the system decoder (libmpg123 here) against ffmpeg's decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "swf/sound/mp3_frame.h"
#include "swf/sound/sound_decoder.h"
#include "sys/mp3.h"

namespace {

using sound_testing::AsSamples;
using sound_testing::Ffmpeg;

struct Mp3Case {
  int sampleRate;
  int channels;
  const char* bitRate;
};

// Tones encoded without an info frame or tags: plain frames, as in a movie.
std::vector<uint8_t> EncodeMp3(Ffmpeg& ffmpeg, const Mp3Case& c) {
  const std::vector<uint8_t> tones = sound_testing::AsBytes(sound_testing::MakeTones(c.sampleRate, c.channels, 1.0));
  const auto mp3 = ffmpeg.Run(tones, "-f s16le -ar " + std::to_string(c.sampleRate) + " -ac " +
                                         std::to_string(c.channels) + " -i in -c:a libmp3lame -b:a " + c.bitRate +
                                         " -write_xing 0 -id3v2_version 0 -f mp3 out");
  return mp3.value_or(std::vector<uint8_t>{});
}

// DefineSound's MP3 data: the seek count, then the frames.
std::vector<uint8_t> EventSoundData(int16_t seekSamples, std::span<const uint8_t> frames) {
  std::vector<uint8_t> data = {static_cast<uint8_t>(seekSamples & 0xFF), static_cast<uint8_t>((seekSamples >> 8) & 0xFF)};
  data.insert(data.end(), frames.begin(), frames.end());
  return data;
}

swf::SoundEncoding Mp3Encoding(const Mp3Case& c) {
  return {static_cast<uint8_t>(swf::SoundCodec::kMp3), c.sampleRate, true, c.channels == 2};
}

// Frames stored as an event sound of `c`'s format, through the host's decoder.
swf::PcmSound DecodeAsEventSound(const Mp3Case& c, std::span<const uint8_t> frames, int16_t seekSamples = 0) {
  return swf::DecodeEventSound(Mp3Encoding(c), EventSoundData(seekSamples, frames), sys::CreateMp3Decoder().get());
}

// Each case's tones, encoded by ffmpeg before the test runs.
class Mp3AgainstFfmpeg : public testing::TestWithParam<Mp3Case> {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_FFMPEG();
    frames = EncodeMp3(ffmpeg, GetParam());
    ASSERT_FALSE(frames.empty()) << "ffmpeg could not encode MP3";
  }

  const Mp3Case& c = GetParam();
  Ffmpeg ffmpeg;
  std::vector<uint8_t> frames;
};

TEST_P(Mp3AgainstFfmpeg, EventSoundDecodesAsFfmpegDoes) {
  const auto expectedBytes = ffmpeg.Run(frames, "-f mp3 -i in -f s16le out");
  ASSERT_TRUE(expectedBytes.has_value());
  const std::vector<int16_t> expected = AsSamples(*expectedBytes);

  auto decoder = sys::CreateMp3Decoder();
  ASSERT_NE(decoder, nullptr);
  const swf::PcmSound sound = swf::DecodeEventSound(Mp3Encoding(c), EventSoundData(0, frames), decoder.get());
  EXPECT_EQ(sound.sampleRate, c.sampleRate);
  EXPECT_EQ(sound.channels, c.channels);
  ASSERT_EQ(sound.samples.size(), expected.size());
  int largestDifference = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    largestDifference = std::max(largestDifference, std::abs(sound.samples[i] - expected[i]));
  }
  // Both decode in floating point; they differ by rounding only.
  EXPECT_LE(largestDifference, 2);
}

// The seek count drops that many samples a channel from the start.
TEST_P(Mp3AgainstFfmpeg, SeekSamplesAreDropped) {
  const swf::PcmSound whole = DecodeAsEventSound(c, frames);
  const swf::PcmSound sought = DecodeAsEventSound(c, frames, 1105);
  const size_t dropped = 1105 * static_cast<size_t>(c.channels);
  ASSERT_EQ(sought.samples.size() + dropped, whole.samples.size());
  EXPECT_TRUE(std::equal(sought.samples.begin(), sought.samples.end(), whole.samples.begin() + dropped));
}

// Stream blocks carry the frames in pieces (cut anywhere here, even inside
// frames) behind their sample and seek counts; together they are the sound.
TEST_P(Mp3AgainstFfmpeg, StreamBlocksTogetherMakeTheWholeSound) {
  const swf::PcmSound whole = DecodeAsEventSound(c, frames);

  swf::StreamSoundDecoder stream(Mp3Encoding(c), sys::CreateMp3Decoder());
  std::vector<int16_t> joined;
  for (size_t at = 0; at < frames.size(); at += 1111) {
    // A sample count far beyond the block's frames: ignored.
    std::vector<uint8_t> block = {0xFF, 0xFF, 0, 0};
    block.insert(block.end(), frames.begin() + static_cast<ptrdiff_t>(at),
                 frames.begin() + static_cast<ptrdiff_t>(std::min(at + 1111, frames.size())));
    const swf::PcmSound part = stream.DecodeBlock(block);
    EXPECT_EQ(part.sampleRate, c.sampleRate);
    EXPECT_EQ(part.channels, c.channels);
    joined.insert(joined.end(), part.samples.begin(), part.samples.end());
  }
  EXPECT_EQ(joined, whole.samples);
}

// Frame headers alone lead from frame to frame to the end of the stream,
// and count the samples ffmpeg decodes.
TEST_P(Mp3AgainstFfmpeg, FrameHeadersWalkTheStream) {
  const auto decoded = ffmpeg.Run(frames, "-f mp3 -i in -f s16le out");
  ASSERT_TRUE(decoded.has_value());
  size_t at = 0;
  size_t samples = 0;
  while (at < frames.size()) {
    const auto header = swf::ReadMp3FrameHeader(std::span<const uint8_t>(frames).subspan(at));
    ASSERT_TRUE(header.has_value()) << "at byte " << at;
    EXPECT_EQ(header->sampleRate, c.sampleRate);
    EXPECT_EQ(header->channels, c.channels);
    at += static_cast<size_t>(header->length);
    samples += static_cast<size_t>(header->samplesPerFrame * header->channels);
  }
  EXPECT_EQ(at, frames.size());
  EXPECT_EQ(samples * 2, decoded->size());
  // Not a layer III header: a layer II one, a reserved rate, a free bit rate.
  EXPECT_FALSE(swf::ReadMp3FrameHeader(std::vector<uint8_t>{0xFF, 0xFD, 0x90, 0x00}).has_value());
  EXPECT_FALSE(swf::ReadMp3FrameHeader(std::vector<uint8_t>{0xFF, 0xFB, 0x9C, 0x00}).has_value());
  EXPECT_FALSE(swf::ReadMp3FrameHeader(std::vector<uint8_t>{0xFF, 0xFB, 0x00, 0x00}).has_value());
}

INSTANTIATE_TEST_SUITE_P(Streams, Mp3AgainstFfmpeg,
                         testing::Values(Mp3Case{44100, 2, "128k"}, Mp3Case{22050, 1, "32k"}, Mp3Case{11025, 1, "16k"}));

// A stereo sound declared mono (or the other way) comes out as declared.
TEST(Mp3Channels, FollowTheDeclaredCount) {
  SKIP_WITHOUT_FFMPEG();
  Ffmpeg ffmpeg;
  const std::vector<uint8_t> stereo = EncodeMp3(ffmpeg, {22050, 2, "64k"});
  const std::vector<uint8_t> mono = EncodeMp3(ffmpeg, {22050, 1, "32k"});
  const swf::PcmSound asMono = DecodeAsEventSound({22050, 1, ""}, stereo);
  const swf::PcmSound asStereo = DecodeAsEventSound({22050, 2, ""}, mono);
  const swf::PcmSound monoAsIs = DecodeAsEventSound({22050, 1, ""}, mono);
  EXPECT_EQ(asMono.channels, 1);
  EXPECT_EQ(asMono.FrameCount(), monoAsIs.FrameCount());
  ASSERT_EQ(asStereo.channels, 2);
  ASSERT_EQ(asStereo.FrameCount(), monoAsIs.FrameCount());
  for (size_t i = 0; i < monoAsIs.FrameCount(); ++i) {
    ASSERT_EQ(asStereo.samples[2 * i], monoAsIs.samples[i]);
    ASSERT_EQ(asStereo.samples[2 * i + 1], monoAsIs.samples[i]);
  }
}

}  // namespace
