#pragma once

#include <cstdint>

namespace swf {

// A reference to a display object of a Stage: a slot index and the slot's
// generation when the object was made. When the object goes, its slot's
// generation moves on, so every handle to it (held by a queued action, a
// script or a test) resolves to nothing from then on, even after the slot is
// taken by another object. A default handle refers to nothing.
struct ObjectHandle {
  static constexpr uint32_t kNoIndex = UINT32_MAX;
  uint32_t index = kNoIndex;
  uint32_t generation = 0;  // live slots never have generation 0

  bool IsNone() const { return index == kNoIndex; }
  bool operator==(const ObjectHandle&) const = default;
};

}  // namespace swf
