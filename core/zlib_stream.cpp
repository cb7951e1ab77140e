#include "core/zlib_stream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

#include "core/package_format.h"

namespace core {
namespace {

constexpr std::size_t kOutputBufferSize = 65536;
constexpr int kLevel = 9;
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;

class DeflateStream {
 public:
  DeflateStream() {
    if (deflateInit2(&stream_, kLevel, Z_DEFLATED, kWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
      throw PackageError(kCompressorErrorMessage);
    }
  }
  ~DeflateStream() { deflateEnd(&stream_); }
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;
  z_stream& operator*() { return stream_; }

 private:
  z_stream stream_{};
};

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

std::string Deflate(std::string_view input) { return Deflate({input}); }

std::string Deflate(std::initializer_list<std::string_view> pieces, std::size_t spareCapacity) {
  std::size_t total = 0;
  for (std::string_view piece : pieces) {
    if (piece.size() > std::numeric_limits<uInt>::max() - total) throw PackageError(kCompressorErrorMessage);
    total += piece.size();
  }
  try {
    DeflateStream deflater;
    z_stream& stream = *deflater;

    // Room for the worst case up front: the output never has to be copied
    // to a larger block while the input is still held.
    std::string output;
    output.reserve(deflateBound(&stream, static_cast<uLong>(total)) + spareCapacity);
    char buffer[kOutputBufferSize];
    auto drain = [&](int flush) {
      int result = Z_OK;
      do {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = kOutputBufferSize;
        result = deflate(&stream, flush);
        if (result == Z_STREAM_ERROR) throw PackageError(kCompressorErrorMessage);
        output.append(buffer, kOutputBufferSize - stream.avail_out);
      } while (flush == Z_NO_FLUSH ? stream.avail_in > 0 : result != Z_STREAM_END);
    };
    // Feed everything without flushing, then finish until the stream ends.
    for (std::string_view piece : pieces) {
      stream.next_in = AsInput(piece.data());
      stream.avail_in = static_cast<uInt>(piece.size());
      drain(Z_NO_FLUSH);
    }
    stream.avail_in = 0;
    drain(Z_FINISH);
    return output;
  } catch (const std::bad_alloc&) {
    throw PackageError(kOutOfMemoryMessage);
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
