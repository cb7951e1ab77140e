#pragma once

// The ffmpeg program as the independent decoder (and encoder) the sound
// decoders are checked against. Tests that need it skip when it is missing.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sys/temp_folder.h"

namespace sound_testing {

bool FfmpegAvailable();

#define SKIP_WITHOUT_FFMPEG()                                                                  \
  do {                                                                                         \
    if (!::sound_testing::FfmpegAvailable()) GTEST_SKIP() << "ffmpeg is not installed: the " \
                                                             "independent decoder is missing"; \
  } while (0)

// Runs ffmpeg in a fresh folder holding `input` as the file "in": `arguments`
// name it "in" and write "out", whose bytes come back (nothing on failure).
class Ffmpeg {
 public:
  std::optional<std::vector<uint8_t>> Run(std::span<const uint8_t> input, const std::string& arguments);

 private:
  testing_support::TempFolder folder_;
};

std::vector<int16_t> AsSamples(std::span<const uint8_t> littleEndianBytes);
std::vector<uint8_t> AsBytes(std::span<const int16_t> samples);

}  // namespace sound_testing
