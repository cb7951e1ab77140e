#include "swf/parse/shape_records.h"

#include <string>

#include "swf/parse/parse_error.h"

namespace swf {
std::vector<ShapeRecord> ReadShapeRecords(BitReader& reader, size_t maxRecords) {
  reader.Align();
  const unsigned fillBits = reader.UB(4);
  const unsigned lineBits = reader.UB(4);
  std::vector<ShapeRecord> records;
  Point pen;
  while (true) {
    if (records.size() >= maxRecords) {
      throw ParseError("shape has more than " + std::to_string(maxRecords) + " records at offset " +
                       std::to_string(reader.AbsoluteOffset()));
    }
    ShapeRecord record;
    if (reader.Flag()) {
      record.isEdge = true;
      record.edge = ReadEdgeRecord(reader, pen);
      pen = record.edge.to;
      records.push_back(record);
      continue;
    }
    const uint32_t flags = reader.UB(5);
    if (flags == 0) break;
    if (flags & 0x10) {
      throw ParseError("new style arrays inside a shape without styles at offset " +
                       std::to_string(reader.AbsoluteOffset()));
    }
    if (flags & 0x01) {
      const unsigned bits = reader.UB(5);
      const double x = reader.SB(bits);
      const double y = reader.SB(bits);
      pen = {x, y};
      record.moveTo = pen;
    }
    if (flags & 0x02) record.fill0 = reader.UB(fillBits);
    if (flags & 0x04) record.fill1 = reader.UB(fillBits);
    if (flags & 0x08) record.line = reader.UB(lineBits);
    records.push_back(record);
  }
  reader.Align();
  return records;
}

std::vector<ShapePath> RecordsToPaths(const std::vector<ShapeRecord>& records, size_t fillCount, size_t lineCount) {
  std::vector<ShapePath> paths;
  ShapePath current;
  Point pen;
  auto close = [&]() {
    if (!current.segments.empty() && (current.fill0 || current.fill1 || current.line)) paths.push_back(current);
    current.segments.clear();
    current.start = pen;
  };
  for (const ShapeRecord& record : records) {
    if (record.isEdge) {
      if (current.segments.empty()) current.start = pen;
      current.segments.push_back(record.edge);
      pen = record.edge.to;
      continue;
    }
    close();
    if (record.moveTo) pen = *record.moveTo;
    if (record.fill0) current.fill0 = *record.fill0 <= fillCount ? *record.fill0 : 0;
    if (record.fill1) current.fill1 = *record.fill1 <= fillCount ? *record.fill1 : 0;
    if (record.line) current.line = *record.line <= lineCount ? *record.line : 0;
    current.start = pen;
  }
  close();
  return paths;
}

}  // namespace swf
