// The system's MP3 decoder (libmpg123 natively, the audio compression
// manager under Wine) against ffmpeg's decoding of the same tones, and on
// damaged streams made here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "sys/mp3.h"

namespace {

constexpr int kFrameBytes = 417;  // 128 kbit/s at 44.1 kHz, unpadded
constexpr int kFrames = 24;

// MPEG-1 layer III stereo headers followed by zeros (no scale factors, no
// coefficients), which every decoder turns into silence.
std::vector<uint8_t> SilentFrames() {
  std::vector<uint8_t> frames;
  for (int i = 0; i < kFrames; ++i) {
    const std::vector<uint8_t> header = {0xFF, 0xFB, 0x90, 0x00};
    frames.insert(frames.end(), header.begin(), header.end());
    frames.resize(frames.size() + kFrameBytes - 4, 0);
  }
  return frames;
}

// Everything the decoder made, checked to be of one format.
swf::PcmSound FeedInPieces(std::span<const uint8_t> bytes, size_t pieceSize) {
  auto decoder = sys::CreateMp3Decoder();
  EXPECT_NE(decoder, nullptr);
  swf::PcmSound all;
  if (!decoder) return all;
  std::vector<swf::PcmSound> parts;
  for (size_t at = 0; at < bytes.size(); at += pieceSize) {
    decoder->Feed(bytes.subspan(at, std::min(pieceSize, bytes.size() - at)), parts);
  }
  for (const swf::PcmSound& part : parts) {
    if (all.sampleRate == 0) all = swf::PcmSound{part.sampleRate, part.channels, {}};
    EXPECT_EQ(part.sampleRate, all.sampleRate);
    EXPECT_EQ(part.channels, all.channels);
    all.samples.insert(all.samples.end(), part.samples.begin(), part.samples.end());
  }
  return all;
}

// Silence, but for the low-level dither some codecs add (seen: up to 2).
bool IsSilence(std::span<const int16_t> samples) {
  return std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s >= -4 && s <= 4; });
}

// Junk before the frames, in the middle and after them (bytes that never
// look like a frame start) is passed over.
TEST(DamagedMp3, JunkAroundFramesIsSkipped) {
  const std::vector<uint8_t> frames = SilentFrames();
  std::vector<uint8_t> data;
  uint8_t junk = 0x11;
  const auto addJunk = [&] {
    for (int i = 0; i < 301; ++i) data.push_back(junk = static_cast<uint8_t>((junk * 73 + 5) & 0x7F));
  };
  const auto middle = frames.begin() + kFrameBytes * kFrames / 2;
  addJunk();
  data.insert(data.end(), frames.begin(), middle);
  addJunk();
  data.insert(data.end(), middle, frames.end());
  data.insert(data.end(), 500, 0x42);
  const swf::PcmSound sound = FeedInPieces(data, 333);
  EXPECT_EQ(sound.channels, 2);
  EXPECT_GE(sound.FrameCount(), static_cast<size_t>((kFrames - 4) * 1152));
  EXPECT_LE(sound.FrameCount(), static_cast<size_t>(kFrames * 1152));
  EXPECT_TRUE(IsSilence(sound.samples));
}

// Random bytes hold false frame starts, which reach the codec as frames of
// garbage, of any format: it may make noise of them, but only whole samples
// of one or two channels, never more than frames can hold.
TEST(DamagedMp3, RandomBytesAreSurvived) {
  std::mt19937 random(5);
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> data(20000);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random() % 3 == 0 ? 0xFF : random());
    auto decoder = sys::CreateMp3Decoder();
    ASSERT_NE(decoder, nullptr);
    std::vector<swf::PcmSound> parts;
    const size_t pieceSize = 1 + static_cast<size_t>(round) * 397;
    for (size_t at = 0; at < data.size(); at += pieceSize) {
      decoder->Feed(std::span<const uint8_t>(data).subspan(at, std::min(pieceSize, data.size() - at)), parts);
    }
    size_t total = 0;
    for (const swf::PcmSound& part : parts) {
      EXPECT_TRUE(part.channels == 1 || part.channels == 2);
      EXPECT_GE(part.sampleRate, 8000);
      EXPECT_EQ(part.samples.size() % static_cast<size_t>(std::max(part.channels, 1)), 0u);
      total += part.samples.size();
    }
    EXPECT_LE(total, data.size() * 110);  // free-format frames: 2304 samples in 21 bytes
  }
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TonesMp3 : public testing::TestWithParam<size_t> {};

// Stereo tones encoded by ffmpeg at build time, decoded by it and by ours,
// fed in pieces of every size.
TEST_P(TonesMp3, DecodesAsFfmpegDoes) {
#ifndef QUORVEL_MP3_TONES
  GTEST_SKIP() << "ffmpeg was not installed at build time: no MP3 tones to compare";
#else
  const std::vector<uint8_t> mp3 = ReadBytes(std::string(QUORVEL_MP3_TONES) + ".mp3");
  const std::vector<uint8_t> pcm = ReadBytes(std::string(QUORVEL_MP3_TONES) + ".pcm");
  ASSERT_GT(mp3.size(), 1000u);
  const swf::PcmSound sound = FeedInPieces(mp3, GetParam());
  EXPECT_EQ(sound.sampleRate, 22050);
  EXPECT_EQ(sound.channels, 2);
  ASSERT_EQ(sound.samples.size() * 2, pcm.size());
  int largestDifference = 0;
  for (size_t i = 0; i < sound.samples.size(); ++i) {
    const int expected = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
    largestDifference = std::max(largestDifference, std::abs(sound.samples[i] - expected));
  }
  // Rounding, and the dither some codecs add.
  EXPECT_LE(largestDifference, 4);
#endif
}

INSTANTIATE_TEST_SUITE_P(PieceSizes, TonesMp3, testing::Values(size_t{1}, size_t{700}, size_t{1} << 20));

}  // namespace
