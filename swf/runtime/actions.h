#pragma once

// A small AVM1 subset: the timeline actions (Stop, Play, GotoFrame,
// GotoLabel, NextFrame, PrevFrame, GotoFrame2 on a constant, SetTarget and
// SetTarget2 on named clips), Trace of a constant, and what is needed to
// find their operands (Push, ConstantPool, Jump, If on a constant). Every other action is
// skipped without side effects; since its effect on the stack is unknown,
// the stack is forgotten after it. A branch on a value that is not known
// ends the block rather than guess a path.

#include <string>

#include "swf/parse/actions.h"
#include "swf/runtime/execution_context.h"
#include "swf/runtime/handle.h"

namespace swf {

class Runtime;
class Stage;

// Runs one block with `clip` as its timeline; `swfVersion` decides how
// names compare (without case before version 7). The block ends early when a
// goto it makes removes its clip.
void RunActionBlock(Runtime& runtime, ObjectHandle clip, const ActionBlock& block, int swfVersion,
                    ActionBudget& budget);

// The object a target path names, seen from `origin`: "" is the origin,
// "/a/b", "a/b", "../a", "_root.a.b", "_parent.a", "this" and plain names of
// child clips; none when nothing is there.
ObjectHandle ResolveTarget(const Stage& stage, ObjectHandle origin, const std::string& path, bool ignoreCase);

}  // namespace swf
