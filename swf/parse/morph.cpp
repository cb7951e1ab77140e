#include "swf/parse/morph.h"

#include <algorithm>
#include <optional>
#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"
#include "swf/parse/shape_records.h"

namespace swf {
namespace {

size_t ReadCount(BitReader& reader) {
  size_t count = reader.U8();
  if (count == 0xFF) count = reader.U16();
  return count;
}

std::pair<GradientFill, GradientFill> ReadMorphGradient(BitReader& reader, GradientFill::Kind kind) {
  GradientFill start;
  GradientFill end;
  start.kind = end.kind = kind;
  start.matrix = ReadMatrix(reader);
  end.matrix = ReadMatrix(reader);
  const unsigned count = reader.U8();
  for (unsigned i = 0; i < count; ++i) {
    GradientStop a;
    a.ratio = reader.U8();
    a.color = ReadRgba(reader);
    GradientStop b;
    b.ratio = reader.U8();
    b.color = ReadRgba(reader);
    start.stops.push_back(a);
    end.stops.push_back(b);
  }
  if (kind == GradientFill::Kind::kFocal) {
    start.focalPoint = reader.Fixed8();
    end.focalPoint = reader.Fixed8();
  }
  return {start, end};
}

std::pair<FillStyle, FillStyle> ReadMorphFill(BitReader& reader) {
  const uint8_t type = reader.U8();
  switch (type) {
    case 0x00: {
      const Rgba start = ReadRgba(reader);
      const Rgba end = ReadRgba(reader);
      return {SolidFill{start}, SolidFill{end}};
    }
    case 0x10:
      return ReadMorphGradient(reader, GradientFill::Kind::kLinear);
    case 0x12:
      return ReadMorphGradient(reader, GradientFill::Kind::kRadial);
    case 0x13:
      return ReadMorphGradient(reader, GradientFill::Kind::kFocal);
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: {
      BitmapFill start;
      start.bitmapId = reader.U16();
      start.repeat = (type & 1) == 0;
      start.smooth = (type & 2) == 0;
      BitmapFill end = start;
      start.matrix = ReadMatrix(reader);
      end.matrix = ReadMatrix(reader);
      return {start, end};
    }
    default:
      throw ParseError("unknown morph fill style type " + std::to_string(type) + " at offset " +
                       std::to_string(reader.AbsoluteOffset() - 1));
  }
}

std::pair<LineStyle, LineStyle> ReadMorphLine(BitReader& reader, int morphVersion) {
  LineStyle start;
  LineStyle end;
  start.width = reader.U16();
  end.width = reader.U16();
  if (morphVersion < 2) {
    start.color = ReadRgba(reader);
    end.color = ReadRgba(reader);
    return {start, end};
  }
  const bool hasFill = ReadLineStyle2Flags(reader, start);
  const uint16_t endWidth = end.width;
  end = start;
  end.width = endWidth;
  if (hasFill) {
    auto [startFill, endFill] = ReadMorphFill(reader);
    const auto* startSolid = std::get_if<SolidFill>(&startFill);
    const auto* endSolid = std::get_if<SolidFill>(&endFill);
    if (startSolid && endSolid) {
      start.color = startSolid->color;
      end.color = endSolid->color;
    } else {
      start.fill = startFill;
      end.fill = endFill;
    }
  } else {
    start.color = ReadRgba(reader);
    end.color = ReadRgba(reader);
  }
  return {start, end};
}

Segment AsCurve(const Segment& segment, Point from) {
  if (segment.curved) return segment;
  return {true, {(from.x + segment.to.x) / 2, (from.y + segment.to.y) / 2}, segment.to};
}

// Walks the start records and pairs each edge with the next edge of the end
// records; the end list's own moves set where its paths begin.
std::vector<MorphPath> PairEdges(const std::vector<ShapeRecord>& startRecords,
                                 const std::vector<ShapeRecord>& endRecords, size_t fillCount, size_t lineCount) {
  std::vector<MorphPath> paths;
  MorphPath current;
  Point startPen;
  Point endPen;
  size_t endIndex = 0;
  auto close = [&]() {
    if (!current.segments.empty() && (current.fill0 || current.fill1 || current.line)) paths.push_back(current);
    current.segments.clear();
  };
  for (const ShapeRecord& record : startRecords) {
    if (!record.isEdge) {
      close();
      if (record.moveTo) startPen = *record.moveTo;
      if (record.fill0) current.fill0 = *record.fill0 <= fillCount ? *record.fill0 : 0;
      if (record.fill1) current.fill1 = *record.fill1 <= fillCount ? *record.fill1 : 0;
      if (record.line) current.line = *record.line <= lineCount ? *record.line : 0;
      continue;
    }
    std::optional<Segment> endEdge;
    while (endIndex < endRecords.size() && !endEdge) {
      const ShapeRecord& other = endRecords[endIndex++];
      if (other.isEdge) {
        endEdge = other.edge;
      } else if (other.moveTo) {
        endPen = *other.moveTo;
      }
    }
    // An end list that runs out early keeps the rest of the start shape still.
    Segment start = record.edge;
    Segment end = endEdge.value_or(record.edge);
    const Point endFrom = endEdge ? endPen : startPen;
    if (start.curved != end.curved) {
      start = AsCurve(start, startPen);
      end = AsCurve(end, endFrom);
    }
    if (current.segments.empty()) {
      current.startFrom = startPen;
      current.endFrom = endFrom;
    }
    current.segments.emplace_back(start, end);
    startPen = record.edge.to;
    if (endEdge) endPen = endEdge->to;
  }
  close();
  return paths;
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }

Point Mix(Point a, Point b, double t) { return {Mix(a.x, b.x, t), Mix(a.y, b.y, t)}; }

uint8_t MixChannel(uint8_t a, uint8_t b, double t) {
  return static_cast<uint8_t>(std::clamp(Mix(a, b, t), 0.0, 255.0));  // truncated, as the reference does
}

Rgba Mix(Rgba a, Rgba b, double t) {
  return {MixChannel(a.r, b.r, t), MixChannel(a.g, b.g, t), MixChannel(a.b, b.b, t), MixChannel(a.a, b.a, t)};
}

Matrix Mix(const Matrix& a, const Matrix& b, double t) {
  return {Mix(a.a, b.a, t), Mix(a.b, b.b, t), Mix(a.c, b.c, t), Mix(a.d, b.d, t), Mix(a.tx, b.tx, t),
          Mix(a.ty, b.ty, t)};
}

FillStyle Mix(const FillStyle& a, const FillStyle& b, double t) {
  if (a.index() != b.index()) return a;
  if (const auto* solid = std::get_if<SolidFill>(&a)) {
    return SolidFill{Mix(solid->color, std::get<SolidFill>(b).color, t)};
  }
  if (const auto* gradient = std::get_if<GradientFill>(&a)) {
    const auto& other = std::get<GradientFill>(b);
    GradientFill mixed = *gradient;
    mixed.matrix = Mix(gradient->matrix, other.matrix, t);
    mixed.focalPoint = Mix(gradient->focalPoint, other.focalPoint, t);
    const size_t count = std::min(gradient->stops.size(), other.stops.size());
    mixed.stops.resize(count);
    for (size_t i = 0; i < count; ++i) {
      mixed.stops[i].ratio = MixChannel(gradient->stops[i].ratio, other.stops[i].ratio, t);
      mixed.stops[i].color = Mix(gradient->stops[i].color, other.stops[i].color, t);
    }
    return mixed;
  }
  BitmapFill mixed = std::get<BitmapFill>(a);
  mixed.matrix = Mix(mixed.matrix, std::get<BitmapFill>(b).matrix, t);
  return mixed;
}

LineStyle Mix(const LineStyle& a, const LineStyle& b, double t) {
  LineStyle mixed = a;
  mixed.width = static_cast<uint16_t>(std::clamp(Mix(a.width, b.width, t), 0.0, 65535.0));
  mixed.color = Mix(a.color, b.color, t);
  if (a.fill && b.fill) mixed.fill = Mix(*a.fill, *b.fill, t);
  return mixed;
}

}  // namespace

MorphShapeDefinition ParseDefineMorphShape(BitReader& reader, int morphVersion, size_t maxRecords) {
  MorphShapeDefinition morph;
  morph.id = reader.U16();
  morph.startBounds = ReadRect(reader);
  morph.endBounds = ReadRect(reader);
  if (morphVersion >= 2) {
    ReadRect(reader);  // edge bounds: not needed for drawing
    ReadRect(reader);
    reader.U8();  // stroke scaling hints
  }
  const uint32_t offset = reader.U32();
  // The end edges start `offset` bytes after the offset field itself.
  if (offset > reader.Remaining()) {
    throw ParseError("morph shape " + std::to_string(morph.id) + " places its end edges beyond the tag");
  }
  BitReader styles = reader;
  BitReader endReader = reader;
  endReader.Skip(offset);
  const size_t fillCount = ReadCount(styles);
  for (size_t i = 0; i < fillCount; ++i) morph.fills.push_back(ReadMorphFill(styles));
  const size_t lineCount = ReadCount(styles);
  for (size_t i = 0; i < lineCount; ++i) morph.lines.push_back(ReadMorphLine(styles, morphVersion));
  const std::vector<ShapeRecord> startRecords = ReadShapeRecords(styles, maxRecords);
  const std::vector<ShapeRecord> endRecords = ReadShapeRecords(endReader, maxRecords - startRecords.size());
  morph.paths = PairEdges(startRecords, endRecords, morph.fills.size(), morph.lines.size());
  return morph;
}

size_t CountMorphRecords(const MorphShapeDefinition& morph) {
  size_t records = 1 + morph.fills.size() + morph.lines.size() + morph.paths.size();
  for (const MorphPath& path : morph.paths) records += 2 * path.segments.size();
  return records;
}

ShapeDefinition MorphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  ShapeDefinition shape;
  shape.id = morph.id;
  shape.bounds = {static_cast<Twips>(Mix(morph.startBounds.xMin, morph.endBounds.xMin, t)),
                  static_cast<Twips>(Mix(morph.startBounds.xMax, morph.endBounds.xMax, t)),
                  static_cast<Twips>(Mix(morph.startBounds.yMin, morph.endBounds.yMin, t)),
                  static_cast<Twips>(Mix(morph.startBounds.yMax, morph.endBounds.yMax, t))};
  ShapeLayer layer;
  for (const auto& [start, end] : morph.fills) layer.fills.push_back(Mix(start, end, t));
  for (const auto& [start, end] : morph.lines) layer.lines.push_back(Mix(start, end, t));
  layer.paths.reserve(morph.paths.size());
  for (const MorphPath& path : morph.paths) {
    ShapePath mixed{path.fill0, path.fill1, path.line, Mix(path.startFrom, path.endFrom, t), {}};
    mixed.segments.reserve(path.segments.size());
    for (const auto& [start, end] : path.segments) {
      mixed.segments.push_back({start.curved, Mix(start.control, end.control, t), Mix(start.to, end.to, t)});
    }
    layer.paths.push_back(std::move(mixed));
  }
  shape.layers.push_back(std::move(layer));
  return shape;
}

}  // namespace swf
