#pragma once
// The host's sound output: the one place where the movie's sound leaves the
// program. The movie host tells it which movie plays and when frames ran;
// the wave-out device that pulls the movie's mixed samples
// (swf::Player::PullAudio) and plays the sounds its buttons ask for belongs
// here. Until it is written, the sounds asked for are taken and dropped, so
// that they do not pile up in the movie while nothing plays them.

namespace swf {
class Player;
}

namespace player {

class AudioOutput {
 public:
  // The movie whose sound plays from now on; null: none (sound stops).
  void SetMovie(swf::Player* movie) { movie_ = movie; }
  // Frames ran or input was handled: the sounds the movie asked for since.
  void Update();

 private:
  swf::Player* movie_ = nullptr;
};

}  // namespace player
