#include "core/command_line.h"

#include <gtest/gtest.h>

#include "code_page_932.h"

namespace {

using Arguments = std::vector<std::string>;

Arguments Split(const char* text) {
  return core::SplitCommandLine(text, [](const char* p) { return *p ? p + 1 : p; });
}

TEST(SplitCommandLine, WhiteSpaceIsEveryCodeUpTo0x20) {
  EXPECT_EQ(Split("prog.exe a b"), (Arguments{"prog.exe", "a", "b"}));
  EXPECT_EQ(Split("  \t prog.exe\t\ta \r\n b  "), (Arguments{"prog.exe", "a", "b"}));
  EXPECT_EQ(Split("prog\x01" "a\x1f" "b"), (Arguments{"prog", "a", "b"}));
  EXPECT_EQ(Split(""), Arguments{});
  EXPECT_EQ(Split(" \t "), Arguments{});
}

TEST(SplitCommandLine, QuotedRunsKeepBlanksAndLoseTheirQuotes) {
  EXPECT_EQ(Split("\"C:\\Program Files\\q.exe\" \"C:\\My Movies\\a b.swf\" x"),
            (Arguments{"C:\\Program Files\\q.exe", "C:\\My Movies\\a b.swf", "x"}));
  // A quoted run joins the text around it.
  EXPECT_EQ(Split("prog a\"b c\"d"), (Arguments{"prog", "ab cd"}));
  EXPECT_EQ(Split("prog \"a\"\"b\""), (Arguments{"prog", "ab"}));
  // An unterminated quote runs to the end of the text.
  EXPECT_EQ(Split("prog \"open to the end "), (Arguments{"prog", "open to the end "}));
}

TEST(SplitCommandLine, EmptyQuotedArgumentsCountAsNone) {
  EXPECT_EQ(Split("prog \"\""), (Arguments{"prog"}));
  EXPECT_EQ(Split("prog \"\" b"), (Arguments{"prog", "b"}));
  EXPECT_EQ(Split("prog \"\"\"\" \"\"  c"), (Arguments{"prog", "c"}));
  // Pairs are skipped only at an argument's start.
  EXPECT_EQ(Split("prog \"\"\"\"x"), (Arguments{"prog", "x"}));
  EXPECT_EQ(Split("prog x\"\""), (Arguments{"prog", "x"}));
  // A lone quote at the end opens an empty run: one empty argument.
  EXPECT_EQ(Split("prog \""), (Arguments{"prog", ""}));
}

TEST(SplitCommandLine, BackslashesAreOrdinaryCharacters) {
  EXPECT_EQ(Split("prog C:\\dir\\"), (Arguments{"prog", "C:\\dir\\"}));
  // Unlike the C runtime's argv, \" is no escape: the quote opens a run.
  EXPECT_EQ(Split("prog a\\\"b c"), (Arguments{"prog", "a\\b c"}));
  EXPECT_EQ(Split("prog \"c d\\\\\""), (Arguments{"prog", "c d\\\\"}));
}

TEST(SplitCommandLine, StepsByCharactersSoADoubleByteCharacterStaysWhole) {
  // 0x81 0x20 is one character to a code-page-932 stepper: its second byte
  // is not a separator.
  const char* text = "prog \x81 x";
  EXPECT_EQ(core::SplitCommandLine(text, testing_support::NextCharCodePage932),
            (Arguments{"prog", "\x81 x"}));
  EXPECT_EQ(Split(text), (Arguments{"prog", "\x81", "x"}));
  // Inside quotes too: a lead byte takes the quote after it along.
  EXPECT_EQ(core::SplitCommandLine("prog \"\x95\"a\" b", testing_support::NextCharCodePage932),
            (Arguments{"prog", "\x95\"a", "b"}));
}

TEST(SplitCommandLine, OnlyTheFirstArgumentMattersButAllAreCounted) {
  const Arguments arguments = Split("\"Z:\\tmp\\Quorvel EXE Packager.exe\" a.swf b.pak c");
  ASSERT_EQ(arguments.size(), 4u);
  EXPECT_EQ(arguments[0], "Z:\\tmp\\Quorvel EXE Packager.exe");
  EXPECT_EQ(arguments[1], "a.swf");
}

}  // namespace
