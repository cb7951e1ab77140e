// libFuzzer target: any bytes handed to the package reader either give a
// package whose movies lie inside its payload or a PackageFormatError;
// never a crash, an overread or an allocation beyond what the input allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/package_format.h"
#include "core/package_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const core::Package package = core::ReadPackage(bytes);
    std::uint64_t total = 0;
    for (const core::PackageMovie& movie : package.movies) {
      if (movie.offset != total) std::abort();
      total += movie.size;
    }
    if (total + package.directorySize + core::kPayloadTrailerSize != package.payloadSize) std::abort();
    if (package.payload.size() != package.payloadSize) std::abort();
  } catch (const core::PackageFormatError&) {
  }
  return 0;
}
