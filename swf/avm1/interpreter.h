// The dispatch loop over decoded action records, and what a running script
// may take: the time limit, the depth of calls.
//
// The runtime hands it a block with the clip the code belongs to; the
// interpreter keeps each frame's stack, registers and scope chain as roots
// of the collector, and collects at the safe points between records.
//
// One Interpreter serves a movie for as long as its scripts run: the script
// functions it makes call back into it (they do nothing once it is gone),
// and the four global registers live in it. `throw` travels as described in
// script_throw.h; the time limit and the recursion ceiling stop the whole
// RunBlock that is running, whatever frames lie in between.
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
  // Told when a call nests deeper than maxRecursion (the script then stops).
  std::function<void()> onRecursionLimit;
};

// The running machine behind an Interpreter (interpreter_machine.h).
class Machine;

class Interpreter {
 public:
  Interpreter(Vm& vm, DisplayHost& display, ScriptLimits limits);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Runs `block` as code of `clip` (its `this`, its target and the start of
  // its scope chain), with the names and conversions of `swfVersion`.
  void RunBlock(const ActionBlock& block, ObjectRef clip, int swfVersion);

  // Starts a step of the movie (a frame, input between frames): the scripts
  // of one step share the time limit. Once it has run out, each later script
  // of the step stops at its first look at the clock, so a short one still
  // runs while thousands of looping clips cannot hold a frame for thousands
  // of limits.
  void BeginStep();

  Vm& GetVm() { return vm_; }

 private:
  Vm& vm_;
  std::shared_ptr<Machine> machine_;  // shared: script functions hold it weakly
};

}  // namespace swf::avm1
