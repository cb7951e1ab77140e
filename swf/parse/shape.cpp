#include "swf/parse/shape.h"

#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

Rgba ReadColor(BitReader& reader, int shapeVersion) {
  return shapeVersion >= 3 ? ReadRgba(reader) : ReadRgb(reader);
}

size_t ReadStyleCount(BitReader& reader, int shapeVersion) {
  size_t count = reader.U8();
  // DefineShape (1) has no extended count: 0xFF there means 255 styles.
  if (count == 0xFF && shapeVersion >= 2) count = reader.U16();
  return count;
}

GradientFill ReadGradient(BitReader& reader, int shapeVersion, GradientFill::Kind kind) {
  GradientFill gradient;
  gradient.kind = kind;
  gradient.matrix = ReadMatrix(reader);
  const uint8_t flags = reader.U8();
  gradient.spreadMode = static_cast<uint8_t>(flags >> 6);
  gradient.interpolationMode = static_cast<uint8_t>((flags >> 4) & 3);
  const unsigned count = flags & 0x0F;
  for (unsigned i = 0; i < count; ++i) {
    GradientStop stop;
    stop.ratio = reader.U8();
    stop.color = ReadColor(reader, shapeVersion);
    gradient.stops.push_back(stop);
  }
  if (kind == GradientFill::Kind::kFocal) gradient.focalPoint = reader.Fixed8();
  return gradient;
}

std::vector<FillStyle> ReadFillStyles(BitReader& reader, int shapeVersion) {
  const size_t count = ReadStyleCount(reader, shapeVersion);
  std::vector<FillStyle> fills;
  fills.reserve(count);
  for (size_t i = 0; i < count; ++i) fills.push_back(ReadFillStyle(reader, shapeVersion));
  return fills;
}

LineStyle ReadLineStyle(BitReader& reader, int shapeVersion) {
  LineStyle line;
  line.width = reader.U16();
  if (shapeVersion < 4) {
    line.color = ReadColor(reader, shapeVersion);
    return line;
  }
  if (ReadLineStyle2Flags(reader, line)) {
    line.fill = ReadFillStyle(reader, shapeVersion);
    if (const auto* solid = std::get_if<SolidFill>(&*line.fill)) {
      line.color = solid->color;
      line.fill.reset();
    }
  } else {
    line.color = ReadRgba(reader);
  }
  return line;
}

std::vector<LineStyle> ReadLineStyles(BitReader& reader, int shapeVersion) {
  const size_t count = ReadStyleCount(reader, shapeVersion);
  std::vector<LineStyle> lines;
  lines.reserve(count);
  for (size_t i = 0; i < count; ++i) lines.push_back(ReadLineStyle(reader, shapeVersion));
  return lines;
}

// Walks the SHAPERECORDs, cutting them into paths at every style change.
class ShapeRecordWalker {
 public:
  ShapeRecordWalker(BitReader& reader, int shapeVersion) : reader_(reader), version_(shapeVersion) {}

  std::vector<ShapeLayer> Walk() {
    ShapeLayer first;
    first.fills = ReadFillStyles(reader_, version_);
    first.lines = ReadLineStyles(reader_, version_);
    layers_.push_back(std::move(first));
    ReadBitCounts();
    size_t records = 0;
    while (true) {
      if (++records > kMaxShapeRecords) {
        throw ParseError("shape has more than " + std::to_string(kMaxShapeRecords) + " records at offset " +
                         std::to_string(reader_.AbsoluteOffset()));
      }
      if (reader_.Flag()) {
        ReadEdge();
        continue;
      }
      const uint32_t flags = reader_.UB(5);
      if (flags == 0) break;  // EndShapeRecord
      ReadStyleChange(flags);
    }
    ClosePath();
    reader_.Align();
    return std::move(layers_);
  }

 private:
  void ReadBitCounts() {
    fillBits_ = reader_.UB(4);
    lineBits_ = reader_.UB(4);
  }

  void ReadStyleChange(uint32_t flags) {
    ClosePath();
    const bool newStyles = (flags & 0x10) != 0;
    const bool hasLine = (flags & 0x08) != 0;
    const bool hasFill1 = (flags & 0x04) != 0;
    const bool hasFill0 = (flags & 0x02) != 0;
    const bool hasMove = (flags & 0x01) != 0;
    if (hasMove) {
      const unsigned bits = reader_.UB(5);
      // MoveTo is absolute, relative to the shape's origin.
      pen_.x = reader_.SB(bits);
      pen_.y = reader_.SB(bits);
    }
    if (hasFill0) fill0_ = reader_.UB(fillBits_);
    if (hasFill1) fill1_ = reader_.UB(fillBits_);
    if (hasLine) line_ = reader_.UB(lineBits_);
    if (newStyles) {
      ShapeLayer layer;
      layer.fills = ReadFillStyles(reader_, version_);
      layer.lines = ReadLineStyles(reader_, version_);
      layers_.push_back(std::move(layer));
      ReadBitCounts();
      if (!hasFill0) fill0_ = 0;
      if (!hasFill1) fill1_ = 0;
      if (!hasLine) line_ = 0;
    }
    // A style number beyond the arrays means "none", never a bad access.
    const ShapeLayer& layer = layers_.back();
    if (fill0_ > layer.fills.size()) fill0_ = 0;
    if (fill1_ > layer.fills.size()) fill1_ = 0;
    if (line_ > layer.lines.size()) line_ = 0;
  }

