#pragma once

#include <array>
#include <string_view>

#include "tools/command.h"

namespace tools {

// render <movie.swf> <out.png> [--frames N] [--width W --height H | --size WxH]
// [--quality low|high] [--background #rrggbb]: writes the frame shown after N
// frames as a PNG.
int RunRender(const CommandContext& context);

inline constexpr std::string_view kRenderUsage =
    "<movie.swf> <out.png> [--frames N] [--width W --height H | --size WxH] [--quality low|high] "
    "[--background #rrggbb] (-o <out.png> may stand for <out.png>)";
inline constexpr std::array<std::string_view, 7> kRenderOptions = {
    "frames=", "width=", "height=", "size=", "quality=", "background=", "output="};

}  // namespace tools
