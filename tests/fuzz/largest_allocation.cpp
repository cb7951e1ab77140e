#include "largest_allocation.h"

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_HAS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_HAS_ASAN 1
#endif
#endif

#ifdef QUORVEL_HAS_ASAN
// Declared here: GCC does not ship the header that declares it, though its
// runtime has it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#endif

namespace fuzz {
namespace {

std::atomic<size_t> largest{0};

#ifdef QUORVEL_HAS_ASAN
void OnMalloc(const volatile void*, size_t size) {
  size_t seen = largest.load(std::memory_order_relaxed);
  while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
  }
}

void OnFree(const volatile void*) {}

bool InstallHooks() {
  // The sanitizer keeps a handful of hook slots; install ours once.
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  return installed;
}
#endif

}  // namespace

void LargestAllocation::Reset() {
#ifdef QUORVEL_HAS_ASAN
  InstallHooks();
#endif
  largest = 0;
}

std::optional<size_t> LargestAllocation::Largest() {
#ifdef QUORVEL_HAS_ASAN
  if (InstallHooks()) return largest.load();
#endif
  return std::nullopt;
}

}  // namespace fuzz
