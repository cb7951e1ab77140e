#pragma once
// Plays a player's sound through the system's wave-out device. A thread of
// its own keeps a few buffers queued, each filled by the pull function when
// the device hands it back, so the sound goes on while the window's thread is
// busy. Without a device everything here still works and nothing is heard.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace player {

class WaveOut {
 public:
  // Fills interleaved 16-bit stereo samples at kSampleRate; called on the
  // output's own thread.
  using Pull = std::function<void(std::span<int16_t> interleavedStereo)>;
  static constexpr int kSampleRate = 44100;
  // Queued ahead: kBuffers of kBufferMilliseconds.
  static constexpr int kBuffers = 4;
  static constexpr int kBufferMilliseconds = 50;
  // Pulled samples are heard about this much later (swf::Player::SetOutputLatency).
  static constexpr double kLatencySeconds = kBuffers * kBufferMilliseconds / 1000.0;

  explicit WaveOut(Pull pull);
  ~WaveOut();
  WaveOut(const WaveOut&) = delete;
  WaveOut& operator=(const WaveOut&) = delete;

  // Starts (or resumes) playing; false when there is no device, which is not
  // an error: the sound is simply not heard.
  bool Start();
  // Silences at once and stops pulling; Start goes on from there.
  void Pause();
  // Silences at once and drops what was queued.
  void Stop();
  // Keeps pulling (the movie's clock follows the sound) but plays silence.
  void SetMuted(bool muted);

  bool HasDevice() const;
  bool IsPlaying() const;

  // What was handed to the device, for checks: buffers written, and of them
  // those with a sample other than zero.
  struct Counts {
    uint64_t buffers = 0;
    uint64_t audibleBuffers = 0;
  };
  Counts Written() const;

 private:
  class Device;
  std::unique_ptr<Device> device_;
};

}  // namespace player
