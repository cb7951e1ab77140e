#include "swf/sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// Positions in a sound are 32.32 fixed point, in frames of the sound's rate.
constexpr int kFractionBits = 32;
constexpr uint64_t kOne = uint64_t{1} << kFractionBits;

uint64_t StepFor(int sampleRate) {
  return (static_cast<uint64_t>(std::max(sampleRate, 1)) << kFractionBits) / Mixer::kOutputRate;
}

// 44.1 kHz samples to frames of a sound at `sampleRate`.
uint64_t FramesAt(uint64_t samples44, int sampleRate) {
  return samples44 * static_cast<uint64_t>(std::max(sampleRate, 0)) / Mixer::kOutputRate;
}

// The envelope's levels (0..1) `elapsed` output samples after the start.
std::pair<float, float> EnvelopeAt(const std::vector<EnvelopePoint>& envelope, uint64_t elapsed) {
  if (envelope.empty()) return {1.0f, 1.0f};
  const auto level = [](uint16_t value) { return std::min(value, uint16_t{32768}) / 32768.0f; };
  if (elapsed <= envelope.front().position44) return {level(envelope.front().left), level(envelope.front().right)};
  for (size_t i = 1; i < envelope.size(); ++i) {
    const EnvelopePoint& a = envelope[i - 1];
    const EnvelopePoint& b = envelope[i];
    if (elapsed > b.position44) continue;
    const float t = b.position44 > a.position44
                        ? static_cast<float>(elapsed - a.position44) / static_cast<float>(b.position44 - a.position44)
                        : 1.0f;
    return {level(a.left) + (level(b.left) - level(a.left)) * t, level(a.right) + (level(b.right) - level(a.right)) * t};
  }
  return {level(envelope.back().left), level(envelope.back().right)};
}

}  // namespace

SoundTransform SoundTransform::Pan(float pan, float volume) {
  pan = std::clamp(pan, -1.0f, 1.0f);
  SoundTransform transform;
  transform.leftToLeft = pan > 0 ? 1 - pan : 1;
  transform.rightToRight = pan < 0 ? 1 + pan : 1;
  transform.volume = volume;
  return transform;
}

// One playing sound: an event sound over a shared decoded sound, or a
// stream over the samples its source has handed over so far.
struct Mixer::Voice {
  uint64_t key = 0;
  bool isStream = false;
  uint32_t group = 0;
  uint64_t elapsed = 0;  // output samples mixed
  bool finished = false;

  // Event sounds.
  std::shared_ptr<const PcmSound> sound;
  uint64_t firstFrame = 0;  // the in point
  uint64_t endFrame = 0;    // the out point, exclusive
  uint32_t loopsLeft = 1;
  std::vector<EnvelopePoint> envelope;

  // Streams: samples not yet played, at the rate and channels of the first block.
  std::unique_ptr<StreamSource> source;
  PcmSound buffered;
  size_t skip = 0;
  bool sourceDone = false;

  uint64_t position = 0;  // 32.32 frames into `sound` or `buffered`
  uint64_t step = 0;

  const PcmSound& Samples() const { return isStream ? buffered : *sound; }
  uint64_t End() const { return isStream ? buffered.FrameCount() : endFrame; }

  // Makes sure the frame after the current one is there if it can be
  // (streams fetch blocks as they go); false when the voice has finished.
  bool Ready() {
    if (!isStream) {
      while ((position >> kFractionBits) >= endFrame) {
        if (loopsLeft <= 1 || endFrame <= firstFrame) return false;
        --loopsLeft;
        position = (firstFrame << kFractionBits) + (position - (endFrame << kFractionBits));
        if ((position >> kFractionBits) >= endFrame) position = firstFrame << kFractionBits;
      }
      return true;
    }
    while (!sourceDone && (position >> kFractionBits) + 1 >= buffered.FrameCount()) FetchBlock();
    return (position >> kFractionBits) < buffered.FrameCount();
  }

  void FetchBlock() {
    std::optional<PcmSound> block = source->NextBlock();
    if (!block) {
      sourceDone = true;
      return;
    }
    if (buffered.sampleRate == 0) {
      if (block->sampleRate <= 0 || block->channels < 1 || block->channels > 2) return;
      buffered.sampleRate = block->sampleRate;
      buffered.channels = block->channels;
      step = StepFor(block->sampleRate);
    }
    if (block->sampleRate != buffered.sampleRate || block->channels != buffered.channels) return;
    // Drop what has been played, keeping the current frame for interpolation.
    const size_t played = static_cast<size_t>(position >> kFractionBits);
    if (played > 0 && played <= buffered.FrameCount()) {
      buffered.samples.erase(buffered.samples.begin(),
                             buffered.samples.begin() + static_cast<ptrdiff_t>(played * static_cast<size_t>(buffered.channels)));
      position -= static_cast<uint64_t>(played) << kFractionBits;
    }
    const size_t skipped = std::min(skip, block->FrameCount());
    skip -= skipped;
    buffered.samples.insert(buffered.samples.end(),
                            block->samples.begin() + static_cast<ptrdiff_t>(skipped * static_cast<size_t>(block->channels)),
                            block->samples.end());
  }
};

Mixer::Mixer() = default;
Mixer::~Mixer() = default;

