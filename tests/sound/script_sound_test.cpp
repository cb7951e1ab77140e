// Sound objects of movies built in code: a frame script attaches an
// exported sound and starts it, and the levels each side of the mix gets
// show the volume, pan and stop calls, and whose volume applies (the clip
// a Sound names, shared by every Sound of that clip; the whole movie for a
// Sound of none).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../swf/action_builder.h"
#include "sound/sound_movies.h"
#include "swf/player.h"

namespace {

using sound_testing::FormatByte;
using swftest::Bytes;
namespace act = swftest::act;

constexpr int kFrameRate = 12;
constexpr size_t kSamplesPerFrame = 44100 / kFrameRate;

// A second of 16-bit mono at 44.1 kHz, every sample 1000, exported as "snd".
std::vector<Bytes> ExportedSound() {
  const std::vector<int16_t> samples(44100, 1000);
  Bytes exportBody = {1, 0, 7, 0};
  for (const char c : std::string("snd")) exportBody.push_back(static_cast<uint8_t>(c));
  exportBody.push_back(0);
  return {sound_testing::DefineSound(7, FormatByte(3, 3, true, false), 44100, sound_testing::PcmBytes(samples)),
          swftest::Tag(56, exportBody)};
}

using Script = std::vector<Bytes>;

// name = new Sound() or new Sound(_root).
Script NewSound(const std::string& name, bool ofRoot) {
  Script out = {act::PushString(name)};
  if (ofRoot) {
    out.push_back(act::PushString("_root"));
    out.push_back(act::Simple(0x1C));  // GetVariable
  }
  out.push_back(act::PushInteger(ofRoot ? 1 : 0));
  out.push_back(act::PushString("Sound"));
  out.push_back(act::Simple(0x40));  // NewObject
  out.push_back(act::Simple(0x1D));  // SetVariable
  return out;
}

// name.method(args), its result dropped.
Script Call(const std::string& name, const std::string& method, std::vector<Bytes> args = {}) {
  Script out(args.rbegin(), args.rend());
  out.push_back(act::PushInteger(static_cast<int32_t>(args.size())));
  out.push_back(act::PushString(name));
  out.push_back(act::Simple(0x1C));  // GetVariable
  out.push_back(act::PushString(method));
  out.push_back(act::Simple(0x52));  // CallMethod
  out.push_back(act::Simple(0x17));  // Pop
  return out;
}

Script Join(std::initializer_list<Script> parts) {
  Script out;
  for (const Script& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

struct ScriptCase {
  const char* name;
  Script script;
  int left;
  int right;
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class SoundObjectLevels : public testing::TestWithParam<ScriptCase> {};

TEST_P(SoundObjectLevels, ReachTheMix) {
  const ScriptCase& c = GetParam();
  std::vector<Bytes> tags = ExportedSound();
  tags.push_back(act::DoAction(c.script));
  tags.push_back(swftest::ShowFrame());
  const Bytes movie = swftest::Movie(tags, swftest::Signature::kFws, 8, {0, 4000, 0, 3000}, kFrameRate << 8, 1);
  swf::Player player(movie);
  std::vector<int16_t> stereo(kSamplesPerFrame * 2);
  player.PullAudio(stereo);
  EXPECT_EQ(stereo[0], c.left);
  EXPECT_EQ(stereo[1], c.right);
  EXPECT_EQ(stereo[stereo.size() - 2], c.left) << "end of the frame";
  EXPECT_EQ(stereo.back(), c.right) << "end of the frame";
}

const Script kAttach = Call("s", "attachSound", {act::PushString("snd")});
const Script kStart = Call("s", "start");

INSTANTIATE_TEST_SUITE_P(
    Scripts, SoundObjectLevels,
    testing::Values(
        ScriptCase{"started", Join({NewSound("s", false), kAttach, kStart}), 1000, 1000},
        ScriptCase{"not attached", Join({NewSound("s", false), kStart}), 0, 0},
        ScriptCase{"unknown export", Join({NewSound("s", false), Call("s", "attachSound", {act::PushString("nope")}), kStart}), 0, 0},
        ScriptCase{"volume 50", Join({NewSound("s", false), kAttach, Call("s", "setVolume", {act::PushInteger(50)}), kStart}), 500, 500},
        ScriptCase{"volume set while playing", Join({NewSound("s", false), kAttach, kStart, Call("s", "setVolume", {act::PushInteger(20)})}), 200, 200},
        ScriptCase{"pan left", Join({NewSound("s", false), kAttach, Call("s", "setPan", {act::PushInteger(-100)}), kStart}), 1000, 0},
        ScriptCase{"pan right", Join({NewSound("s", false), kAttach, Call("s", "setPan", {act::PushInteger(100)}), kStart}), 0, 1000},
        ScriptCase{"stopped", Join({NewSound("s", false), kAttach, kStart, Call("s", "stop")}), 0, 0},
        ScriptCase{"stopped by name", Join({NewSound("s", false), kAttach, kStart, Call("s", "stop", {act::PushString("snd")})}), 0, 0},
        ScriptCase{"clip's volume on what it starts", Join({NewSound("s", true), kAttach, Call("s", "setVolume", {act::PushInteger(0)}), kStart}), 0, 0},
        ScriptCase{"clip's volume leaves a global Sound alone", Join({NewSound("c", true), Call("c", "setVolume", {act::PushInteger(0)}), NewSound("s", false), kAttach, kStart}), 1000, 1000},
        ScriptCase{"the volume belongs to the clip", Join({NewSound("c", true), Call("c", "setVolume", {act::PushInteger(25)}), NewSound("s", true), kAttach, kStart}), 250, 250},
        ScriptCase{"a clip's stop leaves a global Sound alone", Join({NewSound("s", false), kAttach, kStart, NewSound("c", true), Call("c", "stop")}), 1000, 1000}));

}  // namespace
