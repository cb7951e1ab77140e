#include "packaging/target_file.h"

#include <windows.h>

#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"
#include "sys/text.h"

namespace packaging {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// A folder name as GetFileAttributesA and GetTempFileNameA take it: "." for
// the current folder, and without a trailing separator unless it is a root.
std::string FolderForQuery(const std::string& path) {
  std::string folder = FolderPartOf(path);
  if (folder.empty()) return ".";
  const bool isRoot = folder.size() == 1 || folder.back() == ':' ||
                      (folder.size() == 3 && folder[1] == ':');
  if (!isRoot && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// Removes the temporary file unless it has been moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) {
      ::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(path_.c_str());
    }
  }
  const std::string& Path() const { return path_; }
  void Placed() { path_.clear(); }

 private:
  std::string path_;
};

void WriteInPlace(const std::string& target, std::string_view bytes) {
  sys::File file(target, sys::FileAccess::kCreateExclusive);
  file.WriteAll(bytes);
}

}  // namespace

std::string FolderPartOf(const std::string& path) {
  const char* text = path.c_str();
  const char* end = text;
  for (const char* p = text; *p; p = sys::NextChar(p)) {
    if (IsSeparator(*p)) end = p + 1;
  }
  return std::string(text, end);
}

void CheckTargetCanBeCreated(const std::string& target) {
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // A new file: its folder has to be there.
    const DWORD folder = ::GetFileAttributesA(FolderForQuery(target).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY)) {
      throw sys::CreateError(target);
    }
    return;
  }
  // Checked by hand: Windows refuses to write a read-only file, Wine running
  // as root does not.
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) throw sys::CreateError(target);
  // Opening with exclusive access, without emptying, fails exactly when the
  // create would because another handle holds the file.
  HANDLE probe = ::CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) throw sys::CreateError(target);
  ::CloseHandle(probe);
}

void WriteTargetThroughTemporary(const std::string& target, std::string_view bytes) {
  char temporaryName[MAX_PATH] = {};
  if (!::GetTempFileNameA(FolderForQuery(target).c_str(), "qvp", 0, temporaryName)) {
    WriteInPlace(target, bytes);
    return;
  }
  TemporaryFile temporary(temporaryName);
  try {
    sys::File file(temporary.Path(), sys::FileAccess::kCreateExclusive);
    file.WriteAll(bytes);
  } catch (const sys::CreateError&) {
    throw sys::CreateError(target);  // the user knows the target, not our scratch name
  }
  const bool placed =
      sys::FileExists(target)
          ? ::ReplaceFileA(target.c_str(), temporary.Path().c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                           nullptr, nullptr) != 0
          : ::MoveFileExA(temporary.Path().c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED) != 0;
  if (!placed) throw sys::CreateError(target);
  temporary.Placed();
}

}  // namespace packaging
