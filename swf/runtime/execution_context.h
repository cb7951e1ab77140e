#pragma once

// What the scripts and timelines of one root share: the queue of frame
// actions (entries name their clip by handle, so those of a clip that went
// meanwhile are dropped), the ceilings on the work of a step and of a run of
// scripts, and the host the movie talks to.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <set>
#include <utility>

#include "swf/host_services.h"
#include "swf/parse/actions.h"
#include "swf/parse/clip_actions.h"
#include "swf/runtime/handle.h"

namespace swf {

struct ParsedMovie;

// What the display objects of one root may take together: objects alive at
// once, and placements and clips started within one step of the root (its
// first frame, a tick or a goto, with the scripts they run).
struct ObjectBudget {
  // Beyond it new placements are not shown: a sprite placing itself several
  // times would otherwise multiply with every level of nesting.
  static constexpr size_t kMaxLive = size_t{1} << 18;
  // An object that gives way to another at its depth gives its share of the
  // live ceiling back, so a sprite placing itself again and again at one
  // depth keeps few objects alive while its work grows with the power of the
  // nesting; the work of a step has its own ceiling.
  static constexpr size_t kMaxMadePerStep = 2 * kMaxLive;

  size_t madeInStep = 0;
  size_t maxMadePerStep = kMaxMadePerStep;

  bool StepCanMakeMore() const { return madeInStep < maxMadePerStep; }
};

// What one run of the queue may do, so that scripts that jump back and
// forth or send timelines to each other's frames end within the tick.
struct ActionBudget {
  static constexpr size_t kMaxActions = size_t{1} << 20;  // action records executed
  static constexpr size_t kMaxBlockActions = size_t{1} << 16;  // of them in one block
  static constexpr size_t kMaxBlocks = 4096;              // blocks run
  static constexpr size_t kMaxGotos = 1024;               // frame changes made by scripts
  // Frames those changes go through (going back works out the display list
  // from the first frame), so that a long timeline sent back and forth stays
  // cheap too.
  static constexpr size_t kMaxGotoFrames = size_t{1} << 16;
  size_t actions = kMaxActions;
  size_t blocks = kMaxBlocks;
  size_t gotos = kMaxGotos;
  size_t gotoFrames = kMaxGotoFrames;
};

// What an entry of the queue runs on its clip: a block of actions, or the
// handlers of a clip event (onClipEvent and the clip's onLoad-style method).
enum class QueuedKind : uint8_t { kBlock, kClipEvent, kConstruct };

// Entries run by priority, each level first come first served: a tick's
// enterFrame events (queued before the timelines move), init actions and
// `initialize` handlers, then constructors (`construct` handlers, the
// registered class), then frame actions and the other clip events.
enum class QueuePriority : uint8_t { kEnterFrame, kInit, kConstruct, kNormal };

struct QueuedActions {
  ObjectHandle clip;
  const ActionBlock* block = nullptr;
  QueuedKind kind = QueuedKind::kBlock;
  uint32_t event = 0;  // a clip_event bit, for kClipEvent
  // The clip's onClipEvent handlers, kept with the entry: an unload runs
  // after its clip has gone.
  const ClipActions* clipActions = nullptr;
  // The SWF version the block's code was written for (an imported movie's
  // own); 0: the root movie's.
  int swfVersion = 0;
  // For a keyPress clip event: the key (as button key codes); the handlers
  // for other keys do not run.
  uint8_t keyCode = 0;
};

class ExecutionContext {
 public:
  // Entries beyond this are dropped (a queue that is never run cannot grow
  // without end).
  static constexpr size_t kMaxQueued = size_t{1} << 16;

  explicit ExecutionContext(HostServices* host) : host_(host) {}

  // Where trace output and the like go (not owned); null: nowhere.
  HostServices* Host() const { return host_; }
  void SetHost(HostServices* host) { host_ = host; }

  void Enqueue(ObjectHandle clip, const ActionBlock& block, QueuePriority priority = QueuePriority::kNormal) {
    Enqueue(QueuedActions{clip, &block}, priority);
  }
  void Enqueue(const QueuedActions& entry, QueuePriority priority = QueuePriority::kNormal) {
    std::deque<QueuedActions>& queue = queues_[static_cast<size_t>(priority)];
    if (queue.size() < kMaxQueued) queue.push_back(entry);
  }
  // The first entry of the most urgent level, taken off the queue; false
  // when every level is empty.
  bool TakeNext(QueuedActions& entry) {
    for (std::deque<QueuedActions>& queue : queues_) {
      if (queue.empty()) continue;
      entry = queue.front();
      queue.pop_front();
      return true;
    }
    return false;
  }
  bool QueueEmpty() const {
    for (const std::deque<QueuedActions>& queue : queues_) {
      if (!queue.empty()) return false;
    }
    return true;
  }
  void ClearQueue() {
    for (std::deque<QueuedActions>& queue : queues_) queue.clear();
  }
  // True the first time a sprite's init actions come up; `movie` tells the
  // movies loaded beside the root apart (null: the root's).
  bool FirstInitActions(const ParsedMovie* movie, uint16_t spriteId) {
    return initActionsRun_.insert({movie, spriteId}).second;
  }

  bool Running() const { return running_; }
  void SetRunning(bool running) { running_ = running; }

  ObjectBudget objects;
  // The budget of the run of the queue in progress; each run starts afresh.
  ActionBudget scripts;

 private:
  HostServices* host_;
  std::deque<QueuedActions> queues_[4];  // by QueuePriority
  std::set<std::pair<const ParsedMovie*, uint16_t>> initActionsRun_;  // sprites whose DoInitAction has run
  bool running_ = false;
};

// One run of queued scripts: the context is running for the scope (scripts
// started inside queue instead of running at once) with a fresh budget.
class RunningScope {
 public:
  explicit RunningScope(ExecutionContext& context) : context_(context) {
    context_.SetRunning(true);
    context_.scripts = ActionBudget();
  }
  ~RunningScope() { context_.SetRunning(false); }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  ExecutionContext& context_;
};

}  // namespace swf
