#include "stub/player_window.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <span>

#include "core/ole_date.h"
#include "core/shared_object_store.h"
#include "stub/licence_text.h"
#include "stub/movie_release.h"
#include "stub/stub_menu.h"
#include "stub/stub_texts.h"
#include "swf/movie_report.h"
#include "swf/player.h"
#include "sys/file_system.h"

#ifndef QUORVEL_VERSION
#define QUORVEL_VERSION "0"
#endif

namespace stub {
namespace {

constexpr const char* kClassName = "QuorvelPlayerWindow";
// A movie without a usable stage gets this client area.
constexpr SIZE kFallbackStage{550, 400};
// No stage is given more pixels than this on either side: a claimed stage
// of millions of pixels would otherwise cost a back buffer to match.
constexpr int kLargestStageSide = 4096;
constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW;
// fscommand("fullscreen", ...) posted to the window: wParam is on or off.
constexpr UINT kFullScreenRequest = WM_APP + 1;

int StageSide(double pixels, int fallback) {
  if (!(pixels >= 1.0)) return fallback;  // also catches NaN
  return static_cast<int>(std::min(std::lround(pixels), static_cast<long>(kLargestStageSide)));
}

std::string DateText(double oleDate) {
  const auto date = core::CalendarDateFromOle(oleDate);
  if (!date) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
  return text;
}

bool IsTrue(std::string_view text) {
  return text.size() == 4 && (text[0] | 0x20) == 't' && (text[1] | 0x20) == 'r' && (text[2] | 0x20) == 'u' &&
         (text[3] | 0x20) == 'e';
}

bool IsCommand(std::string_view command, std::string_view name) {
  if (command.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(command[i])) != name[i]) return false;
  }
  return true;
}

}  // namespace

std::string DefaultSharedObjectsFolder() {
  const std::string data = sys::UserDataFolder();
  if (data.empty()) return {};
  return data + "\\Quorvel EXE Packager\\Shared objects";
}

PlayerWindow::PlayerWindow(ui::Seams& seams, FolderChooser& folders, core::Package package,
                           PlayerWindowOptions options)
    : ui::Window(seams), folders_(folders), package_(std::move(package)), options_(std::move(options)) {
  std::vector<std::string> names;
  for (const core::PackageMovie& movie : package_.movies) names.push_back(movie.name);
  menu_ = BuildPlayerMenu(names, package_.releaseFlag);

  WNDCLASSEXA windowClass{};
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hIcon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  windowClass.style = CS_DBLCLKS;
  RegisterWindowClass(windowClass);
  Create(0, kClassName, options_.packageName.c_str(), kWindowedStyle, CW_USEDEFAULT, CW_USEDEFAULT,
         kFallbackStage.cx, kFallbackStage.cy, nullptr, menu_.Get());
  host_.Attach(Handle());
  host_.Services()->SetFileSource([this](std::string_view path) { return files_.Load(path); });
  host_.Services()->SetCommandSink(
      [this](std::string_view command, std::string_view arguments) { OnFsCommand(command, arguments); });
  if (!package_.movies.empty()) SelectMovie(0);
}

PlayerWindow::~PlayerWindow() {
  host_.StopClock();
  // The menu is ours (menu_), not the window's, whether full screen took it
  // off or not.
  if (Handle()) ::SetMenu(Handle(), nullptr);
}

void PlayerWindow::Show(int showCommand) {
  ::ShowWindow(Handle(), showCommand);
  ::UpdateWindow(Handle());
}

SIZE PlayerWindow::StageClientSize() const {
  const swf::Player* player = host_.Movie();
  if (player == nullptr) return kFallbackStage;
  return SIZE{StageSide(player->StageWidth(), kFallbackStage.cx), StageSide(player->StageHeight(), kFallbackStage.cy)};
}

bool PlayerWindow::IsPlaying() const { return host_.IsPlaying(); }

