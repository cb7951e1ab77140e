// How a script's `throw` travels.
//
// A thrown value unwinds as a C++ exception carrying the value. It passes
// through whatever lies between the throw and the `try` that catches it:
// script frames, and native frames too (Array.sort calling a comparator that
// throws, a getter run by a member read), whose RAII guards restore what
// they changed. Native code that calls back into script must therefore be
// exception-safe; it may also throw a ScriptThrow itself. A value nobody
// catches ends the script that threw it, as in the player.
//
// While a ScriptThrow is in flight no collection runs: the collector only
// runs at the interpreter's safe points, and the interpreter keeps a caught
// value in a root before it runs any more code.
#pragma once

#include <utility>

#include "swf/avm1/value.h"

namespace swf::avm1 {

struct ScriptThrow {
  Value value;
};

}  // namespace swf::avm1
