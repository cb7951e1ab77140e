#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "swf/parse/bit_reader.h"

namespace swf {

// The action records of a DoAction or DoInitAction, pointing into the
// movie's bytes; they are decoded only when run.
struct ActionBlock {
  std::span<const uint8_t> code;
  size_t offset = 0;  // of the first record in the file, for messages
};

// DoInitAction: actions run once, the first time their frame is reached,
// before the frame's other actions.
struct InitActionBlock {
  uint16_t spriteId = 0;
  ActionBlock block;
};

ActionBlock ParseDoAction(BitReader& reader);
InitActionBlock ParseDoInitAction(BitReader& reader);

}  // namespace swf
