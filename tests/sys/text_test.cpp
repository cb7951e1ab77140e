#include "sys/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

TEST(NextChar, StepsOneAsciiCharacterAndStopsAtTheEnd) {
  const char* text = "a\\b";
  EXPECT_EQ(sys::NextChar(text), text + 1);
  EXPECT_EQ(sys::NextChar(text + 1), text + 2);
  EXPECT_EQ(sys::NextChar(text + 3), text + 3);
}

#ifdef _WIN32
// Only meaningful when the system's ANSI code page is Japanese (run the
// tests with LC_ALL=ja_JP.UTF-8 under Wine to get code page 932).
TEST(NextChar, StepsOverAJapaneseDoubleByteCharacterWhoseTrailIsABackslash) {
  // The code-page-932 run of this program says so, and then must not skip.
  const char* expected = std::getenv("QUORVEL_EXPECT_CODE_PAGE");
  if (expected != nullptr && std::string(expected) == "932") {
    ASSERT_EQ(GetACP(), 932u) << "the locale did not select code page 932";
  }
  if (GetACP() != 932) GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not 932";
  const char* text = "\x95\x5c" "a";  // "hyou" (table) then "a"
  EXPECT_EQ(sys::NextChar(text), text + 2);
  EXPECT_EQ(sys::NextChar(text + 2), text + 3);
}
#else
TEST(NextChar, StepsSingleBytesOnPosixEvenForHighBytes) {
  const char* text = "\x95\x5c";
  EXPECT_EQ(sys::NextChar(text), text + 1);
}
#endif

}  // namespace
