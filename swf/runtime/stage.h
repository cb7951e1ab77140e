#pragma once

// The stage: every display object of one root, owned in slots and reached
// through handles (index + generation). Nothing outside holds an object's
// address across a change of the tree: queued actions and scripts keep
// handles, which resolve to nothing once their object has gone, never to
// another object that took its slot.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
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

  // Movies loaded into levels: each level's root is a parentless clip whose
  // depth is its level number. Level 0 is the root and always there.
  ObjectHandle Level(int32_t level) const;
  // The level's root, made empty when the level has none yet.
  ObjectHandle MakeLevel(int32_t level);
  // Level number -> root, lowest first (drawn in that order).
  const std::map<int32_t, ObjectHandle>& Levels() const { return levels_; }
  // The root of the level `handle` lives in (itself for a level's root).
  ObjectHandle LevelOf(ObjectHandle handle) const;

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
  // parent's children (a level other than 0 goes as a whole). Removing the
  // root or a stale handle does nothing.
  void Remove(ObjectHandle handle);

  // Moves a child of its parent to `depth`; the child there (if any) takes
  // the object's old depth, as swapDepths does. False for the root or a
  // stale handle.
  bool MoveToDepth(ObjectHandle handle, int32_t depth);

  // Objects alive below the levels' roots.
  size_t LiveObjects() const { return live_ - levels_.size(); }

  // Not owned; null: nobody is told.
  void SetRemovalObserver(RemovalObserver* observer) { observer_ = observer; }

 private:
  struct Slot {
    uint32_t generation = 1;
    bool used = false;
    DisplayObject object;
  };
  ObjectHandle TakeSlot();
  void Release(ObjectHandle handle);

  std::deque<Slot> slots_;  // a deque keeps addresses when it grows
  std::vector<uint32_t> free_;
  size_t live_ = 0;
  uint64_t made_ = 0;
  ObjectHandle root_;
  std::map<int32_t, ObjectHandle> levels_;
  RemovalObserver* observer_ = nullptr;
};

}  // namespace swf
