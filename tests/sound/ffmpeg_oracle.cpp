#include "sound/ffmpeg_oracle.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace sound_testing {

bool FfmpegAvailable() {
  static const bool available = std::system("ffmpeg -version >/dev/null 2>&1") == 0;
  return available;
}

std::optional<std::vector<uint8_t>> Ffmpeg::Run(std::span<const uint8_t> input, const std::string& arguments) {
  const std::string in = folder_ / "in";
  const std::string out = folder_ / "out";
  {
    std::ofstream file(in, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
  }
  std::remove(out.c_str());
  const std::string command = "cd '" + folder_.Path() +
                              "' && ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments;
  if (std::system(command.c_str()) != 0) return std::nullopt;
  std::ifstream file(out, std::ios::binary);
  if (!file) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<int16_t> AsSamples(std::span<const uint8_t> bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return samples;
}

std::vector<uint8_t> AsBytes(std::span<const int16_t> samples) {
  std::vector<uint8_t> bytes;
  bytes.reserve(samples.size() * 2);
  for (int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

}  // namespace sound_testing
