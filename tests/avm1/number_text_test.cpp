// Numbers written and read as the player does. Expected texts come from the
// trace output of the script corpus (folder named beside each group).
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "swf/avm1/number_text.h"

namespace swf::avm1 {
namespace {

struct Written {
  double number;
  const char* text;
};

TEST(NumberToString, WritesFifteenSignificantDigitsLikeThePlayer) {
  const double infinity = std::numeric_limits<double>::infinity();
  const Written cases[] = {
      // from_gnash-actionscript.all-Number-v7, inputs from the suite's
      // Number.as. Near ties the player's rounding differs from the exact
      // one (1.234567891234565e-6). Not matched yet: Number.MAX_VALUE
      // ("1.79769313486231e+308") and 1.234567891234565e-308, a subnormal
      // ("1.23456789123457e-308").
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247e-324"},
      {268, "268"},
      {-268, "-268"},
      {11111111111111.11111111, "11111111111111.1"},
      {111111111111111.1111111, "111111111111111"},
      {1111111111111111.1111111, "1.11111111111111e+15"},
      {0.000123456789012346, "0.000123456789012346"},
      {0.0000123456789012346, "0.0000123456789012346"},
      {0.00000123456789012346, "1.23456789012346e-6"},
      {0.000000123456789012346, "1.23456789012346e-7"},
      {0.0999999999999999, "0.0999999999999999"},
      {0.99999999999999938, "0.999999999999999"},
      {9.9999999999999939 / 10, "0.999999999999999"},
      {5.4 / 100000, "0.000054"},
      {5.4 / 1000000, "5.4e-6"},
      {2.123456789123455, "2.12345678912346"},
      {-0.1234567891234565, "-0.123456789123457"},
      {1.234567891234565e+308, "1.23456789123456e+308"},
      {1.234567891234565e-6, "1.23456789123457e-6"},
      {-1.244667891234565e-6, "-1.24466789123457e-6"},
      {-0.001234567891234565, "-0.00123456789123457"},
      {-0.001244567891234565, "-0.00124456789123456"},
      {0.001234567891234564, "0.00123456789123456"},
      // avm1-divide_swf4
      {3 / 12.34, "0.243111831442464"},
      {12.34 / 3, "4.11333333333333"},
      {3 / -infinity, "0"},
      {-infinity, "-Infinity"},
      // avm1-parse_float
      {-22222222222222222.0, "-2.22222222222222e+16"},
      {-22222222.222222222, "-22222222.2222222"},
      {5e-25, "5e-25"},
      {1e-98, "1e-98"},
      {-123.234e66, "-1.23234e+68"},
      {0.2e20, "2e+19"},
      {-2.123123123219e20, "-2.123123123219e+20"},
      {10101010e100, "1.010101e+107"},
      {12345.6789, "12345.6789"},
      // avm1-add2
      {infinity, "Infinity"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      // avm1-biturshift_swf8
      {2147483646, "2147483646"},
      {-1, "-1"},
  };
  for (const Written& c : cases) EXPECT_EQ(NumberToString(c.number), c.text) << c.text;
}

struct Read {
  int swf_version;
  const char* text;
  double number;  // NaN where NaN is expected
};

TEST(StringToNumber, ReadsStringsByVersion) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Read cases[] = {
      // SWF 4 reads the number at the start, else 0: avm1-divide_swf4,
      // avm1-add_swf4, avm1-equals_swf4_alt.
      {4, "12.34A", 12.34},
      {4, "150a", 150},
      {4, "ABC", 0},
      {4, "", 0},
      {4, "0x96", 0},
      {4, "010", 10},
      {4, "100ABC", 100},
      // SWF 5: the whole string or NaN, no hexadecimal, no octal:
      // avm1-equals_swf5, avm1-lessthan_swf5.
      {5, "100ABC", nan},
      {5, "101ABC", nan},
      {5, "0x10", nan},
      {5, "010", 10},
      {5, "Infinity", nan},
      {5, "true", nan},
      // SWF 7 and later: hexadecimal and octal wrapped to 32 bits, empty is
      // NaN: from_gnash-actionscript.all-Number-v7, avm1-equals, avm1-bitor.
      {7, "0xFF0000", 0xFF0000},
      {7, "0XFF0000", 0xFF0000},
      {7, "0Xff0000", 0xFF0000},
      {7, "0Xff000000", -16777216},
      {7, "07700000000", 07700000000},
      {7, "0xff000z", nan},
      {7, "00", 0},
      {7, "0xFF1306", 0xFF1306},
      {7, "-1.0", -1},
      {7, "-0.0", 0},
      {7, "NaN", nan},
      // The Number tests of another player's public suite, written against
      // the reference player: " 2" is 2, "2a" NaN, "2e" and "2E" 2.
      {7, " 2", 2},
      {7, "2a", nan},
      {7, "2e", 2},
      {7, "2E", 2},
      {7, "3e2", 300},
      {7, "2p", nan},
      {15, "0x10", 16},
      {15, "010", 8},
      {15, "16", 16},
      {15, "true", nan},
      {15, "0x1", 1},
  };
  for (const Read& c : cases) {
    const double number = StringToNumber(c.text, c.swf_version);
    if (std::isnan(c.number)) {
      EXPECT_TRUE(std::isnan(number)) << "SWF " << c.swf_version << " \"" << c.text << "\" gave " << number;
    } else {
      EXPECT_EQ(number, c.number) << "SWF " << c.swf_version << " \"" << c.text << "\"";
    }
  }
  // An octal string past 32 bits wraps, so it differs from the literal the
  // compiler wrote as a double (from_gnash-actionscript.all-Number-v7).
  EXPECT_NE(StringToNumber("077000000000", 7), 077000000000.0);
}

}  // namespace
}  // namespace swf::avm1
