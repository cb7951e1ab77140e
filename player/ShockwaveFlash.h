#pragma once
// TShockwaveFlash: the player control of the preview area, a child window
// over the SWF engine. It offers what the main window needs of a player:
// load a movie (after setting the background colour), go to a frame, play,
// stop, and its picture, which stays on screen inside its own rectangle.
//
// The movie runs in the shared host (movie_host.h): it draws into a back
// buffer of the control's size, which painting copies to the screen and the
// thumbnail capture reads, so a capture is exact even while the window is
// covered; the mouse and the keyboard go to the movie. A movie that uses
// what the engine does not run or draw gets one line of notice over the
// bottom of the control, painted on the screen only, so that thumbnails
// stay the movie's own picture.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/movie_host.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace swf {
class Player;
}

namespace player {

class TShockwaveFlash : public ui::Window {
 public:
  // A child of `parent` at the given place, with no movie.
  TShockwaveFlash(ui::Seams& seams, HWND parent, const RECT& place);
  ~TShockwaveFlash() override;

  // 0xRRGGBB; the colour behind and around the movie from the next load on.
  void SetBackgroundColor(int color);
  // Drops the previous movie and opens the named file. A file the engine
  // cannot read leaves no movie and a message inside the control.
  void SetMovie(const std::wstring& path);
  void GotoFrame(int frame);
  void Play();
  void Stop();

  int Width() const;
  int Height() const;

  // The movie's picture now: Width() × Height() pixels, rows top to
  // bottom, 0x00RRGGBB each (without the notice line).
  const uint32_t* Pixels() const { return host_.Buffer().Pixels(); }

  bool HasMovie() const { return host_.Movie() != nullptr; }
  bool IsPlaying() const;
  int CurrentFrame() const;
  const std::wstring& MoviePath() const { return moviePath_; }
  // The message shown instead of a picture when the last load failed.
  const std::string& LoadError() const { return loadError_; }
  // The line shown over the movie about what is not supported; empty when
  // everything in it plays.
  const std::string& Notice() const { return notice_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Redraw();
  // Without a movie the control shows the background colour, and why the
  // last load failed.
  void UpdateEmptyPicture();
  // Where the notice band starts (the height when there is none).
  int NoticeTop(HDC dc) const;
  void PaintNotice(HDC dc, int top) const;

  int background_ = 0xFFFFFF;
  // The movie's bytes outlive its player, which refers to them.
  std::vector<uint8_t> movieBytes_;
  std::wstring moviePath_;
  std::string loadError_;
  std::string notice_;

  MovieHost host_;
};

}  // namespace player
