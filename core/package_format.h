#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace core {

// Layout of a package, read from its end: stub, one zlib stream holding the
// payload, then U (payload size) and Z (compressed size). The payload is the
// movie data, the directory ("name:size" CR LF per movie) and a 14-byte
// trailer: release flag, reserved 0, OLE date, directory size D.
inline constexpr std::size_t kPackageTrailerSize = 8;
inline constexpr std::size_t kPayloadTrailerSize = 14;

// The three sizes are stored as signed 32-bit numbers, so none may reach
// 2 GiB; a larger package would be stored with a negative size.
inline constexpr std::uint64_t kMaxStoredSize = 0x7FFFFFFF;

// The messages that the build shows after "Error: ".
inline constexpr char kOutOfMemoryMessage[] = "Out of memory while expanding memory stream";
inline constexpr char kCompressorErrorMessage[] = "error";

// A build that cannot go on; the text is meant for the user as it stands.
// Callers that show their own text tell the causes apart by the derived
// types below, never by the text. Files that cannot be opened, read, created
// or written throw the sys::FileError types instead.
class PackageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The payload or the compressed block would reach the size limit (2 GiB
// unless a caller chose a smaller one).
class PackageTooLargeError : public PackageError {
 public:
  using PackageError::PackageError;
};

// Memory ran out while the package was put together.
class OutOfMemoryError : public PackageError {
 public:
  OutOfMemoryError() : PackageError(kOutOfMemoryMessage) {}
};

// The compressor refused its input or could not start.
class CompressorError : public PackageError {
 public:
  CompressorError() : PackageError(kCompressorErrorMessage) {}
};

// A file that is not a well-formed package; the text says what is wrong.
class PackageFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace core
