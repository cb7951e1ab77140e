#pragma once

// The stage: every display object of one root, owned in slots and reached
// through handles (index + generation). Nothing outside holds an object's
// address across a change of the tree: queued actions and scripts keep
// handles, which resolve to nothing once their object has gone, never to
// another object that took its slot.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "swf/runtime/display_object.h"
#include "swf/runtime/handle.h"

namespace swf {

// Told of every object as it goes (descendants before their parent), while
// its fields can still be read: scripts must hear of clips that unload.
class RemovalObserver {
 public:
  virtual ~RemovalObserver() = default;
  virtual void ObjectRemoved(const DisplayObject& object) = 0;
};

class Stage {
 public:
  // Makes the root: a movie clip at level 0 without a parent.
  Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  ObjectHandle Root() const { return root_; }

  // The object, or null when the handle is stale or none. Addresses stay
  // valid while the object lives (slots are never moved).
  DisplayObject* Get(ObjectHandle handle);
  const DisplayObject* Get(ObjectHandle handle) const;

  // The child at `depth` of `parent`, or null.
  const DisplayObject* ChildAt(const DisplayObject& parent, int32_t depth) const;
  DisplayObject* ChildAt(const DisplayObject& parent, int32_t depth);

  // The children of `parent`, the one made last first (the order in which
  // timelines move on and clips hear enterFrame).
  std::vector<ObjectHandle> ChildrenNewestFirst(const DisplayObject& parent) const;

  // Puts `object` at `depth` of `parent` (which must live); whatever was
  // there goes first. Returns the new object's handle.
  ObjectHandle Insert(ObjectHandle parent, int32_t depth, DisplayObject object);

  // Removes the object with all its descendants and takes it off its
  // parent's children. Removing the root or a stale handle does nothing.
  void Remove(ObjectHandle handle);

  // Moves a child of its parent to `depth`; the child there (if any) takes
  // the object's old depth, as swapDepths does. False for the root or a
  // stale handle.
  bool MoveToDepth(ObjectHandle handle, int32_t depth);

  // Objects alive below the root.
  size_t LiveObjects() const { return live_ - 1; }

  // Not owned; null: nobody is told.
  void SetRemovalObserver(RemovalObserver* observer) { observer_ = observer; }

 private:
  struct Slot {
    uint32_t generation = 1;
    bool used = false;
    DisplayObject object;
  };
  void Release(ObjectHandle handle);

  std::deque<Slot> slots_;  // a deque keeps addresses when it grows
  std::vector<uint32_t> free_;
  size_t live_ = 0;
  uint64_t made_ = 0;
  ObjectHandle root_;
  RemovalObserver* observer_ = nullptr;
};

}  // namespace swf
