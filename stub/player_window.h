#pragma once
// The player's window: it plays one movie of its package at a time, its
// client area the movie's stage size (the picture scaled "show all" when the
// window is resized or full screen), in the engine host shared with the
// preview (player/movie_host.h). Keys belong to the movie: the window's own
// commands are on its menu and on Ctrl combinations, and Escape leaves full
// screen before it reaches the movie.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/movie_files.h"
#include "core/package_reader.h"
#include "stub/folder_chooser.h"
#include "stub/licences_window.h"
#include "player/movie_host.h"
#include "swf/render/render_target.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace swf {
class Player;
}

namespace stub {

struct PlayerWindowOptions {
  std::string packageName;      // shown in the caption; names the movies' shared-object folder
  bool endsProgram = true;      // closing the window posts WM_QUIT
  std::string folder;           // beside the executable: what movies load that the package lacks
  // Where each package keeps its movies' shared objects, one folder per
  // package and movie below it; empty: none are kept.
  std::string sharedObjectsFolder;
};

// The folder below the user's data folder where packages keep shared
// objects; empty when the system names no such folder.
std::string DefaultSharedObjectsFolder();

class PlayerWindow final : public ui::Window {
 public:
  // Creates the window, hidden, on the package's first movie.
  PlayerWindow(ui::Seams& seams, FolderChooser& folders, core::Package package, PlayerWindowOptions options);
  ~PlayerWindow() override;

  void Show(int showCommand);

  // Plays movie `index` from its first frame; the window takes its stage size.
  void SelectMovie(std::size_t index);

  std::size_t MovieIndex() const { return movieIndex_; }
  // The engine's player of the current movie; null when it cannot be played.
  const swf::Player* CurrentPlayer() const { return host_.Movie(); }
  const std::string& MovieError() const { return movieError_; }
  bool IsPlaying() const;
  bool IsFullScreen() const { return fullScreen_; }
  bool IsMuted() const { return host_.Audio().Muted(); }
  // What the sound output handed to the device so far, for checks.
  player::WaveOut::Counts SoundWritten() const { return host_.Audio().Written(); }
  swf::Quality CurrentQuality() const { return host_.Quality(); }
  HMENU MenuBar() const { return menu_.Get(); }
  // The current movie's stage in whole pixels, which the window gives its
  // client area (scaled down, aspect kept, where the screen is too small).
  SIZE StageClientSize() const;
  // Help, Licences: null until first asked for.
  const LicencesWindow* Licences() const { return licences_.get(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void RunCommand(UINT id);
  void UpdateMenu(HMENU popup);
  void FitClientToStage();
  void SetFullScreen(bool on);
  void TogglePlay();
  void ToggleMute();
  void Rewind();
  void Step(int frames);
  void SaveMovies();
  void ShowAbout();
  void ShowLicences();
  void Redraw() { host_.Redraw(); }
  // The window's own keys; false when the key is the movie's.
  bool OnKey(WPARAM key);
  // What a movie's fscommand asks of a standalone player; the window acts
  // once the movie's frame is over.
  void OnFsCommand(std::string_view command, std::string_view arguments);

  FolderChooser& folders_;
  core::Package package_;
  PlayerWindowOptions options_;
  ui::UniqueMenu menu_;

  std::size_t movieIndex_ = 0;
  std::string movieError_;

  core::MovieFiles files_{package_, options_.folder};
  bool fullScreen_ = false;
  bool trapAllKeys_ = false;  // fscommand("trapallkeys"): the window's own keys go to the movie
  LONG windowedStyle_ = 0;
  WINDOWPLACEMENT windowedPlacement_{};

  player::MovieHost host_;
  std::unique_ptr<LicencesWindow> licences_;
};

}  // namespace stub
