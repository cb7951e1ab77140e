#include "core/movie_name.h"

#include <array>
#include <cctype>

namespace core {
namespace {

bool IsForbidden(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return true;
  switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
}

bool IsTrimmed(char c) { return c == '.' || c == ' '; }

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

// Windows treats these as devices whatever extension follows ("nul.swf").
bool IsReservedDeviceName(std::string_view name) {
  static constexpr std::array<std::string_view, 8> kPlain = {"CON",  "PRN",    "AUX",    "NUL",
                                                              "CLOCK$", "CONIN$", "CONOUT$", "$MFT"};
  std::string stem = Upper(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (std::string_view reserved : kPlain) {
    if (stem == reserved) return true;
  }
  if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
      stem[3] >= '0' && stem[3] <= '9') {
    return true;
  }
  return false;
}

}  // namespace

std::string NeutralizeMovieName(std::string_view name, std::size_t position,
                                sys::NextCharFunction next) {
  // Step through a NUL-terminated copy so that a double-byte character is
  // judged as one; a NUL inside the name ends it.
  const std::string source(name.substr(0, name.find('\0')));
  std::string result;
  for (const char* p = source.c_str(); *p != '\0';) {
    const char* after = next(p);
    if (after - p == 1 && IsForbidden(static_cast<unsigned char>(*p))) {
      result.push_back('_');
    } else {
      result.append(p, after);
    }
    p = after;
  }
  // Trimming works on single bytes, which is safe: "." and " " are never
  // the trail byte of a double-byte character.
  const std::size_t first = result.find_first_not_of(". ");
  if (first == std::string::npos) {
    result.clear();
  } else {
    result = result.substr(first);
    while (!result.empty() && IsTrimmed(result.back())) result.pop_back();
  }
  if (result.empty()) return "movie" + std::to_string(position) + ".swf";
  if (IsReservedDeviceName(result)) result.insert(result.begin(), '_');
  return result;
}

}  // namespace core
