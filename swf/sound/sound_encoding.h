#pragma once

#include <cstdint>

namespace swf {

// The codec numbers of the sound tags' 4-bit format field. 7 and 8 are the
// G.711 codes of the FLV container, accepted here too.
enum class SoundCodec : uint8_t {
  kPcmNativeOrder = 0,  // written on little-endian machines: read as little-endian
  kAdpcm = 1,
  kMp3 = 2,
  kPcmLittleEndian = 3,
  kNellymoser16k = 4,
  kNellymoser8k = 5,
  kNellymoser = 6,
  kALaw = 7,
  kMuLaw = 8,
  kSpeex = 11,
};

// How a sound's bytes are to be read, from its tag's header fields.
struct SoundEncoding {
  uint8_t format = 0;       // a SoundCodec value; unknown ones decode to nothing
  int sampleRate = 44100;   // see SampleRateFromCode
  bool sixteenBit = true;   // linear PCM only: 16-bit signed, else 8-bit unsigned
  bool stereo = false;
};

// The 2-bit rate field: 5.5, 11, 22 and 44 kHz (5.5 kHz is 44.1 kHz / 8).
inline int SampleRateFromCode(int code) {
  switch (code & 3) {
    case 0: return 5512;
    case 1: return 11025;
    case 2: return 22050;
    default: return 44100;
  }
}

}  // namespace swf
