#pragma once
// A small game made in code for the player's end-to-end test: a preloader
// that waits until getBytesLoaded() reaches getBytesTotal(), a red hero
// square moved by the arrow keys, Space held to jump, a green button that
// scores on release, and a blue bar as wide as the high score, which is
// kept with SharedObject.getLocal("best") and flushed when beaten.

#include <string>

namespace stubtest {

inline constexpr int kGameWidth = 300;
inline constexpr int kGameHeight = 200;
inline constexpr int kHeroSide = 20;
inline constexpr int kHeroStartX = 40;
inline constexpr int kHeroGroundY = 140;
inline constexpr int kHeroJumpY = 60;
inline constexpr int kHeroStep = 6;  // pixels per pass of the game loop (two frames)
inline constexpr int kGameButtonX = 240;
inline constexpr int kGameButtonY = 20;
inline constexpr int kGameButtonSide = 40;
inline constexpr int kBarX = 10;
inline constexpr int kBarY = 10;
inline constexpr int kBarUnit = 10;  // bar pixels per point of high score
inline constexpr const char* kGameStore = "best";

std::string GameMovie();

}  // namespace stubtest
