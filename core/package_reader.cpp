#include "core/package_reader.h"

#include "core/little_endian.h"
#include "core/package_format.h"
#include "core/zlib_stream.h"
#include "sys/file.h"

namespace core {
namespace {

// Deflate cannot expand a byte into more than 1032 bytes (258-byte matches
// coded in two bits); a larger payload size is a lie, refused before any
// memory is spent on it.
constexpr std::uint64_t kMaxInflateRatio = 1032;

void Require(bool condition, const std::string& whatIsWrong) {
  if (!condition) throw PackageFormatError(whatIsWrong);
}

std::uint32_t ParseSize(std::string_view text, std::size_t lineNumber) {
  const std::string where = "Directory line " + std::to_string(lineNumber);
  Require(!text.empty() && text.size() <= 10, where + " has no valid size");
  std::uint64_t value = 0;
  for (char c : text) {
    Require(c >= '0' && c <= '9', where + " has no valid size");
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  Require(value <= kMaxStoredSize, where + " has a size of 2 GiB or more");
  return static_cast<std::uint32_t>(value);
}

std::vector<PackageMovie> ParseDirectory(std::string_view directory, std::uint64_t movieDataSize) {
  std::vector<PackageMovie> movies;
  std::uint64_t offset = 0;
  std::size_t lineNumber = 0;
  while (!directory.empty()) {
    ++lineNumber;
    const std::size_t end = directory.find("\r\n");
    Require(end != std::string_view::npos,
            "Directory line " + std::to_string(lineNumber) + " does not end with CR LF");
    const std::string_view line = directory.substr(0, end);
    directory.remove_prefix(end + 2);

    const std::size_t colon = line.rfind(':');
    Require(colon != std::string_view::npos,
            "Directory line " + std::to_string(lineNumber) + " has no colon");
    PackageMovie movie;
    movie.name = std::string(line.substr(0, colon));
    movie.size = ParseSize(line.substr(colon + 1), lineNumber);
    movie.offset = static_cast<std::uint32_t>(offset);
    offset += movie.size;
    Require(offset <= movieDataSize, "The directory lists more movie data than the payload holds");
    movies.push_back(std::move(movie));
  }
  Require(offset == movieDataSize, "The directory lists " + std::to_string(offset) +
                                       " bytes of movie data but the payload holds " +
                                       std::to_string(movieDataSize));
  return movies;
}

}  // namespace

Package ReadPackage(std::string_view fileBytes) {
  Package package;
  const std::uint64_t fileSize = fileBytes.size();
  Require(fileSize >= kPackageTrailerSize,
          "The file is too short for a package (" + std::to_string(fileSize) + " bytes)");

  const std::uint32_t payloadSize = ReadUint32(fileBytes, fileSize - 8);
  const std::uint32_t compressedSize = ReadUint32(fileBytes, fileSize - 4);
  Require(compressedSize <= kMaxStoredSize && payloadSize <= kMaxStoredSize,
          "The package trailer holds a negative size");
  Require(compressedSize <= fileSize - kPackageTrailerSize,
          "The compressed size " + std::to_string(compressedSize) + " exceeds the file (" +
              std::to_string(fileSize) + " bytes)");
  Require(compressedSize > 0, "The compressed block is empty");
  Require(payloadSize >= kPayloadTrailerSize,
          "The payload size " + std::to_string(payloadSize) + " is below the 14-byte trailer");
  Require(payloadSize <= compressedSize * kMaxInflateRatio,
          "The payload size " + std::to_string(payloadSize) + " cannot come from " +
              std::to_string(compressedSize) + " compressed bytes");

  package.compressedSize = compressedSize;
  package.payloadSize = payloadSize;
  package.stubSize = fileSize - kPackageTrailerSize - compressedSize;

  const std::string_view block = fileBytes.substr(package.stubSize, compressedSize);
  package.payload = InflateExactly(block, payloadSize);
  const std::string_view payload = package.payload;

  const std::size_t trailer = payloadSize - kPayloadTrailerSize;
  const unsigned char releaseFlag = static_cast<unsigned char>(payload[trailer]);
  Require(releaseFlag <= 1, "The release flag is " + std::to_string(releaseFlag) + ", not 0 or 1");
  package.releaseFlag = releaseFlag == 1;
  package.dateStamp = ReadDouble(payload, trailer + 2);
  package.directorySize = ReadUint32(payload, trailer + 10);
  Require(package.directorySize <= trailer,
          "The directory size " + std::to_string(package.directorySize) + " exceeds the payload");

  const std::size_t movieDataSize = trailer - package.directorySize;
  package.movies =
      ParseDirectory(payload.substr(movieDataSize, package.directorySize), movieDataSize);
  return package;
}

Package ReadPackageFile(const std::string& path) {
  return ReadPackage(sys::ReadWholeFile(path, sys::FileAccess::kReadShareReadWrite));
}

}  // namespace core
