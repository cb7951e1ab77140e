#pragma once

#include <memory>

#include "swf/sound/mp3_decoder.h"

namespace sys {

// A fresh MP3 decoder for one stream, from the system's codec; nothing when
// the system offers none.
std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder();

}  // namespace sys
