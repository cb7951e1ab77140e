#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Bytes that grow at the end without ever being moved: they are kept in
// blocks of up to a few MiB, so that a compressed package of hundreds of MiB
// is never copied to a larger buffer (which would need twice its memory for
// a moment) and can be written out piece by piece.
class ChunkedBytes {
 public:
  std::size_t Size() const { return size_; }

  // Writable room at the end, at least one byte; a producer writes into it
  // and then commits what it wrote.
  std::span<char> Spare();
  void Commit(std::size_t count);

  void Append(std::string_view bytes);

  // The contents in order, as views into this object.
  std::vector<std::string_view> Pieces() const;

  // The contents as one string with room for `spareCapacity` more bytes;
  // the blocks are released as they are copied. Empty afterwards.
  std::string Join(std::size_t spareCapacity = 0);

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity = 0;
    std::size_t used = 0;
  };
  std::vector<Block> blocks_;
  std::size_t size_ = 0;
};

}  // namespace core
