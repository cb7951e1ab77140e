#include "swf/sound/sound_decoder.h"

#include <algorithm>

#include "swf/sound/adpcm.h"
#include "swf/sound/linear_pcm.h"
#include "swf/sound/nellymoser.h"

namespace swf {
namespace {

// MP3 bytes go to the decoder in slices, so that a run of tiny frames
// cannot overshoot the sample ceiling by more than one slice's worth.
constexpr size_t kMp3FeedSlice = 4096;

bool IsNellymoser(const SoundEncoding& encoding) {
  const auto codec = static_cast<SoundCodec>(encoding.format);
  return codec == SoundCodec::kNellymoser16k || codec == SoundCodec::kNellymoser8k || codec == SoundCodec::kNellymoser;
}

// Nellymoser is mono whatever the tag's channel bit says.
int ChannelCount(const SoundEncoding& encoding) { return encoding.stereo && !IsNellymoser(encoding) ? 2 : 1; }

int DeclaredRate(const SoundEncoding& encoding) {
  switch (static_cast<SoundCodec>(encoding.format)) {
    case SoundCodec::kNellymoser16k: return 16000;
    case SoundCodec::kNellymoser8k: return 8000;
    default: return encoding.sampleRate;
  }
}

// Everything but MP3: the data alone says how many samples there are. Only
// the bytes that fit under the ceiling are read.
std::vector<int16_t> DecodeSelfContained(const SoundEncoding& encoding, std::span<const uint8_t> data) {
  const int channels = ChannelCount(encoding);
  const auto first = [&](size_t bytes) { return data.first(std::min(bytes, data.size())); };
  switch (static_cast<SoundCodec>(encoding.format)) {
    case SoundCodec::kPcmNativeOrder:
    case SoundCodec::kPcmLittleEndian:
      return DecodeLinearPcm(first(kMaxDecodedSamples * (encoding.sixteenBit ? 2 : 1)), encoding.sixteenBit, channels);
    case SoundCodec::kAdpcm: return DecodeAdpcm(data, channels, kMaxDecodedSamples);
    case SoundCodec::kALaw: return DecodeALaw(first(kMaxDecodedSamples), channels);
    case SoundCodec::kMuLaw: return DecodeMuLaw(first(kMaxDecodedSamples), channels);
    case SoundCodec::kNellymoser16k:
    case SoundCodec::kNellymoser8k:
    case SoundCodec::kNellymoser: return DecodeNellymoser(data, kMaxDecodedSamples);
    default: return {};
  }
}

// Appends `part` to `sound` in the sound's channel count (mono is doubled,
// stereo averaged). Parts of another rate than the sound's are dropped: a
// stream that changes rate midway is damaged.
void AppendConverted(PcmSound& sound, const PcmSound& part) {
  if (part.channels < 1 || part.channels > 2 || part.sampleRate != sound.sampleRate) return;
  const size_t room = kMaxDecodedSamples - std::min(sound.samples.size(), kMaxDecodedSamples);
  if (part.channels == sound.channels) {
    const size_t count = std::min(part.samples.size(), room);
    sound.samples.insert(sound.samples.end(), part.samples.begin(), part.samples.begin() + static_cast<ptrdiff_t>(count));
    return;
  }
  const size_t frames = std::min(part.FrameCount(), room / static_cast<size_t>(sound.channels));
  for (size_t i = 0; i < frames; ++i) {
    if (part.channels == 1) {
      sound.samples.push_back(part.samples[i]);
      sound.samples.push_back(part.samples[i]);
    } else {
      sound.samples.push_back(static_cast<int16_t>((part.samples[2 * i] + part.samples[2 * i + 1]) / 2));
    }
  }
}

// Feeds `frames` to `mp3` and appends the result to `sound`; the first
// decoded part sets the sound's rate when it has none yet.
void DecodeMp3Frames(Mp3Decoder& mp3, std::span<const uint8_t> frames, PcmSound& sound) {
  std::vector<PcmSound> parts;
  for (size_t offset = 0; offset < frames.size() && sound.samples.size() < kMaxDecodedSamples;
       offset += kMp3FeedSlice) {
    parts.clear();
    mp3.Feed(frames.subspan(offset, std::min(kMp3FeedSlice, frames.size() - offset)), parts);
    for (const PcmSound& part : parts) {
      if (sound.sampleRate == 0) sound.sampleRate = part.sampleRate;
      AppendConverted(sound, part);
    }
  }
}

int ReadSigned16(std::span<const uint8_t> data, size_t offset) {
  return static_cast<int16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace

PcmSound DecodeEventSound(const SoundEncoding& encoding, std::span<const uint8_t> data, Mp3Decoder* mp3) {
  PcmSound sound;
  sound.channels = ChannelCount(encoding);
  if (static_cast<SoundCodec>(encoding.format) != SoundCodec::kMp3) {
    sound.sampleRate = DeclaredRate(encoding);
    sound.samples = DecodeSelfContained(encoding, data);
    return sound;
  }
  if (mp3 == nullptr || data.size() < 2) {
    sound.sampleRate = DeclaredRate(encoding);
    return sound;
  }
  const int seekSamples = ReadSigned16(data, 0);
  DecodeMp3Frames(*mp3, data.subspan(2), sound);
  if (sound.sampleRate == 0) sound.sampleRate = DeclaredRate(encoding);
  const size_t skip = std::min(static_cast<size_t>(std::max(seekSamples, 0)) * static_cast<size_t>(sound.channels),
                               sound.samples.size());
  sound.samples.erase(sound.samples.begin(), sound.samples.begin() + static_cast<ptrdiff_t>(skip));
  return sound;
}

StreamSoundDecoder::StreamSoundDecoder(const SoundEncoding& encoding, std::unique_ptr<Mp3Decoder> mp3)
    : encoding_(encoding), mp3_(std::move(mp3)) {
  if (IsNellymoser(encoding)) nellymoser_ = std::make_unique<NellymoserStream>();
}

PcmSound StreamSoundDecoder::DecodeBlock(std::span<const uint8_t> block) {
  if (nellymoser_ != nullptr) {
    PcmSound sound;
    sound.sampleRate = DeclaredRate(encoding_);
    nellymoser_->Decode(block, kMaxDecodedSamples, sound.samples);
    return sound;
  }
  if (static_cast<SoundCodec>(encoding_.format) != SoundCodec::kMp3) {
    return DecodeEventSound(encoding_, block, nullptr);
  }
  PcmSound sound;
  sound.channels = ChannelCount(encoding_);
  sound.sampleRate = mp3Rate_;
  // The sample and seek counts are for the timeline's pacing, not decoding.
  if (mp3_ != nullptr && block.size() > 4) DecodeMp3Frames(*mp3_, block.subspan(4), sound);
  if (mp3Rate_ == 0) mp3Rate_ = sound.sampleRate;
  if (sound.sampleRate == 0) sound.sampleRate = DeclaredRate(encoding_);
  return sound;
}

}  // namespace swf
