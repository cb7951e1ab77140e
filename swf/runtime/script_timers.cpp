#include "swf/runtime/script_timers.h"

#include <algorithm>
#include <map>

namespace swf {

std::uint32_t ScriptTimers::Add(Timer timer) {
  if (timers_.size() >= kMaxTimers) return 0;
  timer.id = nextId_++;
  timers_.push_back(std::move(timer));
  return timers_.back().id;
}

bool ScriptTimers::Remove(std::uint32_t id) {
  return std::erase_if(timers_, [id](const Timer& timer) { return timer.id == id; }) > 0;
}

void ScriptTimers::RunDue(double now, avm1::Vm& vm) {
  std::map<std::uint32_t, int> fired;
  while (true) {
    // The earliest timer due, by time and then by age; a callback may add
    // and remove timers, so the search starts afresh each time.
    const Timer* next = nullptr;
    for (const Timer& timer : timers_) {
      if (timer.due > now || fired[timer.id] >= kMaxFiresPerAdvance) continue;
      if (next == nullptr || timer.due < next->due) next = &timer;
    }
    if (next == nullptr) return;
    const Timer timer = *next;
    ++fired[timer.id];
    if (timer.repeat) {
      for (Timer& kept : timers_) {
        if (kept.id == timer.id) kept.due = std::max(kept.due + std::max(kept.interval, 1.0), kept.due);
      }
    } else {
      Remove(timer.id);
    }
    if (timer.method.empty()) {
      vm.Call(timer.target, avm1::Value::Null(), timer.args);
    } else {
      vm.CallMethod(timer.target, timer.method, timer.args);
    }
  }
}

void ScriptTimers::MarkRoots(avm1::Marker& marker) const {
  for (const Timer& timer : timers_) {
    marker.Mark(timer.target);
    for (const avm1::Value& arg : timer.args) marker.Mark(arg);
  }
}

}  // namespace swf
