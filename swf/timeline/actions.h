#pragma once

// A small AVM1 subset: the timeline actions (Stop, Play, GotoFrame,
// GotoLabel, NextFrame, PrevFrame, GotoFrame2 on a constant, SetTarget and
// SetTarget2 on named clips) and what is needed to find their operands
// (Push, ConstantPool, Jump, If on a constant). Every other action is
// skipped without side effects; since its effect on the stack is unknown,
// the stack is forgotten after it. A branch on a value that is not known
// ends the block rather than guess a path.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <set>

#include "swf/host_services.h"
#include "swf/parse/actions.h"

namespace swf {

class TimelineInstance;

// What one run of the queue may do, so that scripts that jump back and
// forth or send timelines to each other's frames end within the tick.
struct ActionBudget {
  static constexpr size_t kMaxActions = size_t{1} << 20;  // action records executed
  static constexpr size_t kMaxBlockActions = size_t{1} << 16;  // of them in one block
  static constexpr size_t kMaxBlocks = 4096;              // blocks run
  static constexpr size_t kMaxGotos = 1024;               // frame changes made by scripts
  // Frames those changes apply (going back replays from the first frame),
  // so that a long timeline sent back and forth stays cheap too.
  static constexpr size_t kMaxGotoFrames = size_t{1} << 16;
  size_t actions = kMaxActions;
  size_t blocks = kMaxBlocks;
  size_t gotos = kMaxGotos;
  size_t gotoFrames = kMaxGotoFrames;
};

// Frame actions waiting to run, shared by a root timeline and all of its
// sprite instances. An entry whose clip has gone meanwhile is dropped.
struct ActionQueue {
  struct Entry {
    TimelineInstance* clip = nullptr;
    std::weak_ptr<void> clipAlive;
    const ActionBlock* block = nullptr;
  };
  std::deque<Entry> entries;
  std::set<uint16_t> initActionsRun;  // sprite ids whose DoInitAction has run
  HostServices* host = nullptr;      // where trace output goes; none: nowhere
  bool running = false;
  // Entries beyond this are dropped (a queue that is never run cannot grow
  // without end).
  static constexpr size_t kMaxEntries = 1 << 16;
};

// Runs one block with `clip` as its timeline; `swfVersion` decides how
// names compare (without case before version 7).
void RunActionBlock(TimelineInstance& clip, const ActionBlock& block, int swfVersion, ActionBudget& budget);

// The clip a target path names, seen from `origin`: "" is the origin,
// "/a/b", "a/b", "../a", "_root.a.b", "_parent.a", "this" and plain names of
// children; null when nothing is there.
TimelineInstance* ResolveTarget(TimelineInstance& origin, const std::string& path, bool ignoreCase);

}  // namespace swf
