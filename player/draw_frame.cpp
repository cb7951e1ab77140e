#include "player/draw_frame.h"

#include <cstddef>
#include <cstdint>

#include "swf/player.h"

namespace player {

void DrawFrame(const swf::Player& movie, swf::Quality quality, ui::BackBuffer& buffer) {
  swf::RenderTarget target;
  target.pixels = reinterpret_cast<std::uint8_t*>(buffer.Pixels());
  target.width = buffer.Width();
  target.height = buffer.Height();
  target.stride = buffer.Width() * 4;
  target.format = swf::PixelFormat::kBgra32;
  movie.Render(target, quality);
  const std::size_t count = static_cast<std::size_t>(buffer.Width()) * static_cast<std::size_t>(buffer.Height());
  for (std::size_t i = 0; i < count; ++i) buffer.Pixels()[i] &= 0x00FFFFFFu;
}

}  // namespace player
