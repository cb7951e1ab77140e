#include "core/project_file.h"

#include <gtest/gtest.h>

#include "../sys/temp_folder.h"
#include "sys/file_errors.h"

namespace {

using Paths = std::vector<std::string>;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

TEST(ProjectText, EveryPathIsFollowedByCrLfAndNothingElse) {
  const std::string text = core::FormatProjectText({"C:\\Movies\\intro.swf", "D:\\Clips\\logo show.swf"});
  EXPECT_EQ(text, "C:\\Movies\\intro.swf\r\nD:\\Clips\\logo show.swf\r\n");
  EXPECT_EQ(text.size(), 45u);
  EXPECT_EQ(core::FormatProjectText({}), "");
  // Blanks, colons and quotes stand as they are.
  EXPECT_EQ(core::FormatProjectText({" a\"b:c "}), " a\"b:c \r\n");
}

TEST(ProjectText, EveryKindOfLineEndEndsALine) {
  EXPECT_EQ(core::ParseProjectText("a\r\nb\r\n"), (Paths{"a", "b"}));
  EXPECT_EQ(core::ParseProjectText("a\nb\n"), (Paths{"a", "b"}));
  EXPECT_EQ(core::ParseProjectText("a\rb\r"), (Paths{"a", "b"}));
  EXPECT_EQ(core::ParseProjectText("a\rb\nc\r\nd"), (Paths{"a", "b", "c", "d"}));
}

TEST(ProjectText, LastLineWithoutLineEndIsReadAndAFinalEndAddsNoLine) {
  EXPECT_EQ(core::ParseProjectText("a\r\nlast"), (Paths{"a", "last"}));
  EXPECT_EQ(core::ParseProjectText("only"), (Paths{"only"}));
  EXPECT_EQ(core::ParseProjectText(""), Paths{});
  EXPECT_EQ(core::ParseProjectText("\r\n"), Paths{});
}

TEST(ProjectText, BlankLinesAddNothingAndDuplicatesAndBlanksInsideStay) {
  EXPECT_EQ(core::ParseProjectText("\r\n\r\na\r\n\n\rb\r\n\r\n"), (Paths{"a", "b"}));
  EXPECT_EQ(core::ParseProjectText("a\r\na\r\n"), (Paths{"a", "a"}));
  EXPECT_EQ(core::ParseProjectText("  a b \r\n"), (Paths{"  a b "}));
  // LF then CR is two line ends, not one.
  EXPECT_EQ(core::ParseProjectText("a\n\rb"), (Paths{"a", "b"}));
}

TEST(ProjectText, ANulByteEndsTheText) {
  using namespace std::string_literals;
  EXPECT_EQ(core::ParseProjectText("a\r\nbc\0de\r\nf\r\n"s), (Paths{"a", "bc"}));
  EXPECT_EQ(core::ParseProjectText("\0a\r\n"s), Paths{});
}

TEST(ProjectText, WhatIsWrittenReadsBackTheSame) {
  const Paths paths = {"C:\\a.swf", "rel\\b c.swf", "C:\\a.swf", "\xe9t\xe9.swf"};
  EXPECT_EQ(core::ParseProjectText(core::FormatProjectText(paths)), paths);
}

TEST(ProjectFile, SavingReplacesTheWholeOldFile) {
  TempFolder folder;
  const std::string path = folder.Write("list.pak", std::string(500, 'z') + "\r\n");
  core::WriteProjectFile(path, {"C:\\a.swf"});
  EXPECT_EQ(ReadFileBytes(path), "C:\\a.swf\r\n");
  EXPECT_EQ(core::ReadProjectFile(path), (Paths{"C:\\a.swf"}));
}

TEST(ProjectFile, FailuresCarryTheFileNameAsChosen) {
  TempFolder folder;
  const std::string missing = folder / "missing.pak";
  try {
    core::ReadProjectFile(missing);
    FAIL();
  } catch (const sys::OpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
  }
  const std::string noFolder = folder / "nowhere" + std::string(1, sys::PathSeparator()) + "p.pak";
  try {
    core::WriteProjectFile(noFolder, {"a"});
    FAIL();
  } catch (const sys::CreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + noFolder);
  }
}

}  // namespace
