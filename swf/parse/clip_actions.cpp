#include "swf/parse/clip_actions.h"

#include <string>

#include "swf/parse/parse_error.h"

namespace swf {
namespace {

uint32_t ReadEventFlags(BitReader& reader, int swfVersion) {
  const uint32_t first = reader.U8();
  const uint32_t second = reader.U8();
  uint32_t flags = (first << 24) | (second << 16);
  if (swfVersion >= 6) {
    flags |= static_cast<uint32_t>(reader.U8()) << 8;
    reader.U8();  // reserved
  }
  return flags;
}

}  // namespace

void ReadClipActions(BitReader& reader, int swfVersion, ClipActions& clip) {
  reader.U16();  // reserved
  clip.allEvents = ReadEventFlags(reader, swfVersion);
  while (true) {
    // Some writers leave out the end flag at the very end of the tag, or
    // write it narrower than the events.
    if (reader.Remaining() < (swfVersion >= 6 ? 4u : 2u)) break;
    const uint32_t events = ReadEventFlags(reader, swfVersion);
    if (events == 0) break;
    ClipActionRecord record;
    record.events = events;
    const uint32_t size = reader.U32();
    if (size > reader.Remaining()) {
      throw ParseError("clip action of " + std::to_string(size) + " bytes at offset " +
                       std::to_string(reader.AbsoluteOffset()) + " reaches past its tag");
    }
    BitReader body = reader.Sub(size);
    // The size counts the key code; some writers give a key press handler
    // size 0 and no key code at all.
    if ((events & clip_event::kKeyPress) != 0 && size > 0) record.keyCode = body.U8();
    record.actions = ReadActionBlock(body, body.Remaining());
    clip.records.push_back(std::move(record));
  }
}

}  // namespace swf
