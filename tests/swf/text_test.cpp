// Static text drawn with glyph fonts built in code: the glyph outline is a
// square filling the EM square above the baseline, so a glyph of text
// height H covers H x H twips with its lower left corner on the pen.
#include <gtest/gtest.h>

#include "character_builder.h"
#include "swf/parse/movie.h"
#include "swf/player.h"
#include "swf/snapshot.h"

namespace swf {
namespace {

using swftest::Bytes;
using swftest::TextRecord;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

// Glyph 0: the whole EM square above the baseline; glyph 1: its left half.
std::vector<Bytes> BoxGlyphs(int fontVersion) {
  const int32_t em = fontVersion == 3 ? 20480 : 1024;
  return {swftest::RectangleEdges(0, -em, em, em), swftest::RectangleEdges(0, -em, em / 2, em)};
}

// A 40 x 30 pixel picture (one pixel = 20 twips) of the text placed at depth 1.
Snapshot RenderText(const std::vector<Bytes>& definitions, const Matrix* placement = nullptr) {
  std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255})};
  tags.insert(tags.end(), definitions.begin(), definitions.end());
  tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 2, .matrix = placement}));
  tags.push_back(swftest::ShowFrame());
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}));
  return TakeSnapshot(player, {.frames = 1, .width = 40, .height = 30, .quality = Quality::kLow});
}

