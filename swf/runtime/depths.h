#pragma once

#include <cstdint>

namespace swf {

// Depths are 32-bit. Timeline tags place objects at depths 0 to 65535, which
// scripts see shifted down by kScriptDepthOffset (timeline depth 1 is -16383
// for a script); objects that scripts make live at script depths 0 and
// above, that is above all ordinary timeline content. The stage keeps the
// timeline's numbering; scripts convert at their boundary.
inline constexpr int32_t kScriptDepthOffset = 16384;

// The script depths at which scripts may make objects, and those from which
// removeMovieClip takes them away (the top few are out of its reach).
inline constexpr int32_t kMinScriptDepth = -kScriptDepthOffset;
inline constexpr int32_t kMaxScriptDepth = 2130690044;
inline constexpr int32_t kMaxRemovableScriptDepth = 2130690031;

constexpr bool ValidScriptDepth(int32_t scriptDepth) {
  return scriptDepth >= kMinScriptDepth && scriptDepth <= kMaxScriptDepth;
}

constexpr int32_t ScriptDepthFromDepth(int32_t depth) { return depth - kScriptDepthOffset; }
constexpr int32_t DepthFromScriptDepth(int32_t scriptDepth) { return scriptDepth + kScriptDepthOffset; }

}  // namespace swf
