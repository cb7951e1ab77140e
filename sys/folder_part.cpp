#include "sys/replace_file.h"
#include "sys/file_system.h"
#include "sys/text.h"

namespace sys {

std::string FolderPart(const std::string& path) {
  const char* begin = path.c_str();
  const char* end = begin;  // just past the last separator seen
  for (const char* p = begin; *p != '\0';) {
    const char* next = NextChar(p);
    if (next == p) break;
    bool separator = next == p + 1 && (*p == '\\' || *p == ':' || (PathSeparator() == '/' && *p == '/'));
    if (separator) end = next;
    p = next;
  }
  return std::string(begin, end);
}

}  // namespace sys
