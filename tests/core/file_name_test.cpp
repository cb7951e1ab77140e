#include "core/file_name.h"

#include <gtest/gtest.h>

#include "code_page_932.h"

namespace {

using core::FileNamePart;

TEST(FileNamePart, TakesTheTextAfterTheLastBackslashOrColon) {
  EXPECT_EQ(FileNamePart("C:\\Movies\\intro.swf"), "intro.swf");
  EXPECT_EQ(FileNamePart("intro.swf"), "intro.swf");
  EXPECT_EQ(FileNamePart("C:intro.swf"), "intro.swf");
  EXPECT_EQ(FileNamePart("\\\\server\\share\\logo show.swf"), "logo show.swf");
  EXPECT_EQ(FileNamePart("C:\\Movies\\"), "");
  EXPECT_EQ(FileNamePart(""), "");
}

TEST(FileNamePart, ForwardSlashSeparatesOnlyWhereItIsThePlatformsSeparator) {
#ifdef _WIN32
  EXPECT_EQ(FileNamePart("movies/intro.swf"), "movies/intro.swf");
#else
  EXPECT_EQ(FileNamePart("/tmp/movies/intro.swf"), "intro.swf");
#endif
}

TEST(FileNamePart, ADoubleByteCharacterEndingIn5CIsNoSeparator) {
  // "C:\dir\<hyou>.swf" in code page 932; <hyou> is 0x95 0x5C.
  const std::string path = "C:\\dir\\\x95\x5c.swf";
  EXPECT_EQ(FileNamePart(path, testing_support::NextCharCodePage932), "\x95\x5c.swf");
  // Stepping byte by byte would cut inside the character.
  EXPECT_EQ(FileNamePart(path, [](const char* p) { return *p ? p + 1 : p; }), ".swf");
}

}  // namespace
