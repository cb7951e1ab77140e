#pragma once

#include <cstddef>
#include <optional>

namespace fuzz {

// The size of the largest single heap block requested since the last Reset,
// seen through the address sanitizer's allocation hook (liblzma and zlib
// allocate with malloc, so replacing operator new would not see them).
// Without the sanitizer there is no hook, and Largest() is empty.
class LargestAllocation {
 public:
  static void Reset();
  static std::optional<size_t> Largest();
};

}  // namespace fuzz
