// The text layer: styled text, the HTML subset both ways, and layout
// against the metrics of a font made here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swf/avm1/utf16.h"
#include "swf/text/html_text.h"
#include "swf/text/text_field.h"
#include "swf/text/text_layout.h"

namespace {

using swf::text::Align;
using swf::text::StyledText;
using swf::text::TextFormat;

// 1000 units per EM; ascent 800, descent 200; every glyph 500 wide but the
// space (250) and 'W' (1000); "AV" kerns by -100.
class FixtureFont final : public swf::text::Font {
 public:
  double UnitsPerEm() const override { return 1000; }
  double Ascent() const override { return 800; }
  double Descent() const override { return 200; }
  std::optional<uint32_t> GlyphOf(char32_t c) override {
    if (c == U'#') return std::nullopt;  // missing from the font
    return static_cast<uint32_t>(c);
  }
  double Advance(uint32_t glyph) override { return glyph == ' ' ? 250 : glyph == 'W' ? 1000 : 500; }
  double Kerning(char32_t left, char32_t right) override { return left == U'A' && right == U'V' ? -100 : 0; }
  const std::vector<swf::ShapePath>* Outline(uint32_t) override { return nullptr; }
};

TextFormat Base(double size = 20) {
  TextFormat format = swf::text::DefaultTextFormat();
  format.size = size;
  return format;
}

StyledText Plain(std::u16string_view text, const TextFormat& format = Base()) {
  StyledText styled(format);
  styled.Append(text, format);
  return styled;
}

swf::text::TextLayout Lay(const StyledText& text, double widthPixels, bool wrap) {
  static FixtureFont font;
  swf::text::LayoutBox box;
  box.width = widthPixels * 20;
  box.wordWrap = wrap;
  box.multiline = true;
  return swf::text::LayOut(text, box, [](const TextFormat&) { return &font; });
}

std::vector<std::string> LineTexts(const StyledText& text, const swf::text::TextLayout& layout) {
  std::vector<std::string> lines;
  for (const auto& line : layout.lines) {
    lines.push_back(swf::avm1::FromUtf16(text.Text().substr(line.start, line.end - line.start)));
  }
  return lines;
}

TEST(StyledTextTest, EditsKeepFormatsWithTheirCharacters) {
  TextFormat bold = Base();
  bold.bold = true;
  struct Case {
    const char* name;
    void (*edit)(StyledText&, const TextFormat&);
    std::u16string text;
    size_t boldBegin, boldEnd;  // the bold characters afterwards
  };
  const Case cases[] = {
      {"format in the middle", [](StyledText& t, const TextFormat& b) { t.ApplyFormat(2, 4, b); }, u"abcdef", 2, 4},
      {"insert before a bold run", [](StyledText& t, const TextFormat& b) {
         t.ApplyFormat(2, 4, b);
         t.Replace(0, 0, u"xy", Base());
       }, u"xyabcdef", 4, 6},
      {"delete across a run's start", [](StyledText& t, const TextFormat& b) {
         t.ApplyFormat(2, 4, b);
         t.Replace(1, 3, u"", Base());
       }, u"adef", 1, 2},
      {"replace inside a run in bold", [](StyledText& t, const TextFormat& b) { t.Replace(1, 5, u"ZZ", b); },
       u"aZZf", 1, 3},
  };
  for (const Case& c : cases) {
    StyledText text = Plain(u"abcdef");
    c.edit(text, bold);
    EXPECT_EQ(text.Text(), c.text) << c.name;
    for (size_t i = 0; i < text.Length(); ++i) {
      const bool expected = i >= c.boldBegin && i < c.boldEnd;
      EXPECT_EQ(text.FormatAt(i).bold.value_or(false), expected) << c.name << " at " << i;
    }
    EXPECT_EQ(text.Runs().back().end, text.Length()) << c.name;
  }
}

TEST(StyledTextTest, CommonFormatLeavesDifferingFieldsUnset) {
  StyledText text = Plain(u"abcdef");
  TextFormat red;
  red.color = 0xff0000;
  text.ApplyFormat(3, 6, red);
  const TextFormat all = text.CommonFormat(0, 6);
  EXPECT_FALSE(all.color.has_value());
  EXPECT_EQ(all.size, 20);
  EXPECT_EQ(text.CommonFormat(3, 6).color, 0xff0000u);
  EXPECT_EQ(text.CommonFormat(0, 3).color, 0u);
}

TEST(HtmlTextTest, ParsesTheSubset) {
  struct Case {
    const char* html;
    const char* text;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"<p>one</p><p>two</p>", "one\rtwo\r"},
      {"a\nb", "a\rb"},
      {"a<br>b<BR/>c", "a\rb\rc"},
      {"&lt;&gt;&amp;&quot;&apos;&#65;&#x42;", "<>&\"'AB"},
      {"&bg; stays", "&bg; stays"},
      {"<b>bo</b><unknown>ld</unknown>", "bold"},
      {"<font face='Arial' size=\"+2\">x</font>", "x"},
      {"<li>item</li>next", "item\rnext"},
      {"unfinished <b", "unfinished "},
      {"<font color='#00FF00'>a</font><font color=#00FF00>b</font>", "a"},  // a value without quotes ends it
  };
  for (const Case& c : cases) {
    const StyledText text = swf::text::ParseHtml(c.html, Base(12), {});
    EXPECT_EQ(swf::avm1::FromUtf16(text.Text()), c.text) << c.html;
  }
  // A single-line field drops the tags' breaks but keeps the source's.
  const swf::text::HtmlOptions singleLine{.multiline = false};
  EXPECT_EQ(swf::text::ParseHtml("<p>a</p>b<br>c\nd", Base(12), singleLine).Text(), u"abc\rd");
  // Condensed white space starts no paragraph.
  const swf::text::HtmlOptions condensed{.condenseWhite = true};
  EXPECT_EQ(swf::text::ParseHtml(" <p> a  b </p> <p>c</p> ", Base(12), condensed).Text(), u"a b \rc\r");
}

