#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "swf/parse/action_decoder.h"
#include "swf/parse/bit_reader.h"

namespace swf {

// The action records of a DoAction, DoInitAction, button condition or clip
// event, pointing into the movie's bytes. They are decoded when run:
// At(position) decodes the record at that offset of the block the first
// time it is asked for and keeps it (see action_decoder.h for what an
// operation holds and how a runtime walks a block). Copies share the cache.
struct ActionBlock {
  std::span<const uint8_t> code;
  size_t offset = 0;  // of the first record in the file, for messages

  // The operation at `position` (bytes from the start of `code`); End at or
  // past the end. The reference lives as long as this block's cache.
  const Operation& At(size_t position) const;

  // Made on first use; a movie's scripts run on one thread.
  mutable std::shared_ptr<ActionCache> cache{};
};

// DoInitAction: actions run once, the first time their frame is reached,
// before the frame's other actions.
struct InitActionBlock {
  uint16_t spriteId = 0;
  ActionBlock block;
};

ActionBlock ParseDoAction(BitReader& reader);
InitActionBlock ParseDoInitAction(BitReader& reader);

// The next `length` bytes of `reader` as an action block.
ActionBlock ReadActionBlock(BitReader& reader, size_t length);

}  // namespace swf
