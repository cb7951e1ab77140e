#pragma once

// setInterval and setTimeout: callbacks that fall due on the movie's clock,
// which moves as the host runs frames (so that a run with a virtual clock
// fires them at the same frames every time).

#include <cstdint>
#include <string>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/value.h"
#include "swf/avm1/vm.h"

namespace swf {

class ScriptTimers final : public avm1::RootSource {
 public:
  // Fires per timer in one advance of the clock, so that a timer of 0 ms
  // cannot keep the clock from moving on.
  static constexpr int kMaxFiresPerAdvance = 64;
  // Timers alive at once; more are refused (id 0).
  static constexpr size_t kMaxTimers = 4096;

  struct Timer {
    std::uint32_t id = 0;
    avm1::Value target;    // a function, or the object of `method`
    std::string method;    // empty: `target` is the function
    std::vector<avm1::Value> args;
    double interval = 0;   // milliseconds
    double due = 0;        // on the movie's clock
    bool repeat = true;
  };

  // Adds a timer; returns its id (1, 2, ...), or 0 when there is no room.
  std::uint32_t Add(Timer timer);
  bool Remove(std::uint32_t id);
  // Runs the timers that fall due up to `now`, earliest first.
  void RunDue(double now, avm1::Vm& vm);
  size_t Count() const { return timers_.size(); }

  void MarkRoots(avm1::Marker& marker) const override;

 private:
  std::vector<Timer> timers_;
  std::uint32_t nextId_ = 1;
};

}  // namespace swf
