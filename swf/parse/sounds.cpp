#include "swf/parse/sounds.h"

namespace swf {

unsigned SoundRateHz(uint8_t rateCode) {
  constexpr unsigned kRates[4] = {5512, 11025, 22050, 44100};
  return kRates[rateCode & 3];
}

SoundDefinition ParseDefineSound(BitReader& reader) {
  SoundDefinition sound;
  sound.id = reader.U16();
  sound.format = static_cast<uint8_t>(reader.UB(4));
  sound.rate = static_cast<uint8_t>(reader.UB(2));
  sound.is16Bit = reader.Flag();
  sound.stereo = reader.Flag();
  sound.sampleCount = reader.U32();
  sound.data = reader.Rest();
  return sound;
}

SoundInfo ReadSoundInfo(BitReader& reader) {
  SoundInfo info;
  const uint8_t flags = reader.U8();
  info.syncStop = (flags & 0x20) != 0;
  info.syncNoMultiple = (flags & 0x10) != 0;
  const bool hasEnvelope = (flags & 0x08) != 0;
  const bool hasLoops = (flags & 0x04) != 0;
  const bool hasOutPoint = (flags & 0x02) != 0;
  const bool hasInPoint = (flags & 0x01) != 0;
  if (hasInPoint) info.inPoint = reader.U32();
  if (hasOutPoint) info.outPoint = reader.U32();
  if (hasLoops) info.loopCount = reader.U16();
  if (hasEnvelope) {
    const unsigned points = reader.U8();  // at most 255
    for (unsigned i = 0; i < points; ++i) {
      SoundEnvelopePoint point;
      point.position44 = reader.U32();
      point.leftLevel = reader.U16();
      point.rightLevel = reader.U16();
      info.envelope.push_back(point);
    }
  }
  return info;
}

StartSound ParseStartSound(BitReader& reader) {
  StartSound start;
  start.soundId = reader.U16();
  start.info = ReadSoundInfo(reader);
  return start;
}

StartSound ParseStartSound2(BitReader& reader) {
  StartSound start;
  start.className = reader.String();
  start.info = ReadSoundInfo(reader);
  return start;
}

SoundStreamHead ParseSoundStreamHead(BitReader& reader, int version) {
  SoundStreamHead head;
  head.version = version;
  reader.UB(4);  // reserved
  head.playbackRate = static_cast<uint8_t>(reader.UB(2));
  head.playback16Bit = reader.Flag();
  head.playbackStereo = reader.Flag();
  head.format = static_cast<uint8_t>(reader.UB(4));
  head.rate = static_cast<uint8_t>(reader.UB(2));
  head.is16Bit = reader.Flag();
  head.stereo = reader.Flag();
  head.samplesPerBlock = reader.U16();
  // Some writers leave the latency out of MP3 heads; it is only a hint.
  if (head.format == sound_format::kMp3 && reader.Remaining() >= 2) head.latencySeek = reader.S16();
  return head;
}

}  // namespace swf
