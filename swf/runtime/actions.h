#pragma once

// Target paths as SetTarget, tellTarget and the variables of scripts name
// clips: slash and dot forms, relative to the clip a script runs on.

#include <string>

#include "swf/parse/actions.h"
#include "swf/runtime/execution_context.h"
#include "swf/runtime/handle.h"

namespace swf {

class Stage;

// The object a target path names, seen from `origin`: "" is the origin,
// "/a/b", "a/b", "../a", "_root.a.b", "_parent.a", "this" and plain names of
// child clips; none when nothing is there.
ObjectHandle ResolveTarget(const Stage& stage, ObjectHandle origin, const std::string& path, bool ignoreCase);

}  // namespace swf
