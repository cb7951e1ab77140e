#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/shape.h"

namespace swf {

// One path of a morph shape: its styles come from the start edges, each
// segment pairs an edge of the start shape with the edge at the same place
// in the end shape.
struct MorphPath {
  uint32_t fill0 = 0;
  uint32_t fill1 = 0;
  uint32_t line = 0;
  Point startFrom;
  Point endFrom;
  std::vector<std::pair<Segment, Segment>> segments;  // (start, end)
};

// DefineMorphShape / DefineMorphShape2: two shapes with the same records
// whose coordinates and styles are interpolated by the placement's ratio.
struct MorphShapeDefinition {
  uint16_t id = 0;
  Rect startBounds;
  Rect endBounds;
  std::vector<std::pair<FillStyle, FillStyle>> fills;
  std::vector<std::pair<LineStyle, LineStyle>> lines;
  std::vector<MorphPath> paths;
};

// Body of DefineMorphShape (version 1) or DefineMorphShape2 (2); the two
// edge lists together may hold at most `maxRecords` records.
MorphShapeDefinition ParseDefineMorphShape(BitReader& reader, int morphVersion, size_t maxRecords);

size_t CountMorphRecords(const MorphShapeDefinition& morph);

// The shape at `ratio` (0 = start, 65535 = end): every coordinate, colour,
// width and matrix in between, linearly.
ShapeDefinition MorphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio);

}  // namespace swf
