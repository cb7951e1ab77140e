// The dispatch loop over decoded action records, and what a running script
// may take: the time limit, the depth of calls.
//
// The runtime hands it a block with the clip the code belongs to; the
// interpreter keeps each frame's stack, registers and scope chain as roots
// of the collector, and collects at the safe points between records.
#pragma once

#include <functional>
#include <memory>

#include "swf/avm1/display_host.h"
#include "swf/avm1/vm.h"
#include "swf/parse/actions.h"

namespace swf::avm1 {

struct ScriptLimits {
  // The movie's ScriptLimits or the player's default; after it the running
  // script is stopped and `onTimeout` told.
  double timeoutSeconds = 15;
  int maxRecursion = Vm::kMaxCallDepth;
  // Milliseconds of real time (injected so that tests can run it forward).
  std::function<double()> clock;
  std::function<void()> onTimeout;
};

class Interpreter {
 public:
  Interpreter(Vm& vm, DisplayHost& display, ScriptLimits limits);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Runs `block` as code of `clip` (its `this`, its target and the start of
  // its scope chain), with the names and conversions of `swfVersion`.
  void RunBlock(const ActionBlock& block, ObjectRef clip, int swfVersion);

  Vm& GetVm() { return vm_; }

 private:
  class Impl;
  Vm& vm_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace swf::avm1
