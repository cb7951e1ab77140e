#include "core/package_writer.h"

#include <new>
#include <utility>

#include "core/file_name.h"
#include "core/little_endian.h"
#include "core/package_format.h"
#include "core/zlib_stream.h"
#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"
#include "sys/replace_file.h"

namespace core {

void PackageWriter::CheckRoomFor(std::uint64_t movieSize, std::size_t lineSize) const {
  const std::uint64_t payloadAfter = static_cast<std::uint64_t>(payload_.size()) + movieSize +
                                     directory_.size() + lineSize + kPayloadTrailerSize;
  if (payloadAfter > kMaxStoredSize) {
    throw PackageError("The movies are too large for one package (2 GiB or more)");
  }
}

bool PackageWriter::AddMovie(const std::string& path) {
  if (!sys::FileExists(path)) return false;
  sys::File file(path, sys::FileAccess::kReadShareReadWrite);
  const std::uint64_t size = file.Size();
  const std::string line = FileNamePart(path) + ":" + std::to_string(size) + "\r\n";
  CheckRoomFor(size, line.size());
  try {
    // The size taken above is the size the directory line records, so a
    // file that shrinks meanwhile is an error (ReadAll) rather than a
    // directory that lies.
    std::string bytes = file.ReadAll();
    if (bytes.size() != size) throw sys::ReadError();
    // The first movie becomes the payload itself: copying a movie of
    // hundreds of megabytes costs time and, for a moment, twice its memory.
    if (payload_.empty()) {
      payload_ = std::move(bytes);
    } else {
      payload_ += bytes;
    }
    directory_ += line;
  } catch (const std::bad_alloc&) {
    throw PackageError(kOutOfMemoryMessage);
  }
  ++movieCount_;
  return true;
}

void PackageWriter::AddMovieBytes(std::string_view fileName, std::string_view bytes) {
  const std::string line =
      std::string(fileName) + ":" + std::to_string(bytes.size()) + "\r\n";
  CheckRoomFor(bytes.size(), line.size());
  try {
    payload_ += bytes;
    directory_ += line;
  } catch (const std::bad_alloc&) {
    throw PackageError(kOutOfMemoryMessage);
  }
  ++movieCount_;
}

std::string PackageWriter::Finish(bool releaseFlag, double dateStamp) {
  std::string block;
  try {
    // Directory and payload trailer follow the movie data in the stream
    // without being appended to it: the movie data is never copied again.
    const std::uint32_t directorySize = static_cast<std::uint32_t>(directory_.size());
    std::string tail = directory_;
    tail.push_back(releaseFlag ? 1 : 0);
    tail.push_back(0);  // reserved
    AppendDouble(tail, dateStamp);
    AppendUint32(tail, directorySize);

    const std::size_t payloadSize = payload_.size() + tail.size();
    block = Deflate({payload_, tail}, 8);
    std::string().swap(payload_);
    directory_.clear();
    movieCount_ = 0;

    if (block.size() > kMaxStoredSize) {
      throw PackageError("The compressed package is too large (2 GiB or more)");
    }
    const std::uint32_t compressedSize = static_cast<std::uint32_t>(block.size());
    AppendUint32(block, static_cast<std::uint32_t>(payloadSize));
    AppendUint32(block, compressedSize);
  } catch (const std::bad_alloc&) {
    throw PackageError(kOutOfMemoryMessage);
  }
  return block;
}

void WritePackage(const std::string& stubPath, std::string_view compressedBlock,
                  const std::string& targetPath) {
  sys::File stub(stubPath, sys::FileAccess::kReadShareReadWrite);
  std::string output;
  try {
    output = stub.ReadAll();
    output.append(compressedBlock);
  } catch (const sys::ReadError&) {
    throw sys::OpenError(stubPath);  // an unreadable stub is reported like a missing one
  } catch (const std::bad_alloc&) {
    throw PackageError(kOutOfMemoryMessage);
  }
  // Windows refuses the target by its share modes while the stub is open;
  // other systems have none, so the stub is protected by its identity.
  if (sys::SameFile(stubPath, targetPath)) throw sys::CreateError(targetPath);
  // Through a temporary file, so that a write that fails part-way (a full
  // disk) leaves a former package at the target as it was.
  sys::ReplaceFileContents(targetPath, output);
}

void BuildPackageFile(const std::string& stubPath, const std::vector<std::string>& moviePaths,
                      bool releaseFlag, double dateStamp, const std::string& targetPath) {
  PackageWriter writer;
  for (const std::string& path : moviePaths) writer.AddMovie(path);
  WritePackage(stubPath, writer.Finish(releaseFlag, dateStamp), targetPath);
}

}  // namespace core
