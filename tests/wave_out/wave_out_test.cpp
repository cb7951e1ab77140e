// The wave-out output on Wine's sound driver, which the test environment
// points at ALSA's null device: buffers go to a real device path and come
// back, and what was written is counted.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>

#include "player/wave_out.h"

namespace {

using player::WaveOut;

// Waits up to five seconds for `done`.
bool Eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    Sleep(10);
  }
  return done();
}

class WaveOutTest : public testing::Test {
 protected:
  WaveOut out{[this](std::span<int16_t> samples) {
    for (size_t i = 0; i < samples.size(); i += 2) {
      const auto value = static_cast<int16_t>(8000 * std::sin(static_cast<double>(phase_++) * 0.06));
      samples[i] = value;
      samples[i + 1] = value;
    }
    pulls_ += 1;
  }};
  std::atomic<int> pulls_ = 0;
  uint64_t phase_ = 0;
};

TEST_F(WaveOutTest, WritesWhatItPullsUntilPausedMutedOrStopped) {
  ASSERT_TRUE(out.HasDevice()) << "no wave-out device: Wine's sound should go to ALSA's null device";
  EXPECT_FALSE(out.IsPlaying());
  ASSERT_TRUE(out.Start());
  ASSERT_TRUE(Eventually([&] { return out.Written().buffers >= 3 * WaveOut::kBuffers; }));
  EXPECT_EQ(out.Written().audibleBuffers, out.Written().buffers);

  out.Pause();
  EXPECT_FALSE(out.IsPlaying());
  const int pullsWhenPaused = pulls_;
  Sleep(300);
  EXPECT_EQ(pulls_, pullsWhenPaused);

  out.SetMuted(true);
  ASSERT_TRUE(out.Start());
  const WaveOut::Counts beforeMute = out.Written();
  ASSERT_TRUE(Eventually([&] { return out.Written().buffers >= beforeMute.buffers + 2 * WaveOut::kBuffers; }));
  // Muted: still pulled (the movie's clock goes on), written as silence.
  EXPECT_GT(pulls_, pullsWhenPaused);
  EXPECT_EQ(out.Written().audibleBuffers, beforeMute.audibleBuffers);

  out.Stop();
  const WaveOut::Counts stopped = out.Written();
  Sleep(300);
  EXPECT_EQ(out.Written().buffers, stopped.buffers);
}

}  // namespace
