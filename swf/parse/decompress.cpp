#include "swf/parse/decompress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "swf/parse/parse_error.h"

namespace swf {
namespace {

// Output grows in steps so that a lying header cannot make us reserve the
// whole limit up front.
constexpr size_t kChunk = 256 * 1024;

class ZlibStream {
 public:
  ZlibStream() {
    if (inflateInit(&stream_) != Z_OK) throw ParseError("cannot initialise zlib");
  }
  ~ZlibStream() { inflateEnd(&stream_); }
  ZlibStream(const ZlibStream&) = delete;
  ZlibStream& operator=(const ZlibStream&) = delete;
  z_stream* operator->() { return &stream_; }
  z_stream* get() { return &stream_; }

 private:
  z_stream stream_{};
};

class LzmaStream {
 public:
  LzmaStream() = default;
  ~LzmaStream() { lzma_end(&stream_); }
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;
  lzma_stream* get() { return &stream_; }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

}  // namespace

std::vector<uint8_t> InflateLimited(std::span<const uint8_t> input, size_t limit) {
  ZlibStream stream;
  std::vector<uint8_t> output;
  // zlib counts in uInt; feed large inputs in pieces.
  size_t inputUsed = 0;
  while (output.size() < limit) {
    const size_t want = std::min(kChunk, limit - output.size());
    const size_t before = output.size();
    output.resize(before + want);
    stream->next_out = output.data() + before;
    stream->avail_out = static_cast<uInt>(want);
    if (stream->avail_in == 0 && inputUsed < input.size()) {
      const size_t piece = std::min<size_t>(input.size() - inputUsed, std::numeric_limits<uInt>::max() / 2);
      stream->next_in = const_cast<Bytef*>(input.data() + inputUsed);
      stream->avail_in = static_cast<uInt>(piece);
      inputUsed += piece;
    }
    const int result = inflate(stream.get(), Z_NO_FLUSH);
    output.resize(before + (want - stream->avail_out));
    if (result == Z_STREAM_END) break;
    if (result == Z_BUF_ERROR && stream->avail_in == 0 && inputUsed >= input.size()) break;  // data ends early
    if (result != Z_OK && result != Z_BUF_ERROR) {
      if (output.empty()) {
        throw ParseError(std::string("compressed movie data is corrupt (zlib: ") +
                         (stream->msg ? stream->msg : "error") + ")");
      }
      break;  // keep what decoded before the damage
    }
  }
  return output;
}

std::vector<uint8_t> LzmaDecodeLimited(std::span<const uint8_t> properties, std::span<const uint8_t> input,
                                       size_t limit) {
  lzma_options_lzma options{};
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  filters[0].options = &options;
  // lzma_properties_decode allocates the options itself; decode into our own
  // struct by asking for a copy and freeing it straight after.
  if (lzma_properties_decode(&filters[0], nullptr, properties.data(), properties.size()) != LZMA_OK) {
    throw ParseError("LZMA properties of the movie are invalid");
  }
  options = *static_cast<lzma_options_lzma*>(filters[0].options);
  free(filters[0].options);  // allocated by liblzma with the default allocator
  filters[0].options = &options;
  // The decoder allocates its whole dictionary up front, and the properties
  // may claim up to 4 GiB. Nothing can refer further back than the output is
  // long, so a dictionary of the output's size decodes the same.
  options.dict_size = static_cast<uint32_t>(
      std::min<size_t>(options.dict_size, std::max<size_t>(limit, LZMA_DICT_SIZE_MIN)));

  LzmaStream stream;
  if (lzma_raw_decoder(stream.get(), filters) != LZMA_OK) throw ParseError("cannot initialise the LZMA decoder");
  lzma_stream* s = stream.get();
  s->next_in = input.data();
  s->avail_in = input.size();
  std::vector<uint8_t> output;
  while (output.size() < limit) {
    const size_t want = std::min(kChunk, limit - output.size());
    const size_t before = output.size();
    output.resize(before + want);
    s->next_out = output.data() + before;
    s->avail_out = want;
    const lzma_ret result = lzma_code(s, s->avail_in == 0 ? LZMA_FINISH : LZMA_RUN);
    output.resize(before + (want - s->avail_out));
    if (result == LZMA_STREAM_END) break;
    if (result == LZMA_OK) {
      if (s->avail_in == 0 && output.size() == before) break;
      continue;
    }
    if (result == LZMA_BUF_ERROR) break;  // data ends early
    if (output.empty()) throw ParseError("compressed movie data is corrupt (LZMA error " + std::to_string(result) + ")");
    break;
  }
  return output;
}

}  // namespace swf