void PlayerWindow::SelectMovie(std::size_t index) {
  if (index >= package_.movies.size()) return;
  host_.SetMovie(nullptr);  // the movie that ends keeps its shared objects in its own folder
  movieError_.clear();
  movieIndex_ = index;
  const core::PackageMovie& movie = package_.movies[index];
  host_.Services()->SetSharedObjectFolder(
      options_.sharedObjectsFolder.empty()
          ? std::string()
          : options_.sharedObjectsFolder + "\\" + core::SharedObjectStore::FolderName(options_.packageName) + "\\" +
                core::SharedObjectStore::FolderName(std::string(MovieLabel(movie.name, index))));
  // The package's bytes outlive the player, which refers to them.
  const std::string_view bytes = package_.MovieData(movie);
  std::unique_ptr<swf::Player> player;
  try {
    player = std::make_unique<swf::Player>(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
        host_.Services());
  } catch (const std::bad_alloc&) {
    movieError_ = "There is not enough memory for it.";
  } catch (const std::exception& error) {
    movieError_ = error.what();
  }
  std::string caption = options_.packageName + " - " + MovieLabel(movie.name, index);
  // What the movie uses that is not played is said once, in the caption,
  // rather than over its picture.
  if (player) {
    const std::string notice = swf::NoticeLine(swf::ReportMovie(player->Movie()));
    if (!notice.empty()) caption += " - " + notice;
  }
  ::SetWindowTextA(Handle(), caption.c_str());
  host_.SetMovie(std::move(player));
  host_.SetEmptyPicture(0xFFFFFF, std::string(texts::kMovieCannotPlay) + "\r\n" + movieError_);
  if (!fullScreen_) FitClientToStage();
  // The movie plays as its first frame left it: a movie that stops there
  // (a title with buttons) waits for the user.
  host_.StartClock();
  Redraw();
}

