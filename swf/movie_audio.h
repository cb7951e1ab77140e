#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "swf/host_services.h"
#include "swf/parse/movie.h"
#include "swf/runtime/script_sounds.h"
#include "swf/runtime/sound_frames.h"
#include "swf/runtime/stage.h"
#include "swf/sound/mixer.h"

namespace swf {

// A movie's sound: the event sounds its frames (and buttons and scripts)
// start, and the streams of its timelines, mixed for the host's device.
// Frames are told from the thread that runs the movie; Pull may come from
// the device's own thread, so the mixer is behind a lock.
//
// A stream reads its timeline's blocks ahead of the frames, from the frame
// it started at, so that a device buffering ahead never runs dry; the frame
// the stream has reached (StreamFrame) is what the player's clock follows.
// When a timeline enters a frame more than one away from where its stream
// is, the stream starts again from that frame.
class MovieAudio {
 public:
  MovieAudio(const ParsedMovie& movie, HostServices* host, double frameRate);

  // The frames with sound the runtime entered in one step, then the clips
  // whose streams go quiet: gone or stopped.
  void EnterFrames(std::span<const SoundFrame> frames, const Stage& stage);

  // Starts (or, by its sync flags, stops or leaves) sound `soundId` of
  // `movie` (null: the root's) as `info` says: the way in for button
  // sounds and scripts. `group` picks the transform that applies.
  void StartEventSound(const ParsedMovie* movie, uint16_t soundId, const SoundInfo& info, uint32_t group = 0);
  void StopAllSounds();
  // What the Sound objects asked for since the last step, in order.
  void RunScriptRequests(std::span<const ScriptSoundRequest> requests);
  // Transforms for the Sound object: one for the sounds of a group (a clip's
  // sounds), one over everything (a Sound of no clip); muting is on top.
  void SetGroupTransform(uint32_t group, const SoundTransform& transform);
  void SetMasterTransform(const SoundTransform& transform);
  void SetMuted(bool muted);

  // The frame of `clip`'s timeline its stream has reached; nothing when it
  // has no stream playing. What was pulled but is still queued in the device
  // (SetOutputLatency) is not heard yet, so it does not count.
  std::optional<size_t> StreamFrame(ObjectHandle clip) const;
  void SetOutputLatency(double seconds);

  // The next samples of the mix (interleaved stereo at Mixer::kOutputRate).
  void Pull(std::span<int16_t> interleavedStereo);

 private:
  struct StreamStart {
    size_t frame = 0;
  };
  void EnterFrame(const SoundFrame& frame);
  void ApplyMaster();  // under the lock
  void StartStream(const SoundFrame& frame);
  std::shared_ptr<const PcmSound> Decoded(const ParsedMovie& movie, uint16_t soundId);
  uint64_t EventKey(const ParsedMovie& movie, uint16_t soundId);
  std::shared_ptr<const PcmSound> DecodedMp3(uint64_t key, const std::vector<uint8_t>& bytes);
  std::optional<size_t> StreamFrameLocked(ObjectHandle clip) const;

  const ParsedMovie& root_;
  HostServices* host_;
  double frameRate_;
  uint64_t latencySamples_ = 0;
  // Decoded event sounds by movie and id, kept for the movie's life.
  std::map<std::pair<const ParsedMovie*, uint16_t>, std::shared_ptr<const PcmSound>> decoded_;
  std::map<uint64_t, std::shared_ptr<const PcmSound>> decodedLoaded_;  // loadSound's, by key
  std::vector<const ParsedMovie*> movies_;  // the index is the movie's part of an event key
  std::map<uint64_t, StreamStart> streamStarts_;

  mutable std::mutex mutex_;  // guards what follows
  Mixer mixer_;
  SoundTransform master_;
  bool muted_ = false;
};

}  // namespace swf
