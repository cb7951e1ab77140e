#pragma once
// The host's sound output: the one place where the movie's sound leaves the
// program. The movie host tells it which movie plays, when its clock runs and
// when frames ran; a wave-out device (player/wave_out.h) pulls the movie's
// mixed samples (swf::Player::PullAudio) on a thread of its own, and the
// sounds the movie's buttons ask for are started here. Without a sound
// device nothing is heard and nothing fails.

#include <memory>

#include "player/wave_out.h"

namespace swf {
class Player;
}

namespace player {

class AudioOutput {
 public:
  AudioOutput();
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // The movie whose sound plays from now on; null: none (the sound stops at
  // once, and the previous movie is no longer pulled from when this returns).
  void SetMovie(swf::Player* movie);
  // The movie's clock runs: sound plays; it stopped: sound stops at once.
  void Resume();
  void Pause();
  // Frames ran or input was handled: the sounds the movie asked for since.
  void Update();

  void SetMuted(bool muted);
  bool Muted() const { return muted_; }

  // The device's counts, for checks (nothing without a movie).
  WaveOut::Counts Written() const;

 private:
  swf::Player* movie_ = nullptr;
  std::unique_ptr<WaveOut> output_;
  bool muted_ = false;
};

}  // namespace player
