#pragma once

#include <cstddef>
#include <cstdint>

#include "swf/parse/bit_reader.h"

namespace swf {

// Tag codes the engine understands; every other code is kept as raw bytes.
namespace tag {
inline constexpr uint16_t kEnd = 0;
inline constexpr uint16_t kShowFrame = 1;
inline constexpr uint16_t kDefineShape = 2;
inline constexpr uint16_t kPlaceObject = 4;
inline constexpr uint16_t kRemoveObject = 5;
inline constexpr uint16_t kDefineButton = 7;
inline constexpr uint16_t kDefineBits = 6;
inline constexpr uint16_t kJpegTables = 8;
inline constexpr uint16_t kSetBackgroundColor = 9;
inline constexpr uint16_t kDefineFont = 10;
inline constexpr uint16_t kDefineText = 11;
inline constexpr uint16_t kDoAction = 12;
inline constexpr uint16_t kDefineFontInfo = 13;
inline constexpr uint16_t kDefineSound = 14;
inline constexpr uint16_t kStartSound = 15;
inline constexpr uint16_t kDefineButtonSound = 17;
inline constexpr uint16_t kSoundStreamHead = 18;
inline constexpr uint16_t kSoundStreamBlock = 19;
inline constexpr uint16_t kDefineBitsLossless = 20;
inline constexpr uint16_t kDefineBitsJpeg2 = 21;
inline constexpr uint16_t kDefineShape2 = 22;
inline constexpr uint16_t kDefineButtonCxform = 23;
inline constexpr uint16_t kPlaceObject2 = 26;
inline constexpr uint16_t kRemoveObject2 = 28;
inline constexpr uint16_t kDefineShape3 = 32;
inline constexpr uint16_t kDefineText2 = 33;
inline constexpr uint16_t kDefineButton2 = 34;
inline constexpr uint16_t kDefineBitsJpeg3 = 35;
inline constexpr uint16_t kDefineBitsLossless2 = 36;
inline constexpr uint16_t kDefineEditText = 37;
inline constexpr uint16_t kDefineSprite = 39;
inline constexpr uint16_t kFrameLabel = 43;
inline constexpr uint16_t kSoundStreamHead2 = 45;
inline constexpr uint16_t kDefineMorphShape = 46;
inline constexpr uint16_t kDefineFont2 = 48;
inline constexpr uint16_t kExportAssets = 56;
inline constexpr uint16_t kImportAssets = 57;
inline constexpr uint16_t kDoInitAction = 59;
inline constexpr uint16_t kDefineFontInfo2 = 62;
inline constexpr uint16_t kFileAttributes = 69;
inline constexpr uint16_t kPlaceObject3 = 70;
inline constexpr uint16_t kImportAssets2 = 71;
inline constexpr uint16_t kDoAbcEarly = 72;
inline constexpr uint16_t kCsmTextSettings = 74;
inline constexpr uint16_t kDefineFont3 = 75;
inline constexpr uint16_t kDoAbc = 82;
inline constexpr uint16_t kDefineShape4 = 83;
inline constexpr uint16_t kDefineMorphShape2 = 84;
inline constexpr uint16_t kDefineFontName = 88;
inline constexpr uint16_t kStartSound2 = 89;
inline constexpr uint16_t kDefineBitsJpeg4 = 90;
}  // namespace tag

struct TagHeader {
  uint16_t code = 0;
  uint32_t length = 0;    // body bytes, header excluded
  size_t bodyOffset = 0;  // absolute offset of the body in the uncompressed file
};

// Reads the short or long record header. The caller bounds the body with
// reader.Sub(length) so that no tag can read into the next one.
TagHeader ReadTagHeader(BitReader& reader);

}  // namespace swf
