#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sys {

// How a file is opened. The share modes decide what other programs (and
// other handles of this one) may do with the file while it is open; they are
// enforced on Windows only.
enum class FileAccess {
  // Read; others may still read and write it. Movies and the player stub
  // are read this way so that a movie open in an editor can still be packed.
  kReadShareReadWrite,
  // Read; others may read it but not write it. A project file is read this
  // way so that nobody changes it half-way through the read.
  kReadShareRead,
  // Read and write, nobody else may open it; the file is created or emptied.
  // Refusing every sharer is what keeps an open player stub from being
  // chosen as the target and emptied.
  kCreateExclusive,
  // Like kCreateExclusive, but fails when the file already exists.
  kCreateNewExclusive,
};

// An open file; closes itself. Failing to open throws OpenError (reading)
// or CreateError (creating) with the path as given.
class File {
 public:
  File(const std::string& path, FileAccess access);
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Current length in bytes.
  std::uint64_t Size() const;

  // The whole file from its first byte. Throws ReadError when fewer bytes
  // arrive than Size() announced, FileError when the file cannot fit in
  // memory at all.
  std::string ReadAll();

  // Up to `size` bytes from the current position (the first byte for a file
  // just opened) into `buffer`; fewer only at the end of the file, 0 there.
  // ReadError when the system fails the read.
  std::size_t Read(char* buffer, std::size_t size);

  // Writes all bytes at the current position; WriteError when fewer bytes
  // were stored than asked.
  void WriteAll(std::string_view bytes);

  void Close() noexcept;
  bool IsOpen() const { return handle_ != kNoHandle; }
  const std::string& Path() const { return path_; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
  std::string path_;
};

// Opens, reads whole, closes.
std::string ReadWholeFile(const std::string& path, FileAccess access);

// Creates (or empties) the file exclusively and writes every byte at once.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace sys
