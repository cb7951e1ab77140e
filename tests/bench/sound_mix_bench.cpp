// Sound: decoding and mixing cost per second of audio, with 8 voices of
// 44.1 kHz stereo MP3 streams (decoded block by block, as a streamed movie
// is) mixed to the output. The time of one iteration over a second of audio,
// as a share of that second, is the share of one core it takes (goal: under
// 2 %). The MP3 is made by the ffmpeg program once, at the start.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "swf/sound/mixer.h"
#include "swf/sound/mp3_frame.h"
#include "swf/sound/sound_decoder.h"
#include "sys/mp3.h"

namespace {

constexpr int kVoices = 8;
constexpr int kFrameRate = 12;

// A second of tones as 128 kbit/s stereo MP3 frames, split into a movie's
// blocks (one per frame of 1/12 s), each with its sample and seek counts.
std::vector<std::vector<uint8_t>> SecondOfMp3Blocks() {
  const std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  const std::string pcm = folder + "/quorvel_bench_tones.raw";
  const std::string mp3 = folder + "/quorvel_bench_tones.mp3";
  {
    std::ofstream out(pcm, std::ios::binary);
    for (int i = 0; i < 44100; ++i) {
      for (int channel = 0; channel < 2; ++channel) {
        const auto value = static_cast<int16_t>(12000 * std::sin(i * (channel ? 0.07 : 0.05)) + 3000 * std::sin(i * 0.9));
        out.write(reinterpret_cast<const char*>(&value), 2);
      }
    }
  }
  const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y -f s16le -ar 44100 -ac 2 -i '" + pcm +
                              "' -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 '" + mp3 + "'";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(mp3, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::vector<uint8_t>> blocks(kFrameRate);
  size_t offset = 0;
  long start = 0;
  while (offset < bytes.size()) {
    const auto header = swf::ReadMp3FrameHeader(std::span(bytes).subspan(offset));
    if (!header) break;
    auto& block = blocks[std::min<size_t>(static_cast<size_t>(start * kFrameRate / 44100), blocks.size() - 1)];
    if (block.empty()) block = {0, 0, 0, 0};
    block.insert(block.end(), bytes.begin() + static_cast<ptrdiff_t>(offset),
                 bytes.begin() + static_cast<ptrdiff_t>(offset + static_cast<size_t>(header->length)));
    offset += static_cast<size_t>(header->length);
    start += header->samplesPerFrame;
  }
  return blocks;
}

class Blocks : public swf::StreamSource {
 public:
  explicit Blocks(const std::vector<std::vector<uint8_t>>& blocks)
      : blocks_(blocks), decoder_({2, 44100, true, true}, sys::CreateMp3Decoder()) {}
  std::optional<swf::PcmSound> NextBlock() override {
    if (next_ == blocks_.size()) return std::nullopt;
    return decoder_.DecodeBlock(blocks_[next_++]);
  }

 private:
  const std::vector<std::vector<uint8_t>>& blocks_;
  size_t next_ = 0;
  swf::StreamSoundDecoder decoder_;
};

void BM_EightMp3VoicesASecond(benchmark::State& state) {
  static const std::vector<std::vector<uint8_t>> blocks = SecondOfMp3Blocks();
  if (blocks.empty() || blocks.front().empty()) {
    state.SkipWithError("ffmpeg could not make the MP3");
    return;
  }
  std::vector<int16_t> out(2 * 441);  // the mix pulled 10 ms at a time
  for (auto _ : state) {
    swf::Mixer mixer;
    for (int v = 0; v < kVoices; ++v) mixer.StartStream(static_cast<uint64_t>(v), std::make_unique<Blocks>(blocks), 0);
    for (int pull = 0; pull < 100; ++pull) mixer.Mix(out);
    benchmark::DoNotOptimize(out.data());
  }
  // Each iteration is a second of audio: its time is the share of a core.
  // (kIsRate divides by the seconds taken, kInvert turns it over.)
  state.counters["core_share_percent"] = benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EightMp3VoicesASecond)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
