#include "player/audio_output.h"

#include "swf/player.h"

namespace player {

AudioOutput::AudioOutput() = default;

AudioOutput::~AudioOutput() { SetMovie(nullptr); }

void AudioOutput::SetMovie(swf::Player* movie) {
  // The output's thread is joined before the movie it pulls from can go.
  output_.reset();
  movie_ = movie;
  if (movie_ == nullptr) return;
  output_ = std::make_unique<WaveOut>([movie](std::span<int16_t> samples) { movie->PullAudio(samples); });
  output_->SetMuted(muted_);
  movie_->SetOutputLatency(WaveOut::kLatencySeconds);
}

void AudioOutput::Resume() {
  if (output_) output_->Start();
}

void AudioOutput::Pause() {
  if (output_) output_->Pause();
}

void AudioOutput::Update() {
  if (movie_ == nullptr) return;
  for (const swf::SoundRequest& request : movie_->TakeSoundRequests()) {
    movie_->StartSound(request.soundId, request.info, request.movie);
  }
}

void AudioOutput::SetMuted(bool muted) {
  muted_ = muted;
  if (output_) output_->SetMuted(muted);
}

WaveOut::Counts AudioOutput::Written() const { return output_ ? output_->Written() : WaveOut::Counts{}; }

}  // namespace player
