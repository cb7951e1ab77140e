#include "sys/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "sys/file_errors.h"

namespace sys {
namespace {

bool WriteAllTo(int fd, std::span<const std::string_view> pieces) {
  for (std::string_view bytes : pieces) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      done += static_cast<size_t>(written);
    }
  }
  return true;
}

// What creating the target would find, found without creating anything.
bool CheckTarget(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode) || ::access(path.c_str(), W_OK) != 0) throw CreateError(path);
    return true;
  }
  if (errno != ENOENT) throw CreateError(path);
  std::string folder = FolderPart(path);
  if (!folder.empty()) {
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) throw CreateError(path);
  }
  return false;
}

}  // namespace

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  ReplaceFileContents(path, std::span<const std::string_view>(&bytes, 1));
}

void ReplaceFileContents(const std::string& path, std::span<const std::string_view> bytes) {
  bool exists = CheckTarget(path);
  std::string folder = FolderPart(path);
  std::string pattern = (folder.empty() ? std::string("./") : folder) + ".qvt-XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    int target = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (target < 0) throw CreateError(path);
    bool ok = WriteAllTo(target, bytes);
    ::close(target);
    if (!ok) throw WriteError();
    return;
  }
  bool written = WriteAllTo(fd, bytes) && ::fsync(fd) == 0;
  if (exists) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) ::fchmod(fd, info.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  ::close(fd);
  if (!written) {
    ::unlink(pattern.c_str());
    throw WriteError();
  }
  if (::rename(pattern.c_str(), path.c_str()) != 0) {
    ::unlink(pattern.c_str());
    throw CreateError(path);
  }
}

}  // namespace sys
