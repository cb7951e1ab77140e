#pragma once
// The one Win32 host of the engine, shared by the preview's player control
// and the player stub's window: it owns the movie's player, runs its frame
// clock on the window's timer, draws frames into a back buffer of the client
// area's size, passes the mouse, the keyboard and the focus on to the movie
// (in stage pixels), shows the cursor the movie asks for, and feeds the sound
// output. The window that uses it hands it its messages first and paints the
// buffer itself (the preview adds its notice line).
//
// Everything runs on the window's thread: a frame is drawn in well under a
// frame's time for the movies this plays, so no drawing thread is needed.

#include <windows.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>

#include "player/audio_output.h"
#include "player/movie_services.h"
#include "swf/render/render_target.h"
#include "ui/back_buffer.h"

namespace swf {
class Player;
struct InputEvent;
}  // namespace swf

namespace player {

class MovieHost {
 public:
  MovieHost();
  ~MovieHost();
  MovieHost(const MovieHost&) = delete;
  MovieHost& operator=(const MovieHost&) = delete;

  // The window whose client area shows the movie and whose timer drives it;
  // set once it exists.
  void Attach(HWND window) { window_ = window; }

  // Shows `movie` from now on (none: the empty picture); the clock stops.
  void SetMovie(std::unique_ptr<swf::Player> movie);
  swf::Player* Movie() { return movie_.get(); }
  const swf::Player* Movie() const { return movie_.get(); }

  // The frame clock: while it runs, every frame that falls due runs.
  void StartClock();
  void StopClock();
  bool ClockRunning() const { return clockRunning_; }
  // The clock runs and the movie's root plays.
  bool IsPlaying() const;

  // What the movies this host plays are to be made with (their MP3
  // decoder, files, shared objects); it outlives them.
  MovieServices* Services() { return &services_; }

  // The sound output: mute, and what it wrote.
  AudioOutput& Audio() { return audio_; }
  const AudioOutput& Audio() const { return audio_; }

  void SetQuality(swf::Quality quality) { quality_ = quality; }
  swf::Quality Quality() const { return quality_; }
  // What shows without a movie: a colour (0xRRGGBB) and a message in the
  // middle (none when empty), in black or white, whichever reads.
  void SetEmptyPicture(uint32_t color, std::string message);

  // Draws the movie's frame (or the empty picture) into the buffer and asks
  // for the window to be painted.
  void Redraw();
  const ui::BackBuffer& Buffer() const { return buffer_; }
  // Copies the buffer (its top `height` rows) to `dc`, drawing it first if
  // it is not there yet.
  void Paint(HDC dc, int height = INT_MAX);

  // Handles the messages that are the host's (frame timer, size, mouse,
  // keys, characters, focus, cursor); true with `result` set when it did.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  void Deliver(const swf::InputEvent& event);
  void MouseEvent(UINT message, LPARAM lParam);
  void KeyEvent(UINT message, WPARAM wParam, LPARAM lParam);
  void OnFrameTimer();
  bool SetCursorShape();
  void DrawMessage(const std::string& text);

  HWND window_ = nullptr;
  MovieServices services_;  // before the movie, which uses it to the end
  std::unique_ptr<swf::Player> movie_;
  swf::Quality quality_ = swf::Quality::kHigh;
  uint32_t emptyColor_ = 0xFFFFFF;
  std::string emptyMessage_;

  bool clockRunning_ = false;
  std::chrono::steady_clock::time_point lastTick_;
  // Input changed what the movie shows and the picture waits for the next
  // frame (mouse moves are many; each need not cost a drawing).
  bool pictureStale_ = false;
  bool trackingLeave_ = false;  // TrackMouseEvent asked for WM_MOUSELEAVE
  int mouseButtonsDown_ = 0;    // the capture is held while any is down

  ui::BackBuffer buffer_;
  // The sound output lives here, beside the clock that runs the frames.
  AudioOutput audio_;
};

}  // namespace player