Rgba At(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

class GlyphFontTest : public testing::TestWithParam<int> {};

// The same glyphs at the same text height come out the same size whatever
// the font tag's EM square.
TEST_P(GlyphFontTest, GlyphCoversTextHeightSquareOnTheBaseline) {
  const int version = GetParam();
  TextRecord record{.fontId = 1, .height = 200, .hasColor = true, .color = kRed, .hasX = true, .x = 100,
                    .hasY = true, .y = 300, .glyphs = {{0, 300}}};
  const Snapshot s = RenderText({swftest::FontTag(version, 1, BoxGlyphs(version)),
                                 swftest::TextTag(1, 2, Matrix::Identity(), {record})});
  // The glyph spans x 100..300, y 100..300 twips: pixels 5..14.
  EXPECT_EQ(At(s, 5, 5), kRed);
  EXPECT_EQ(At(s, 14, 14), kRed);
  EXPECT_EQ(At(s, 4, 10), kWhite);
  EXPECT_EQ(At(s, 15, 10), kWhite);
  EXPECT_EQ(At(s, 10, 4), kWhite);
  EXPECT_EQ(At(s, 10, 15), kWhite);
}

INSTANTIATE_TEST_SUITE_P(FontVersions, GlyphFontTest, testing::Values(1, 2, 3));

TEST(StaticTextTest, AdvancesMoveThePenAndOffsetsSetIt) {
  // Record 1: two glyphs from x = 0 on baseline 200 (advance 300 each).
  // Record 2: only a new baseline and colour: x carries on from 600.
  // Record 3: a new x, same baseline, the narrow glyph.
  const std::vector<TextRecord> records = {
      {.fontId = 1, .height = 200, .hasColor = true, .color = kRed, .hasX = true, .x = 0, .hasY = true, .y = 200,
       .glyphs = {{0, 300}, {0, 300}}},
      {.hasColor = true, .color = kBlue, .hasY = true, .y = 500, .glyphs = {{0, 300}}},
      {.hasX = true, .x = 100, .glyphs = {{1, 0}}},
  };
  const Snapshot s = RenderText({swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::TextTag(1, 2, Matrix::Identity(), records)});
  EXPECT_EQ(At(s, 5, 5), kRed);     // first glyph, 0..10 px
  EXPECT_EQ(At(s, 12, 5), kWhite);  // gap 10..15 px
  EXPECT_EQ(At(s, 20, 5), kRed);    // second glyph, 15..25 px
  EXPECT_EQ(At(s, 35, 20), kBlue);  // third glyph at x 600 twips: 30..40 px, baseline 25 px
  EXPECT_EQ(At(s, 29, 20), kWhite);
  EXPECT_EQ(At(s, 7, 20), kBlue);   // narrow glyph at x 100: 5..10 px wide
  EXPECT_EQ(At(s, 11, 20), kWhite);
}

TEST(StaticTextTest, TextMatrixAndPlacementBothApply) {
  const TextRecord record{.fontId = 1, .height = 100, .hasColor = true, .color = kRed, .hasX = true, .x = 0,
                          .hasY = true, .y = 100, .glyphs = {{0, 0}}};
  const Matrix textMatrix = Matrix::Scale(2, 2);     // glyph 200 twips square at (0, 0)
  const Matrix placement = Matrix::Translate(400, 200);  // then moved to (400, 200)
  const Snapshot s = RenderText(
      {swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::TextTag(1, 2, textMatrix, {record})}, &placement);
  EXPECT_EQ(At(s, 20, 10), kRed);
  EXPECT_EQ(At(s, 29, 19), kRed);
  EXPECT_EQ(At(s, 30, 15), kWhite);
  EXPECT_EQ(At(s, 19, 15), kWhite);
  EXPECT_EQ(At(s, 5, 5), kWhite);
}

// A text placed at scale 1/8 puts its glyph's origin 5/8 of a twip into
// the stage; the glyph starts on the nearest whole twip, 1. Its left edge,
// 73 twips of text further on, then lies just right of the first column's
// centre (0.506 px) instead of just left of it (0.4875 px).
TEST(StaticTextTest, ScaledTextPutsGlyphOriginsOnWholeTwips) {
  const TextRecord record{.fontId = 1, .height = 1024, .hasColor = true, .color = kRed, .hasX = true, .x = 5,
                          .hasY = true, .y = 1024, .glyphs = {{0, 0}}};
  const Matrix placement = Matrix::Scale(0.125, 0.125);
  const Snapshot s = RenderText({swftest::FontTag(2, 1, {swftest::RectangleEdges(73, -1024, 400, 1024)}),
                                 swftest::TextTag(1, 2, Matrix::Identity(), {record})},
                                &placement);
  EXPECT_EQ(At(s, 0, 3), kWhite);
  EXPECT_EQ(At(s, 1, 3), kRed);
  EXPECT_EQ(At(s, 2, 3), kRed);
  EXPECT_EQ(At(s, 3, 3), kWhite);  // right edge at 3.006 px
}

// A glyph whose top is a shallow curve: the chord from (0, 111) to (80, 111)
// twips runs at y 5.55 px, the curve rises to 5.475 px between, over the
// centres of pixels 1 and 2 of row 5 but not that of pixel 0. Shapes would
// keep such a curve as its chord; glyphs follow the curve.
TEST(StaticTextTest, GlyphCurvesAreFollowedCloserThanShapeCurves) {
  swftest::BitWriter w;
  w.UB(1, 4);  // fill bits
  w.UB(0, 4);  // line bits
  w.UB(0, 1);  // style change: move to (0, 111), fill0 = 1
  w.UB(0x03, 5);
  w.UB(8, 5);
  w.SB(0, 8);
  w.SB(111, 8);
  w.UB(1, 1);
  w.UB(1, 1);  // curve: control 40, -3 on; anchor 40, 3 on
  w.UB(0, 1);
  w.UB(7 - 2, 4);
  w.SB(40, 7);
  w.SB(-3, 7);
  w.SB(40, 7);
  w.SB(3, 7);
  const auto line = [&w](int32_t dx, int32_t dy) {
    w.UB(1, 1);
    w.UB(1, 1);
    w.UB(9 - 2, 4);
    w.UB(1, 1);
    w.SB(dx, 9);
    w.SB(dy, 9);
  };
  line(0, 89);
  line(-80, 0);
  line(0, -89);
  w.UB(0, 6);
  const TextRecord record{.fontId = 1, .height = 1024, .hasColor = true, .color = kRed, .hasX = true, .x = 0,
                          .hasY = true, .y = 0, .glyphs = {{0, 0}}};
  const Snapshot s = RenderText({swftest::FontTag(2, 1, {w.Take()}), swftest::TextTag(1, 2, Matrix::Identity(), {record})});
  EXPECT_EQ(At(s, 1, 5), kRed);
  EXPECT_EQ(At(s, 2, 5), kRed);
  EXPECT_EQ(At(s, 0, 5), kWhite);
  EXPECT_EQ(At(s, 3, 5), kWhite);
  EXPECT_EQ(At(s, 2, 4), kWhite);
  EXPECT_EQ(At(s, 0, 6), kRed);
  EXPECT_EQ(At(s, 3, 9), kRed);
}

TEST(StaticTextTest, DefineText2ColoursCarryAlpha) {
  const TextRecord record{.fontId = 1, .height = 200, .hasColor = true, .color = {0, 0, 0, 128}, .hasX = true,
                          .x = 0, .hasY = true, .y = 200, .glyphs = {{0, 0}}};
  const Snapshot s = RenderText({swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::TextTag(2, 2, Matrix::Identity(), {record})});
  const Rgba half = At(s, 5, 5);
  EXPECT_NEAR(half.r, 127, 2);
  EXPECT_EQ(half.r, half.g);
}

TEST(StaticTextTest, GlyphsOfMissingFontsOrIndicesAreLeftOut) {
  const std::vector<TextRecord> records = {
      {.fontId = 7, .height = 200, .hasColor = true, .color = kRed, .hasX = true, .x = 0, .hasY = true, .y = 200,
       .glyphs = {{0, 300}}},
      {.fontId = 1, .height = 200, .glyphs = {{9, 300}, {0, 300}}},
  };
  std::vector<Bytes> tags = {swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::TextTag(1, 2, Matrix::Identity(), records)};
  const Bytes file = swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600});
  const ParsedMovie movie = ParseMovie(file);
  const auto* text = std::get_if<TextDefinition>(movie.FindCharacter(2));
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->glyphs.size(), 1u);
  // The pen still moved over the glyphs left out: 300 + 300.
  EXPECT_DOUBLE_EQ(text->glyphs[0].matrix.tx, 600);
  EXPECT_DOUBLE_EQ(text->glyphs[0].matrix.a, 200.0 / 20480);
}

