#include "swf/avm1/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace swf::avm1 {
namespace {

constexpr int kSignificantDigits = 15;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of the decimal number (sign, digits, point, exponent) at the start
// of text; 0 when there is none. An exponent without digits is not part of it.
std::size_t DecimalPrefixLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Where the first significant digit of an unsigned decimal number sits
// (1 for "1", 0 for "0.1", -1 for "0.01"), exponent included. Only its sign
// matters, so the exponent is read with saturation.
long DecimalMagnitude(std::string_view number) {
  long magnitude = 0;
  std::size_t i = 0;
  bool significant = false;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    significant = significant || number[i] != '0';
    if (significant) ++magnitude;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && IsDigit(number[i]); ++i) {
      if (significant) continue;
      if (number[i] != '0') significant = true;
      else --magnitude;
    }
  }
  long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      if (exponent < 1000000) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent;
}

// from_chars reads no leading '+' and is independent of the C locale.
double ParseDecimal(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
    negative = number[0] == '-';
    number.remove_prefix(1);
  }
  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond the doubles: infinite when large, zero when small.
    value = DecimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

// Digits in the given base, wrapped to a signed 32-bit integer; nothing
// when a character is not such a digit.
std::optional<double> ParseWrappedInteger(std::string_view digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0 || static_cast<unsigned>(d) >= base) return std::nullopt;
    value = value * base + static_cast<std::uint32_t>(d);
  }
  return static_cast<double>(static_cast<std::int32_t>(value));
}

// 10^k as the nearest double, the same on every C library (pow is not).
double PowerOfTen(int k) {
  char text[8] = {};
  const auto end = std::to_chars(text + 2, text + sizeof text, k).ptr;
  text[0] = '1';
  text[1] = 'e';
  double power = 0;
  std::from_chars(text, end, power);
  return power;
}

// A result rounded to a double. 32-bit x87 builds keep intermediates in 80
// bits, which would round near ties differently from the player.
double AsDouble(double value) {
  volatile double stored = value;
  return stored;
}

// The number scaled to 15 digits before the point, as the player scales it:
// divided by a power of ten (multiplied first by 10^30 when that power
// would be subnormal).
double ScaledToFifteenDigits(double magnitude, int exponent) {
  const int shift = exponent - (kSignificantDigits - 1);
  if (shift < -300) return AsDouble(AsDouble(magnitude * PowerOfTen(30)) / PowerOfTen(shift + 30));
  return AsDouble(magnitude / PowerOfTen(shift));
}

// The 15 significant digits of a positive finite number, rounded half up
// after scaling, and the decimal exponent of the first. The scaling is not
// exact, and the player's rounding follows it rather than the exact value:
// 1.234567891234565e-6 is written ...457, though it lies below the tie.
std::string SignificantDigits(double magnitude, int& exponent) {
  exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  double scaled = ScaledToFifteenDigits(magnitude, exponent);
  // log10 may be one off near powers of ten.
  if (scaled >= 1e15) scaled = ScaledToFifteenDigits(magnitude, ++exponent);
  if (scaled < 1e14) scaled = ScaledToFifteenDigits(magnitude, --exponent);
  auto rounded = static_cast<std::uint64_t>(std::floor(AsDouble(scaled + 0.5)));
  if (rounded >= 1000000000000000ULL) {
    rounded /= 10;
    ++exponent;
  }
  return std::to_string(rounded);
}

}  // namespace

std::string NumberToString(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";

  int exponent = 0;
  std::string digits = SignificantDigits(std::fabs(value), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  // Appended piece by piece: GCC 12 warns falsely on "literal" + string.
  std::string text;
  if (value < 0) text += '-';
  if (exponent >= kSignificantDigits || exponent < -5) {
    text += digits[0];
    if (digits.size() > 1) text.append(".").append(digits, 1);
    text += exponent > 0 ? "e+" : "e-";
    text += std::to_string(std::abs(exponent));
  } else if (exponent >= 0) {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      text.append(digits).append(whole - digits.size(), '0');
    } else {
      text.append(digits, 0, whole).append(".").append(digits, whole);
    }
  } else {
    text.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
  }
  return text;
}

double StringToNumber(std::string_view text, int swf_version) {
  if (swf_version < 5) {
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    const std::string_view rest = text.substr(start);
    const std::size_t length = DecimalPrefixLength(rest);
    return length == 0 ? 0.0 : ParseDecimal(rest.substr(0, length));
  }

  // Hexadecimal and octal are recognised only at the very start (" 010"
  // is ten); octal may have a sign ("-010" is -8).
  if (swf_version >= 6 && text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseWrappedInteger(text.substr(2), 16).value_or(kNaN);
  }
  if (swf_version >= 6) {
    const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
    const std::string_view digits = text.substr(sign ? 1 : 0);
    if (digits.size() > 1 && digits[0] == '0') {
      if (auto octal = ParseWrappedInteger(digits.substr(1), 8)) {
        // The negation wraps like the digits did (-(2^31) stays itself).
        return text[0] == '-' && *octal != -2147483648.0 ? -*octal : *octal;
      }
    }
  }

  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  if (text.empty()) return swf_version < 6 ? 0.0 : kNaN;

  const std::size_t length = DecimalPrefixLength(text);
  if (length == 0) return kNaN;
  const std::string_view number = text.substr(0, length);
  std::string_view rest = text.substr(length);
  // An exponent mark without digits ends the number unread ("2e" is 2).
  if (!rest.empty() && (rest[0] == 'e' || rest[0] == 'E') && number.find_first_of("eE") == std::string_view::npos) {
    rest.remove_prefix(1);
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) rest.remove_prefix(1);
  }
  if (!rest.empty()) return kNaN;
  return ParseDecimal(number);
}

}  // namespace swf::avm1
