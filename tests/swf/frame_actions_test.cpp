// Frame scripts: the timeline actions run after their frame's display list
// is built, steer the root and named clips, and end cleanly whatever the
// bytes or however the scripts send timelines back and forth.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "action_builder.h"
#include "swf/player.h"
#include "swf/runtime/actions.h"

namespace swf {
namespace {

using swftest::Bytes;
namespace act = swftest::act;

Bytes FrameLabel(const std::string& name) {
  Bytes body(name.begin(), name.end());
  body.push_back(0);
  return swftest::Tag(43, body);
}

Bytes File(const std::vector<Bytes>& tags, uint8_t version = 10) {
  return swftest::Movie(tags, swftest::Signature::kFws, version);
}

// A sprite of `frames` empty frames, stopping on its first when asked.
Bytes EmptySprite(uint16_t id, int frames, bool stopsAtOnce = false, std::vector<Bytes> firstFrame = {}) {
  std::vector<Bytes> tags = std::move(firstFrame);
  if (stopsAtOnce) tags.push_back(act::DoAction({act::Stop()}));
  for (int i = 0; i < frames; ++i) tags.push_back(swftest::ShowFrame());
  return swftest::DefineSprite(id, static_cast<uint16_t>(frames), tags);
}

// The timeline of the root's clip at `depth`; the test fails without one.
const ClipTimeline& ClipAt(const Player& player, int32_t depth) {
  const DisplayObject* object = player.Objects().ChildAt(player.Root(), depth);
  if (object == nullptr || !object->timeline) throw std::out_of_range("no clip at depth " + std::to_string(depth));
  return *object->timeline;
}

TEST(FrameActionsTest, StopInTheFirstFrameHoldsTheRoot) {
  Player player(File({act::DoAction({act::Stop()}), swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_FALSE(player.IsPlaying());
  for (int i = 0; i < 3; ++i) player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 0u);
}

TEST(FrameActionsTest, StopInALaterFrameHoldsItThere) {
  Player player(File({swftest::ShowFrame(), act::DoAction({act::Stop()}), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_TRUE(player.IsPlaying());
  for (int i = 0; i < 5; ++i) player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 1u);
  player.Play();
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 2u);
}

TEST(FrameActionsTest, GotoLabelJumpsToTheLabelledFrame) {
  Player player(File({act::DoAction({act::GotoLabel("end"), act::Stop()}), swftest::ShowFrame(), swftest::ShowFrame(),
                      FrameLabel("end"), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 2u);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, LabelsCompareWithoutCaseInEveryVersion) {
  const std::vector<Bytes> tags = {act::DoAction({act::GotoLabel("END"), act::Stop()}), swftest::ShowFrame(),
                                   FrameLabel("end"), swftest::ShowFrame()};
  for (const int version : {5, 6, 7, 9}) EXPECT_EQ(Player(File(tags, version)).CurrentFrame(), 1u) << version;
}

TEST(FrameActionsTest, TheTargetFramesActionsRunAfterAGoto) {
  // Frame 1 jumps to frame 3 and plays; frame 3 steps back and stops.
  Player player(File({act::DoAction({act::GotoFrame(2), act::Play()}), swftest::ShowFrame(), swftest::ShowFrame(),
                      act::DoAction({act::PrevFrame()}), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, NextFrameStepsAndStops) {
  Player player(File({act::DoAction({act::NextFrame()}), swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, GotoFrame2TakesAConstantFrameNumberOrLabel) {
  const auto frames = [](Bytes script) {
    return File({script, swftest::ShowFrame(), swftest::ShowFrame(), FrameLabel("third"), swftest::ShowFrame(),
                 swftest::ShowFrame()});
  };
  Player stopped(frames(act::DoAction({act::PushInteger(3), act::GotoFrame2(false)})));
  EXPECT_EQ(stopped.CurrentFrame(), 2u);
  EXPECT_FALSE(stopped.IsPlaying());
  Player playing(frames(act::DoAction({act::PushInteger(4), act::GotoFrame2(true)})));
  EXPECT_EQ(playing.CurrentFrame(), 3u);
  EXPECT_TRUE(playing.IsPlaying());
  Player label(frames(act::DoAction({act::ConstantPool({"nothing", "third"}), act::PushConstant(1), act::GotoFrame2(false)})));
  EXPECT_EQ(label.CurrentFrame(), 2u);
}

TEST(FrameActionsTest, OperandsThatAreNotConstantsAreNotGuessed) {
  // Push 3; Push "x"; GetVariable; GotoFrame2: the frame is a variable's value.
  Player player(File({act::DoAction({act::PushInteger(3), act::PushString("x"), act::Simple(0x1C), act::GotoFrame2(false)}),
                      swftest::ShowFrame(), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 0u);
  EXPECT_TRUE(player.IsPlaying());
}

TEST(FrameActionsTest, TraceIsSkippedButTakesItsValue) {
  Player player(File({act::DoAction({act::PushInteger(2), act::PushString("hello"), act::Simple(0x26),
                                     act::GotoFrame2(false)}),
                      swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 1u);
}

TEST(FrameActionsTest, SetTargetSteersANamedClipPlacedLaterInTheFrame) {
  // The script comes before the placement in the file, yet runs after it.
  Player player(File({EmptySprite(2, 4),
                      act::DoAction({act::SetTarget("clip"), act::GotoFrame(2), act::Stop(), act::SetTarget(""), act::Stop()}),
                      swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}), swftest::ShowFrame(),
                      swftest::ShowFrame()}));
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(ClipAt(player, 1).currentFrame, 2u);
  EXPECT_FALSE(ClipAt(player, 1).playing);
  player.Tick();
  player.Tick();
  EXPECT_EQ(ClipAt(player, 1).currentFrame, 2u);
}

// As the reference traces show: inside a tellTarget that names no clip the
// timeline actions reach the root, not the named clip nor nothing.
TEST(FrameActionsTest, AnUnknownTargetSendsTimelineActionsToTheRoot) {
  Player player(File({EmptySprite(2, 3), act::DoAction({act::SetTarget("other"), act::Stop()}),
                      swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}), swftest::ShowFrame(),
                      swftest::ShowFrame()}));
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_TRUE(ClipAt(player, 1).playing);
}

TEST(FrameActionsTest, ClipScriptsRunOnTheirOwnClip) {
  Player player(File({EmptySprite(2, 3, true), swftest::PlaceObject2({.depth = 1, .characterId = 2}),
                      swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_TRUE(player.IsPlaying());
  player.Tick();
  EXPECT_EQ(ClipAt(player, 1).currentFrame, 0u);
  EXPECT_EQ(player.CurrentFrame(), 1u);
}

TEST(TargetPathTest, SlashAndDotPathsFindNestedClips) {
  const Bytes inner = EmptySprite(2, 2);
  const Bytes outer = EmptySprite(3, 2, false, {swftest::PlaceObject2({.depth = 5, .characterId = 2, .name = "inner"})});
  Player player(File({inner, outer, swftest::PlaceObject2({.depth = 1, .characterId = 3, .name = "outer"}),
                      act::DoAction({act::Stop()}), swftest::ShowFrame()}));
  const Stage& stage = player.Objects();
  const ObjectHandle root = player.Root().self;
  const DisplayObject* outerObject = stage.ChildAt(player.Root(), 1);
  ASSERT_NE(outerObject, nullptr);
  const DisplayObject* innerObject = stage.ChildAt(*outerObject, 5);
  ASSERT_NE(innerObject, nullptr);
  const ObjectHandle outerClip = outerObject->self;
  const ObjectHandle innerClip = innerObject->self;
  const ObjectHandle none;
  EXPECT_EQ(ResolveTarget(stage, root, "/outer/inner", false), innerClip);
  EXPECT_EQ(ResolveTarget(stage, root, "outer/inner", false), innerClip);
  EXPECT_EQ(ResolveTarget(stage, root, "_root.outer.inner", false), innerClip);
  EXPECT_EQ(ResolveTarget(stage, innerClip, "_parent", false), outerClip);
  EXPECT_EQ(ResolveTarget(stage, innerClip, "../../outer", false), outerClip);
  EXPECT_EQ(ResolveTarget(stage, innerClip, "/", false), root);
  EXPECT_EQ(ResolveTarget(stage, innerClip, "", false), innerClip);
  EXPECT_EQ(ResolveTarget(stage, root, "OUTER", true), outerClip);
  EXPECT_EQ(ResolveTarget(stage, root, "OUTER", false), none);
  EXPECT_EQ(ResolveTarget(stage, root, "outer.missing", false), none);
  EXPECT_EQ(ResolveTarget(stage, root, "_parent.outer", false), none);
}

TEST(FrameActionsTest, InitActionsRunOnlyTheFirstTime) {
  // The clip stops itself; the init action moves it one frame on. When the
  // root loops back to frame 1 the init action must not move it again.
  Player player(File({EmptySprite(2, 4, true), act::DoInitAction(2, {act::SetTarget("/clip"), act::NextFrame()}),
                      swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}), swftest::ShowFrame(),
                      swftest::ShowFrame()}));
  EXPECT_EQ(ClipAt(player, 1).currentFrame, 1u);
  player.Tick();
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 0u);
  EXPECT_EQ(ClipAt(player, 1).currentFrame, 1u);
}

TEST(FrameActionsTest, HostGotoRunsTheTargetFramesActions) {
  Player player(File({swftest::ShowFrame(), swftest::ShowFrame(), act::DoAction({act::Stop()}), swftest::ShowFrame()}));
  EXPECT_TRUE(player.IsPlaying());
  player.GotoFrame(2);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, MoviesFlaggedForActionScript3RunNoFrameActions) {
  Player player(File({swftest::Tag(69, {0x08, 0, 0, 0}), act::DoAction({act::Stop()}), swftest::ShowFrame(),
                      swftest::ShowFrame()}));
  EXPECT_TRUE(player.IsPlaying());
}

TEST(FrameActionsTest, BranchesFollowTheirCondition) {
  const auto run = [](std::vector<Bytes> records) {
    return Player(File({act::DoAction(records), swftest::ShowFrame(), swftest::ShowFrame()})).IsPlaying();
  };
  EXPECT_TRUE(run({act::PushInteger(1), act::If(1), act::Stop()}));   // jumps over the Stop
  EXPECT_FALSE(run({act::PushInteger(0), act::If(1), act::Stop()}));  // falls through to it
  EXPECT_FALSE(run({act::PushString("v"), act::Simple(0x1C), act::If(0), act::Stop()}));  // unset: false
  EXPECT_TRUE(run({act::Jump(1), act::Stop()}));
  EXPECT_FALSE(run({act::Jump(1), act::Play(), act::Stop()}));
}

// Malformed blocks: every one ends where it goes wrong, after running what
// came before, and the next block still runs.
TEST(FrameActionsTest, MalformedRecordsEndTheirBlockCleanly) {
  const std::vector<Bytes> broken = {
      {0x81, 0x0A, 0x00, 0x01},        // GotoFrame claiming 10 payload bytes
      {0x81, 0x01, 0x00, 0x05},        // GotoFrame with one byte where two are needed
      {0x96, 0x02, 0x00, 0x20, 0x00},  // Push of an unknown type
      {0x96},                          // a record cut off before its length
      {0x8B, 0x02, 0x00, 'a', 'b'},    // SetTarget without the string's end
      act::Jump(1000),                 // a jump out of the block
      act::Jump(-1000),
  };
  for (const Bytes& record : broken) {
    Bytes code = act::Stop();
    code.insert(code.end(), record.begin(), record.end());
    code.push_back(0x06);  // Play: never reached
    code.push_back(0x00);
    Player player(File({swftest::Tag(12, code), act::DoAction({act::GotoFrame(2)}), swftest::ShowFrame(),
                        swftest::ShowFrame(), swftest::ShowFrame()}));
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.CurrentFrame(), 2u);
  }
}

TEST(FrameActionsTest, AnEndlessLoopEndsAndTheNextBlockRuns) {
  // ScriptLimits: 256 calls deep, one second.
  const Bytes limits = swftest::Tag(65, {0x00, 0x01, 0x01, 0x00});
  Player player(File({limits, act::DoAction({act::Jump(-5)}), act::DoAction({act::Stop()}), swftest::ShowFrame(),
                      swftest::ShowFrame()}));
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, FramesSendingEachOtherBackAndForthEndWithinTheTick) {
  Player player(File({act::DoAction({act::GotoFrame(1), act::Play()}), swftest::ShowFrame(),
                      act::DoAction({act::GotoFrame(0), act::Play()}), swftest::ShowFrame()}));
  EXPECT_LE(player.CurrentFrame(), 1u);
  player.Tick();
  EXPECT_LE(player.CurrentFrame(), 1u);
}

TEST(FrameActionsTest, ALongTimelineSentBackAndForthEndsWithinTheTick) {
  // Each jump back replays thousands of frames; the replays have a ceiling
  // of their own.
  constexpr uint16_t kFrames = 5000;
  std::vector<Bytes> tags = {act::DoAction({act::GotoFrame(kFrames - 1), act::Play()})};
  for (uint16_t frame = 0; frame + 1 < kFrames; ++frame) tags.push_back(swftest::ShowFrame());
  tags.push_back(act::DoAction({act::GotoFrame(0), act::Play()}));
  tags.push_back(swftest::ShowFrame());
  Player player(File(tags));
  EXPECT_EQ(player.FrameCount(), kFrames);
  EXPECT_TRUE(player.CurrentFrame() == 0 || player.CurrentFrame() == kFrames - 1);
  player.Tick();  // from the first frame to the second, or from the last round to the first and its storm
  EXPECT_TRUE(player.CurrentFrame() <= 1 || player.CurrentFrame() == kFrames - 1);
}

TEST(FrameActionsTest, AScriptThatRemovesItsOwnClipStopsThere) {
  // The clip's first frame sends the root to frame 2, where the clip is
  // removed; the rest of its script (a Stop of the clip) must not run.
  const Bytes clip = EmptySprite(2, 2, false,
                                 {act::DoAction({act::SetTarget("_parent"), act::GotoFrame(1), act::SetTarget(""),
                                                 act::Stop()})});
  Player player(File({clip, swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}),
                      swftest::ShowFrame(), swftest::RemoveObject2(1), act::DoAction({act::Stop()}),
                      swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_EQ(player.Root().children.count(1), 0u);
  EXPECT_FALSE(player.IsPlaying());
}

TEST(FrameActionsTest, QueuedActionsOfAClipThatWentAreDropped) {
  // The root's script runs first and goes to frame 2, which removes the
  // clip; the clip's own first-frame script, queued behind it, must not run
  // (it would stop the root).
  const Bytes clip = EmptySprite(2, 1, false, {act::DoAction({act::SetTarget("_parent"), act::Stop()})});
  Player player(File({clip, act::DoAction({act::GotoFrame(1), act::Play()}),
                      swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}), swftest::ShowFrame(),
                      swftest::RemoveObject2(1), swftest::ShowFrame(), swftest::ShowFrame()}));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_TRUE(player.Root().children.empty());
  // Kept, the same clip's script does stop the root.
  Player kept(File({clip, swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "clip"}), swftest::ShowFrame(),
                    swftest::ShowFrame()}));
  EXPECT_FALSE(kept.IsPlaying());
}

// Records every trace line a movie sends to its host.
struct TraceRecorder : HostServices {
  std::vector<std::string> lines;
  void Trace(std::string_view line) override { lines.emplace_back(line); }
};

Bytes PushValue(uint8_t type, const Bytes& value) {
  Bytes payload = value;
  payload.insert(payload.begin(), type);
  return act::WithPayload(0x96, payload);
}

TEST(FrameActionsTest, TraceSendsKnownValuesToTheHostFromTheFirstFrameOn) {
  const Bytes trace = act::Simple(0x26);
  TraceRecorder host;
  Player player(File({act::DoAction({act::ConstantPool({"pooled"}), act::PushString("hello"), trace,
                                     act::PushInteger(-42), trace, act::PushConstant(0), trace,
                                     PushValue(5, {1}), trace, PushValue(2, {}), trace, PushValue(3, {}), trace,
                                     // 0.5 as a double: high word first
                                     PushValue(6, {0x00, 0x00, 0xE0, 0x3F, 0, 0, 0, 0}), trace}),
                     swftest::ShowFrame(), act::DoAction({act::PushString("second"), trace}), swftest::ShowFrame()}),
                &host);
  EXPECT_EQ(host.lines, (std::vector<std::string>{"hello", "-42", "pooled", "true", "null", "undefined", "0.5"}));
  player.Tick();
  EXPECT_EQ(host.lines.back(), "second");
}

// What GetVariable finds for paths of each style, from the root, with
// "outer" holding "inner".
TEST(FrameActionsTest, VariablePathsSeparateAsThePlayerDoes) {
  const std::pair<std::string, std::string> cases[] = {
      {"outer.inner", "_level0.outer.inner"},
      {"outer.inner._name", "inner"},
      {"outer/inner:_name", "inner"},
      {"/outer/inner:_name", "inner"},
      {"/outer.inner:_name", "undefined"},  // after a '/', '.' is part of the name
      {"outer/inner.x:_name", "undefined"},
      {"outer.inner/..:_name", "outer"},
      {"_level0junk.outer._name", "outer"},  // the level is its digits
      {"_levelx.outer._name", "undefined"},
  };
  std::vector<Bytes> records;
  for (const auto& [path, shown] : cases) {
    records.push_back(act::PushString(path));
    records.push_back(act::Simple(0x1C));  // GetVariable
    records.push_back(act::Simple(0x26));  // Trace
  }
  const Bytes inner = EmptySprite(2, 1);
  const Bytes outer = EmptySprite(3, 1, false, {swftest::PlaceObject2({.depth = 5, .characterId = 2, .name = "inner"})});
  TraceRecorder host;
  Player player(File({inner, outer, swftest::PlaceObject2({.depth = 1, .characterId = 3, .name = "outer"}),
                      act::DoAction(records), swftest::ShowFrame()}),
                &host);
  ASSERT_EQ(host.lines.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(host.lines[i], cases[i].second) << cases[i].first;
}

// Clips already on the stage move on the one made last first, whatever
// their depths; the clips a frame places run their first frame in the order
// they were placed.
TEST(FrameActionsTest, SiblingsRunTheirFramesTheOneMadeLastFirst) {
  const Bytes trace = act::Simple(0x26);
  // Sprite `id` traces `name` in its second frame.
  const auto sprite = [&](uint16_t id, const std::string& name) {
    return swftest::DefineSprite(id, 2, {swftest::ShowFrame(), act::DoAction({act::PushString(name), trace}),
                                         swftest::ShowFrame()});
  };
  const auto place = [](uint16_t depth, uint16_t id) {
    return swftest::PlaceObject2({.depth = depth, .characterId = id});
  };
  TraceRecorder host;
  Player player(File({sprite(1, "a"), sprite(2, "b"), sprite(3, "c"), place(10, 1), place(12, 2), place(11, 3),
                      swftest::ShowFrame(), swftest::ShowFrame(), act::DoAction({act::Stop()}), swftest::ShowFrame()}),
                &host);
  player.Tick();
  EXPECT_EQ(host.lines, (std::vector<std::string>{"c", "b", "a"}));
}

// A double as a Push stores it: the high word first, each word low byte first.
Bytes PushDouble(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  Bytes stored;
  for (const int shift : {32, 40, 48, 56, 0, 8, 16, 24}) stored.push_back(static_cast<uint8_t>(bits >> shift));
  return PushValue(6, stored);
}

TEST(FrameActionsTest, TracedNumbersAreWrittenAsThePlayerWritesThem) {
  const std::vector<std::pair<double, std::string>> table = {
      {0.1, "0.1"},      {1e-5, "0.00001"},        {1e-7, "1e-7"},
      {1e15, "1e+15"},   {1.0 / 3, "0.333333333333333"}, {-0.0, "0"},
      {123456789012345678.0, "1.23456789012346e+17"},
  };
  for (const auto& [number, text] : table) {
    TraceRecorder host;
    Player player(File({act::DoAction({PushDouble(number), act::Simple(0x26)}), swftest::ShowFrame()}), &host);
    EXPECT_EQ(host.lines, std::vector<std::string>{text}) << number;
  }
}

// Records are decoded where execution reaches them: a branch into the
// middle of a record runs what its bytes say from there, and a push of a
// pool entry takes the pool current when it runs.
TEST(FrameActionsTest, BranchesRunTheRecordsWhereTheyLand) {
  const auto playing = [](std::vector<Bytes> records) {
    return Player(File({act::DoAction(records), swftest::ShowFrame(), swftest::ShowFrame()})).IsPlaying();
  };
  // The Push's string is the byte of Stop followed by the end of the block.
  EXPECT_FALSE(playing({act::Jump(4), act::PushString("\x07")}));
  EXPECT_TRUE(playing({act::Jump(0), act::PushString("\x07")}));

  const Bytes trace = act::Simple(0x26);
  const Bytes secondPool = act::ConstantPool({"second"});
  const Bytes push = act::PushConstant(0);
  const auto back = static_cast<int16_t>(-static_cast<int>(secondPool.size() + push.size() + trace.size() + 5));
  TraceRecorder host;
  // true; pool "first"; jump to the push; pool "second"; push entry 0;
  // trace; if true back to the second pool (then the stack is empty: end).
  Player player(File({act::DoAction({PushValue(5, {1}), act::ConstantPool({"first"}),
                                     act::Jump(static_cast<int16_t>(secondPool.size())), secondPool, push, trace,
                                     act::If(back)}),
                      swftest::ShowFrame()}),
                &host);
  EXPECT_EQ(host.lines, (std::vector<std::string>{"first", "second"}));
}

// The host's clock: a frame runs each time a whole frame interval has gone
// by, however the time arrives, and a stalled host gets a few frames only.
TEST(FrameActionsTest, AdvanceRunsTheFramesThatFallDue) {
  const Bytes trace = act::Simple(0x26);
  std::vector<Bytes> tags;
  for (int i = 0; i < 40; ++i) {
    tags.push_back(act::DoAction({act::PushInteger(i), trace}));
    tags.push_back(swftest::ShowFrame());
  }
  TraceRecorder host;
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 6, {0, 4000, 0, 3000}, 30 << 8), &host);
  ASSERT_EQ(host.lines.size(), 1u);
  const double interval = player.FrameInterval();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(player.Advance(interval), 1u);  // exact steps of a virtual clock
  EXPECT_EQ(host.lines.back(), "9");
  EXPECT_EQ(player.Advance(interval * 0.4), 0u);
  EXPECT_NEAR(player.TimeToNextFrame(), interval * 0.6, 1e-12);
  EXPECT_EQ(player.Advance(interval * 0.7), 1u);
  EXPECT_EQ(player.Advance(interval * 2.5), 2u);
  EXPECT_EQ(player.Advance(0), 0u);
  EXPECT_EQ(player.Advance(-1), 0u);
  EXPECT_EQ(player.Advance(interval * 100), Player::kMaxCatchUpFrames);
  EXPECT_EQ(player.CurrentFrame(), 12 + Player::kMaxCatchUpFrames);
  std::vector<int16_t> audio(64, 7);
  player.PullAudio(audio);
  EXPECT_EQ(audio, std::vector<int16_t>(64, 0));
}

}  // namespace
}  // namespace swf
