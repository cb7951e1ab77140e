#include "sys/replace_file.h"

#include <windows.h>

#include <algorithm>

#include "sys/file_errors.h"

namespace sys {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (Valid()) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

bool WriteAllTo(HANDLE file, std::span<const std::string_view> pieces) {
  for (std::string_view bytes : pieces) {
    size_t done = 0;
    while (done < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
      done += written;
    }
  }
  return true;
}

// What creating the target with exclusive access would find, found without
// creating or emptying anything. Returns whether the target exists.
bool CheckTarget(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // Wine running as root writes read-only files anyway; Windows refuses.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) throw CreateError(path);
    Handle probe(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.Valid()) throw CreateError(path);
    return true;
  }
  DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) throw CreateError(path);  // missing folder, bad name, no access
  std::string folder = FolderPart(path);
  if (!folder.empty()) {
    DWORD folderAttributes = ::GetFileAttributesA(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      throw CreateError(path);
    }
  }
  return false;
}

void WriteInPlace(const std::string& path, std::span<const std::string_view> bytes) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw CreateError(path);
  if (!WriteAllTo(file.Get(), bytes)) throw WriteError();
}

}  // namespace

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  ReplaceFileContents(path, std::span<const std::string_view>(&bytes, 1));
}

void ReplaceFileContents(const std::string& path, std::span<const std::string_view> bytes) {
  bool exists = CheckTarget(path);

  std::string folder = FolderPart(path);
  char temporary[MAX_PATH + 16] = {};
  if (folder.size() >= MAX_PATH - 14 || !::GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "qvt", 0, temporary)) {
    WriteInPlace(path, bytes);
    return;
  }
  std::string temporaryPath = temporary;
  try {
    {
      Handle file(::CreateFileA(temporaryPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.Valid()) throw CreateError(path);
      if (!WriteAllTo(file.Get(), bytes)) throw WriteError();
      if (!::FlushFileBuffers(file.Get())) throw WriteError();
    }
    bool placed = exists ? ::ReplaceFileA(path.c_str(), temporaryPath.c_str(), nullptr,
                                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                         : ::MoveFileExA(temporaryPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!placed) throw CreateError(path);
  } catch (...) {
    ::DeleteFileA(temporaryPath.c_str());
    throw;
  }
}

}  // namespace sys
