#include "player/audio_output.h"

#include "swf/player.h"

namespace player {

void AudioOutput::Update() {
  if (movie_ == nullptr) return;
  for (const swf::SoundRequest& request : movie_->TakeSoundRequests()) {
    movie_->StartSound(request.soundId, request.info, request.movie);
  }
}

}  // namespace player
