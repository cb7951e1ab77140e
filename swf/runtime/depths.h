#pragma once

#include <cstdint>

namespace swf {

// Depths are 32-bit. Timeline tags place objects at depths 0 to 65535, which
// scripts see shifted down by kScriptDepthOffset (timeline depth 1 is -16383
// for a script); objects that scripts make live at script depths 0 and
// above, that is above all ordinary timeline content. The stage keeps the
// timeline's numbering; scripts convert at their boundary.
inline constexpr int32_t kScriptDepthOffset = 16384;

constexpr int32_t ScriptDepthFromDepth(int32_t depth) { return depth - kScriptDepthOffset; }
constexpr int32_t DepthFromScriptDepth(int32_t scriptDepth) { return scriptDepth + kScriptDepthOffset; }

}  // namespace swf
