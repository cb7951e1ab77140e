#include "swf/parse/actions.h"

namespace swf {

ActionBlock ParseDoAction(BitReader& reader) {
  const size_t offset = reader.AbsoluteOffset();
  return {reader.Rest(), offset};
}

InitActionBlock ParseDoInitAction(BitReader& reader) {
  InitActionBlock init;
  init.spriteId = reader.U16();
  init.block = ParseDoAction(reader);
  return init;
}

}  // namespace swf
