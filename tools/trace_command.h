#pragma once

#include <array>
#include <string_view>

#include "tools/command.h"

namespace tools {

// trace <movie.swf> --frames N [--input FILE] [--now MS] [--utc-offset MINUTES]:
// runs the movie for N frames (the first counts as 1) on a virtual clock,
// without drawing, and prints each trace line to standard output.
int RunTrace(const CommandContext& context);

inline constexpr std::string_view kTraceUsage =
    "<movie.swf> --frames N [--input FILE] [--now MILLISECONDS] [--utc-offset MINUTES]";
inline constexpr std::array<std::string_view, 4> kTraceOptions = {"frames=", "input=", "now=", "utc-offset="};

}  // namespace tools
