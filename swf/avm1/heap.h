// The interpreter's heap: the objects scripts make, and the collector that
// frees those nothing can reach any more.
//
// Objects are named by `ObjectRef` (slot index + 1; id 0 names nothing). A
// reference is only valid while something the collector sees holds it, so
// the collector runs only at safe points the interpreter chooses, where every
// live reference sits in a root: the globals and prototypes, each running
// frame's stack, registers and scope chain, and the script objects of the
// display objects on the stage. Allocation only counts: once enough has been
// made since the last collection, `WantsCollection()` turns true and the
// next safe point collects. Mark and sweep with a gray worklist, so a cycle
// (an object, its closure and the scope that holds both) goes as a whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "swf/avm1/object.h"

namespace swf::avm1 {

// Something that holds references the collector must keep.
class RootSource {
 public:
  virtual ~RootSource() = default;
  virtual void MarkRoots(Marker& marker) const = 0;
};

class Heap {
 public:
  // Collections start once this many objects have been made, and again
  // whenever the live count has grown by as much as it was after the last.
  static constexpr size_t kMinCollectionInterval = 4096;
  // Objects alive at once; beyond it allocation fails (New returns id 0) so
  // a runaway script cannot take the machine's memory.
  static constexpr size_t kMaxObjects = size_t{1} << 22;

  Heap() = default;
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // A new empty object of `cls` with prototype `proto`; id 0 when the heap
  // is full.
  ObjectRef New(ObjectClass cls, ObjectRef proto);

  Object* Get(ObjectRef ref) {
    return ref.id == 0 || ref.id > slots_.size() ? nullptr : slots_[ref.id - 1].get();
  }
  const Object* Get(ObjectRef ref) const {
    return ref.id == 0 || ref.id > slots_.size() ? nullptr : slots_[ref.id - 1].get();
  }

  bool WantsCollection() const { return allocatedSinceCollection_ >= nextCollection_; }
  // Frees every object not reachable from `roots`; returns how many went.
  size_t Collect(const std::vector<const RootSource*>& roots);

  size_t LiveCount() const { return live_; }

 private:
  std::vector<std::unique_ptr<Object>> slots_;
  std::vector<std::uint32_t> free_;  // ids of empty slots
  size_t live_ = 0;
  size_t allocatedSinceCollection_ = 0;
  size_t nextCollection_ = kMinCollectionInterval;
};

}  // namespace swf::avm1
