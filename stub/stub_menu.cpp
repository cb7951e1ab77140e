#include "stub/stub_menu.h"

#include <stdexcept>

#include "ui/window.h"

namespace stub {
namespace {

void Append(HMENU menu, UINT id, const std::string& caption) {
  if (!::AppendMenuA(menu, MF_STRING, id, caption.c_str())) throw std::runtime_error(ui::LastErrorText());
}

void AppendSeparator(HMENU menu) { ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

// Hands `popup` to `bar`, which destroys it with itself from then on.
void AttachPopup(HMENU bar, ui::UniqueMenu popup, const char* caption) {
  if (!::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Get()), caption)) {
    throw std::runtime_error(ui::LastErrorText());
  }
  popup.Release();
}

}  // namespace

std::string MovieLabel(const std::string& name, std::size_t index) {
  return name.empty() ? "(movie " + std::to_string(index + 1) + ")" : name;
}

std::string MenuText(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '&') result.push_back('&');
    result.push_back(c);
  }
  return result;
}

ui::UniqueMenu BuildPlayerMenu(const std::vector<std::string>& movieNames, bool releaseAllowed) {
  ui::UniqueMenu bar(::CreateMenu());
  if (!bar) throw std::runtime_error(ui::LastErrorText());

  if (movieNames.size() > 1) {
    ui::UniqueMenu movies(::CreatePopupMenu());
    for (std::size_t k = 0; k < movieNames.size(); ++k) {
      Append(movies.Get(), command::kFirstMovie + static_cast<UINT>(k), MenuText(MovieLabel(movieNames[k], k)));
    }
    if (releaseAllowed) {
      AppendSeparator(movies.Get());
      Append(movies.Get(), command::kSaveMovies, "&Save movies...");
    }
    AttachPopup(bar.Get(), std::move(movies), "&Movies");
  } else if (releaseAllowed) {
    ui::UniqueMenu file(::CreatePopupMenu());
    Append(file.Get(), command::kSaveMovies, "&Save movies...");
    AttachPopup(bar.Get(), std::move(file), "&File");
  }

  ui::UniqueMenu play(::CreatePopupMenu());
  Append(play.Get(), command::kPlayPause, "&Play\tCtrl+P");
  Append(play.Get(), command::kRewind, "&Rewind\tCtrl+R");
  AppendSeparator(play.Get());
  Append(play.Get(), command::kStepForward, "Step &forward\tCtrl+Right");
  Append(play.Get(), command::kStepBack, "Step &back\tCtrl+Left");
  AppendSeparator(play.Get());
  Append(play.Get(), command::kMute, "&Mute\tCtrl+M");
  AttachPopup(bar.Get(), std::move(play), "&Play");

  ui::UniqueMenu view(::CreatePopupMenu());
  Append(view.Get(), command::kFullScreen, "&Full screen\tCtrl+F");
  AppendSeparator(view.Get());
  Append(view.Get(), command::kQualityHigh, "&High quality");
  Append(view.Get(), command::kQualityLow, "&Low quality");
  AttachPopup(bar.Get(), std::move(view), "&View");

  ui::UniqueMenu help(::CreatePopupMenu());
  Append(help.Get(), command::kLicences, "&Licences");
  Append(help.Get(), command::kAbout, "&About");
  AttachPopup(bar.Get(), std::move(help), "&Help");
  return bar;
}

}  // namespace stub
