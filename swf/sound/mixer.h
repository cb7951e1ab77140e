#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "swf/sound/pcm_sound.h"

namespace swf {

// How a voice's two channels reach the output, as the Sound object's
// setTransform states it (each 0..1), with its volume on top. Mono sounds
// feed both inputs.
struct SoundTransform {
  float leftToLeft = 1;
  float rightToLeft = 0;
  float leftToRight = 0;
  float rightToRight = 1;
  float volume = 1;

  // Pan from -1 (left only) to 1 (right only): the far side is turned down.
  static SoundTransform Pan(float pan, float volume = 1);
};

// A point of a sound's volume envelope: from its start, in 44.1 kHz samples,
// levels 0..32768 (full), linear between points.
struct EnvelopePoint {
  uint32_t position44 = 0;
  uint16_t left = 32768;
  uint16_t right = 32768;
};

// How an event sound plays (the tags' SOUNDINFO, without the sync flags that
// decide whether it starts at all). Points are in 44.1 kHz samples of the
// sound, whatever its rate.
struct EventPlayback {
  uint32_t inPoint44 = 0;
  std::optional<uint32_t> outPoint44;
  uint32_t loops = 1;  // plays this many times, at least once
  std::vector<EnvelopePoint> envelope;
  uint32_t group = 0;  // whose transform applies (SetGroupTransform)
};

// Samples of a stream as its timeline hands them over, a frame's block at a
// time; nothing once there are no more (the stream ends when played out).
class StreamSource {
 public:
  virtual ~StreamSource() = default;
  virtual std::optional<PcmSound> NextBlock() = 0;
};

// Mixes the playing sounds into 44.1 kHz interleaved stereo 16-bit for the
// host's device, which pulls it. Each voice is resampled from its own rate
// (linear between samples). At most kMaxVoices sound at once, streams
// included; a sound started beyond that is not heard. Not thread-safe: the
// owner serialises calls.
class Mixer {
 public:
  static constexpr int kOutputRate = 44100;
  static constexpr size_t kMaxVoices = 32;

  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Starts `sound` (shared with any other voice playing it) under `soundKey`,
  // by which it can be stopped. False when all voices are busy.
  bool StartEvent(uint64_t soundKey, std::shared_ptr<const PcmSound> sound, const EventPlayback& playback);
  bool IsPlaying(uint64_t soundKey) const;
  void StopEvent(uint64_t soundKey);  // every voice of that key
  // Every event sound whose transform is `group`'s.
  void StopGroup(uint32_t group);
  // Every event sound and stream.
  void StopAll();

  // A stream plays its source's blocks one after another with no gap; the
  // first `skipSamples` (a channel, at the stream's rate) are dropped, as a
  // stream head's latency asks. One stream per key; starting one replaces it.
  bool StartStream(uint64_t streamKey, std::unique_ptr<StreamSource> source, size_t skipSamples, uint32_t group = 0);
  void StopStream(uint64_t streamKey);
  // Output samples (a channel) of the stream mixed so far; nothing once it
  // ended or was stopped.
  std::optional<uint64_t> StreamPosition(uint64_t streamKey) const;
  std::vector<uint64_t> StreamKeys() const;

  void SetGroupTransform(uint32_t group, const SoundTransform& transform);
  void SetMasterTransform(const SoundTransform& transform) { master_ = transform; }

  size_t VoiceCount() const;
  void Mix(std::span<int16_t> interleavedStereo);

 private:
  struct Voice;
  const SoundTransform& GroupTransform(uint32_t group) const;

  std::vector<std::unique_ptr<Voice>> voices_;
  std::vector<std::pair<uint32_t, SoundTransform>> groupTransforms_;
  SoundTransform master_;
  std::vector<int32_t> accumulator_;
};

}  // namespace swf
