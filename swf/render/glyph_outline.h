#pragma once

#include <cstddef>

#include "swf/parse/matrix.h"
#include "swf/parse/shape.h"

namespace swf {

// Glyphs are small, and in the reference pictures their curves come out as
// the exact curves would, not as the 0.1-pixel chords of shapes: a glyph's
// curves are followed to within this many device pixels, well inside the
// rasterizers' 1/256-pixel vertex grid.
inline constexpr double kGlyphCurveTolerance = 1.0 / 1024;

// Chords per glyph curve at most, so that a glyph drawn huge stays cheap.
inline constexpr int kMaxGlyphChordsPerCurve = 512;

// Edges of one followed glyph outline at most. A glyph of very many curves
// drawn large would need more; it keeps its curves, to be flattened as
// shapes are, rather than taking memory without bound.
inline constexpr size_t kMaxGlyphOutlineEdges = size_t{1} << 18;

// Where a glyph of a static text goes on the device: its place in the text
// composed with the text's world matrix, with the glyph's origin moved to the
// nearest whole twip of the stage, as placements always lie on whole twips
// (a scaled text puts its glyphs between them otherwise). `view` maps stage
// twips to device pixels; if it cannot be inverted the origin stays as it is.
Matrix GlyphToDevice(const Matrix& glyphInText, const Matrix& textWorld, const Matrix& view);

// The glyph's outline with every curve replaced by straight edges that stay
// within kGlyphCurveTolerance of it once drawn with `toDevice`, made in
// `scratch` (its storage reused) and returned; beyond kMaxGlyphOutlineEdges
// the glyph itself is returned.
const ShapeDefinition& FollowGlyphCurves(const ShapeDefinition& glyph, const Matrix& toDevice,
                                         ShapeDefinition& scratch);

}  // namespace swf
