#pragma once

#include <cstddef>

#include "swf/parse/movie.h"
#include "swf/runtime/handle.h"

namespace swf {

// A frame entered (not passed over by a goto) that starts sounds or carries
// stream blocks: the runtime lists them for the player's audio.
struct SoundFrame {
  ObjectHandle clip;
  const ParsedMovie* movie = nullptr;  // whose sound ids; null: the root's
  const TimelineDefinition* timeline = nullptr;
  size_t frame = 0;
};

}  // namespace swf