void PlayerWindow::FitClientToStage() {
  if (::IsZoomed(Handle()) || ::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
  SIZE stage = StageClientSize();
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(Handle(), GWL_EXSTYLE));
  const BOOL hasMenu = ::GetMenu(Handle()) != nullptr;
  RECT outer{0, 0, stage.cx, stage.cy};
  ::AdjustWindowRectEx(&outer, style, hasMenu, exStyle);
  // A stage larger than the screen's work area is shown smaller, its aspect
  // kept, so that the whole window stays within reach.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoA(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
    const int roomX = (monitor.rcWork.right - monitor.rcWork.left) - (outer.right - outer.left - stage.cx);
    const int roomY = (monitor.rcWork.bottom - monitor.rcWork.top) - (outer.bottom - outer.top - stage.cy);
    if (roomX > 0 && roomY > 0 && (stage.cx > roomX || stage.cy > roomY)) {
      const double scale = std::min(static_cast<double>(roomX) / stage.cx, static_cast<double>(roomY) / stage.cy);
      stage.cx = std::max(1L, std::lround(stage.cx * scale));
      stage.cy = std::max(1L, std::lround(stage.cy * scale));
      outer = RECT{0, 0, stage.cx, stage.cy};
      ::AdjustWindowRectEx(&outer, style, hasMenu, exStyle);
    }
    // Keep the title bar on the screen.
    RECT place{};
    ::GetWindowRect(Handle(), &place);
    const int left = std::clamp(place.left, monitor.rcWork.left,
                                std::max(monitor.rcWork.left, monitor.rcWork.right - (outer.right - outer.left)));
    const int top = std::clamp(place.top, monitor.rcWork.top,
                               std::max(monitor.rcWork.top, monitor.rcWork.bottom - (outer.bottom - outer.top)));
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  ::SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar wider than a small stage wraps onto a second line, which
  // AdjustWindowRectEx does not foresee; the client then comes up short.
  RECT client{};
  ::GetClientRect(Handle(), &client);
  if (client.bottom != stage.cy || client.right != stage.cx) {
    width += stage.cx - client.right;
    height += stage.cy - client.bottom;
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void PlayerWindow::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  HWND hwnd = Handle();
  if (on) {
    windowedStyle_ = ::GetWindowLongA(hwnd, GWL_STYLE);
    windowedPlacement_.length = sizeof windowedPlacement_;
    ::GetWindowPlacement(hwnd, &windowedPlacement_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    fullScreen_ = true;
    ::SetMenu(hwnd, nullptr);
    ::SetWindowLongA(hwnd, GWL_STYLE, (windowedStyle_ & ~static_cast<LONG>(kWindowedStyle)) | WS_POPUP);
    const RECT& screen = monitor.rcMonitor;
    ::SetWindowPos(hwnd, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                   screen.bottom - screen.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  } else {
    fullScreen_ = false;
    ::SetWindowLongA(hwnd, GWL_STYLE, windowedStyle_);
    ::SetMenu(hwnd, menu_.Get());
    ::SetWindowPlacement(hwnd, &windowedPlacement_);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  }
  Redraw();
}

void PlayerWindow::TogglePlay() {
  swf::Player* player = host_.Movie();
  if (player == nullptr) return;
  if (IsPlaying()) {
    player->Stop();
    host_.StopClock();
  } else {
    player->Play();
    host_.StartClock();
  }
}

void PlayerWindow::Rewind() {
  swf::Player* player = host_.Movie();
  if (player == nullptr) return;
  player->Stop();
  host_.StopClock();
  player->GotoFrame(0);
  Redraw();
}

void PlayerWindow::Step(int frames) {
  swf::Player* player = host_.Movie();
  if (player == nullptr || player->FrameCount() == 0) return;
  player->Stop();
  host_.StopClock();
  const long last = static_cast<long>(player->FrameCount()) - 1;
  const long target = std::clamp(static_cast<long>(player->CurrentFrame()) + frames, 0L, last);
  player->GotoFrame(static_cast<std::size_t>(target));
  Redraw();
}

void PlayerWindow::SaveMovies() {
  // The command exists only in packages that allow it; a stray message
  // (another program may send any) must not get round that.
  if (!package_.releaseFlag) return;
  ui::Dialogs& dialogs = GetSeams().dialogs;
  const std::optional<std::string> folder = folders_.ChooseFolder(Handle(), texts::kChooseFolder);
  if (!folder) return;
  const auto mayOverwrite = [&](const std::string& path) {
    return dialogs.ShowMessageBox({Handle(), path + texts::kFileExists, texts::kPlayerTitle,
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}) == IDYES;
  };
  try {
    const ReleaseOutcome outcome = ReleaseMovies(package_, *folder, mayOverwrite);
    std::string text = std::to_string(outcome.written.size()) +
                       (outcome.written.size() == 1 ? " movie" : " movies") + " saved in " + *folder + ".";
    if (!outcome.kept.empty()) {
      text += "\r\n" + std::to_string(outcome.kept.size()) +
              (outcome.kept.size() == 1 ? " existing file was" : " existing files were") + " kept.";
    }
    dialogs.ShowMessageBox({Handle(), text, texts::kPlayerTitle, MB_OK | MB_ICONINFORMATION});
  } catch (const std::exception& error) {
    dialogs.ShowMessageBox({Handle(), std::string(texts::kSaveFailed) + "\r\n" + error.what(),
                            texts::kPlayerTitle, MB_OK | MB_ICONERROR});
  }
}

void PlayerWindow::ShowAbout() {
  const std::size_t count = package_.movies.size();
  std::string text = std::string(texts::kPlayerTitle) + " " QUORVEL_VERSION "\r\n\r\n" + "Package \"" +
                     options_.packageName + "\": " + std::to_string(count) + (count == 1 ? " movie" : " movies");
  const std::string date = DateText(package_.dateStamp);
  if (!date.empty()) text += ", built on " + date;
  text += ".\r\nMade with Quorvel EXE Packager.";
  GetSeams().dialogs.ShowMessageBox({Handle(), text, "About", MB_OK | MB_ICONINFORMATION});
}

void PlayerWindow::ToggleMute() { host_.Audio().SetMuted(!IsMuted()); }

void PlayerWindow::ShowLicences() {
  if (!licences_) licences_ = std::make_unique<LicencesWindow>(GetSeams(), Handle(), LicenceText());
  licences_->ShowInFront();
}

void PlayerWindow::RunCommand(UINT id) {
  switch (id) {
    case command::kPlayPause: TogglePlay(); return;
    case command::kRewind: Rewind(); return;
    case command::kStepForward: Step(1); return;
    case command::kStepBack: Step(-1); return;
    case command::kMute: ToggleMute(); return;
    case command::kFullScreen: SetFullScreen(!fullScreen_); return;
    case command::kQualityHigh: host_.SetQuality(swf::Quality::kHigh); Redraw(); return;
    case command::kQualityLow: host_.SetQuality(swf::Quality::kLow); Redraw(); return;
    case command::kAbout: ShowAbout(); return;
    case command::kLicences: ShowLicences(); return;
    case command::kSaveMovies: SaveMovies(); return;
    default:
      if (id >= command::kFirstMovie && id - command::kFirstMovie < package_.movies.size()) {
        SelectMovie(id - command::kFirstMovie);
      }
  }
}

void PlayerWindow::UpdateMenu(HMENU popup) {
  const UINT playing = IsPlaying() ? MF_CHECKED : MF_UNCHECKED;
  ::ModifyMenuA(popup, command::kPlayPause, MF_BYCOMMAND | MF_STRING | playing, command::kPlayPause,
                IsPlaying() ? "&Pause\tCtrl+P" : "&Play\tCtrl+P");
  const UINT enabled = host_.Movie() != nullptr ? MF_ENABLED : MF_GRAYED;
  for (UINT id : {command::kPlayPause, command::kRewind, command::kStepForward, command::kStepBack}) {
    ::EnableMenuItem(popup, id, MF_BYCOMMAND | enabled);
  }
  ::CheckMenuItem(popup, command::kFullScreen, MF_BYCOMMAND | (fullScreen_ ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(popup, command::kMute, MF_BYCOMMAND | (IsMuted() ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuRadioItem(popup, command::kQualityHigh, command::kQualityLow,
                       host_.Quality() == swf::Quality::kHigh ? command::kQualityHigh : command::kQualityLow,
                       MF_BYCOMMAND);
  if (package_.movies.size() > 1) {
    const UINT first = command::kFirstMovie;
    const UINT last = first + static_cast<UINT>(package_.movies.size()) - 1;
    ::CheckMenuRadioItem(popup, first, last, first + static_cast<UINT>(movieIndex_), MF_BYCOMMAND);
  }
}

void PlayerWindow::OnFsCommand(std::string_view command, std::string_view arguments) {
  // Posted, not done here: the movie is in the middle of its frame.
  if (IsCommand(command, "quit")) {
    ::PostMessageA(Handle(), WM_CLOSE, 0, 0);
  } else if (IsCommand(command, "fullscreen")) {
    ::PostMessageA(Handle(), kFullScreenRequest, IsTrue(arguments) ? 1 : 0, 0);
  } else if (IsCommand(command, "trapallkeys")) {
    trapAllKeys_ = IsTrue(arguments);
  }
  // "allowscale" and "showmenu" are accepted: the picture always fits the
  // window, and the menu bar is the player's own.
}

bool PlayerWindow::OnKey(WPARAM key) {
  if (trapAllKeys_) return false;
  if (key == VK_ESCAPE && fullScreen_) {
    SetFullScreen(false);
    return true;
  }
  if (::GetKeyState(VK_CONTROL) >= 0) return false;
  switch (key) {
    case 'F': SetFullScreen(!fullScreen_); return true;
    case 'P': TogglePlay(); return true;
    case 'R': Rewind(); return true;
    case 'M': ToggleMute(); return true;
    case VK_RIGHT: Step(1); return true;
    case VK_LEFT: Step(-1); return true;
    default: return false;  // other Ctrl combinations are the movie's too
  }
}

LRESULT PlayerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) <= 1) RunCommand(LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      if (!HIWORD(lParam)) UpdateMenu(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_KEYDOWN:
      if (OnKey(wParam)) return 0;
      break;
    case kFullScreenRequest:
      SetFullScreen(wParam != 0);
      return 0;
    case WM_PAINT: {
      ui::PaintDc paint(Handle());
      host_.Paint(paint.Get());
      return 0;
    }
    case WM_DESTROY:
      host_.StopClock();
      ::SetMenu(Handle(), nullptr);
      if (options_.endsProgram) ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (host_.HandleMessage(message, wParam, lParam, result)) return result;
  return Default(message, wParam, lParam);
}

}  // namespace stub
