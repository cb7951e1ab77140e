#pragma once
// What the Win32 host offers the movies it plays, beyond the engine's
// defaults: the system's MP3 decoder (the audio compression manager), so
// that MP3 sounds are heard. One lives in the host and outlives its movies.

#include <memory>

#include "swf/host_services.h"
#include "sys/fonts.h"
#include "sys/mp3.h"

namespace player {

class MovieServices : public swf::HostServices {
 public:
  std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder() override { return sys::CreateMp3Decoder(); }
  // The system's fonts, for text in device fonts.
  swf::text::FontSource* Fonts() override { return fonts_.get(); }

 private:
  std::unique_ptr<swf::text::FontSource> fonts_ = sys::CreateFontSource();
};

}  // namespace player
