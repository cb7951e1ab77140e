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

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

char PathSeparator() { return '/'; }

}  // namespace sys
