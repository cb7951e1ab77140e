// The mixer on sounds made in code: where each voice's samples land in the
// 44.1 kHz stereo output, and at what level.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "swf/sound/mixer.h"

namespace {

using swf::EventPlayback;
using swf::Mixer;
using swf::PcmSound;

std::shared_ptr<const PcmSound> Constant(int rate, int channels, size_t frames, int16_t left, int16_t right = 0) {
  auto sound = std::make_shared<PcmSound>();
  sound->sampleRate = rate;
  sound->channels = channels;
  for (size_t i = 0; i < frames; ++i) {
    sound->samples.push_back(left);
    if (channels == 2) sound->samples.push_back(right);
  }
  return sound;
}

// Mono samples 0, 10, 20, ...: a sample's value says where it came from.
std::shared_ptr<const PcmSound> Ramp(int rate, size_t frames) {
  auto sound = std::make_shared<PcmSound>();
  sound->sampleRate = rate;
  for (size_t i = 0; i < frames; ++i) sound->samples.push_back(static_cast<int16_t>(10 * i));
  return sound;
}

std::vector<int16_t> MixFrames(Mixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2, 1234);
  mixer.Mix(out);
  return out;
}

struct EventCase {
  const char* name;
  std::shared_ptr<const PcmSound> sound;
  EventPlayback playback;
  // Output frame -> expected left and right.
  std::vector<std::tuple<size_t, int, int>> expected;
  size_t audibleFrames;  // then silence
};
void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class MixerEvents : public testing::TestWithParam<EventCase> {};

TEST_P(MixerEvents, PlaceSamplesAndLevels) {
  const EventCase& c = GetParam();
  Mixer mixer;
  ASSERT_TRUE(mixer.StartEvent(1, c.sound, c.playback));
  const std::vector<int16_t> out = MixFrames(mixer, c.audibleFrames + 50);
  for (const auto& [frame, left, right] : c.expected) {
    SCOPED_TRACE(frame);
    EXPECT_NEAR(out[2 * frame], left, 1);
    EXPECT_NEAR(out[2 * frame + 1], right, 1);
  }
  // The sound ends where it should: its last frame holds something, then
  // silence, and the voice is gone.
  EXPECT_NE(out[2 * (c.audibleFrames - 1)] | out[2 * (c.audibleFrames - 1) + 1], 0);
  for (size_t i = c.audibleFrames; i < c.audibleFrames + 50; ++i) ASSERT_EQ(out[2 * i] | out[2 * i + 1], 0) << i;
  EXPECT_EQ(mixer.VoiceCount(), 0u);
}

EventPlayback WithLoops(uint32_t loops) {
  EventPlayback playback;
  playback.loops = loops;
  return playback;
}

EventPlayback WithPoints(uint32_t in, uint32_t out, uint32_t loops = 1) {
  EventPlayback playback;
  playback.inPoint44 = in;
  playback.outPoint44 = out;
  playback.loops = loops;
  return playback;
}

EventPlayback WithEnvelope(std::vector<swf::EnvelopePoint> points) {
  EventPlayback playback;
  playback.envelope = std::move(points);
  return playback;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerEvents,
    testing::Values(
        EventCase{"monoToBothSides", Ramp(44100, 100), {}, {{0, 0, 0}, {7, 70, 70}, {99, 990, 990}}, 100},
        EventCase{"stereoKeepsSides", Constant(44100, 2, 30, 1000, -2000), {}, {{0, 1000, -2000}, {29, 1000, -2000}}, 30},
        // 22.05 kHz: every other output sample falls between two samples.
        EventCase{"resampledLinearly", Ramp(22050, 50), {}, {{0, 0, 0}, {1, 5, 5}, {2, 10, 10}, {41, 205, 205}}, 100},
        EventCase{"loopsRepeat", Ramp(44100, 40), WithLoops(3), {{39, 390, 390}, {40, 0, 0}, {85, 50, 50}}, 120},
        // In and out points are 44.1 kHz samples whatever the rate; each loop
        // plays between them.
        EventCase{"inAndOutPoints", Ramp(44100, 100), WithPoints(10, 30), {{0, 100, 100}, {19, 290, 290}}, 20},
        EventCase{"pointsLoop", Ramp(44100, 100), WithPoints(10, 30, 2), {{20, 100, 100}, {39, 290, 290}}, 40},
        EventCase{"pointsAtTheSoundsRate", Ramp(11025, 100), WithPoints(40, 200), {{0, 100, 100}, {4, 110, 110}}, 160},
        EventCase{"envelopeRampsEachSide", Constant(44100, 1, 1000, 10000),
                  WithEnvelope({{0, 0, 32768}, {800, 32768, 0}}),
                  {{0, 0, 10000}, {400, 5000, 5000}, {600, 7500, 2500}, {900, 10000, 0}},
                  1000},
        EventCase{"envelopeHoldsBeforeItsFirstPoint", Constant(44100, 1, 300, 8000),
                  WithEnvelope({{100, 16384, 16384}, {200, 32768, 32768}}),
                  {{0, 4000, 4000}, {100, 4000, 4000}, {150, 6000, 6000}, {299, 8000, 8000}},
                  300}),
    [](const testing::TestParamInfo<EventCase>& tested) { return std::string(tested.param.name); });

