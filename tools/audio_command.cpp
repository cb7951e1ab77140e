#include "tools/audio_command.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "sys/file.h"
#include "sys/mp3.h"
#include "tools/trace_host.h"

namespace tools {
namespace {

// An hour at 120 frames a second: 1.2 GB of WAV at most.
constexpr long long kMaxFrames = 120LL * 60 * 60;

// The trace host (files beside the movie, a virtual clock) with the system's
// MP3 decoder; trace output is dropped.
class AudioHost : public TraceHost {
 public:
  AudioHost(std::ostream& traceSink, std::filesystem::path folder) : TraceHost(traceSink, std::move(folder), 0, 0) {}
  std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder() override { return sys::CreateMp3Decoder(); }
};

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string Wave(const std::vector<int16_t>& interleavedStereo) {
  const uint32_t dataBytes = static_cast<uint32_t>(interleavedStereo.size() * 2);
  std::string out = "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, 2, 2);
  PutLittleEndian(out, swf::Player::kAudioSampleRate, 4);
  PutLittleEndian(out, swf::Player::kAudioSampleRate * 4, 4);
  PutLittleEndian(out, 4, 2);
  PutLittleEndian(out, 16, 2);
  out += "data";
  PutLittleEndian(out, dataBytes, 4);
  for (const int16_t sample : interleavedStereo) PutLittleEndian(out, static_cast<uint16_t>(sample), 2);
  return out;
}

// Frame k's samples end at (k + 1) / rate seconds, to the sample, so that
// frames of a fractional number of samples do not drift.
size_t SamplesBefore(long long frame, double frameRate) {
  return static_cast<size_t>(std::floor(static_cast<double>(frame) * swf::Player::kAudioSampleRate / frameRate));
}

}  // namespace

int RunAudio(const CommandContext& context) {
  const Arguments& arguments = context.arguments;
  const auto usage = [&](const std::string& problem) {
    context.err << "quorvel-pack: " << problem << "\nusage: quorvel-pack audio " << kAudioUsage << "\n";
    return kExitUsage;
  };
  if (arguments.positional.size() != 2) return usage("audio needs a movie and an output file");
  const auto framesText = arguments.Value("frames");
  if (!framesText) return usage("audio needs --frames N");
  const auto frames = ParseInteger(*framesText, 1, kMaxFrames);
  if (!frames) return usage("--frames needs a whole number from 1 to " + std::to_string(kMaxFrames) + ", not \"" + *framesText + "\"");
  const std::string& moviePath = arguments.positional[0];
  const std::string& wavePath = arguments.positional[1];

  std::string file;
  try {
    file = sys::ReadWholeFile(moviePath, sys::FileAccess::kReadShareReadWrite);
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  std::ostringstream traceSink;
  const std::filesystem::path folder = std::filesystem::path(moviePath).parent_path();
  AudioHost host(traceSink, folder.empty() ? std::filesystem::path(".") : folder);
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  std::optional<swf::Player> player;
  try {
    player.emplace(bytes, &host);
  } catch (const swf::ParseError& error) {
    return Fail(context.err, moviePath + ": " + error.what());
  }

  // Each frame's samples are pulled after it is entered; the first frame was
  // entered when the player was made.
  const double rate = 1.0 / player->FrameInterval();
  std::vector<int16_t> samples(SamplesBefore(*frames, rate) * 2);
  for (long long frame = 0; frame < *frames; ++frame) {
    const size_t begin = SamplesBefore(frame, rate);
    const size_t end = SamplesBefore(frame + 1, rate);
    player->PullAudio(std::span(samples).subspan(2 * begin, 2 * (end - begin)));
    if (frame + 1 < *frames) {
      host.AdvanceClock(player->FrameInterval());
      player->Advance(player->FrameInterval());
    }
  }
  try {
    sys::WriteWholeFile(wavePath, Wave(samples));
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  int peak = 0;
  for (const int16_t sample : samples) peak = std::max(peak, std::abs(int{sample}));
  context.out << wavePath << ": " << *frames << " frames, " << samples.size() / 2 << " samples at "
              << swf::Player::kAudioSampleRate << " Hz, peak " << peak << " of 32767\n";
  return kExitSuccess;
}

}  // namespace tools