TEST(HtmlTextTest, TagsSetFormats) {
  const StyledText text = swf::text::ParseHtml(
      "<p align=\"center\"><font face=\"Arial\" size=\"+4\" color=\"#FF0000\">R<b>B</b></font>"
      "<i><u>I</u></i><a href=\"asfunction:f\">L</a></p><textformat leftmargin=\"5\" leading=\"3\"><p>M</p></textformat>",
      Base(12), {});
  ASSERT_EQ(text.Text(), u"RBIL\rM\r");
  EXPECT_EQ(text.FormatAt(0).font, "Arial");
  EXPECT_EQ(text.FormatAt(0).size, 16);
  EXPECT_EQ(text.FormatAt(0).color, 0xff0000u);
  EXPECT_EQ(text.FormatAt(0).align, Align::kCenter);
  EXPECT_EQ(text.FormatAt(0).bold, false);
  EXPECT_EQ(text.FormatAt(1).bold, true);
  EXPECT_EQ(text.FormatAt(2).italic, true);
  EXPECT_EQ(text.FormatAt(2).underline, true);
  EXPECT_EQ(text.FormatAt(2).font, "Times New Roman");
  EXPECT_EQ(text.FormatAt(3).url, "asfunction:f");
  EXPECT_EQ(text.FormatAt(5).leftMargin, 5);
  EXPECT_EQ(text.FormatAt(5).leading, 3);
  EXPECT_EQ(text.FormatAt(5).align, Align::kLeft);
}

