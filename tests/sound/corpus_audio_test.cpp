// "quorvel-pack audio" on movies of the script corpus whose test states
// which frames sound and which are silent: the WAV is read back and each
// frame's peak measured against the stated levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../sys/temp_folder.h"
#include "../tools/run_process.h"
#include "sound/ffmpeg_oracle.h"

namespace {

struct FrameLevels {
  const char* test;
  int frameRate;
  int frames;
  std::vector<int> loud;     // 1-based frames that peak at `loudPeak` or more
  double loudPeak;
  std::vector<int> silent;   // 1-based frames with nothing at all
};
void PrintTo(const FrameLevels& c, std::ostream* os) { *os << c.test; }

class CorpusAudio : public testing::TestWithParam<FrameLevels> {};

// Peak of each frame, as a fraction of full scale.
std::vector<double> FramePeaks(const std::vector<int16_t>& stereo, int frameRate, int frames) {
  std::vector<double> peaks;
  const size_t perFrame = static_cast<size_t>(44100 / frameRate) * 2;
  for (int frame = 0; frame < frames; ++frame) {
    const size_t begin = std::min(stereo.size(), perFrame * static_cast<size_t>(frame));
    const size_t end = std::min(stereo.size(), begin + perFrame);
    int peak = 0;
    for (size_t i = begin; i < end; ++i) peak = std::max(peak, std::abs(int{stereo[i]}));
    peaks.push_back(peak / 32768.0);
  }
  return peaks;
}

TEST_P(CorpusAudio, FramesSoundAndStaySilentAsTheTestStates) {
  const FrameLevels& c = GetParam();
  const std::filesystem::path movie = std::filesystem::path(QUORVEL_TRACE_CORPUS) / c.test / "test.swf";
  if (!std::filesystem::exists(movie)) GTEST_SKIP() << movie << " is not there";
  testing_support::TempFolder work;
  const std::string wavePath = (std::filesystem::path(work.Path()) / "out.wav").string();
  const auto result = testing_support::RunProcess(
      testing_support::QuorvelPackPath(), {"audio", movie.string(), "--frames", std::to_string(c.frames), "-o", wavePath},
      work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  std::ifstream file(wavePath, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_GT(bytes.size(), 44u);
  const std::vector<double> peaks =
      FramePeaks(sound_testing::AsSamples(std::span(bytes).subspan(44)), c.frameRate, c.frames);
  for (const int frame : c.loud) EXPECT_GE(peaks[static_cast<size_t>(frame - 1)], c.loudPeak) << "frame " << frame;
  for (const int frame : c.silent) EXPECT_EQ(peaks[static_cast<size_t>(frame - 1)], 0.0) << "frame " << frame;
}

// A Sound object attaches an exported sound, starts it on frame 3 and stops
// it on frame 5; calls made while its clip is renamed do nothing.
INSTANTIATE_TEST_SUITE_P(Scripts, CorpusAudio,
                         testing::Values(FrameLevels{"avm1-sound_start_stop", 1, 5, {3, 4}, 0.6, {1, 2, 5}}));

}  // namespace
