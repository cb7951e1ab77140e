#pragma once

// What a timeline's tags place at each depth by a given frame, worked out
// from the tags alone: a backward goto compares it with the objects alive
// instead of tearing them down and replaying the frames.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "swf/parse/movie.h"
#include "swf/runtime/display_object.h"

namespace swf {

// One depth's placement as the tags leave it.
struct Placement {
  uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  std::string name;
  uint16_t clipDepth = 0;
  uint8_t blendMode = 0;
  bool visible = true;
  bool cacheAsBitmap = false;
  std::optional<Rgba> opaqueBackground;
  bool hasFilters = false;
  std::vector<Filter> filters;
  const ClipActions* clipActions = nullptr;  // the placing tag's, in the movie
};

using PlacementMap = std::map<uint16_t, Placement>;  // depth -> placement

// A new placement's fields, those the tag leaves out at their defaults.
Placement NewPlacement(const PlaceObject& place);

// Changes `placement` by the fields a move or replace tag gives.
void ApplyPlaceFields(const PlaceObject& place, Placement& placement);

// Applies one frame's control tags to `placements`, as the display list would
// take them: a move of an empty depth with a character places it anew, a
// placement onto a taken depth replaces what was there.
void ApplyControlTags(const Frame& frame, PlacementMap& placements);

// The placements of frames 0 .. `frame` together (`frame` within the
// timeline).
PlacementMap PlacementsAt(const TimelineDefinition& timeline, size_t frame);

// What createEmptyMovieClip shows, and an unloaded clip: one empty frame.
const TimelineDefinition& EmptyTimeline();

}  // namespace swf
