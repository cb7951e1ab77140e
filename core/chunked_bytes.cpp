#include "core/chunked_bytes.h"

#include <algorithm>
#include <cstring>

namespace core {
namespace {

// Small packages stay small; large ones take few blocks.
constexpr std::size_t kSmallestBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{4} << 20;

}  // namespace

std::span<char> ChunkedBytes::Spare() {
  if (blocks_.empty() || blocks_.back().used == blocks_.back().capacity) {
    const std::size_t capacity = std::clamp(size_, kSmallestBlock, kLargestBlock);
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
  }
  Block& last = blocks_.back();
  return {last.bytes.get() + last.used, last.capacity - last.used};
}

void ChunkedBytes::Commit(std::size_t count) {
  blocks_.back().used += count;
  size_ += count;
}

void ChunkedBytes::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::span<char> room = Spare();
    const std::size_t count = std::min(room.size(), bytes.size());
    std::memcpy(room.data(), bytes.data(), count);
    Commit(count);
    bytes.remove_prefix(count);
  }
}

std::vector<std::string_view> ChunkedBytes::Pieces() const {
  std::vector<std::string_view> pieces;
  pieces.reserve(blocks_.size());
  for (const Block& block : blocks_) pieces.emplace_back(block.bytes.get(), block.used);
  return pieces;
}

std::string ChunkedBytes::Join(std::size_t spareCapacity) {
  std::string joined;
  joined.reserve(size_ + spareCapacity);
  for (Block& block : blocks_) {
    joined.append(block.bytes.get(), block.used);
    block.bytes.reset();
  }
  blocks_.clear();
  size_ = 0;
  return joined;
}

}  // namespace core
