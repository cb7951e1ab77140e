#include "swf/parse/display_tags.h"

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

struct PlaceFlags {
  bool hasClipActions, hasClipDepth, hasName, hasRatio, hasColorTransform, hasMatrix, hasCharacter, move;
};

PlaceFlags ReadPlaceFlags(BitReader& reader) {
  const uint8_t f = reader.U8();
  return {(f & 0x80) != 0, (f & 0x40) != 0, (f & 0x20) != 0, (f & 0x10) != 0,
          (f & 0x08) != 0, (f & 0x04) != 0, (f & 0x02) != 0, (f & 0x01) != 0};
}

// The fields PlaceObject2 and PlaceObject3 share, from CharacterId to ClipDepth.
void ReadCommonFields(BitReader& reader, const PlaceFlags& flags, PlaceObject& place) {
  place.move = flags.move;
  if (flags.hasCharacter) place.characterId = reader.U16();
  if (flags.hasMatrix) place.matrix = ReadMatrix(reader);
  if (flags.hasColorTransform) place.colorTransform = ReadColorTransform(reader, true);
  if (flags.hasRatio) place.ratio = reader.U16();
  if (flags.hasName) place.name = reader.String();
  if (flags.hasClipDepth) place.clipDepth = reader.U16();
  place.hasClipActions = flags.hasClipActions;
}

}  // namespace

PlaceObject ParsePlaceObject1(BitReader& reader) {
  PlaceObject place;
  place.characterId = reader.U16();
  place.depth = reader.U16();
  place.matrix = ReadMatrix(reader);
  if (!reader.AtEnd()) place.colorTransform = ReadColorTransform(reader, false);
  return place;
}

PlaceObject ParsePlaceObject2(BitReader& reader) {
  const PlaceFlags flags = ReadPlaceFlags(reader);
  PlaceObject place;
  place.depth = reader.U16();
  ReadCommonFields(reader, flags, place);
  return place;
}

PlaceObject ParsePlaceObject3(BitReader& reader) {
  const PlaceFlags flags = ReadPlaceFlags(reader);
  const uint8_t more = reader.U8();
  const bool hasOpaqueBackground = (more & 0x40) != 0;
  const bool hasVisible = (more & 0x20) != 0;
  const bool hasClassName = (more & 0x08) != 0;
  const bool hasCacheAsBitmap = (more & 0x04) != 0;
  const bool hasBlendMode = (more & 0x02) != 0;
  const bool hasFilters = (more & 0x01) != 0;
  PlaceObject place;
  place.depth = reader.U16();
  if (hasClassName) place.className = reader.String();
  ReadCommonFields(reader, flags, place);
  place.hasFilters = hasFilters;
  if (hasFilters) SkipFilterList(reader);
  if (hasBlendMode) place.blendMode = reader.U8();
  if (hasCacheAsBitmap) place.cacheAsBitmap = reader.U8() != 0;
  if (hasVisible) place.visible = reader.U8() != 0;
  if (hasOpaqueBackground) place.opaqueBackground = ReadRgba(reader);
  return place;
}

RemoveObject ParseRemoveObject1(BitReader& reader) {
  reader.U16();  // character id: the depth alone decides what goes
  return {reader.U16()};
}

RemoveObject ParseRemoveObject2(BitReader& reader) { return {reader.U16()}; }

void SkipFilterList(BitReader& reader) {
  const unsigned count = reader.U8();
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t id = reader.U8();
    switch (id) {
      case 0: reader.Skip(23); break;  // drop shadow
      case 1: reader.Skip(9); break;   // blur
      case 2: reader.Skip(15); break;  // glow
      case 3: reader.Skip(27); break;  // bevel
      case 4:                          // gradient glow
      case 7: {                        // gradient bevel
        const unsigned colors = reader.U8();
        reader.Skip(colors * 5 + 19);
        break;
      }
      case 5: {  // convolution
        const unsigned x = reader.U8();
        const unsigned y = reader.U8();
        reader.Skip(8 + 4 * x * y + 5);
        break;
      }
      case 6: reader.Skip(80); break;  // colour matrix
      default:
        throw ParseError("unknown filter " + std::to_string(id) + " at offset " +
                         std::to_string(reader.AbsoluteOffset() - 1));
    }
  }
}

}  // namespace swf
