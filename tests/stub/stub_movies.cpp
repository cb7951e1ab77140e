#include "stub_movies.h"

#include <cstdint>
#include <cstring>

#include "core/zlib_stream.h"
#include "swf/parse/tag_header.h"
#include "swf/swf_builder.h"

namespace stubtest {
namespace {

constexpr int kTwips = 20;

void AppendUint32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string SquareMovie(int width, int height, swf::Rgba background, swf::Rgba squareColor, int x, int y,
                        int frames, int frameRate) {
  std::vector<swftest::Bytes> tags;
  tags.push_back(swftest::Tag(swf::tag::kSetBackgroundColor, {background.r, background.g, background.b}));
  tags.push_back(swftest::SquareShapeTag(1, 60 * kTwips, squareColor));
  for (int frame = 0; frame < frames; ++frame) {
    const swf::Matrix place = swf::Matrix::Translate((x + 20 * frame) * kTwips, y * kTwips);
    swftest::Place p;
    p.depth = 1;
    p.move = frame > 0;
    p.characterId = frame == 0 ? 1 : -1;
    p.matrix = &place;
    tags.push_back(swftest::PlaceObject2(p));
    tags.push_back(swftest::ShowFrame());
  }
  const swftest::Bytes bytes =
      swftest::Movie(tags, swftest::Signature::kCws, 10, swf::Rect{0, width * kTwips, 0, height * kTwips},
                     static_cast<std::uint16_t>(frameRate << 8), static_cast<std::uint16_t>(frames));
  return std::string(bytes.begin(), bytes.end());
}

std::string SoundMovie(int frames) {
  constexpr int kFrameRate = 12;
  constexpr int kStreamSamples = 44100 / kFrameRate;
  const auto pcm = [](int samples, auto level) {
    swftest::Bytes bytes;
    for (int i = 0; i < samples; ++i) {
      const auto value = static_cast<uint16_t>(static_cast<int16_t>(level(i)));
      bytes.push_back(static_cast<uint8_t>(value & 0xFF));
      bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    return bytes;
  };
  swftest::BitWriter sound;
  sound.U16(1);
  sound.U8(3 << 4 | 2 << 2 | 2);  // little-endian PCM, 22 kHz, 16-bit, mono
  sound.U32(22050);
  sound.Append(pcm(22050, [](int) { return 6000; }));
  swftest::BitWriter head;
  head.U8(3 << 2 | 2);
  head.U8(3 << 4 | 3 << 2 | 2);  // the blocks: little-endian PCM, 44 kHz, 16-bit, mono
  head.U16(kStreamSamples);
  std::vector<swftest::Bytes> tags = {swftest::Tag(swf::tag::kDefineSound, sound.Take(), true),
                                      swftest::Tag(swf::tag::kSoundStreamHead2, head.Take())};
  for (int frame = 0; frame < frames; ++frame) {
    tags.push_back(swftest::Tag(swf::tag::kSoundStreamBlock,
                                pcm(kStreamSamples, [](int i) { return (i / 50) % 2 ? 8000 : -8000; }), true));
    if (frame == 1) {
      swftest::BitWriter start;
      start.U16(1);
      start.U8(0);
      tags.push_back(swftest::Tag(swf::tag::kStartSound, start.Take()));
    }
    tags.push_back(swftest::ShowFrame());
  }
  const swftest::Bytes bytes = swftest::Movie(tags, swftest::Signature::kCws, 10, swf::Rect{0, 200 * kTwips, 0, 100 * kTwips},
                                              kFrameRate << 8, static_cast<std::uint16_t>(frames));
  return std::string(bytes.begin(), bytes.end());
}

std::string Payload(const std::vector<std::pair<std::string, std::string>>& movies, unsigned char releaseFlag,
                    long long directorySizeField, const std::string& directoryOverride) {
  std::string payload;
  std::string directory;
  for (const auto& [name, bytes] : movies) {
    payload += bytes;
    directory += name + ":" + std::to_string(bytes.size()) + "\r\n";
  }
  if (!directoryOverride.empty()) directory = directoryOverride;
  payload += directory;
  payload.push_back(static_cast<char>(releaseFlag));
  payload.push_back('\0');
  const double date = 46000.0;
  std::uint64_t dateBits = 0;
  static_assert(sizeof date == sizeof dateBits);
  std::memcpy(&dateBits, &date, sizeof date);
  for (int i = 0; i < 8; ++i) payload.push_back(static_cast<char>((dateBits >> (8 * i)) & 0xFF));
  AppendUint32(payload, static_cast<std::uint32_t>(directorySizeField < 0 ? directory.size() : directorySizeField));
  return payload;
}

std::string Assemble(const CraftedPackage& crafted) {
  const std::string compressed =
      crafted.compressedOverride.empty() ? core::Deflate(crafted.payload) : crafted.compressedOverride;
  std::string file = crafted.stub + compressed;
  AppendUint32(file, static_cast<std::uint32_t>(crafted.payloadSizeField < 0 ? crafted.payload.size()
                                                                            : crafted.payloadSizeField));
  AppendUint32(file, static_cast<std::uint32_t>(crafted.compressedSizeField < 0 ? compressed.size()
                                                                               : crafted.compressedSizeField));
  return file;
}

}  // namespace stubtest
