// libFuzzer target for the SWF engine: any bytes either load, play and
// render (see movie_exercise.h) or are refused with swf::ParseError; never a
// crash, an out-of-bounds access, a hang or an unbounded allocation.
#include <cstddef>
#include <cstdint>
#include <span>

#include "movie_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ExerciseMovie(std::span<const std::uint8_t>(data, size));
  return 0;
}
