#include "core/package_writer.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "core/file_name.h"
#include "core/little_endian.h"
#include "core/zlib_stream.h"
#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"

namespace core {
namespace {

// Large enough that reading costs next to nothing beside compressing.
constexpr std::size_t kReadSliceSize = std::size_t{1} << 20;

}  // namespace

PackageWriter::PackageWriter(std::uint64_t sizeLimit) : sizeLimit_(sizeLimit) {}

PackageWriter::~PackageWriter() = default;

void PackageWriter::Start() {
  if (broken_) throw std::logic_error("PackageWriter used after a failed movie");
  if (!deflater_) deflater_ = std::make_unique<Deflater>();
}

void PackageWriter::CheckRoomFor(std::uint64_t movieSize, std::size_t lineSize) const {
  const std::uint64_t payloadAfter =
      payloadSize_ + movieSize + directory_.size() + lineSize + kPayloadTrailerSize;
  if (payloadAfter > sizeLimit_) {
    throw PackageTooLargeError("The movies are too large for one package (2 GiB or more)");
  }
}

bool PackageWriter::AddMovie(const std::string& path) {
  if (!sys::FileExists(path)) return false;
  sys::File file(path, sys::FileAccess::kReadShareReadWrite);
  const std::uint64_t size = file.Size();
  std::string line;
  try {
    line = FileNamePart(path) + ":" + std::to_string(size) + "\r\n";
    CheckRoomFor(size, line.size());
    Start();
    if (!readBuffer_) readBuffer_ = std::make_unique_for_overwrite<char[]>(kReadSliceSize);
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  // From here on the stream holds part of this movie: a failure cannot be
  // taken back.
  broken_ = true;
  // The size taken above is the size the directory line records, so a file
  // that shrinks or grows meanwhile is an error rather than a directory that
  // lies.
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, kReadSliceSize));
    const std::size_t got = file.Read(readBuffer_.get(), wanted);
    if (got == 0) throw sys::ReadError();
    deflater_->Write({readBuffer_.get(), got});
    left -= got;
  }
  if (file.Read(readBuffer_.get(), 1) != 0) throw sys::ReadError();
  try {
    directory_ += line;
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  broken_ = false;
  payloadSize_ += size;
  ++movieCount_;
  return true;
}

void PackageWriter::AddMovieBytes(std::string_view fileName, std::string_view bytes) {
  try {
    const std::string line = std::string(fileName) + ":" + std::to_string(bytes.size()) + "\r\n";
    CheckRoomFor(bytes.size(), line.size());
    Start();
    deflater_->Write(bytes);
    directory_ += line;
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  payloadSize_ += bytes.size();
  ++movieCount_;
}

void PackageWriter::AppendDirectory(bool releaseFlag, double dateStamp) {
  Start();
  if (directoryAppended_) throw std::logic_error("PackageWriter: the directory is appended twice");
  try {
    std::string tail = directory_;
    tail.push_back(releaseFlag ? 1 : 0);
    tail.push_back(0);  // reserved
    AppendDouble(tail, dateStamp);
    AppendUint32(tail, static_cast<std::uint32_t>(directory_.size()));
    deflater_->Write(tail);
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  directoryAppended_ = true;
}

ChunkedBytes PackageWriter::FinishBlock() {
  if (!directoryAppended_) throw std::logic_error("PackageWriter: finished without its directory");
  const std::uint64_t payloadSize = deflater_->InputSize();
  ChunkedBytes block = deflater_->Finish();
  Reset();
  if (block.Size() > sizeLimit_) {
    throw PackageTooLargeError("The compressed package is too large (2 GiB or more)");
  }
  try {
    std::string sizes;
    AppendUint32(sizes, static_cast<std::uint32_t>(payloadSize));
    AppendUint32(sizes, static_cast<std::uint32_t>(block.Size()));
    block.Append(sizes);
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  return block;
}

std::string PackageWriter::Finish(bool releaseFlag, double dateStamp) {
  AppendDirectory(releaseFlag, dateStamp);
  ChunkedBytes block = FinishBlock();
  try {
    return block.Join();
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
}

void PackageWriter::Reset() {
  deflater_.reset();
  readBuffer_.reset();
  payloadSize_ = 0;
  std::string().swap(directory_);
  movieCount_ = 0;
  directoryAppended_ = false;
  broken_ = false;
}

}  // namespace core
