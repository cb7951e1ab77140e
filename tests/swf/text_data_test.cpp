// What text fields need, kept as data: DefineEditText, font names, codes and
// layout tables, DefineFontInfo, DefineFontName and CSMTextSettings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character_builder.h"
#include "data_tag_support.h"
#include "swf/parse/movie.h"
#include "swf/parse/tag_header.h"

namespace swf {
namespace {

using swftest::BitWriter;
using swftest::Bytes;
using swftest::HasWarning;
using swftest::MovieOf;

const EditTextDefinition& EditTextOf(const ParsedMovie& movie, uint16_t id) {
  return std::get<EditTextDefinition>(*movie.FindCharacter(id));
}

TEST(EditTextTest, EveryFieldIsKept) {
  BitWriter w;
  w.U16(9);
  w.Rect({-40, 2000, 0, 400});
  w.U8(0xFF);  // every flag of the first byte
  w.U8(0xFF);  // and of the second
  w.U16(3);    // font
  w.String("Mono");
  w.U16(240);  // height
  w.Rgba({1, 2, 3, 4});
  w.U16(80);  // max length
  w.U8(2);    // centred
  w.U16(10);
  w.U16(20);
  w.U16(30);
  w.U16(static_cast<uint16_t>(-40));
  w.String("_root.score");
  w.String("<b>0</b>");
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kDefineEditText, w.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const EditTextDefinition& text = EditTextOf(movie, 9);
  EXPECT_EQ(text.bounds, (Rect{-40, 2000, 0, 400}));
  EXPECT_TRUE(text.wordWrap && text.multiline && text.password && text.readOnly);
  EXPECT_TRUE(text.autoSize && text.noSelect && text.border && text.wasStatic && text.html && text.useOutlines);
  EXPECT_EQ(text.fontId, 3);
  EXPECT_EQ(text.fontClass, "Mono");
  EXPECT_EQ(text.fontHeight, 240);
  EXPECT_EQ(text.textColor, (Rgba{1, 2, 3, 4}));
  EXPECT_EQ(text.maxLength, 80);
  ASSERT_TRUE(text.layout.has_value());
  EXPECT_EQ(text.layout->align, static_cast<uint8_t>(EditTextDefinition::Align::kCenter));
  EXPECT_EQ(text.layout->leftMargin, 10);
  EXPECT_EQ(text.layout->rightMargin, 20);
  EXPECT_EQ(text.layout->indent, 30);
  EXPECT_EQ(text.layout->leading, -40);
  EXPECT_EQ(text.variableName, "_root.score");
  EXPECT_EQ(text.initialText, "<b>0</b>");
}

TEST(EditTextTest, WithoutOptionalFieldsOnlyTheVariableFollows) {
  BitWriter w;
  w.U16(9);
  w.Rect({0, 100, 0, 100});
  w.U8(0);
  w.U8(0);
  w.String("");
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kDefineEditText, w.Take())});
  const EditTextDefinition& text = EditTextOf(movie, 9);
  EXPECT_FALSE(text.fontId || text.fontHeight || text.textColor || text.maxLength || text.layout || text.initialText);
  EXPECT_TRUE(text.variableName.empty());
}

// One flag bit at a time: the flag it sets, and nothing else.
struct EditFlagCase {
  const char* name;
  uint8_t first;
  uint8_t second;
  bool EditTextDefinition::*flag;
};
void PrintTo(const EditFlagCase& c, std::ostream* os) { *os << c.name; }

class EditTextFlagTest : public testing::TestWithParam<EditFlagCase> {};

TEST_P(EditTextFlagTest, SetsItsOwnFlag) {
  BitWriter w;
  w.U16(9);
  w.Rect({0, 100, 0, 100});
  w.U8(GetParam().first);
  w.U8(GetParam().second);
  w.String("v");
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kDefineEditText, w.Take())});
  const EditTextDefinition& text = EditTextOf(movie, 9);
  const std::vector<bool EditTextDefinition::*> all = {
      &EditTextDefinition::wordWrap, &EditTextDefinition::multiline, &EditTextDefinition::password,
      &EditTextDefinition::readOnly, &EditTextDefinition::autoSize,  &EditTextDefinition::noSelect,
      &EditTextDefinition::border,   &EditTextDefinition::wasStatic, &EditTextDefinition::html,
      &EditTextDefinition::useOutlines};
  for (auto flag : all) EXPECT_EQ(text.*flag, flag == GetParam().flag);
  EXPECT_EQ(text.variableName, "v");
}

