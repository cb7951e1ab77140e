#pragma once
// The player's menu bar: Movies (only with several movies), Play, View and
// Help. "Save movies..." is on the Movies menu, or alone on a File menu for
// a package of one movie, and only when the package allows releasing.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/handles.h"

namespace stub {

namespace command {
inline constexpr UINT kPlayPause = 100;
inline constexpr UINT kRewind = 101;
inline constexpr UINT kStepForward = 102;
inline constexpr UINT kStepBack = 103;
inline constexpr UINT kMute = 104;
inline constexpr UINT kFullScreen = 110;
inline constexpr UINT kQualityHigh = 111;
inline constexpr UINT kQualityLow = 112;
inline constexpr UINT kAbout = 120;
inline constexpr UINT kLicences = 121;
inline constexpr UINT kSaveMovies = 130;
inline constexpr UINT kFirstMovie = 1000;  // kFirstMovie + k plays movie k
}  // namespace command

// Builds the bar for the given movie names. Names are shown as they stand,
// with "&" doubled so that none turns into an access key.
ui::UniqueMenu BuildPlayerMenu(const std::vector<std::string>& movieNames, bool releaseAllowed);

// How a movie is named in the menu and the caption: its directory name, or
// "(movie N)" (N from 1) when the name is empty.
std::string MovieLabel(const std::string& name, std::size_t index);

// "&" doubled: a caption shows the text exactly.
std::string MenuText(const std::string& text);

}  // namespace stub
