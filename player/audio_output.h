#pragma once
// The host's sound output: the one place where the movie's sound leaves the
// program. The movie host tells it which movie plays and when frames ran or
// input was handled; the sounds the movie's buttons asked for are started in
// the movie's mix here. The wave-out device (wave_out.h) that pulls the mix
// (swf::Player::PullAudio) belongs here too.

namespace swf {
class Player;
}

namespace player {

class AudioOutput {
 public:
  // The movie whose sound plays from now on; null: none (sound stops).
  void SetMovie(swf::Player* movie) { movie_ = movie; }
  // Frames ran or input was handled: starts the sounds the movie's buttons
  // asked for since.
  void Update();

 private:
  swf::Player* movie_ = nullptr;
};

}  // namespace player