INSTANTIATE_TEST_SUITE_P(
    EditText, EditTextFlagTest,
    testing::Values(EditFlagCase{"WordWrap", 0x40, 0, &EditTextDefinition::wordWrap},
                    EditFlagCase{"Multiline", 0x20, 0, &EditTextDefinition::multiline},
                    EditFlagCase{"Password", 0x10, 0, &EditTextDefinition::password},
                    EditFlagCase{"ReadOnly", 0x08, 0, &EditTextDefinition::readOnly},
                    EditFlagCase{"AutoSize", 0, 0x40, &EditTextDefinition::autoSize},
                    EditFlagCase{"NoSelect", 0, 0x10, &EditTextDefinition::noSelect},
                    EditFlagCase{"Border", 0, 0x08, &EditTextDefinition::border},
                    EditFlagCase{"WasStatic", 0, 0x04, &EditTextDefinition::wasStatic},
                    EditFlagCase{"Html", 0, 0x02, &EditTextDefinition::html},
                    EditFlagCase{"UseOutlines", 0, 0x01, &EditTextDefinition::useOutlines}),
    [](const auto& c) { return std::string(c.param.name); });

// ------------------------------------------------------------------ fonts

struct FontCase {
  int version;
  bool wideCodes;
};

// DefineFont2/3 1 "Sans" (with a trailing 0 as some writers store it), bold
// and italic, two rectangle glyphs coded 'A' and 'B', with a layout.
Bytes Font2WithLayout(const FontCase& c, bool cutLayout = false) {
  const Bytes g0 = swftest::RectangleEdges(0, 0, 500, 700);
  const Bytes g1 = swftest::RectangleEdges(0, 0, 600, 700);
  BitWriter w;
  w.U16(1);
  w.U8(static_cast<uint8_t>(0x80 | (c.wideCodes ? 0x04 : 0) | 0x02 | 0x01));
  w.U8(1);  // Latin
  w.U8(5);
  for (char ch : std::string("Sans")) w.U8(static_cast<uint8_t>(ch));
  w.U8(0);
  w.U16(2);
  w.U16(6);
  w.U16(static_cast<uint16_t>(6 + g0.size()));
  w.U16(static_cast<uint16_t>(6 + g0.size() + g1.size()));
  w.Append(g0);
  w.Append(g1);
  for (uint16_t code : {uint16_t{'A'}, uint16_t{'B'}}) c.wideCodes ? w.U16(code) : w.U8(static_cast<uint8_t>(code));
  w.U16(800);
  w.U16(200);
  w.U16(static_cast<uint16_t>(-5));
  w.U16(500);
  w.U16(600);
  w.Rect({0, 500, -700, 0});
  w.Rect({0, 600, -700, 0});
  if (!cutLayout) {
    w.U16(1);
    c.wideCodes ? w.U16('A') : w.U8('A');
    c.wideCodes ? w.U16('B') : w.U8('B');
    w.U16(static_cast<uint16_t>(-30));
  }
  return swftest::Tag(c.version == 2 ? tag::kDefineFont2 : tag::kDefineFont3, w.Take());
}

class FontLayoutTest : public testing::TestWithParam<FontCase> {};

TEST_P(FontLayoutTest, NameFlagsCodesAndLayoutAreKept) {
  const ParsedMovie movie = MovieOf({Font2WithLayout(GetParam())});
  EXPECT_TRUE(movie.warnings.empty());
  const auto& font = std::get<FontDefinition>(*movie.FindCharacter(1));
  EXPECT_EQ(font.version, GetParam().version);
  EXPECT_EQ(font.glyphs.size(), 2u);
  EXPECT_EQ(font.name, "Sans");
  EXPECT_TRUE(font.flags.bold);
  EXPECT_TRUE(font.flags.italic);
  EXPECT_FALSE(font.flags.smallText || font.flags.shiftJis || font.flags.ansi || font.flags.wideOffsets);
  EXPECT_EQ(font.flags.wideCodes, GetParam().wideCodes);
  EXPECT_EQ(font.languageCode, 1);
  EXPECT_EQ(font.codes, (std::vector<uint16_t>{'A', 'B'}));
  ASSERT_TRUE(font.layout.has_value());
  EXPECT_EQ(font.layout->ascent, 800);
  EXPECT_EQ(font.layout->descent, 200);
  EXPECT_EQ(font.layout->leading, -5);
  EXPECT_EQ(font.layout->advances, (std::vector<int16_t>{500, 600}));
  EXPECT_EQ(font.layout->bounds, (std::vector<Rect>{{0, 500, -700, 0}, {0, 600, -700, 0}}));
  EXPECT_EQ(font.layout->kerning, (std::vector<KerningPair>{{'A', 'B', -30}}));
}

