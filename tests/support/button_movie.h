#pragma once
// A movie with one button, for the tests of the windows that host the
// engine: the stage is 240 x 180 pixels on white; the button, a 60-pixel
// square at (20, 20), is red when up, blue with the mouse over it and green
// pressed. Its release goes to the frame labelled "done"; Space and the
// arrow keys (key-press conditions) go to the frames "space", "left",
// "right", "up" and "down". The root stops on every frame; each labelled
// frame shows a yellow 20-pixel marker at x 160, one row per frame.
#include <string>

namespace testsupport {

inline constexpr int kButtonMovieWidth = 240;
inline constexpr int kButtonMovieHeight = 180;
inline constexpr int kButtonLeft = 20;
inline constexpr int kButtonTop = 20;
inline constexpr int kButtonSide = 60;
inline constexpr int kMarkerLeft = 160;
inline constexpr int kMarkerSide = 20;

// The labelled frames, in order: frame k + 1 is kButtonMovieLabels[k].
inline constexpr const char* kButtonMovieLabels[] = {"done", "space", "left", "right", "up", "down"};
// The marker's top row on frame `frame` (1 to 6).
constexpr int MarkerTop(int frame) { return 10 + 28 * (frame - 1); }

std::string ButtonMovie();

}  // namespace testsupport
