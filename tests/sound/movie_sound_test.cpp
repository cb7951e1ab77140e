// Sounds of movies built in code, played by the player as a host pulls them:
// when event sounds start and stop by their frames' tags, and how the frame
// clock follows a stream.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "sound/sound_movies.h"
#include "swf/player.h"

namespace {

using sound_testing::FormatByte;
using sound_testing::Info;
using swftest::Bytes;

constexpr int kFrameRate = 12;
constexpr size_t kSamplesPerFrame = 44100 / kFrameRate;  // 3675

// A second of 16-bit mono at 44.1 kHz, every sample `level`.
Bytes ConstantSound(uint16_t id, int16_t level) {
  const std::vector<int16_t> samples(44100, level);
  return sound_testing::DefineSound(id, FormatByte(3, 3, true, false), 44100, sound_testing::PcmBytes(samples));
}

Bytes MovieOf(std::vector<Bytes> tags, uint16_t frames) {
  return swftest::Movie(tags, swftest::Signature::kFws, 9, {0, 4000, 0, 3000}, kFrameRate << 8, frames);
}

// Each frame's samples, left channel, as the console tool pulls them.
std::vector<std::vector<int16_t>> PlayFrames(swf::Player& player, int frames) {
  std::vector<std::vector<int16_t>> out;
  for (int i = 0; i < frames; ++i) {
    std::vector<int16_t> stereo(kSamplesPerFrame * 2);
    player.PullAudio(stereo);
    std::vector<int16_t> left;
    for (size_t s = 0; s < stereo.size(); s += 2) left.push_back(stereo[s]);
    out.push_back(std::move(left));
    player.Advance(player.FrameInterval());
  }
  return out;
}

struct EventTimingCase {
  const char* name;
  // Tags of frames 0..5, beyond the sound's definition.
  std::vector<std::vector<Bytes>> frames;
  std::vector<int> levels;  // the first sample's level in each frame
};
void PrintTo(const EventTimingCase& c, std::ostream* os) { *os << c.name; }

class EventSoundsByFrame : public testing::TestWithParam<EventTimingCase> {};

TEST_P(EventSoundsByFrame, StartAndStopWithTheirFrames) {
  const EventTimingCase& c = GetParam();
  std::vector<Bytes> tags = {ConstantSound(1, 1000), ConstantSound(2, 300)};
  for (const auto& frame : c.frames) {
    tags.insert(tags.end(), frame.begin(), frame.end());
    tags.push_back(swftest::ShowFrame());
  }
  const Bytes movie = MovieOf(tags, static_cast<uint16_t>(c.frames.size()));
  swf::Player player(movie);
  const auto frames = PlayFrames(player, static_cast<int>(c.levels.size()));
  for (size_t i = 0; i < c.levels.size(); ++i) {
    EXPECT_EQ(frames[i][0], c.levels[i]) << "frame " << i;
    EXPECT_EQ(frames[i].back(), c.levels[i]) << "end of frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventSoundsByFrame,
    testing::Values(
        EventTimingCase{"startsWithItsFrame", {{}, {}, {sound_testing::StartSound(1)}, {}, {}, {}}, {0, 0, 1000, 1000, 1000, 1000}},
        EventTimingCase{"twoSoundsAdd", {{sound_testing::StartSound(1)}, {sound_testing::StartSound(2)}, {}}, {1000, 1300, 1300}},
        EventTimingCase{"againPlaysTwice", {{sound_testing::StartSound(1)}, {sound_testing::StartSound(1)}, {}}, {1000, 2000, 2000}},
        EventTimingCase{"noMultipleLeavesItAlone",
                        {{sound_testing::StartSound(1)}, {sound_testing::StartSound(1, Info{false, true})}, {}},
                        {1000, 1000, 1000}},
        EventTimingCase{"stopEndsIt",
                        {{sound_testing::StartSound(1), sound_testing::StartSound(2)}, {}, {sound_testing::StartSound(1, Info{true})}, {}},
                        {1300, 1300, 300, 300}},
        // A second at 12 frames a second ends in frame 12; a loop plays on.
        EventTimingCase{"endsAfterASecond", {{sound_testing::StartSound(1)}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}},
                        {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 0, 0}},
        EventTimingCase{"loopsPlayOn",
                        {{sound_testing::StartSound(1, Info{false, false, 2})}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}},
                        {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}}),
    [](const testing::TestParamInfo<EventTimingCase>& tested) { return std::string(tested.param.name); });

