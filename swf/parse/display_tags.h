#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "swf/parse/bit_reader.h"
#include "swf/parse/color_transform.h"
#include "swf/parse/matrix.h"

namespace swf {

// PlaceObject 1-3 in one shape: absent fields are empty optionals, so that a
// Move changes only what the tag carries.
struct PlaceObject {
  uint16_t depth = 0;
  bool move = false;
  std::optional<uint16_t> characterId;
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
  std::optional<std::string> className;
  std::optional<uint8_t> blendMode;
  std::optional<bool> cacheAsBitmap;
  std::optional<bool> visible;
  std::optional<Rgba> opaqueBackground;  // the object's bounds are filled with it, behind it
  bool hasFilters = false;
  bool hasClipActions = false;
};

struct RemoveObject {
  uint16_t depth = 0;
};

PlaceObject ParsePlaceObject1(BitReader& reader);
PlaceObject ParsePlaceObject2(BitReader& reader);
PlaceObject ParsePlaceObject3(BitReader& reader);
RemoveObject ParseRemoveObject1(BitReader& reader);
RemoveObject ParseRemoveObject2(BitReader& reader);

// Skips a FILTERLIST (the filters themselves are not drawn yet).
void SkipFilterList(BitReader& reader);

}  // namespace swf
