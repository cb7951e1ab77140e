#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/shape.h"

namespace swf {

// One SHAPERECORD of a SHAPE without style arrays (glyphs, the two edge
// lists of a morph shape), kept as the file has it so that two lists can be
// paired record by record. Coordinates are absolute twips.
struct ShapeRecord {
  bool isEdge = false;
  Segment edge;                  // isEdge
  std::optional<Point> moveTo;   // style change
  std::optional<uint32_t> fill0;
  std::optional<uint32_t> fill1;
  std::optional<uint32_t> line;
};

// Reads the bit counts and records of a SHAPE up to its end record. New
// style arrays have no place here and are refused; more than `maxRecords`
// records are refused too.
std::vector<ShapeRecord> ReadShapeRecords(BitReader& reader, size_t maxRecords);

// Cuts records into paths the way DefineShape's are cut (a new path at every
// style change); style numbers above `fillCount` / `lineCount` mean none.
// Paths without any style are left out.
std::vector<ShapePath> RecordsToPaths(const std::vector<ShapeRecord>& records, size_t fillCount, size_t lineCount);

}  // namespace swf
