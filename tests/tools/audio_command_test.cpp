// "quorvel-pack audio" as a real process, natively and as the Windows console
// tool under Wine: uncompressed sounds (no codec of the system in the way)
// land in the WAV on the sample where their frames start.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../swf/swf_builder.h"
#include "../sys/temp_folder.h"
#include "run_process.h"

namespace {

using swftest::Bytes;

constexpr int kFrameRate = 10;
constexpr size_t kSamplesPerFrame = 44100 / kFrameRate;

Bytes PcmData(size_t samples, int16_t level) {
  Bytes data;
  for (size_t i = 0; i < samples; ++i) {
    data.push_back(static_cast<uint8_t>(level & 0xFF));
    data.push_back(static_cast<uint8_t>((level >> 8) & 0xFF));
  }
  return data;
}

// Sound 1: a fifth of a second of 16-bit mono at 22 kHz, level 5000. Frame 2
// starts it; the root streams 44 kHz mono at level 700 in frames 1 and 2.
Bytes Movie() {
  swftest::BitWriter sound;
  sound.U16(1);
  sound.U8(3 << 4 | 2 << 2 | 2);  // little-endian PCM, 22 kHz, 16-bit, mono
  sound.U32(4410);
  sound.Append(PcmData(4410, 5000));
  swftest::BitWriter head;
  head.U8(3 << 2 | 2);
  head.U8(3 << 4 | 3 << 2 | 2);
  head.U16(kSamplesPerFrame);
  swftest::BitWriter start;
  start.U16(1);
  start.U8(0);
  return swftest::Movie({swftest::Tag(14, sound.Take(), true), swftest::Tag(45, head.Take()), swftest::ShowFrame(),
                         swftest::Tag(19, PcmData(kSamplesPerFrame, 700), true), swftest::ShowFrame(),
                         swftest::Tag(19, PcmData(kSamplesPerFrame, 700), true), swftest::Tag(15, start.Take()),
                         swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame()},
                        swftest::Signature::kFws, 9, {0, 4000, 0, 3000}, kFrameRate << 8, 5);
}

TEST(AudioCommand, SoundsLandOnTheirFramesSamples) {
  testing_support::TempFolder work;
  const Bytes movie = Movie();
  const std::string moviePath = work.Write("movie.swf", std::string(movie.begin(), movie.end()));
  const std::string wavePath = work / "out.wav";
  const auto result = testing_support::RunProcess(testing_support::QuorvelPackPath(),
                                                  {"audio", moviePath, "--frames", "5", "-o", wavePath}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  const std::string wave = testing_support::ReadFileBytes(wavePath);
  ASSERT_EQ(wave.size(), 44 + 5 * kSamplesPerFrame * 4);
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
  const auto left = [&](size_t frame, size_t sample) {
    const size_t at = 44 + (frame * kSamplesPerFrame + sample) * 4;
    return static_cast<int16_t>(static_cast<uint8_t>(wave[at]) | static_cast<uint8_t>(wave[at + 1]) << 8);
  };
  const struct {
    size_t frame;
    size_t sample;
    int level;
  } expected[] = {
      {0, 0, 0}, {0, kSamplesPerFrame - 1, 0},        // before the stream's first block
      {1, 0, 700}, {1, kSamplesPerFrame - 1, 700},    // the stream
      {2, 0, 5700}, {2, kSamplesPerFrame - 1, 5700},  // the stream and the event sound
      {3, 0, 5000}, {3, kSamplesPerFrame - 1, 5000},  // the event sound: 0.2 s
      {4, 0, 0},
  };
  for (const auto& e : expected) EXPECT_EQ(left(e.frame, e.sample), e.level) << e.frame << ":" << e.sample;
  EXPECT_NE(result.output.find("5 frames"), std::string::npos) << result.output;
}

}  // namespace
