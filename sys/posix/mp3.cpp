#include "sys/mp3.h"

#include <cstring>

#include <mpg123.h>

namespace sys {
namespace {

struct HandleCloser {
  void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

class Mpg123Decoder final : public swf::Mp3Decoder {
 public:
  explicit Mpg123Decoder(Mpg123Handle handle) : handle_(std::move(handle)) {}

  void Feed(std::span<const uint8_t> bytes, std::vector<swf::PcmSound>& decoded) override {
    if (failed_ || bytes.empty()) return;
    if (mpg123_feed(handle_.get(), bytes.data(), bytes.size()) != MPG123_OK) {
      failed_ = true;
      return;
    }
    for (;;) {
      off_t frameNumber = 0;
      unsigned char* audio = nullptr;
      size_t byteCount = 0;
      const int result = mpg123_decode_frame(handle_.get(), &frameNumber, &audio, &byteCount);
      if (result == MPG123_NEW_FORMAT) {
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(handle_.get(), &rate, &channels, &encoding);
        rate_ = static_cast<int>(rate);
        channels_ = channels;
        continue;
      }
      if (result == MPG123_OK) {
        Append(audio, byteCount, decoded);
        continue;
      }
      if (result != MPG123_NEED_MORE) failed_ = true;
      return;
    }
  }

 private:
  void Append(const unsigned char* audio, size_t byteCount, std::vector<swf::PcmSound>& decoded) const {
    if (audio == nullptr || byteCount < 2 || channels_ < 1) return;
    if (decoded.empty() || decoded.back().sampleRate != rate_ || decoded.back().channels != channels_) {
      decoded.push_back(swf::PcmSound{rate_, channels_, {}});
    }
    // The output format asked for below is 16-bit signed in the machine's order.
    std::vector<int16_t>& samples = decoded.back().samples;
    const size_t count = byteCount / 2;
    const size_t start = samples.size();
    samples.resize(start + count);
    std::memcpy(samples.data() + start, audio, count * 2);
  }

  Mpg123Handle handle_;
  int rate_ = 0;
  int channels_ = 0;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder() {
  int error = MPG123_OK;
  Mpg123Handle handle(mpg123_new(nullptr, &error));
  if (!handle) return nullptr;
  // Every frame is wanted, as it is: the sound's own seek count drops the
  // encoder's delay, so no gapless trimming and no resampling here.
  mpg123_param(handle.get(), MPG123_FLAGS, MPG123_QUIET, 0);
  // Past damage of any length, look for the next frame rather than give up.
  mpg123_param(handle.get(), MPG123_RESYNC_LIMIT, -1, 0);
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) {
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open_feed(handle.get()) != MPG123_OK) return nullptr;
  return std::make_unique<Mpg123Decoder>(std::move(handle));
}

}  // namespace sys
