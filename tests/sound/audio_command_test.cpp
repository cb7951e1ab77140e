// "quorvel-pack audio" as a real process on movies built in code, its WAV
// read back: when an event sound starts and at what level against ffmpeg's
// decoding of the same bytes, and a minute of streamed MP3 keeping to its
// frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "../sys/temp_folder.h"
#include "../tools/run_process.h"
#include "sound/ffmpeg_oracle.h"
#include "sound/sound_fixtures.h"
#include "sound/sound_movies.h"
#include "swf/sound/mp3_frame.h"

namespace {

using sound_testing::AsSamples;
using sound_testing::Ffmpeg;
using sound_testing::FormatByte;
using swftest::Bytes;

constexpr int kFrameRate = 12;
constexpr long kSamplesPerFrame = 44100 / kFrameRate;  // 3675

class AudioCommand : public testing::Test {
 protected:
  // The WAV's samples, interleaved stereo; empty when the command failed.
  std::vector<int16_t> Run(const Bytes& movie, int frames) {
    const std::string moviePath = work_.Write("movie.swf", std::string(movie.begin(), movie.end()));
    const std::string wavePath = work_ / "out.wav";
    const auto result = testing_support::RunProcess(testing_support::QuorvelPackPath(),
                                                    {"audio", moviePath, "--frames", std::to_string(frames), "-o", wavePath},
                                                    scratch_.Path());
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::ifstream file(wavePath, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (bytes.size() < 44) return {};
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    return AsSamples(std::span(bytes).subspan(44));
  }

  testing_support::TempFolder work_;
  testing_support::TempFolder scratch_;
};

double Rms(std::span<const int16_t> samples) {
  double sum = 0;
  for (const int16_t s : samples) sum += static_cast<double>(s) * s;
  return std::sqrt(sum / static_cast<double>(std::max<size_t>(samples.size(), 1)));
}

// The first output frame at or after `from` where either side passes `level`.
long Onset(const std::vector<int16_t>& stereo, long from, int level) {
  for (long i = std::max(from, 0L); 2 * i + 1 < static_cast<long>(stereo.size()); ++i) {
    if (std::abs(stereo[2 * i]) > level || std::abs(stereo[2 * i + 1]) > level) return i;
  }
  return -1;
}

struct EventCase {
  const char* name;
  int sampleRate;
  int channels;
  const char* codec;  // ffmpeg's encoder
};
void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class EventSoundInTheWav : public AudioCommand, public testing::WithParamInterface<EventCase> {};

// The sound starts on frame 3 (of 0..11).
TEST_P(EventSoundInTheWav, StartsWithinAFrameAtFfmpegsLevel) {
  SKIP_WITHOUT_FFMPEG();
  const EventCase& c = GetParam();
  const bool mp3 = std::string(c.codec) == "libmp3lame";
  Ffmpeg ffmpeg;
  const std::vector<uint8_t> tones = sound_testing::AsBytes(sound_testing::MakeTones(c.sampleRate, c.channels, 0.4));
  const std::string input = "-f s16le -ar " + std::to_string(c.sampleRate) + " -ac " + std::to_string(c.channels) + " -i in ";
  const auto encoded = ffmpeg.Run(tones, input + "-c:a " + c.codec +
                                             (mp3 ? " -write_xing 0 -id3v2_version 0 -f mp3 out" : " -f flv out"));
  ASSERT_TRUE(encoded.has_value());
  const auto decoded = ffmpeg.Run(*encoded, "-i in -f s16le out");
  ASSERT_TRUE(decoded.has_value());
  const std::vector<int16_t> expected = AsSamples(*decoded);

  std::vector<uint8_t> data;
  if (mp3) {
    data = {0, 0};  // no samples to seek past
    data.insert(data.end(), encoded->begin(), encoded->end());
  } else {
    for (const auto& payload : sound_testing::AudioPayloadsOfFlv(*encoded)) data.insert(data.end(), payload.begin(), payload.end());
  }
  const int rateCode = c.sampleRate >= 44100 ? 3 : c.sampleRate >= 22050 ? 2 : 1;
  const Bytes movie = swftest::Movie(
      {sound_testing::DefineSound(1, FormatByte(mp3 ? 2 : 6, rateCode, true, c.channels == 2),
                                  static_cast<uint32_t>(expected.size()), data),
       swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame(), sound_testing::StartSound(1),
       swftest::ShowFrame(), swftest::ShowFrame()},
      swftest::Signature::kFws, 9, {0, 4000, 0, 3000}, kFrameRate << 8, 5);
  const std::vector<int16_t> wave = Run(movie, 12);
  ASSERT_EQ(wave.size(), static_cast<size_t>(12 * kSamplesPerFrame * 2));

  const long onset = Onset(wave, 0, 300);
  EXPECT_LT(std::labs(onset - 3 * kSamplesPerFrame), kSamplesPerFrame) << "onset at " << onset;
  EXPECT_GE(Onset(wave, 0, 0), 3 * kSamplesPerFrame) << "sound before its frame";

  const long length = static_cast<long>(expected.size() / static_cast<size_t>(c.channels)) * 44100 / c.sampleRate;
  const double ours = Rms(std::span(wave).subspan(static_cast<size_t>(2 * 3 * kSamplesPerFrame), static_cast<size_t>(2 * length)));
  const double theirs = Rms(expected);
  const double decibels = 20 * std::log10(ours / theirs);
  RecordProperty("level_difference_db", std::to_string(decibels));
  EXPECT_LT(std::abs(decibels), 1.0) << ours << " against " << theirs;
}

INSTANTIATE_TEST_SUITE_P(Formats, EventSoundInTheWav,
                         testing::Values(EventCase{"mp3Stereo44k", 44100, 2, "libmp3lame"},
                                         EventCase{"mp3Mono22k", 22050, 1, "libmp3lame"},
                                         EventCase{"nellymoser11k", 11025, 1, "nellymoser"}),
                         [](const testing::TestParamInfo<EventCase>& tested) { return std::string(tested.param.name); });

TEST_F(AudioCommand, MistakesAreReportedAndNothingIsWritten) {
  const std::string movie = work_.Write("silent.swf", [] {
    const Bytes bytes = swftest::Movie({swftest::ShowFrame()});
    return std::string(bytes.begin(), bytes.end());
  }());
  const std::string wave = work_ / "out.wav";
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* says;
  };
  const Case cases[] = {
      {{"audio", movie, wave}, 2, "--frames"},
      {{"audio", movie, wave, "--frames", "0"}, 2, "--frames"},
      {{"audio", movie, "--frames", "3"}, 2, "arguments"},
      {{"audio", work_.Write("text.swf", "not a movie"), wave, "--frames", "3"}, 1, "text.swf"},
  };
  for (const Case& c : cases) {
    const auto result = testing_support::RunProcess(testing_support::QuorvelPackPath(), c.arguments, scratch_.Path());
    EXPECT_EQ(result.exitCode, c.exitCode) << result.errors;
    EXPECT_NE(result.errors.find(c.says), std::string::npos) << result.errors;
    EXPECT_FALSE(std::ifstream(wave).good());
  }
  // A movie without sound gives silence of the frames' length.
  const std::vector<int16_t> silence = Run(swftest::Movie({swftest::ShowFrame()}), 3);
  EXPECT_EQ(silence.size(), 3u * 44100 / 24 * 2);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t s) { return s == 0; }));
}