  void ReadEdge() {
    const Segment segment = ReadEdgeRecord(reader_, pen_);
    if (!path_) {
      path_ = ShapePath{fill0_, fill1_, line_, pen_, {}};
    }
    path_->segments.push_back(segment);
    pen_ = segment.to;
  }

  void ClosePath() {
    if (path_ && !path_->segments.empty() && (path_->fill0 || path_->fill1 || path_->line)) {
      layers_.back().paths.push_back(std::move(*path_));
    }
    path_.reset();
  }

  BitReader& reader_;
  int version_;
  std::vector<ShapeLayer> layers_;
  std::optional<ShapePath> path_;
  Point pen_;
  uint32_t fill0_ = 0;
  uint32_t fill1_ = 0;
  uint32_t line_ = 0;
  unsigned fillBits_ = 0;
  unsigned lineBits_ = 0;
};

}  // namespace

bool ReadLineStyle2Flags(BitReader& reader, LineStyle& line) {
  line.startCap = static_cast<CapStyle>(reader.UB(2));
  line.join = static_cast<JoinStyle>(reader.UB(2));
  const bool hasFill = reader.Flag();
  line.noHScale = reader.Flag();
  line.noVScale = reader.Flag();
  reader.Flag();  // pixel hinting
  reader.UB(5);   // reserved
  line.noClose = reader.Flag();
  line.endCap = static_cast<CapStyle>(reader.UB(2));
  // Reserved values 3 fall back to the defaults rather than being trusted.
  if (static_cast<uint8_t>(line.startCap) > 2) line.startCap = CapStyle::kRound;
  if (static_cast<uint8_t>(line.endCap) > 2) line.endCap = CapStyle::kRound;
  if (static_cast<uint8_t>(line.join) > 2) line.join = JoinStyle::kRound;
  if (line.join == JoinStyle::kMiter) line.miterLimit = reader.U16() / 256.0;  // unsigned 8.8
  return hasFill;
}

Segment ReadEdgeRecord(BitReader& reader, Point pen) {
  const bool straight = reader.Flag();
  const unsigned bits = reader.UB(4) + 2;
  Segment segment;
  if (straight) {
    Point delta;
    if (reader.Flag()) {
      delta.x = reader.SB(bits);
      delta.y = reader.SB(bits);
    } else if (reader.Flag()) {
      delta.y = reader.SB(bits);
    } else {
      delta.x = reader.SB(bits);
    }
    segment.to = {pen.x + delta.x, pen.y + delta.y};
  } else {
    const double cx = reader.SB(bits);
    const double cy = reader.SB(bits);
    const double ax = reader.SB(bits);
    const double ay = reader.SB(bits);
    segment.curved = true;
    segment.control = {pen.x + cx, pen.y + cy};
    segment.to = {segment.control.x + ax, segment.control.y + ay};  // anchor is relative to the control point
  }
  return segment;
}

FillStyle ReadFillStyle(BitReader& reader, int shapeVersion) {
  const uint8_t type = reader.U8();
  switch (type) {
    case 0x00:
      return SolidFill{ReadColor(reader, shapeVersion)};
    case 0x10:
      return ReadGradient(reader, shapeVersion, GradientFill::Kind::kLinear);
    case 0x12:
      return ReadGradient(reader, shapeVersion, GradientFill::Kind::kRadial);
    case 0x13:
      return ReadGradient(reader, shapeVersion, GradientFill::Kind::kFocal);
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: {
      BitmapFill bitmap;
      bitmap.bitmapId = reader.U16();
      bitmap.matrix = ReadMatrix(reader);
      bitmap.repeat = (type & 1) == 0;
      bitmap.smooth = (type & 2) == 0;
      return bitmap;
    }
    default:
      throw ParseError("unknown fill style type " + std::to_string(type) + " at offset " +
                       std::to_string(reader.AbsoluteOffset() - 1));
  }
}

size_t CountShapeRecords(const ShapeDefinition& shape) {
  size_t records = 0;
  for (const ShapeLayer& layer : shape.layers) {
    records += 1 + layer.paths.size();
    for (const ShapePath& path : layer.paths) records += path.segments.size();
  }
  return records;
}

std::vector<ShapeLayer> ParseShapeWithStyle(BitReader& reader, int shapeVersion) {
  return ShapeRecordWalker(reader, shapeVersion).Walk();
}

ShapeDefinition ParseDefineShape(BitReader& reader, int shapeVersion) {
  ShapeDefinition shape;
  shape.id = reader.U16();
  shape.bounds = ReadRect(reader);
  if (shapeVersion >= 4) {
    ReadRect(reader);  // edge bounds: not needed for drawing
    const uint8_t flags = reader.U8();
    shape.nonZeroWinding = (flags & 0x04) != 0;
  }
  shape.layers = ParseShapeWithStyle(reader, shapeVersion);
  return shape;
}

}  // namespace swf
