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

void ReadClipActionsOf(BitReader& reader, int swfVersion, PlaceObject& place) {
  try {
    ReadClipActions(reader, swfVersion, place.clipActions);
  } catch (const ParseError& error) {
    place.clipActionsError = error.what();
  }
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

PlaceObject ParsePlaceObject2(BitReader& reader, int swfVersion) {
  const PlaceFlags flags = ReadPlaceFlags(reader);
  PlaceObject place;
  place.depth = reader.U16();
  ReadCommonFields(reader, flags, place);
  if (flags.hasClipActions) ReadClipActionsOf(reader, swfVersion, place);
  return place;
}

PlaceObject ParsePlaceObject3(BitReader& reader, int swfVersion) {
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
  if (hasFilters) place.filters = ReadFilterList(reader);
  if (hasBlendMode) place.blendMode = reader.U8();
  if (hasCacheAsBitmap) place.cacheAsBitmap = reader.U8() != 0;
  if (hasVisible) place.visible = reader.U8() != 0;
  if (hasOpaqueBackground) place.opaqueBackground = ReadRgba(reader);
  if (flags.hasClipActions) ReadClipActionsOf(reader, swfVersion, place);
  return place;
}

RemoveObject ParseRemoveObject1(BitReader& reader) {
  reader.U16();  // character id: the depth alone decides what goes
  return {reader.U16()};
}

RemoveObject ParseRemoveObject2(BitReader& reader) { return {reader.U16()}; }

}  // namespace swf