// A minute of MP3 (44.1 kHz mono) streamed with the frames, silent but for a
// 50 ms tone at the start of every second. Each tone is heard within a frame
// of the frame it belongs to, to the end.
TEST_F(AudioCommand, AMinuteOfStreamKeepsToItsFrames) {
  SKIP_WITHOUT_FFMPEG();
  constexpr int kSeconds = 60;
  std::vector<int16_t> pcm(static_cast<size_t>(44100 * kSeconds), 0);
  for (int s = 0; s < kSeconds; ++s) {
    for (int i = 0; i < 2205; ++i) {
      pcm[static_cast<size_t>(s * 44100 + i)] = static_cast<int16_t>(12000 * std::sin(2 * 3.14159265 * 1000 * i / 44100.0));
    }
  }
  Ffmpeg ffmpeg;
  const auto mp3 = ffmpeg.Run(sound_testing::AsBytes(pcm), "-f s16le -ar 44100 -ac 1 -i in -c:a libmp3lame -b:a 64k "
                                                           "-write_xing 0 -id3v2_version 0 -f mp3 out");
  ASSERT_TRUE(mp3.has_value());
  // Frame k's block holds the MP3 frames that start within its time.
  std::vector<std::vector<uint8_t>> blocks(static_cast<size_t>(kSeconds * kFrameRate));
  std::vector<uint16_t> blockSamples(blocks.size(), 0);
  size_t offset = 0;
  long startSample = 0;
  while (offset < mp3->size()) {
    const auto header = swf::ReadMp3FrameHeader(std::span(*mp3).subspan(offset));
    ASSERT_TRUE(header.has_value()) << "at " << offset;
    const size_t block = std::min(static_cast<size_t>(startSample / kSamplesPerFrame), blocks.size() - 1);
    blocks[block].insert(blocks[block].end(), mp3->begin() + static_cast<ptrdiff_t>(offset),
                         mp3->begin() + static_cast<ptrdiff_t>(offset + static_cast<size_t>(header->length)));
    blockSamples[block] = static_cast<uint16_t>(blockSamples[block] + header->samplesPerFrame);
    offset += static_cast<size_t>(header->length);
    startSample += header->samplesPerFrame;
  }
  std::vector<Bytes> tags = {sound_testing::StreamHead(FormatByte(2, 3, true, false), kSamplesPerFrame)};
  for (size_t k = 0; k < blocks.size(); ++k) {
    if (!blocks[k].empty()) {
      std::vector<uint8_t> body = {static_cast<uint8_t>(blockSamples[k] & 0xFF), static_cast<uint8_t>(blockSamples[k] >> 8), 0, 0};
      body.insert(body.end(), blocks[k].begin(), blocks[k].end());
      tags.push_back(sound_testing::StreamBlock(body));
    }
    tags.push_back(swftest::ShowFrame());
  }
  const Bytes movie = swftest::Movie(tags, swftest::Signature::kFws, 9, {0, 4000, 0, 3000}, kFrameRate << 8,
                                     static_cast<uint16_t>(blocks.size()));
  const std::vector<int16_t> wave = Run(movie, kSeconds * kFrameRate);
  ASSERT_EQ(wave.size(), static_cast<size_t>(kSeconds * 44100 * 2));
  long worst = 0;
  for (int s = 0; s < kSeconds; ++s) {
    const long due = s * 44100L;
    const long onset = Onset(wave, due - kSamplesPerFrame, 3000);
    ASSERT_GE(onset, 0) << "second " << s;
    worst = std::max(worst, std::labs(onset - due));
    EXPECT_LT(std::labs(onset - due), kSamplesPerFrame) << "second " << s << ": tone at " << onset;
  }
  RecordProperty("worst_offset_samples", std::to_string(worst));
}

}  // namespace
