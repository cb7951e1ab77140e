#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/parse/actions.h"
#include "swf/parse/bit_reader.h"

namespace swf {

// CLIPEVENTFLAGS as one number whatever the movie's version: the first byte
// of the field in bits 31-24, the second in 23-16, the third (from version 6)
// in 15-8. Before version 6 the field has two bytes and the third is 0.
namespace clip_event {
inline constexpr uint32_t kKeyUp = 1u << 31;
inline constexpr uint32_t kKeyDown = 1u << 30;
inline constexpr uint32_t kMouseUp = 1u << 29;
inline constexpr uint32_t kMouseDown = 1u << 28;
inline constexpr uint32_t kMouseMove = 1u << 27;
inline constexpr uint32_t kUnload = 1u << 26;
inline constexpr uint32_t kEnterFrame = 1u << 25;
inline constexpr uint32_t kLoad = 1u << 24;
inline constexpr uint32_t kDragOver = 1u << 23;
inline constexpr uint32_t kRollOut = 1u << 22;
inline constexpr uint32_t kRollOver = 1u << 21;
inline constexpr uint32_t kReleaseOutside = 1u << 20;
inline constexpr uint32_t kRelease = 1u << 19;
inline constexpr uint32_t kPress = 1u << 18;
inline constexpr uint32_t kInitialize = 1u << 17;
inline constexpr uint32_t kData = 1u << 16;
inline constexpr uint32_t kConstruct = 1u << 10;
inline constexpr uint32_t kKeyPress = 1u << 9;
inline constexpr uint32_t kDragOut = 1u << 8;
}  // namespace clip_event

// One onClipEvent handler of a PlaceObject2/3.
struct ClipActionRecord {
  uint32_t events = 0;   // clip_event bits
  uint8_t keyCode = 0;   // with kKeyPress: the key (same codes as button key presses)
  ActionBlock actions;
};

struct ClipActions {
  uint32_t allEvents = 0;  // union of the records' events, as stored
  std::vector<ClipActionRecord> records;
};

// Reads CLIPACTIONS into `clip`; the event fields have 2 bytes before
// `swfVersion` 6 and 4 bytes from it. Each record's action bytes are bounded
// by its size field and by the tag. On a fault it throws ParseError, with
// the records read before it left in `clip`.
void ReadClipActions(BitReader& reader, int swfVersion, ClipActions& clip);

}  // namespace swf
