#include "sys/process.h"

#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "sys/text.h"

namespace sys {

std::string ExecutableFolder() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) throw std::runtime_error("Cannot find the program's own path");
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      break;
    }
    path.resize(path.size() * 2);
  }
  const char* text = path.c_str();
  const char* afterLastSeparator = text;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (*p == '/') afterLastSeparator = p + 1;
  }
  return std::string(text, afterLastSeparator);
}

void UseBinaryStandardOutput() {}

void SleepMs(unsigned milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace sys