TEST(MixerTransforms, PanVolumeAndGroups) {
  struct Case {
    swf::SoundTransform transform;
    bool stereo;  // a stereo sound of 10000 left and -3000 right, else mono 10000
    int left;
    int right;
  };
  const Case cases[] = {
      {swf::SoundTransform::Pan(-1), false, 10000, 0},
      {swf::SoundTransform::Pan(1), false, 0, 10000},
      {swf::SoundTransform::Pan(0.5f), false, 5000, 10000},
      {swf::SoundTransform::Pan(-0.25f, 0.5f), false, 5000, 3750},
      {swf::SoundTransform::Pan(1), true, 0, -3000},
      {{0, 1, 1, 0, 1}, true, -3000, 10000},  // sides swapped
  };
  for (const Case& c : cases) {
    Mixer mixer;
    mixer.SetGroupTransform(7, c.transform);
    EventPlayback playback;
    playback.group = 7;
    ASSERT_TRUE(mixer.StartEvent(1, Constant(44100, c.stereo ? 2 : 1, 10, 10000, -3000), playback));
    // Another group keeps its own (identity) transform.
    ASSERT_TRUE(mixer.StartEvent(2, Constant(44100, 1, 10, 100), {}));
    const std::vector<int16_t> out = MixFrames(mixer, 10);
    EXPECT_NEAR(out[10], c.left + 100, 1);
    EXPECT_NEAR(out[11], c.right + 100, 1);
  }
}

TEST(MixerVoices, AtMost32SoundAtOnceAndTheirSumIsClipped) {
  Mixer mixer;
  const auto sound = Constant(44100, 1, 100, 2000);
  size_t started = 0;
  for (int i = 0; i < 40; ++i) started += mixer.StartEvent(static_cast<uint64_t>(i), sound, {}) ? 1 : 0;
  EXPECT_EQ(started, Mixer::kMaxVoices);
  EXPECT_EQ(mixer.VoiceCount(), Mixer::kMaxVoices);
  const std::vector<int16_t> out = MixFrames(mixer, 10);
  EXPECT_EQ(out[0], 32767);  // 32 x 2000 does not wrap
  mixer.StopEvent(3);
  EXPECT_FALSE(mixer.IsPlaying(3));
  EXPECT_TRUE(mixer.StartEvent(99, sound, {}));
  mixer.SetMasterTransform({1, 0, 0, 1, 0});
  EXPECT_EQ(MixFrames(mixer, 10)[4], 0);  // muted
}

// Blocks of a ramp, 100 samples each, as a timeline would hand them over.
class RampBlocks : public swf::StreamSource {
 public:
  explicit RampBlocks(int blocks) : blocks_(blocks) {}
  std::optional<PcmSound> NextBlock() override {
    if (next_ == blocks_) return std::nullopt;
    PcmSound block;
    block.sampleRate = 44100;
    for (int i = 0; i < 100; ++i) block.samples.push_back(static_cast<int16_t>(next_ * 100 + i));
    ++next_;
    return block;
  }

 private:
  int blocks_;
  int next_ = 0;
};

TEST(MixerStreams, PlayBlocksWithoutGapsAfterTheSkip) {
  Mixer mixer;
  ASSERT_TRUE(mixer.StartStream(5, std::make_unique<RampBlocks>(3), 30));
  std::vector<int16_t> out;
  for (int pull = 0; pull < 4; ++pull) {  // pulls that do not line up with blocks
    const std::vector<int16_t> part = MixFrames(mixer, 77);
    out.insert(out.end(), part.begin(), part.end());
    if (pull == 0) {
      EXPECT_EQ(mixer.StreamPosition(5), 77u);
    }
  }
  for (size_t i = 0; i < 270; ++i) ASSERT_EQ(out[2 * i], static_cast<int16_t>(30 + i)) << i;
  EXPECT_EQ(out[2 * 270], 0);
  EXPECT_FALSE(mixer.StreamPosition(5).has_value());  // played out
  ASSERT_TRUE(mixer.StartStream(5, std::make_unique<RampBlocks>(3), 0));
  mixer.StopStream(5);
  EXPECT_EQ(mixer.VoiceCount(), 0u);
}

}  // namespace
