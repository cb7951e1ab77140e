#include "player/audio_output.h"

#include "swf/player.h"

namespace player {

void AudioOutput::Update() {
  if (movie_ == nullptr) return;
  // No device yet: see the header.
  movie_->TakeSoundRequests();
}

}  // namespace player
