#include "core/movie_name.h"

#include <gtest/gtest.h>

#include "code_page_932.h"

namespace {

std::string Neutralize(std::string_view name, std::size_t position = 1) {
  return core::NeutralizeMovieName(name, position, [](const char* p) { return *p ? p + 1 : p; });
}

TEST(NeutralizeMovieName, PlainNamesStayAsTheyAre) {
  EXPECT_EQ(Neutralize("intro.swf"), "intro.swf");
  EXPECT_EQ(Neutralize("logo show.swf"), "logo show.swf");
  EXPECT_EQ(Neutralize("\xe9t\xe9.swf"), "\xe9t\xe9.swf");
  EXPECT_EQ(Neutralize("a..b.swf"), "a..b.swf");
}

TEST(NeutralizeMovieName, SeparatorsAndDrivesCannotLeaveTheFolder) {
  EXPECT_EQ(Neutralize("..\\..\\evil.swf"), "_.._evil.swf");
  EXPECT_EQ(Neutralize("../../evil.swf"), "_.._evil.swf");
  EXPECT_EQ(Neutralize("/etc/passwd"), "_etc_passwd");
  EXPECT_EQ(Neutralize("C:\\Windows\\x.swf"), "C__Windows_x.swf");
  EXPECT_EQ(Neutralize("\\\\server\\share\\x"), "__server_share_x");
  EXPECT_EQ(Neutralize("a:stream"), "a_stream");
}

TEST(NeutralizeMovieName, CharactersWindowsForbidsBecomeUnderscores) {
  EXPECT_EQ(Neutralize("a*b?c\"d<e>f|g.swf"), "a_b_c_d_e_f_g.swf");
  EXPECT_EQ(Neutralize("tab\there\x01.swf"), "tab_here_.swf");
}

TEST(NeutralizeMovieName, DotsAndBlanksAtTheEndsGoAndNothingLeftGetsANumber) {
  EXPECT_EQ(Neutralize("a.swf. . "), "a.swf");
  EXPECT_EQ(Neutralize(" .hidden.swf"), "hidden.swf");
  EXPECT_EQ(Neutralize("..", 3), "movie3.swf");
  EXPECT_EQ(Neutralize(".", 4), "movie4.swf");
  EXPECT_EQ(Neutralize("", 7), "movie7.swf");
  EXPECT_EQ(Neutralize(" . ", 2), "movie2.swf");
  using namespace std::string_literals;
  EXPECT_EQ(Neutralize("\0hidden"s, 5), "movie5.swf");
}

TEST(NeutralizeMovieName, ReservedDeviceNamesAreDefusedWithAnyExtensionOrCase) {
  EXPECT_EQ(Neutralize("CON"), "_CON");
  EXPECT_EQ(Neutralize("nul.swf"), "_nul.swf");
  EXPECT_EQ(Neutralize("Com1.txt"), "_Com1.txt");
  EXPECT_EQ(Neutralize("lpt9"), "_lpt9");
  EXPECT_EQ(Neutralize("aux .swf"), "_aux .swf");
  EXPECT_EQ(Neutralize("conout$"), "_conout$");
  EXPECT_EQ(Neutralize("COM10.swf"), "COM10.swf");
  EXPECT_EQ(Neutralize("console.swf"), "console.swf");
}

TEST(NeutralizeMovieName, DoubleByteCharactersAreJudgedWhole) {
  const std::string name = "\x95\x5c.swf";  // <hyou>.swf in code page 932
  EXPECT_EQ(core::NeutralizeMovieName(name, 1, testing_support::NextCharCodePage932), name);
  EXPECT_EQ(Neutralize(name), "\x95_.swf");
}

}  // namespace
