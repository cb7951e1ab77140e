#include "swf/parse/tag_header.h"

namespace swf {

TagHeader ReadTagHeader(BitReader& reader) {
  const uint16_t codeAndLength = reader.U16();
  TagHeader header;
  header.code = static_cast<uint16_t>(codeAndLength >> 6);
  header.length = codeAndLength & 0x3F;
  if (header.length == 0x3F) header.length = reader.U32();
  header.bodyOffset = reader.AbsoluteOffset();
  return header;
}

}  // namespace swf
