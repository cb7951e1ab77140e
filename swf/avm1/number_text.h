// Numbers to text and text to numbers, as the player writes and reads them.
#pragma once

#include <string>
#include <string_view>

namespace swf::avm1 {

// The player's own number format: at most 15 significant digits, rounded;
// plain notation for decimal exponents -5 to 14, otherwise d.ddde+N / d.ddde-N;
// "NaN", "Infinity", "-Infinity"; both zeros are "0".
std::string NumberToString(double value);

// A string read as a number by a movie of the given SWF version.
// - SWF 4: the longest decimal number at the start counts ("12.34A" is
//   12.34); none at all is 0.
// - SWF 5 and later: leading white space is skipped, then the whole rest
//   must be one decimal number (sign, digits, point, exponent), else NaN;
//   a trailing exponent mark without digits is ignored ("2e" is 2).
//   An empty string (or only spaces) is 0 before SWF 6 and NaN from SWF 6.
// - SWF 6 and later also read "0x..." as hexadecimal and a leading 0 with
//   only octal digits after it as octal, both wrapped to a signed 32-bit
//   integer ("0xFF000000" is -16777216).
double StringToNumber(std::string_view text, int swf_version);

}  // namespace swf::avm1
