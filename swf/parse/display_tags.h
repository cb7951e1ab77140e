#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/clip_actions.h"
#include "swf/parse/color_transform.h"
#include "swf/parse/filters.h"
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
  std::optional<uint8_t> blendMode;  // as stored; ToBlendMode reads it
  std::optional<bool> cacheAsBitmap;
  std::optional<bool> visible;
  std::optional<Rgba> opaqueBackground;  // the object's bounds are filled with it, behind it
  bool hasFilters = false;
  bool hasClipActions = false;
  std::vector<Filter> filters;  // PlaceObject3 with hasFilters
  ClipActions clipActions;      // with hasClipActions
  // Broken clip actions do not cost the placement: the records read before
  // the fault are kept and this says what was wrong.
  std::string clipActionsError;
};

struct RemoveObject {
  uint16_t depth = 0;
};

PlaceObject ParsePlaceObject1(BitReader& reader);
// `swfVersion` decides the width of the clip events' flags (see ReadClipActions).
PlaceObject ParsePlaceObject2(BitReader& reader, int swfVersion = 6);
PlaceObject ParsePlaceObject3(BitReader& reader, int swfVersion = 6);
RemoveObject ParseRemoveObject1(BitReader& reader);
RemoveObject ParseRemoveObject2(BitReader& reader);

}  // namespace swf
