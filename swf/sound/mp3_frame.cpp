#include "swf/sound/mp3_frame.h"

#include <array>

namespace swf {
namespace {

// kbit/s by bit-rate index, for MPEG-1 and for MPEG-2 / 2.5.
constexpr std::array<int, 15> kMpeg1BitRates = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 15> kMpeg2BitRates = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr std::array<int, 3> kMpeg1Rates = {44100, 48000, 32000};

}  // namespace

std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
  const int version = (bytes[1] >> 3) & 3;  // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
  const int layer = (bytes[1] >> 1) & 3;    // 1 is layer III
  const int bitRateIndex = bytes[2] >> 4;
  const int rateIndex = (bytes[2] >> 2) & 3;
  if (version == 1 || layer != 1 || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3) return std::nullopt;

  const bool mpeg1 = version == 3;
  Mp3FrameHeader header;
  header.sampleRate = kMpeg1Rates[static_cast<size_t>(rateIndex)] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  header.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
  header.bitRate = (mpeg1 ? kMpeg1BitRates : kMpeg2BitRates)[static_cast<size_t>(bitRateIndex)] * 1000;
  header.samplesPerFrame = mpeg1 ? 1152 : 576;
  const int padding = (bytes[2] >> 1) & 1;
  header.length = header.samplesPerFrame / 8 * header.bitRate / header.sampleRate + padding;
  return header;
}

}  // namespace swf
