#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace core {

// One zlib stream over the whole input: level 9, window bits 15, memory
// level 8, default strategy, written through a 64 KiB output buffer.
// Compressor failures throw PackageError("error"); lack of memory throws
// PackageError with the out-of-memory text.
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
