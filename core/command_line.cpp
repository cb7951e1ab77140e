#include "core/command_line.h"

namespace core {
namespace {

bool IsWhiteSpace(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Appends the whole character at p (one or two bytes) and steps over it.
const char* CopyCharacter(const char* p, sys::NextCharFunction next, std::string& to) {
  const char* after = next(p);
  to.append(p, after);
  return after;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine, sys::NextCharFunction next) {
  std::vector<std::string> arguments;
  const char* p = commandLine;
  for (;;) {
    for (;;) {
      while (*p != '\0' && IsWhiteSpace(*p)) p = next(p);
      if (p[0] == '"' && p[1] == '"') {
        p += 2;
      } else {
        break;
      }
    }
    if (*p == '\0') break;

    std::string argument;
    while (*p != '\0' && !IsWhiteSpace(*p)) {
      if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') p = CopyCharacter(p, next, argument);
        if (*p == '"') ++p;
      } else {
        p = CopyCharacter(p, next, argument);
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace core
