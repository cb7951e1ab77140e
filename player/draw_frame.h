#pragma once
// The movie's current frame drawn into a window's off-screen picture: the
// one way the preview control and the stub's window put a frame on screen.

#include "swf/render/render_target.h"
#include "ui/back_buffer.h"

namespace swf {
class Player;
}

namespace player {

// Draws the whole stage into `buffer` (shown whole, aspect kept, centred) and
// clears the alpha bytes, so that the pixels are the plain 0x00RRGGBB the
// screen takes.
void DrawFrame(const swf::Player& movie, swf::Quality quality, ui::BackBuffer& buffer);

}  // namespace player
