#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "swf/sound/pcm_sound.h"

namespace swf {

// An MP3 frame decoder the host lends the engine (through HostServices):
// the engine has none of its own. One decoder follows one stream from its
// first frame, since a frame may lean on the bytes of those before it.
class Mp3Decoder {
 public:
  virtual ~Mp3Decoder() = default;

  // Takes the next bytes of the stream, split anywhere, and appends what
  // they complete: one PcmSound for each run of frames of one rate and
  // channel count (16-bit, interleaved). Junk between frames is skipped;
  // after damage the decoder cannot get past, it stays silent.
  virtual void Feed(std::span<const uint8_t> bytes, std::vector<PcmSound>& decoded) = 0;
};

}  // namespace swf
