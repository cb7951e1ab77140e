#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "core/chunked_bytes.h"

namespace core {

// One zlib stream (level 9, window bits 15, memory level 8, default
// strategy) fed piece by piece: nothing is flushed between the pieces, so the
// stream is the same however its input is cut. The output goes straight into
// blocks that are never moved, so neither the input nor the output has to be
// held whole or copied. Compressor failures throw CompressorError, lack of
// memory OutOfMemoryError.
class Deflater {
 public:
  Deflater();
  ~Deflater();
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void Write(std::string_view input);

  // Ends the stream and hands over its bytes; nothing may be written after.
  ChunkedBytes Finish();

  // Input taken so far.
  std::uint64_t InputSize() const { return inputSize_; }

 private:
  struct Stream;
  void Run(int flush);

  std::unique_ptr<Stream> stream_;
  ChunkedBytes output_;
  std::uint64_t inputSize_ = 0;
};

// One zlib stream over the whole input, with the Deflater's parameters.
std::string Deflate(std::string_view input);

// The same stream over pieces that follow one another, as if they were one
// input (nothing is flushed between them, so the bytes are the same). The
// result has room for `spareCapacity` more bytes, so that a caller's trailer
// does not make it grow.
std::string Deflate(std::initializer_list<std::string_view> pieces, std::size_t spareCapacity = 0);

// Inflates one zlib stream that must fill exactly `expectedSize` bytes and
// end exactly at the end of `compressed`. Memory grows with the output that
// really arrives, so a lying size cannot force a large allocation.
// Throws PackageFormatError naming what is wrong.
std::string InflateExactly(std::string_view compressed, std::uint64_t expectedSize);

}  // namespace core
