#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "swf/sound/mp3_decoder.h"
#include "swf/sound/nellymoser.h"
#include "swf/sound/pcm_sound.h"
#include "swf/sound/sound_encoding.h"

namespace swf {

// A whole event sound (DefineSound's data after its header fields). MP3 data
// starts with a signed 16-bit count of samples to drop from the start (the
// encoder's delay), then the frames; `mp3` decodes them, or, when it is
// null, the sound stays silent. Unknown formats and Speex (not decoded) give
// an empty sound at the declared rate.
PcmSound DecodeEventSound(const SoundEncoding& encoding, std::span<const uint8_t> data, Mp3Decoder* mp3);

// One SoundStreamBlock after another, for one stream head. ADPCM and PCM
// blocks stand alone; MP3 blocks (a 16-bit sample count and a 16-bit seek
// count, then frames) continue one stream, and Nellymoser frames overlap
// across blocks, so their decoders are kept here.
class StreamSoundDecoder {
 public:
  StreamSoundDecoder(const SoundEncoding& encoding, std::unique_ptr<Mp3Decoder> mp3);

  // The samples this block adds, at the stream's rate and channel count.
  PcmSound DecodeBlock(std::span<const uint8_t> block);

 private:
  SoundEncoding encoding_;
  std::unique_ptr<Mp3Decoder> mp3_;
  std::unique_ptr<NellymoserStream> nellymoser_;
  int mp3Rate_ = 0;  // the rate of the first decoded frames; others are dropped
};

}  // namespace swf
