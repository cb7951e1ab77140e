#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/matrix.h"
#include "swf/parse/types.h"

namespace swf {

// Fill styles are a variant so that each kind carries only its own fields;
// the renderer decides per kind what it can draw.
struct SolidFill {
  Rgba color;
};

struct GradientStop {
  uint8_t ratio = 0;
  Rgba color;
};

struct GradientFill {
  enum class Kind { kLinear, kRadial, kFocal } kind = Kind::kLinear;
  Matrix matrix;  // gradient square (-16384..16384 twips) to shape space
  uint8_t spreadMode = 0;
  uint8_t interpolationMode = 0;
  double focalPoint = 0;
  std::vector<GradientStop> stops;
};

struct BitmapFill {
  uint16_t bitmapId = 0;
  Matrix matrix;  // bitmap pixels to shape space
  bool repeat = true;
  bool smooth = true;
};

using FillStyle = std::variant<SolidFill, GradientFill, BitmapFill>;

enum class CapStyle : uint8_t { kRound = 0, kNone = 1, kSquare = 2 };
enum class JoinStyle : uint8_t { kRound = 0, kBevel = 1, kMiter = 2 };

struct LineStyle {
  uint16_t width = 0;  // twips; 0 draws a hairline
  Rgba color;
  CapStyle startCap = CapStyle::kRound;
  CapStyle endCap = CapStyle::kRound;
  JoinStyle join = JoinStyle::kRound;
  double miterLimit = 3;  // maximum miter length in stroke widths
  bool noHScale = false;
  bool noVScale = false;
  bool noClose = false;
  std::optional<FillStyle> fill;  // LINESTYLE2 with HasFillFlag: the stroke is painted with this fill
};

// One edge after the previous one's end point: a straight line or a quadratic
// curve (start = previous end, `control`, `to`), all in twips of shape space.
struct Segment {
  bool curved = false;
  Point control;
  Point to;
};

// A run of connected edges that share their styles. Style numbers are
// 1-based into the layer's arrays, 0 = none, checked when parsed.
struct ShapePath {
  uint32_t fill0 = 0;  // fill on the left of the direction of travel
  uint32_t fill1 = 0;  // fill on the right
  uint32_t line = 0;
  Point start;
  std::vector<Segment> segments;
};

// Everything between two StateNewStyles records: drawn completely (fills,
// then strokes) before the next layer.
struct ShapeLayer {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<ShapePath> paths;
};

struct ShapeDefinition {
  uint16_t id = 0;
  Rect bounds;
  bool nonZeroWinding = false;  // DefineShape4 UsesFillWindingRule
  std::vector<ShapeLayer> layers;
};

// Records (edges and style changes) one shape may hold, and all the shapes
// of a movie together. Parsed records take some 30 times the bytes they
// have in the file, so without a ceiling a compressed movie of a few
// megabytes could ask for gigabytes. A shape beyond either is refused.
inline constexpr size_t kMaxShapeRecords = size_t{1} << 20;
inline constexpr size_t kMaxMovieShapeRecords = size_t{1} << 22;

// Records of a parsed shape, counted as the ceilings above count them.
size_t CountShapeRecords(const ShapeDefinition& shape);

// Body of DefineShape (version 1), DefineShape2 (2), DefineShape3 (3), DefineShape4 (4).
ShapeDefinition ParseDefineShape(BitReader& reader, int shapeVersion);

// SHAPEWITHSTYLE alone (also used by glyphs and morph shapes later on).
std::vector<ShapeLayer> ParseShapeWithStyle(BitReader& reader, int shapeVersion);

FillStyle ReadFillStyle(BitReader& reader, int shapeVersion);

// The LINESTYLE2 fields between the width and the colour or fill (caps,
// join, scaling and closing flags, miter limit) into `line`; true when a
// fill style follows instead of a colour.
bool ReadLineStyle2Flags(BitReader& reader, LineStyle& line);

// One edge record (after its type flag has said "edge"), drawn from `pen`;
// coordinates are absolute twips.
Segment ReadEdgeRecord(BitReader& reader, Point pen);

}  // namespace swf
