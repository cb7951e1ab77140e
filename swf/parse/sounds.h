#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/parse/bit_reader.h"

namespace swf {

// Sound tags as data. Nothing here decodes samples: the bytes point into the
// movie's body, in the format the tag states.

// SoundFormat of DefineSound and of a stream head.
namespace sound_format {
inline constexpr uint8_t kUncompressedNativeEndian = 0;
inline constexpr uint8_t kAdpcm = 1;
inline constexpr uint8_t kMp3 = 2;
inline constexpr uint8_t kUncompressedLittleEndian = 3;
inline constexpr uint8_t kNellymoser16kHz = 4;
inline constexpr uint8_t kNellymoser8kHz = 5;
inline constexpr uint8_t kNellymoser = 6;
inline constexpr uint8_t kSpeex = 11;
}  // namespace sound_format

// Sample rate code: 0 = 5.5 kHz, 1 = 11 kHz, 2 = 22 kHz, 3 = 44 kHz.
unsigned SoundRateHz(uint8_t rateCode);

// DefineSound. MP3 data starts with the UI16 seek samples, kept in `data`.
struct SoundDefinition {
  uint16_t id = 0;
  uint8_t format = 0;   // sound_format
  uint8_t rate = 0;     // rate code, see SoundRateHz
  bool is16Bit = false;
  bool stereo = false;
  uint32_t sampleCount = 0;  // per channel
  std::span<const uint8_t> data;
};

struct SoundEnvelopePoint {
  uint32_t position44 = 0;  // in 44 kHz samples
  uint16_t leftLevel = 0;   // 0..32768
  uint16_t rightLevel = 0;
  bool operator==(const SoundEnvelopePoint&) const = default;
};

// SOUNDINFO: how StartSound / StartSound2 / a button state plays a sound.
struct SoundInfo {
  bool syncStop = false;        // stop the sound instead of starting it
  bool syncNoMultiple = false;  // do not start it again while it plays
  std::optional<uint32_t> inPoint;   // 44 kHz samples
  std::optional<uint32_t> outPoint;
  std::optional<uint16_t> loopCount;
  std::vector<SoundEnvelopePoint> envelope;  // empty without HasEnvelope
};

// StartSound (by character id) or StartSound2 (by class name) in a frame.
struct StartSound {
  uint16_t soundId = 0;   // StartSound
  std::string className;  // StartSound2; soundId is 0 then
  SoundInfo info;
};

// SoundStreamHead / SoundStreamHead2: the format of the timeline's stream
// blocks.
struct SoundStreamHead {
  int version = 1;  // 1 SoundStreamHead, 2 SoundStreamHead2
  uint8_t playbackRate = 0;  // rate code
  bool playback16Bit = false;
  bool playbackStereo = false;
  uint8_t format = 0;  // sound_format of the blocks
  uint8_t rate = 0;
  bool is16Bit = false;
  bool stereo = false;
  uint16_t samplesPerBlock = 0;  // average per frame
  std::optional<int16_t> latencySeek;  // MP3 only
};

SoundDefinition ParseDefineSound(BitReader& reader);
SoundInfo ReadSoundInfo(BitReader& reader);
StartSound ParseStartSound(BitReader& reader);   // tag 15
StartSound ParseStartSound2(BitReader& reader);  // tag 89
SoundStreamHead ParseSoundStreamHead(BitReader& reader, int version);

}  // namespace swf
