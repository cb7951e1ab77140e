#include "sys/file.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "sys/file_errors.h"

namespace sys {
namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows refuses to write a read-only file; Wine running as root does not,
// so the refusal is made explicit to behave the same everywhere.
bool IsCreate(FileAccess access) {
  return access == FileAccess::kCreateExclusive || access == FileAccess::kCreateNewExclusive;
}

}  // namespace

File::File(const std::string& path, FileAccess access) : path_(path) {
  DWORD desired = GENERIC_READ;
  DWORD share = 0;
  DWORD disposition = OPEN_EXISTING;
  switch (access) {
    case FileAccess::kReadShareReadWrite:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    case FileAccess::kReadShareRead:
      share = FILE_SHARE_READ;
      break;
    case FileAccess::kCreateExclusive:
      desired = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case FileAccess::kCreateNewExclusive:
      desired = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_NEW;
      break;
  }
  if (IsCreate(access) && IsReadOnlyFile(path)) throw CreateError(path);
  HANDLE handle = CreateFileA(path.c_str(), desired, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (IsCreate(access)) throw CreateError(path);
    throw OpenError(path);
  }
  handle_ = reinterpret_cast<std::intptr_t>(handle);
}

File::~File() { Close(); }

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoHandle);
    path_ = std::move(other.path_);
  }
  return *this;
}

void File::Close() noexcept {
  if (handle_ != kNoHandle) {
    CloseHandle(AsHandle(handle_));
    handle_ = kNoHandle;
  }
}

std::uint64_t File::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsHandle(handle_), &size)) throw ReadError();
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::string File::ReadAll() {
  const std::uint64_t size = Size();
  if (size > std::numeric_limits<std::string::size_type>::max() / 2) {
    throw FileError("File " + path_ + " is too large to read into memory");
  }
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(AsHandle(handle_), start, nullptr, FILE_BEGIN)) throw ReadError();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), bytes.data() + done, chunk, &got, nullptr) || got == 0) {
      throw ReadError();
    }
    done += got;
  }
  return bytes;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), buffer + done, chunk, &got, nullptr)) throw ReadError();
    if (got == 0) break;
    done += got;
  }
  return done;
}

void File::WriteAll(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD written = 0;
    if (!WriteFile(AsHandle(handle_), bytes.data() + done, chunk, &written, nullptr) ||
        written != chunk) {
      throw WriteError();
    }
    done += written;
  }
}

std::string ReadWholeFile(const std::string& path, FileAccess access) {
  File file(path, access);
  return file.ReadAll();
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  File file(path, FileAccess::kCreateExclusive);
  file.WriteAll(bytes);
}

}  // namespace sys