bool Mixer::StartEvent(uint64_t soundKey, std::shared_ptr<const PcmSound> sound, const EventPlayback& playback) {
  if (voices_.size() >= kMaxVoices || sound == nullptr || sound->channels < 1 || sound->channels > 2) return false;
  auto voice = std::make_unique<Voice>();
  voice->key = soundKey;
  voice->group = playback.group;
  const uint64_t frames = sound->FrameCount();
  voice->firstFrame = std::min(FramesAt(playback.inPoint44, sound->sampleRate), frames);
  voice->endFrame = playback.outPoint44 ? std::min(FramesAt(*playback.outPoint44, sound->sampleRate), frames) : frames;
  voice->loopsLeft = std::max<uint32_t>(playback.loops, 1);
  voice->envelope = playback.envelope;
  voice->position = voice->firstFrame << kFractionBits;
  voice->step = StepFor(sound->sampleRate);
  voice->sound = std::move(sound);
  if (voice->endFrame <= voice->firstFrame) return true;  // nothing to play: started and done
  voices_.push_back(std::move(voice));
  return true;
}

bool Mixer::IsPlaying(uint64_t soundKey) const {
  return std::any_of(voices_.begin(), voices_.end(),
                     [&](const auto& voice) { return !voice->isStream && voice->key == soundKey; });
}

void Mixer::StopEvent(uint64_t soundKey) {
  std::erase_if(voices_, [&](const auto& voice) { return !voice->isStream && voice->key == soundKey; });
}

void Mixer::StopGroup(uint32_t group) {
  std::erase_if(voices_, [&](const auto& voice) { return !voice->isStream && voice->group == group; });
}

void Mixer::StopAll() { voices_.clear(); }

bool Mixer::StartStream(uint64_t streamKey, std::unique_ptr<StreamSource> source, size_t skipSamples, uint32_t group) {
  StopStream(streamKey);
  if (voices_.size() >= kMaxVoices || source == nullptr) return false;
  auto voice = std::make_unique<Voice>();
  voice->key = streamKey;
  voice->isStream = true;
  voice->group = group;
  voice->source = std::move(source);
  voice->skip = skipSamples;
  voices_.push_back(std::move(voice));
  return true;
}

void Mixer::StopStream(uint64_t streamKey) {
  std::erase_if(voices_, [&](const auto& voice) { return voice->isStream && voice->key == streamKey; });
}

std::optional<uint64_t> Mixer::StreamPosition(uint64_t streamKey) const {
  for (const auto& voice : voices_) {
    if (voice->isStream && voice->key == streamKey) return voice->elapsed;
  }
  return std::nullopt;
}

std::vector<uint64_t> Mixer::StreamKeys() const {
  std::vector<uint64_t> keys;
  for (const auto& voice : voices_) {
    if (voice->isStream) keys.push_back(voice->key);
  }
  return keys;
}

void Mixer::SetGroupTransform(uint32_t group, const SoundTransform& transform) {
  for (auto& [key, value] : groupTransforms_) {
    if (key == group) {
      value = transform;
      return;
    }
  }
  groupTransforms_.emplace_back(group, transform);
}

const SoundTransform& Mixer::GroupTransform(uint32_t group) const {
  static constexpr SoundTransform kIdentity;
  for (const auto& [key, value] : groupTransforms_) {
    if (key == group) return value;
  }
  return kIdentity;
}

size_t Mixer::VoiceCount() const { return voices_.size(); }

void Mixer::Mix(std::span<int16_t> out) {
  const size_t frames = out.size() / 2;
  accumulator_.assign(frames * 2, 0);
  for (auto& voice : voices_) {
    const SoundTransform& group = GroupTransform(voice->group);
    for (size_t i = 0; i < frames; ++i) {
      if (!voice->Ready()) {
        voice->finished = true;
        break;
      }
      const PcmSound& samples = voice->Samples();
      const size_t channels = static_cast<size_t>(samples.channels);
      const uint64_t at = voice->position >> kFractionBits;
      const uint64_t next = std::min(at + 1, std::max<uint64_t>(voice->End(), 1) - 1);
      const float t = static_cast<float>(voice->position & (kOne - 1)) / static_cast<float>(kOne);
      const auto sample = [&](uint64_t frame, size_t channel) {
        return static_cast<float>(samples.samples[static_cast<size_t>(frame) * channels + channel]);
      };
      const size_t right = channels - 1;
      float left = sample(at, 0) + (sample(next, 0) - sample(at, 0)) * t;
      float rightValue = sample(at, right) + (sample(next, right) - sample(at, right)) * t;
      const auto [envelopeLeft, envelopeRight] = EnvelopeAt(voice->envelope, voice->elapsed);
      left *= envelopeLeft;
      rightValue *= envelopeRight;
      float outLeft = left * group.leftToLeft + rightValue * group.rightToLeft;
      float outRight = left * group.leftToRight + rightValue * group.rightToRight;
      const float volume = group.volume * master_.volume;
      const float masterLeft = (outLeft * master_.leftToLeft + outRight * master_.rightToLeft) * volume;
      const float masterRight = (outLeft * master_.leftToRight + outRight * master_.rightToRight) * volume;
      accumulator_[2 * i] += static_cast<int32_t>(std::lrint(masterLeft));
      accumulator_[2 * i + 1] += static_cast<int32_t>(std::lrint(masterRight));
      voice->position += voice->step;
      ++voice->elapsed;
    }
  }
  std::erase_if(voices_, [](const auto& voice) { return voice->finished; });
  for (size_t i = 0; i < frames * 2; ++i) {
    out[i] = static_cast<int16_t>(std::clamp(accumulator_[i], int32_t{-32768}, int32_t{32767}));
  }
  if (out.size() % 2 != 0) out.back() = 0;
}

}  // namespace swf
