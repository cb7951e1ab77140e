#include "sys/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

namespace sys {

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::uint32_t DirectoryEntrySize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(info.st_size));
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

char PathSeparator() { return '/'; }

}  // namespace sys
