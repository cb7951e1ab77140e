#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// Nellymoser Asao: mono, in blocks of 64 bytes that each give 256 samples
// (two transform frames of 128). The rate is not in the data: 8 kHz or 16 kHz
// by the codec number, or the tag's rate field for the general form. Bits are
// read least significant first. Each frame overlaps the one before, so the
// first 64 samples of a sound fade in from silence.
inline constexpr size_t kNellymoserBlockBytes = 64;
inline constexpr size_t kNellymoserBlockSamples = 256;

// Whole blocks only (a partial block at the end is left out); decoding stops
// before `maxSamples` would be passed.
std::vector<int16_t> DecodeNellymoser(std::span<const uint8_t> data, size_t maxSamples);

// The same for a stream whose blocks come in parts (one a frame): the
// overlap between frames carries from one part to the next.
class NellymoserStream {
 public:
  NellymoserStream();
  ~NellymoserStream();
  NellymoserStream(const NellymoserStream&) = delete;
  NellymoserStream& operator=(const NellymoserStream&) = delete;

  // Appends the samples of the whole blocks in `data`, up to `maxSamples` in all.
  void Decode(std::span<const uint8_t> data, size_t maxSamples, std::vector<int16_t>& out);

 private:
  class Decoder;
  std::unique_ptr<Decoder> decoder_;
};

}  // namespace swf
