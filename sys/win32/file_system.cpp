#include "sys/file_system.h"

#include <windows.h>

namespace sys {

bool FileExists(const std::string& path) {
  // GetFileAttributesA, not FindFirstFileA: a wildcard must not match a file.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::uint32_t DirectoryEntrySize(const std::string& path) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return found.nFileSizeLow;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

char PathSeparator() { return '\\'; }

}  // namespace sys
