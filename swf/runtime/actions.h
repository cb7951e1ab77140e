#pragma once

// Target paths as SetTarget, tellTarget and the variables of scripts name
// clips: slash and dot forms, relative to the clip a script runs on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "swf/parse/actions.h"
#include "swf/runtime/execution_context.h"
#include "swf/runtime/handle.h"

namespace swf {

class Stage;

// The object a target path names, seen from `origin`: "" is the origin,
// "/a/b", "a/b", "../a", "_root.a.b", "_parent.a", "this" and plain names of
// child clips; none when nothing is there.
ObjectHandle ResolveTarget(const Stage& stage, ObjectHandle origin, const std::string& path, bool ignoreCase);

// What `_root` names seen from `object`: the nearest clip around it (itself
// included) whose _lockroot is set, else the root of its level.
ObjectHandle RootOf(const Stage& stage, ObjectHandle object);

// The level "_levelN" names (digits only after the prefix, which is matched
// without case when `ignoreCase`); none for any other name.
std::optional<int32_t> LevelNumber(std::string_view name, bool ignoreCase);

}  // namespace swf
