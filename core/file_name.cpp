#include "core/file_name.h"

namespace core {
namespace {

bool IsNameSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  return c == '\\' || c == ':' || c == '/';
#endif
}

}  // namespace

std::string FileNamePart(const std::string& path, sys::NextCharFunction next) {
  const char* text = path.c_str();
  const char* nameStart = text;
  for (const char* p = text; *p != '\0'; p = next(p)) {
    if (IsNameSeparator(*p)) nameStart = p + 1;
  }
  return std::string(nameStart);
}

}  // namespace core