TEST_P(FontLayoutTest, ABrokenLayoutKeepsTheOutlines) {
  const ParsedMovie movie = MovieOf({Font2WithLayout(GetParam(), true)});
  EXPECT_TRUE(HasWarning(movie, GetParam().version == 2 ? tag::kDefineFont2 : tag::kDefineFont3));
  const auto& font = std::get<FontDefinition>(*movie.FindCharacter(1));
  EXPECT_EQ(font.glyphs.size(), 2u);
  EXPECT_FALSE(font.layout.has_value());
  EXPECT_FALSE(font.tablesError.empty());
}

INSTANTIATE_TEST_SUITE_P(Fonts, FontLayoutTest,
                         testing::Values(FontCase{2, false}, FontCase{2, true}, FontCase{3, true}));

// A device font has no glyphs; writers differ on whether its code table
// offset is still written before the layout.
class DeviceFontLayoutTest : public testing::TestWithParam<bool> {};

TEST_P(DeviceFontLayoutTest, LayoutIsReadWithOrWithoutTheCodeTableOffset) {
  BitWriter w;
  w.U16(2);
  w.U8(0x80 | 0x04);  // layout, wide codes
  w.U8(0);
  w.U8(1);
  w.U8('_');
  w.U16(0);  // no glyphs
  if (GetParam()) w.U16(0);
  w.U16(900);
  w.U16(100);
  w.U16(20);
  w.U16(0);  // no kerning
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kDefineFont2, w.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const auto& font = std::get<FontDefinition>(*movie.FindCharacter(2));
  EXPECT_TRUE(font.glyphs.empty());
  EXPECT_EQ(font.name, "_");
  ASSERT_TRUE(font.layout.has_value());
  EXPECT_EQ(font.layout->ascent, 900);
  EXPECT_EQ(font.layout->descent, 100);
  EXPECT_EQ(font.layout->leading, 20);
}

INSTANTIATE_TEST_SUITE_P(Fonts, DeviceFontLayoutTest, testing::Bool());

class FontInfoTest : public testing::TestWithParam<int> {};

TEST_P(FontInfoTest, NamesAndCodesADefineFont) {
  const int version = GetParam();
  BitWriter w;
  w.U16(1);
  w.U8(4);
  for (char ch : std::string("Sans")) w.U8(static_cast<uint8_t>(ch));
  w.U8(0x20 | 0x08 | 0x02 | 0x01);  // small text, ANSI, bold, wide codes
  if (version == 2) w.U8(2);
  w.U16(0x3042);
  w.U16('z');
  const ParsedMovie movie =
      MovieOf({swftest::FontTag(1, 1, {swftest::RectangleEdges(0, 0, 500, 700), swftest::RectangleEdges(0, 0, 5, 5)}),
               swftest::Tag(version == 1 ? tag::kDefineFontInfo : tag::kDefineFontInfo2, w.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const auto& font = std::get<FontDefinition>(*movie.FindCharacter(1));
  EXPECT_EQ(font.name, "Sans");
  EXPECT_TRUE(font.flags.smallText && font.flags.ansi && font.flags.bold && font.flags.wideCodes);
  EXPECT_FALSE(font.flags.italic || font.flags.shiftJis);
  EXPECT_EQ(font.languageCode, version == 2 ? 2 : 0);
  EXPECT_EQ(font.codes, (std::vector<uint16_t>{0x3042, 'z'}));
}

INSTANTIATE_TEST_SUITE_P(Fonts, FontInfoTest, testing::Values(1, 2));

TEST(FontNameTest, NameAndCopyrightAndTextSettingsAreKept) {
  BitWriter name;
  name.U16(1);
  name.String("Sans Bold");
  name.String("(c) nobody");
  BitWriter csm;
  csm.U16(6);
  csm.U8(0x50);  // advanced renderer (01), sub-pixel grid fit (010)
  swftest::Float(csm, 1.5f);
  swftest::Float(csm, -2);
  csm.U8(0);
  const ParsedMovie movie = MovieOf({Font2WithLayout({2, true}), swftest::Tag(tag::kDefineFontName, name.Take()),
                                     swftest::Tag(tag::kCsmTextSettings, csm.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const auto& font = std::get<FontDefinition>(*movie.FindCharacter(1));
  EXPECT_EQ(font.displayName, "Sans Bold");
  EXPECT_EQ(font.copyright, "(c) nobody");
  ASSERT_EQ(movie.textSettings.count(6), 1u);
  const TextRenderSettings& settings = movie.textSettings.at(6);
  EXPECT_EQ(settings.renderer, 1);
  EXPECT_EQ(settings.gridFit, 2);
  EXPECT_FLOAT_EQ(settings.thickness, 1.5f);
  EXPECT_FLOAT_EQ(settings.sharpness, -2);
}

}  // namespace
}  // namespace swf
