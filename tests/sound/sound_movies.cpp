#include "sound/sound_movies.h"

#include "swf/parse/tag_header.h"

namespace sound_testing {

uint8_t FormatByte(uint8_t format, int rateCode, bool sixteenBit, bool stereo) {
  return static_cast<uint8_t>(format << 4 | rateCode << 2 | (sixteenBit ? 2 : 0) | (stereo ? 1 : 0));
}

swftest::Bytes DefineSound(uint16_t id, uint8_t formatByte, uint32_t sampleCount, std::span<const uint8_t> data) {
  swftest::BitWriter w;
  w.U16(id);
  w.U8(formatByte);
  w.U32(sampleCount);
  w.Append(swftest::Bytes(data.begin(), data.end()));
  return swftest::Tag(swf::tag::kDefineSound, w.Take(), true);
}

swftest::Bytes StartSound(uint16_t id, const Info& info) {
  swftest::BitWriter w;
  w.U16(id);
  w.U8(static_cast<uint8_t>((info.stop ? 0x20 : 0) | (info.noMultiple ? 0x10 : 0) | (info.loops >= 0 ? 0x04 : 0)));
  if (info.loops >= 0) w.U16(static_cast<uint16_t>(info.loops));
  return swftest::Tag(swf::tag::kStartSound, w.Take());
}

swftest::Bytes StreamHead(uint8_t formatByte, uint16_t samplesPerBlock, int16_t latencySeek) {
  swftest::BitWriter w;
  w.U8(static_cast<uint8_t>(formatByte & 0x0F));
  w.U8(formatByte);
  w.U16(samplesPerBlock);
  if ((formatByte >> 4) == 2) w.U16(static_cast<uint16_t>(latencySeek));
  return swftest::Tag(swf::tag::kSoundStreamHead2, w.Take());
}

swftest::Bytes StreamBlock(std::span<const uint8_t> data) {
  return swftest::Tag(swf::tag::kSoundStreamBlock, swftest::Bytes(data.begin(), data.end()), true);
}

std::vector<uint8_t> PcmBytes(std::span<const int16_t> samples) {
  std::vector<uint8_t> bytes;
  for (const int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

}  // namespace sound_testing
