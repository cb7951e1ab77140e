#include "sys/mp3.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>

#include "swf/sound/mp3_frame.h"

namespace sys {
namespace {

struct AcmStreamCloser {
  void operator()(HACMSTREAM stream) const { acmStreamClose(stream, 0); }
};
using AcmStream = std::unique_ptr<std::remove_pointer_t<HACMSTREAM>, AcmStreamCloser>;

// A stream header stays prepared (its buffers locked for the codec) only
// while it is converted.
class PreparedHeader {
 public:
  PreparedHeader(HACMSTREAM stream, std::vector<uint8_t>& input, std::vector<uint8_t>& output) : stream_(stream) {
    header_.cbStruct = sizeof(header_);
    header_.pbSrc = input.data();
    header_.cbSrcLength = static_cast<DWORD>(input.size());
    header_.pbDst = output.data();
    header_.cbDstLength = static_cast<DWORD>(output.size());
    prepared_ = acmStreamPrepareHeader(stream_, &header_, 0) == 0;
  }
  ~PreparedHeader() {
    if (prepared_) acmStreamUnprepareHeader(stream_, &header_, 0);
  }
  PreparedHeader(const PreparedHeader&) = delete;
  PreparedHeader& operator=(const PreparedHeader&) = delete;

  bool Convert() { return prepared_ && acmStreamConvert(stream_, &header_, 0) == 0; }
  size_t InputUsed() const { return header_.cbSrcLengthUsed; }
  size_t OutputUsed() const { return header_.cbDstLengthUsed; }

 private:
  HACMSTREAM stream_;
  ACMSTREAMHEADER header_{};
  bool prepared_ = false;
};

// The system's MP3 codec takes whole frames of one format; the stream's
// first frame sets it. Frames are found here by their headers, so junk and
// frames of another format are skipped before the codec sees them.
class AcmMp3Decoder final : public swf::Mp3Decoder {
 public:
  void Feed(std::span<const uint8_t> bytes, std::vector<swf::PcmSound>& decoded) override {
    if (failed_) return;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<uint8_t> frames;
    size_t frameCount = 0;
    size_t at = 0;
    while (pending_.size() - at >= 4) {
      const auto header = swf::ReadMp3FrameHeader(std::span<const uint8_t>(pending_).subspan(at));
      if (!header || (format_ && (header->sampleRate != format_->sampleRate || header->channels != format_->channels))) {
        ++at;
        continue;
      }
      const size_t length = static_cast<size_t>(header->length);
      if (pending_.size() - at < length) break;
      if (!format_ && !Open(*header)) {
        failed_ = true;
        return;
      }
      frames.insert(frames.end(), pending_.begin() + static_cast<ptrdiff_t>(at),
                    pending_.begin() + static_cast<ptrdiff_t>(at + length));
      ++frameCount;
      at += length;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(at));
    if (frameCount > 0) Convert(frames, frameCount, decoded);
  }

 private:
  bool Open(const swf::Mp3FrameHeader& header) {
    MPEGLAYER3WAVEFORMAT mp3{};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = static_cast<WORD>(header.channels);
    mp3.wfx.nSamplesPerSec = static_cast<DWORD>(header.sampleRate);
    mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(header.bitRate / 8);
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    mp3.nBlockSize = static_cast<WORD>(header.length);
    mp3.nFramesPerBlock = 1;
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = static_cast<WORD>(header.channels);
    pcm.nSamplesPerSec = static_cast<DWORD>(header.sampleRate);
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(2 * header.channels);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) return false;
    stream_.reset(stream);
    format_ = header;
    return true;
  }

  void Convert(const std::vector<uint8_t>& frames, size_t frameCount, std::vector<swf::PcmSound>& decoded) {
    // What the codec left unread last time comes first.
    carry_.insert(carry_.end(), frames.begin(), frames.end());
    // Room for every frame given and two the codec may still hold back.
    const size_t perFrame = static_cast<size_t>(format_->samplesPerFrame * format_->channels) * 2;
    std::vector<uint8_t> output((frameCount + 2) * perFrame);
    PreparedHeader header(stream_.get(), carry_, output);
    if (!header.Convert()) {
      failed_ = true;
      return;
    }
    const size_t used = std::min(header.InputUsed(), carry_.size());
    const size_t produced = std::min(header.OutputUsed(), output.size()) / 2;
    carry_.erase(carry_.begin(), carry_.begin() + static_cast<ptrdiff_t>(used));
    // A codec that neither reads nor writes would make the carry grow forever.
    if (carry_.size() > 4 * perFrame) carry_.clear();
    if (produced == 0) return;
    if (decoded.empty() || decoded.back().sampleRate != format_->sampleRate ||
        decoded.back().channels != format_->channels) {
      decoded.push_back(swf::PcmSound{format_->sampleRate, format_->channels, {}});
    }
    std::vector<int16_t>& samples = decoded.back().samples;
    const size_t start = samples.size();
    samples.resize(start + produced);
    std::memcpy(samples.data() + start, output.data(), produced * 2);
  }

  AcmStream stream_;
  std::optional<swf::Mp3FrameHeader> format_;
  std::vector<uint8_t> pending_;  // bytes not yet making a whole frame
  std::vector<uint8_t> carry_;    // frames given to the codec and not yet read by it
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder() { return std::make_unique<AcmMp3Decoder>(); }

}  // namespace sys
