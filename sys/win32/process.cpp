#include "sys/process.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <stdexcept>
#include <string>

#include "sys/text.h"

namespace sys {

std::string ExecutableFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw std::runtime_error("Cannot find the program's own path");
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Step by characters: in code page 932 a trail byte may be 0x5C.
  const char* text = path.c_str();
  const char* afterLastSeparator = text;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (*p == '\\') afterLastSeparator = p + 1;
  }
  return std::string(text, afterLastSeparator);
}

void UseBinaryStandardOutput() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace sys
