#pragma once

#include <cstdint>
#include <span>

namespace fuzz {

// What the fuzzer and the replay of its findings do with one input: load it
// as a movie, play a few frames, jump back and forth and render each state
// small, in both qualities. A movie that is refused with swf::ParseError
// returns quietly; anything else that goes wrong (another exception, a broken
// invariant, a sanitizer report) escapes, so that it counts as a finding.
void ExerciseMovie(std::span<const uint8_t> bytes);

}  // namespace fuzz