TEST(HtmlTextTest, WritesParagraphsAndRunsAsThePlayerReadsThemBack) {
  TextFormat format = Base(12);
  format.leftMargin = 5;
  format.leading = 2;
  const StyledText text = swf::text::ParseHtml("hello <b>bolded</b> world", format, {});
  EXPECT_EQ(swf::text::WriteHtml(text),
            "<TEXTFORMAT LEFTMARGIN=\"5\" LEADING=\"2\"><P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
            "COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">hello <B>bolded</B> world</FONT></P></TEXTFORMAT>");
  EXPECT_EQ(swf::text::WriteHtml(Plain(u"a<b\r", Base(12))),
            "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
            "KERNING=\"0\">a&lt;b</FONT></P>");
  EXPECT_EQ(swf::text::WriteHtml(Plain(u"", Base(12))), "");
  // Read back into a single-line field, the written text is the same text
  // in the same formats (a multiline one would end the paragraph).
  const StyledText again = swf::text::ParseHtml(swf::text::WriteHtml(text), Base(30), {.multiline = false});
  EXPECT_EQ(again.Text(), text.Text());
  EXPECT_EQ(again.FormatAt(7).bold, true);
  EXPECT_EQ(again.FormatAt(0).size, 12);
}

// Size 20 px = 400 twips: a glyph 10 px wide, a space 5, 'W' 20; ascent
// 16 px, descent 4.
TEST(TextLayoutTest, WrapsAtSpacesAndBreaksLongWords) {
  struct Case {
    std::u16string text;
    double width;  // field width in pixels, gutters included
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {u"aaa bbb ccc", 84, {"aaa bbb ", "ccc"}},  // room for 80 px
      {u"aaa bbb ccc", 200, {"aaa bbb ccc"}},
      {u"aaaaaaaaaa", 44, {"aaaa", "aaaa", "aa"}},
      {u"aa\rbb", 200, {"aa\r", "bb"}},
      {u"aa\r", 200, {"aa\r", ""}},
  };
  for (const Case& c : cases) {
    const StyledText text = Plain(c.text);
    EXPECT_EQ(LineTexts(text, Lay(text, c.width, true)), c.lines) << swf::avm1::FromUtf16(c.text);
  }
}

TEST(TextLayoutTest, AlignsMarginsIndentAndSpacing) {
  struct Case {
    const char* name;
    TextFormat format;
    double x;      // first line's left edge inside the gutter, pixels
    double width;  // its width in pixels
  };
  auto with = [](auto change) {
    TextFormat format = Base();
    change(format);
    return format;
  };
  // "ab" is 20 px in a field with 96 px of room.
  const Case cases[] = {
      {"left", Base(), 0, 20},
      {"right", with([](TextFormat& f) { f.align = Align::kRight; }), 76, 20},
      {"center", with([](TextFormat& f) { f.align = Align::kCenter; }), 38, 20},
      {"margins and indent", with([](TextFormat& f) {
         f.leftMargin = 3;
         f.indent = 4;
         f.blockIndent = 1;
       }), 8, 20},
      {"right with a right margin", with([](TextFormat& f) {
         f.align = Align::kRight;
         f.rightMargin = 6;
       }), 70, 20},
      {"letter spacing", with([](TextFormat& f) { f.letterSpacing = 2; }), 0, 24},
  };
  for (const Case& c : cases) {
    const StyledText text = Plain(u"ab", c.format);
    const auto layout = Lay(text, 100, false);
    ASSERT_EQ(layout.lines.size(), 1u) << c.name;
    EXPECT_DOUBLE_EQ(layout.lines[0].x / 20, c.x) << c.name;
    EXPECT_DOUBLE_EQ(layout.lines[0].width / 20, c.width) << c.name;
  }
}

TEST(TextLayoutTest, KerningAndMissingGlyphs) {
  TextFormat kerned = Base();
  kerned.kerning = true;
  EXPECT_DOUBLE_EQ(Lay(Plain(u"AVA", kerned), 200, false).lines[0].glyphs[1].x / 20, 8);
  EXPECT_DOUBLE_EQ(Lay(Plain(u"AVA"), 200, false).lines[0].glyphs[1].x / 20, 10);
  const auto missing = Lay(Plain(u"a#b"), 200, false);
  EXPECT_EQ(missing.lines[0].glyphs[1].font, nullptr);
  EXPECT_DOUBLE_EQ(missing.lines[0].glyphs[2].x / 20, 10);
}

TEST(TextLayoutTest, LinesStackByAscentDescentAndLeading) {
  TextFormat format = Base();
  format.leading = 3;
  const auto layout = Lay(Plain(u"a\rb\rc", format), 200, false);
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_DOUBLE_EQ(layout.lines[0].Baseline() / 20, 16);
  EXPECT_DOUBLE_EQ(layout.lines[1].Baseline() / 20, 16 + 23);
  EXPECT_DOUBLE_EQ(layout.lines[2].top / 20, 46);
  EXPECT_DOUBLE_EQ(layout.textHeight / 20, 66);
  EXPECT_DOUBLE_EQ(layout.textWidth / 20, 10);
}

TEST(TextFieldTest, ScrollsByWholeLines) {
  swf::text::TextFieldState field = swf::text::NewField(0, 0, 200 * 20, 54 * 20, 8);
  field.multiline = true;
  field.newFormat = Base();
  field.content = StyledText(field.newFormat);
  swf::text::SetPlainText(field, "1\n2\n3\n4\n5");
  field.layout = Lay(field.content, 200, false);
  // 50 px of room: two 20 px lines fit, five lines need three more.
  EXPECT_EQ(swf::text::VisibleLines(field, 1), 2);
  EXPECT_EQ(swf::text::MaxScroll(field), 4);
  field.scroll = 2;
  EXPECT_EQ(swf::text::BottomScroll(field), 3);
  EXPECT_EQ(swf::text::PlainText(field), "1\r2\r3\r4\r5");
}

}  // namespace
