#include "core/zlib_stream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>
#include <span>
#include <utility>

#include "core/package_format.h"

namespace core {
namespace {

constexpr std::size_t kOutputBufferSize = 65536;
constexpr int kLevel = 9;
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;

class InflateStream {
 public:
  InflateStream() {
    if (inflateInit(&stream_) != Z_OK) throw PackageFormatError("Cannot start the decompressor");
  }
  ~InflateStream() { inflateEnd(&stream_); }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  z_stream& operator*() { return stream_; }

 private:
  z_stream stream_{};
};

Bytef* AsInput(const char* bytes) {
  return reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
}

}  // namespace

// The zlib stream itself, kept out of the header.
struct Deflater::Stream {
  z_stream z{};
};

Deflater::Deflater() {
  try {
    stream_ = std::make_unique<Stream>();
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  if (deflateInit2(&stream_->z, kLevel, Z_DEFLATED, kWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw CompressorError();
  }
}

Deflater::~Deflater() { deflateEnd(&stream_->z); }

void Deflater::Run(int flush) {
  z_stream& stream = stream_->z;
  try {
    int result = Z_OK;
    do {
      const std::span<char> room = output_.Spare();
      const uInt roomSize =
          static_cast<uInt>(std::min<std::size_t>(room.size(), std::numeric_limits<uInt>::max()));
      stream.next_out = reinterpret_cast<Bytef*>(room.data());
      stream.avail_out = roomSize;
      result = deflate(&stream, flush);
      if (result == Z_STREAM_ERROR) throw CompressorError();
      output_.Commit(roomSize - stream.avail_out);
    } while (flush == Z_NO_FLUSH ? stream.avail_in > 0 : result != Z_STREAM_END);
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
}

void Deflater::Write(std::string_view input) {
  // avail_in is 32 bits wide; larger inputs go in slices.
  constexpr std::size_t kLargestSlice = std::size_t{1} << 30;
  while (!input.empty()) {
    const std::size_t slice = std::min(input.size(), kLargestSlice);
    stream_->z.next_in = AsInput(input.data());
    stream_->z.avail_in = static_cast<uInt>(slice);
    Run(Z_NO_FLUSH);
    input.remove_prefix(slice);
    inputSize_ += slice;
  }
}

ChunkedBytes Deflater::Finish() {
  stream_->z.avail_in = 0;
  Run(Z_FINISH);
  return std::move(output_);
}

std::string Deflate(std::string_view input) { return Deflate({input}); }

std::string Deflate(std::initializer_list<std::string_view> pieces, std::size_t spareCapacity) {
  Deflater deflater;
  for (std::string_view piece : pieces) deflater.Write(piece);
  ChunkedBytes output = deflater.Finish();
  try {
    return output.Join(spareCapacity);
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
}

std::string InflateExactly(std::string_view compressed, std::uint64_t expectedSize) {
  if (compressed.size() > std::numeric_limits<uInt>::max()) {
    throw PackageFormatError("The compressed block is too large");
  }
  InflateStream inflater;
  z_stream& stream = *inflater;
  stream.next_in = AsInput(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());

  std::string output;
  char buffer[kOutputBufferSize];
  for (;;) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = kOutputBufferSize;
    const int result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = kOutputBufferSize - stream.avail_out;
    if (output.size() + produced > expectedSize) {
      throw PackageFormatError("The payload is longer than its recorded size " +
                               std::to_string(expectedSize));
    }
    output.append(buffer, produced);
    if (result == Z_STREAM_END) break;
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR) {
      throw PackageFormatError("The compressed block is corrupt (" +
                               std::string(stream.msg ? stream.msg : "invalid data") + ")");
    }
    if (result == Z_MEM_ERROR) throw PackageFormatError("Out of memory while decompressing");
    if (result == Z_BUF_ERROR || (stream.avail_in == 0 && produced == 0)) {
      throw PackageFormatError("The compressed block ends before its stream does");
    }
  }
  if (stream.avail_in != 0) {
    throw PackageFormatError("The compressed block has " + std::to_string(stream.avail_in) +
                             " bytes after its stream's end");
  }
  if (output.size() != expectedSize) {
    throw PackageFormatError("The payload holds " + std::to_string(output.size()) +
                             " bytes, not its recorded size " + std::to_string(expectedSize));
  }
  return output;
}

}  // namespace core
