#include "swf/parse/actions.h"

namespace swf {

const Operation& ActionBlock::At(size_t position) const {
  if (!cache) cache = std::make_shared<ActionCache>(code);
  return cache->At(position);
}

ActionBlock ReadActionBlock(BitReader& reader, size_t length) {
  ActionBlock block;
  block.offset = reader.AbsoluteOffset();
  block.code = reader.Bytes(length);
  return block;
}

ActionBlock ParseDoAction(BitReader& reader) { return ReadActionBlock(reader, reader.Remaining()); }

InitActionBlock ParseDoInitAction(BitReader& reader) {
  InitActionBlock init;
  init.spriteId = reader.U16();
  init.block = ParseDoAction(reader);
  return init;
}

}  // namespace swf
