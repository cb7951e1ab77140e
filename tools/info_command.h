#pragma once

#include <string_view>

#include "tools/command.h"

namespace tools {

// info <movie.swf> [--json]: the movie's version, stage, frame rate and
// count, compression, and what in it is not run or not drawn.
int RunInfo(const CommandContext& context);

inline constexpr std::string_view kInfoUsage = "<movie.swf> [--json]";

}  // namespace tools
