#include "swf/parse/header.h"

#include <string>

#include "swf/parse/bit_reader.h"
#include "swf/parse/decompress.h"
#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kLzmaHeaderSize = 17;  // signature block, compressed length, 5 property bytes

std::string MiB(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

}  // namespace

DecodedMovie DecodeMovie(std::span<const uint8_t> file, size_t maxSize) {
  if (file.size() < kSignatureSize) throw ParseError("not a movie: file shorter than its 8-byte header");
  if (file[1] != 'W' || file[2] != 'S' || (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z')) {
    throw ParseError("not a movie: the file does not start with FWS, CWS or ZWS");
  }
  DecodedMovie movie;
  Header& header = movie.header;
  header.compression = file[0] == 'F' ? Compression::kNone : file[0] == 'C' ? Compression::kZlib : Compression::kLzma;
  header.version = file[3];
  header.declaredLength = static_cast<uint32_t>(file[4]) | (static_cast<uint32_t>(file[5]) << 8) |
                          (static_cast<uint32_t>(file[6]) << 16) | (static_cast<uint32_t>(file[7]) << 24);
  if (header.declaredLength > maxSize) {
    throw ParseError("the movie declares " + std::to_string(header.declaredLength) +
                     " bytes uncompressed, more than the limit of " + MiB(maxSize));
  }
  const size_t bodyLimit = header.declaredLength > kSignatureSize ? header.declaredLength - kSignatureSize : 0;

  switch (header.compression) {
    case Compression::kNone: {
      const auto body = file.subspan(kSignatureSize);
      movie.body.assign(body.begin(), body.begin() + std::min(body.size(), bodyLimit));
      break;
    }
    case Compression::kZlib:
      movie.body = InflateLimited(file.subspan(kSignatureSize), bodyLimit);
      break;
    case Compression::kLzma:
      if (file.size() < kLzmaHeaderSize) throw ParseError("LZMA movie shorter than its 17-byte header");
      movie.body = LzmaDecodeLimited(file.subspan(12, 5), file.subspan(kLzmaHeaderSize), bodyLimit);
      break;
  }

  BitReader reader(movie.body, kSignatureSize);
  try {
    header.frameSize = ReadRect(reader);
    const uint16_t rate = reader.U16();
    header.frameRate = rate / 256.0;
    header.frameCount = reader.U16();
  } catch (const ParseError& error) {
    throw ParseError(std::string("movie header is incomplete: ") + error.what());
  }
  movie.tagsOffset = reader.Position();
  return movie;
}

}  // namespace swf