TEST(ButtonAndScriptSounds, StartByIdThroughThePlayer) {
  swf::Player player(MovieOf({ConstantSound(4, 700), swftest::ShowFrame()}, 1));
  player.StartSound(4, {});
  player.StartSound(9, {});  // no such sound: nothing
  std::vector<int16_t> stereo(20);
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[0], 700);
  EXPECT_EQ(stereo[1], 700);
  player.Audio().SetMasterTransform(swf::SoundTransform::Pan(1, 0.5f));
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[0], 0);
  EXPECT_EQ(stereo[1], 350);
  player.SetMuted(true);
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[1], 0);
  player.SetMuted(false);  // the movie's own transform comes back
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[1], 350);
  player.StopAllSounds();
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[0], 0);
}

// A stream of `frames` frames of 22.05 kHz PCM whose samples tell their
// frame: 100 + 10 x frame. Blocks alternate 1837 and 1838 samples.
Bytes MarkedStreamMovie(int frames) {
  std::vector<Bytes> tags = {sound_testing::StreamHead(FormatByte(3, 2, true, false), 1837)};
  size_t written = 0;
  for (int frame = 0; frame < frames; ++frame) {
    const size_t end = static_cast<size_t>(std::floor((frame + 1) * 22050.0 / kFrameRate));
    const std::vector<int16_t> block(end - written, static_cast<int16_t>(100 + 10 * frame));
    written = end;
    tags.push_back(sound_testing::StreamBlock(sound_testing::PcmBytes(block)));
    tags.push_back(swftest::ShowFrame());
  }
  return MovieOf(tags, static_cast<uint16_t>(frames));
}

// A device that pulls 100 ms at a time while the GUI's timer runs late and
// unevenly: the frames keep to the sound, within a frame, for a minute.
TEST(StreamSound, TheFrameClockFollowsTheAudio) {
  const Bytes movie = MarkedStreamMovie(60 * kFrameRate);
  swf::Player player(movie);
  std::vector<int16_t> stereo(4410 * 2);
  const double lateTimer[] = {0.06, 0.13, 0.09, 0.2};
  int worst = 0;
  for (int pull = 0; pull < 590; ++pull) {
    player.PullAudio(stereo);
    const int heard = (stereo[stereo.size() - 2] - 100) / 10;  // the frame of the last sample pulled
    player.Advance(lateTimer[pull % 4]);
    worst = std::max(worst, std::abs(static_cast<int>(player.CurrentFrame()) - heard));
    ASSERT_LE(std::abs(static_cast<int>(player.CurrentFrame()) - heard), 1) << "pull " << pull;
  }
  EXPECT_GT(player.CurrentFrame(), 700u);
  RecordProperty("worst_frame_difference", worst);
}

// A device that holds 0.25 s before it is heard: the frames keep to what is
// heard, three frames behind what was pulled.
TEST(StreamSound, TheFramesFollowWhatIsHeard) {
  const Bytes movie = MarkedStreamMovie(40);
  swf::Player player(movie);
  player.SetOutputLatency(0.25);
  std::vector<int16_t> stereo(kSamplesPerFrame * 2);
  for (int i = 0; i < 20; ++i) {
    player.PullAudio(stereo);
    player.Advance(0.01);
  }
  EXPECT_EQ(player.CurrentFrame(), 17u);
}

// Without a device pulling, frames keep to the timer; the stream starts again
// where the frames are once a device pulls.
TEST(StreamSound, WithoutAudioPulledTheTimerLeads) {
  const Bytes movie = MarkedStreamMovie(40);
  swf::Player player(movie);
  for (int i = 0; i < 10; ++i) player.Advance(player.FrameInterval());
  EXPECT_EQ(player.CurrentFrame(), 10u);
  std::vector<int16_t> stereo(200);
  player.PullAudio(stereo);
  EXPECT_NEAR(stereo[0], 200, 10);  // frame 10's samples, or 9's
  player.Stop();
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[0], 0);  // a stopped timeline's stream is quiet
}

}  // namespace
