#include "swf/render/glyph_outline.h"

#include <algorithm>
#include <cmath>

namespace swf {

Matrix GlyphToDevice(const Matrix& glyphInText, const Matrix& textWorld, const Matrix& view) {
  const Matrix toDevice = Matrix::Compose(glyphInText, textWorld);
  const auto deviceToStage = view.Inverse();
  if (!deviceToStage) return toDevice;
  Matrix onStage = Matrix::Compose(toDevice, *deviceToStage);
  if (!std::isfinite(onStage.tx) || !std::isfinite(onStage.ty)) return toDevice;
  onStage.tx = std::round(onStage.tx);
  onStage.ty = std::round(onStage.ty);
  return Matrix::Compose(onStage, view);
}

namespace {

// Chords of equal steps in t for one curve: n of them stray from it by
// |start - 2 control + end| / (4 n^2), measured on the device (the
// translation drops out of that difference).
int ChordsFor(Point start, Point control, Point end, const Matrix& toDevice) {
  const double dx = start.x - 2 * control.x + end.x;
  const double dy = start.y - 2 * control.y + end.y;
  const double deviation = std::hypot(toDevice.a * dx + toDevice.c * dy, toDevice.b * dx + toDevice.d * dy);
  const double wanted = std::ceil(std::sqrt(deviation / (4 * kGlyphCurveTolerance)));
  if (!std::isfinite(wanted)) return kMaxGlyphChordsPerCurve;
  return static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(kMaxGlyphChordsPerCurve)));
}

void FollowCurves(const ShapePath& path, const Matrix& toDevice, ShapePath& out) {
  out.fill0 = path.fill0;
  out.fill1 = path.fill1;
  out.line = path.line;
  out.start = path.start;
  out.segments.clear();
  Point at = path.start;
  for (const Segment& segment : path.segments) {
    if (segment.curved) {
      const int chords = ChordsFor(at, segment.control, segment.to, toDevice);
      for (int i = 1; i < chords; ++i) {
        const double t = static_cast<double>(i) / chords;
        const double u = 1 - t;
        const Point p{u * u * at.x + 2 * u * t * segment.control.x + t * t * segment.to.x,
                      u * u * at.y + 2 * u * t * segment.control.y + t * t * segment.to.y};
        out.segments.push_back(Segment{false, {}, p});
      }
    }
    out.segments.push_back(Segment{false, {}, segment.to});
    at = segment.to;
  }
}

// Edges of the glyph once its curves are followed.
size_t FollowedEdges(const ShapeDefinition& glyph, const Matrix& toDevice) {
  size_t edges = 0;
  for (const ShapeLayer& layer : glyph.layers) {
    for (const ShapePath& path : layer.paths) {
      Point at = path.start;
      for (const Segment& segment : path.segments) {
        edges += segment.curved ? static_cast<size_t>(ChordsFor(at, segment.control, segment.to, toDevice)) : 1;
        at = segment.to;
      }
    }
  }
  return edges;
}

}  // namespace

const ShapeDefinition& FollowGlyphCurves(const ShapeDefinition& glyph, const Matrix& toDevice,
                                         ShapeDefinition& scratch) {
  if (FollowedEdges(glyph, toDevice) > kMaxGlyphOutlineEdges) return glyph;
  scratch.id = glyph.id;
  scratch.bounds = glyph.bounds;
  scratch.nonZeroWinding = glyph.nonZeroWinding;
  scratch.layers.resize(glyph.layers.size());
  for (size_t i = 0; i < glyph.layers.size(); ++i) {
    const ShapeLayer& layer = glyph.layers[i];
    ShapeLayer& followed = scratch.layers[i];
    followed.fills = layer.fills;
    followed.lines = layer.lines;
    followed.paths.resize(layer.paths.size());
    for (size_t j = 0; j < layer.paths.size(); ++j) FollowCurves(layer.paths[j], toDevice, followed.paths[j]);
  }
  return scratch;
}

}  // namespace swf
