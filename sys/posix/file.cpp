#include "sys/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "sys/file_errors.h"

namespace sys {
namespace {

// POSIX has no share modes; the access only decides read or create.
bool IsCreate(FileAccess access) {
  return access == FileAccess::kCreateExclusive || access == FileAccess::kCreateNewExclusive;
}

int OpenFlags(FileAccess access) {
  switch (access) {
    case FileAccess::kCreateExclusive:
      return O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
    case FileAccess::kCreateNewExclusive:
      return O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC;
    case FileAccess::kReadShareReadWrite:
    case FileAccess::kReadShareRead:
      break;
  }
  return O_RDONLY | O_CLOEXEC;
}

}  // namespace

File::File(const std::string& path, FileAccess access) : path_(path) {
  int descriptor = -1;
  do {
    descriptor = ::open(path.c_str(), OpenFlags(access), 0666);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) {
    if (IsCreate(access)) throw CreateError(path);
    throw OpenError(path);
  }
  handle_ = descriptor;
  // A folder opens for reading on POSIX; it is not a file to us.
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    Close();
    if (IsCreate(access)) throw CreateError(path);
    throw OpenError(path);
  }
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
    ::close(static_cast<int>(handle_));
    handle_ = kNoHandle;
  }
}

std::uint64_t File::Size() const {
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) throw ReadError();
  return static_cast<std::uint64_t>(info.st_size);
}

std::string File::ReadAll() {
  const std::uint64_t size = Size();
  if (size > std::numeric_limits<std::string::size_type>::max() / 2) {
    throw FileError("File " + path_ + " is too large to read into memory");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::pread(static_cast<int>(handle_), bytes.data() + done,
                                bytes.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw ReadError();
    done += static_cast<std::size_t>(got);
  }
  return bytes;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(static_cast<int>(handle_), buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ReadError();
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void File::WriteAll(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written =
        ::write(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw WriteError();
    done += static_cast<std::size_t>(written);
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
