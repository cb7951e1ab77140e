#pragma once

#include "tools/command.h"

namespace tools {

// render <movie.swf> <out.png> [--frames N] [--width W --height H]
// [--quality low|high]: writes the frame shown after N frames as a PNG.
int RunRender(const CommandContext& context);

inline constexpr std::string_view kRenderUsage =
    "<movie.swf> <out.png> [--frames N] [--width W --height H] [--quality low|high]";

}  // namespace tools