TEST(StaticTextTest, GlyphsOfOneColourShareTheirOutline) {
  const TextRecord record{.fontId = 1, .height = 200, .hasColor = true, .color = kRed, .hasX = true, .x = 0,
                          .hasY = true, .y = 200, .glyphs = {{0, 100}, {0, 100}, {1, 100}}};
  const Bytes file = swftest::Movie({swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::TextTag(1, 2, Matrix::Identity(), {record})});
  const ParsedMovie movie = ParseMovie(file);
  const auto* text = std::get_if<TextDefinition>(movie.FindCharacter(2));
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->glyphs.size(), 3u);
  EXPECT_EQ(text->glyphs[0].shape, text->glyphs[1].shape);
  EXPECT_NE(text->glyphs[0].shape, text->glyphs[2].shape);
}

// Glyph entries of zero bits cost the file nothing: a text placing more
// glyphs than the ceiling on records is refused, not held in memory.
TEST(StaticTextTest, TextBeyondTheCeilingOnGlyphsIsRefused) {
  swftest::BitWriter w;
  w.U16(2);
  w.Rect({0, 800, 0, 600});
  w.Matrix(Matrix::Identity());
  w.U8(0);  // glyph bits
  w.U8(0);  // advance bits
  w.U8(0x88);  // font
  w.U16(1);
  w.U16(200);
  w.U8(255);
  for (size_t placed = 255; placed <= kMaxShapeRecords; placed += 255) {
    w.U8(0x80);
    w.U8(255);
  }
  w.U8(0);
  const Bytes file = swftest::Movie({swftest::FontTag(3, 1, BoxGlyphs(3)), swftest::Tag(11, w.Take())});
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.FindCharacter(2), nullptr);
  ASSERT_FALSE(movie.warnings.empty());
  EXPECT_NE(movie.warnings.back().find("glyphs"), std::string::npos) << movie.warnings.back();
}

TEST(GlyphFontParseTest, GlyphOutsideItsTagIsRefusedWithAWarning) {
  // DefineFont2 whose only offset points far beyond the tag.
  swftest::BitWriter w;
  w.U16(1);
  w.U8(0x04);
  w.U8(0);
  w.U8(0);
  w.U16(1);
  w.U16(4000);
  w.U16(4002);
  const Bytes file = swftest::Movie({swftest::Tag(48, w.Take())});
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.FindCharacter(1), nullptr);
  EXPECT_FALSE(movie.warnings.empty());
}

TEST(GlyphFontParseTest, DeviceFontHasNoOutlines) {
  swftest::BitWriter w;
  w.U16(1);
  w.U8(0x04);
  w.U8(0);
  w.U8(0);
  w.U16(0);  // no glyphs
  const ParsedMovie movie = ParseMovie(swftest::Movie({swftest::Tag(48, w.Take())}));
  const auto* font = std::get_if<FontDefinition>(movie.FindCharacter(1));
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(font->glyphs.empty());
  EXPECT_TRUE(movie.warnings.empty());
}

}  // namespace
}  // namespace swf
