#pragma once

#include <array>
#include <string_view>

#include "tools/command.h"

namespace tools {

// audio <movie.swf> --frames N -o <out.wav>: the sound of the movie's first N
// frames, mixed as a player plays it, as a 44.1 kHz 16-bit stereo WAV file.
int RunAudio(const CommandContext& context);

inline constexpr std::string_view kAudioUsage = "<movie.swf> <out.wav> --frames N (-o <out.wav> may stand for <out.wav>)";
inline constexpr std::array<std::string_view, 2> kAudioOptions = {"frames=", "output="};

}  // namespace tools
