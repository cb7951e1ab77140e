#include "sys/file_system.h"

#include <windows.h>
#include <shlobj.h>

#include "sys/text.h"

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

namespace {

// Identity of an existing file: volume serial and file index. Opened with
// every share mode and no access, so it works next to any other handle.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return ok;
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return FileIdentity(first, a) && FileIdentity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

char PathSeparator() { return '\\'; }

std::string UserDataFolder() {
  char folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  std::string path(folder);
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool MakeFolders(const std::string& path) {
  // Each prefix that ends before a separator, stepped by characters so that
  // a double-byte character's trail byte is never taken for one.
  const char* start = path.c_str();
  for (const char* at = start; *at != '\0'; at = NextChar(at)) {
    if ((*at == '\\' || *at == '/') && at != start && at[-1] != ':') {
      const std::string prefix(start, at);
      if (!IsFolder(prefix)) CreateDirectoryA(prefix.c_str(), nullptr);
    }
  }
  if (!IsFolder(path)) CreateDirectoryA(path.c_str(), nullptr);
  return IsFolder(path);
}

}  // namespace sys
