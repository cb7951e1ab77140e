// The display world as scripts see it: script objects of display objects,
// target paths, the _x-style properties, the movie-clip methods, clip
// events and timers, driven through the Vm as native code would.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"
#include "swf_builder.h"

namespace swf {
namespace {

using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;
using swftest::Bytes;

constexpr uint16_t kSquare = 1;    // 100 x 100 twips
constexpr uint16_t kSprite = 2;    // three frames, the square at depth 1, label "last" on frame 3
constexpr uint16_t kExported = 3;  // one frame, exported as "item"

Bytes FrameLabel(const std::string& name) {
  Bytes body(name.begin(), name.end());
  body.push_back(0);
  return swftest::Tag(43, body);
}

Bytes ExportAssets(uint16_t id, const std::string& name) {
  Bytes body{static_cast<uint8_t>(1), 0, static_cast<uint8_t>(id & 0xFF), static_cast<uint8_t>(id >> 8)};
  body.insert(body.end(), name.begin(), name.end());
  body.push_back(0);
  return swftest::Tag(56, body);
}

// The root shows the sprite as "box" at depth 1 and an unnamed one at depth 2;
// frame 2 removes "box".
ParsedMovie TwoClips(uint8_t version = 8) {
  const Matrix at = Matrix::Translate(200, 400);
  return ParseMovie(swftest::Movie(
      {swftest::SquareShapeTag(kSquare, 100, {255, 0, 0, 255}),
       swftest::DefineSprite(kSprite, 3,
                             {swftest::PlaceObject2({.depth = 1, .characterId = kSquare}), swftest::ShowFrame(),
                              swftest::ShowFrame(), FrameLabel("last"), swftest::ShowFrame()}),
       swftest::DefineSprite(kExported, 1, {swftest::ShowFrame()}), ExportAssets(kExported, "item"),
       swftest::PlaceObject2({.depth = 1, .characterId = kSprite, .matrix = &at, .name = "box"}),
       swftest::PlaceObject2({.depth = 2, .characterId = kSprite}), swftest::ShowFrame(), swftest::RemoveObject2(1),
       swftest::ShowFrame()},
      swftest::Signature::kFws, version));
}

class ScriptBridgeTest : public ::testing::Test {
 protected:
  ScriptBridgeTest() : movie_(TwoClips()), runtime_(movie_), vm_(runtime_.Scripts()) {}

  Value Root() { return runtime_.Bridge().ValueOf(runtime_.Root()); }
  Value Box() { return vm_.GetMember(Root(), "box"); }
  Value Call(const Value& self, const char* method, std::initializer_list<Value> args = {}) {
    return vm_.CallMethod(self, method, std::span<const Value>(args.begin(), args.size()));
  }
  std::string Text(const Value& value) { return vm_.ToStringValue(value); }

  ParsedMovie movie_;
  Runtime runtime_;
  avm1::Vm& vm_;
};

TEST_F(ScriptBridgeTest, ClipsAreReachedByNameAndPath) {
  const Value box = Box();
  ASSERT_TRUE(box.Is(ValueKind::kClip));
  EXPECT_EQ(box.AsClip().target_path, "_level0.box");
  EXPECT_EQ(Text(vm_.GetMember(box, "_target")), "/box");
  EXPECT_EQ(Text(vm_.GetMember(Root(), "_target")), "/");
  // Unnamed clips are numbered; the shape inside "box" takes no number.
  EXPECT_EQ(Text(vm_.GetMember(runtime_.Bridge().ValueOf(runtime_.Objects().ChildAt(runtime_.RootObject(), 2)->self),
                               "_name")),
            "instance1");
  avm1::DisplayHost& host = runtime_.Bridge();
  const ObjectRef boxObject = host.Resolve(box.AsClip());
  ASSERT_NE(boxObject.id, 0u);
  EXPECT_EQ(host.ReferenceTo(boxObject).target_path, "_level0.box");
  const ObjectRef rootObject = host.Resolve(avm1::ClipReference{"_level0"});
  for (const char* path : {"box", "/box", "_root.box", "_level0.box", "_level0/box", "this.box"}) {
    EXPECT_EQ(host.FindTarget(rootObject, path), boxObject) << path;
  }
  EXPECT_EQ(host.FindTarget(boxObject, "_parent"), rootObject);
  EXPECT_EQ(host.FindTarget(rootObject, "missing").id, 0u);
  EXPECT_EQ(host.FindTarget(rootObject, "_level1").id, 0u);
  // The same script object every time, and own properties stay on it.
  vm_.SetMember(box, "score", Value::Number(5));
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(Box(), "score")), 5);
}

TEST_F(ScriptBridgeTest, PropertiesReadAndWriteAsScriptsExpect) {
  struct Case {
    const char* name;
    Value set;
    const char* read;
  };
  const Case cases[] = {
      {"_x", Value::Number(12.37), "12.35"},   // cut to whole twips
      {"_y", Value::Number(-3), "-3"},
      {"_xscale", Value::Number(-50), "-50"},  // kept as given
      {"_yscale", Value::Number(250), "250"},
      {"_rotation", Value::Number(270), "-90"},
      {"_alpha", Value::Number(50), "50"},
      {"_visible", Value::Boolean(false), "false"},
      {"_name", Value::String("renamed"), "renamed"},
      {"_currentframe", Value::Number(3), "1"},  // read-only
      {"_x", Value::String("nonsense"), "12.35"},  // NaN leaves it
  };
  const Value box = Box();
  const ObjectRef object = runtime_.Bridge().Resolve(box.AsClip());
  for (const Case& c : cases) {
    vm_.SetMember(Value::Object(object), c.name, c.set);
    EXPECT_EQ(Text(vm_.GetMember(Value::Object(object), c.name)), c.read) << c.name;
  }
  EXPECT_EQ(Text(vm_.GetMember(Value::Object(object), "_totalframes")), "3");
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(Value::Object(object), "_X")), 12.35);  // any case
}

TEST_F(ScriptBridgeTest, WidthFollowsScaleAndSetsIt) {
  const Value box = Box();
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(box, "_width")), 5);
  vm_.SetMember(box, "_width", Value::Number(20));
  EXPECT_DOUBLE_EQ(vm_.ToNumber(vm_.GetMember(box, "_xscale")), 400);
  vm_.SetMember(box, "_rotation", Value::Number(90));
  EXPECT_NEAR(vm_.ToNumber(vm_.GetMember(box, "_height")), 20, 1e-9);
}

TEST_F(ScriptBridgeTest, TimelineMethodsMoveTheClip) {
  const Value box = Box();
  Call(box, "gotoAndStop", {Value::String("last")});
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(box, "_currentframe")), 3);
  Call(box, "prevFrame");
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(box, "_currentframe")), 2);
  Call(box, "gotoAndPlay", {Value::String("1")});
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(box, "_currentframe")), 1);
  runtime_.Tick();  // box goes on frame 2 of the root
  EXPECT_TRUE(vm_.GetMember(Root(), "box").Is(ValueKind::kUndefined));
  // A reference to a clip that went names nothing.
  EXPECT_TRUE(vm_.GetMember(box, "_x").Is(ValueKind::kUndefined));
}

TEST_F(ScriptBridgeTest, ScriptsMakeAndRemoveClipsAtDepths) {
  const Value root = Root();
  const Value made = Call(root, "attachMovie", {Value::String("item"), Value::String("first"), Value::Number(10)});
  ASSERT_TRUE(made.Is(ValueKind::kClip));
  EXPECT_EQ(made.AsClip().target_path, "_level0.first");
  EXPECT_EQ(vm_.ToNumber(Call(made, "getDepth")), 10);
  EXPECT_EQ(vm_.ToNumber(Call(root, "getNextHighestDepth")), 11);
  EXPECT_TRUE(Call(root, "attachMovie", {Value::String("nothing"), Value::String("x"), Value::Number(3)})
                  .Is(ValueKind::kUndefined));

  const Value empty = Call(root, "createEmptyMovieClip", {Value::String("holder"), Value::Number(4)});
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(empty, "_totalframes")), 1);
  EXPECT_EQ(Call(root, "getInstanceAtDepth", {Value::Number(4)}).AsClip().target_path, "_level0.holder");

  Call(made, "swapDepths", {empty});
  EXPECT_EQ(vm_.ToNumber(Call(made, "getDepth")), 4);
  EXPECT_EQ(vm_.ToNumber(Call(empty, "getDepth")), 10);

  const ObjectRef init = vm_.NewObject();
  vm_.SetMember(Value::Object(init), "_x", Value::Number(7));
  const Value copy = Call(made, "duplicateMovieClip", {Value::String("copy"), Value::Number(20), Value::Object(init)});
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(copy, "_x")), 7);

  // The timeline's own clips stay; those at script depths go.
  Call(Box(), "removeMovieClip");
  EXPECT_FALSE(Box().Is(ValueKind::kUndefined));
  Call(copy, "removeMovieClip");
  EXPECT_TRUE(vm_.GetMember(root, "copy").Is(ValueKind::kUndefined));
}

TEST_F(ScriptBridgeTest, AReferenceReadsAsTheClipItFindsNow) {
  const Value made = Call(Root(), "createEmptyMovieClip", {Value::String("first"), Value::Number(3)});
  vm_.SetMember(made, "_name", Value::String("renamed"));
  EXPECT_EQ(Text(made), "_level0.renamed");
  Call(made, "removeMovieClip");
  EXPECT_EQ(Text(made), "");
  // Another clip made under the old path is found by it.
  const avm1::ClipReference byPath{"_level0.first"};
  EXPECT_EQ(Text(Value::Clip(byPath)), "");
  Call(Root(), "createEmptyMovieClip", {Value::String("first"), Value::Number(4)});
  EXPECT_EQ(Text(Value::Clip(byPath)), "_level0.first");
}

TEST_F(ScriptBridgeTest, DepthsWrapToThirtyTwoBitsAndKeepToTheirRange) {
  struct Case {
    double depth;
    bool made;
    double scriptDepth;  // getDepth, when made
    bool removable;      // by removeMovieClip
  };
  const Case cases[] = {
      {-16385, false, 0, false},        {-16384, true, -16384, false},
      {-1, true, -1, false},            {0, true, 0, true},
      {2130690031, true, 2130690031, true}, {2130690032, true, 2130690032, false},
      {2130690044, true, 2130690044, false}, {2130690045, false, 0, false},
      {4294967296.0 + 5, true, 5, true}, {-4294967296.0 + 7, true, 7, true},
  };
  const Value root = Root();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    const Value made = Call(root, "createEmptyMovieClip", {Value::String("probe"), Value::Number(c.depth)});
    ASSERT_EQ(made.Is(ValueKind::kClip), c.made);
    if (!c.made) continue;
    EXPECT_EQ(vm_.ToNumber(Call(made, "getDepth")), c.scriptDepth);
    Call(made, "removeMovieClip");
    EXPECT_EQ(vm_.GetMember(root, "probe").Is(ValueKind::kUndefined), c.removable);
    runtime_.RemoveScriptObject(runtime_.Bridge().HandleOfValue(made));  // the next case starts clean
  }
}

TEST_F(ScriptBridgeTest, GotoArgumentsAsThePlayerReadsThem) {
  struct Case {
    Value frame;
    double shown;  // _currentframe after a goto from frame 1
  };
  const Case cases[] = {
      {Value::Number(999), 3},         {Value::Number(0), 1},           {Value::Number(-99), 1},
      {Value::Number(4294967298.0), 2}, {Value::Number(-2147483648.0), 3}, {Value::Number(NAN), 1},
      {Value::String("2"), 2},          {Value::String("LAST"), 3},       {Value::String("nowhere"), 1},
      {Value::String("_root.box:last"), 3},
  };
  const Value box = Box();
  for (const Case& c : cases) {
    SCOPED_TRACE(Text(c.frame));
    Call(box, "gotoAndStop", {Value::Number(1)});
    Call(box, "gotoAndStop", {c.frame});
    EXPECT_EQ(vm_.ToNumber(vm_.GetMember(box, "_currentframe")), c.shown);
  }
}

// A native handler that appends "<event>:<clip name>" to _global.log.
template <const char* kEvent>
Value Record(avm1::NativeCall& call) {
  const Value global = Value::Object(call.vm.Classes().global);
  std::string log = call.vm.ToStringValue(call.vm.GetMember(global, "log"));
  log += std::string(kEvent) + ":" + call.vm.ToStringValue(call.vm.GetMember(call.self, "_name")) + " ";
  call.vm.SetMember(global, "log", Value::String(log));
  return {};
}
constexpr char kEnter[] = "enter";
constexpr char kUnload[] = "unload";
constexpr char kTick[] = "tick";

TEST_F(ScriptBridgeTest, EventsReachClipsInOrderAndUnloadAfterRemoval) {
  vm_.SetMember(Value::Object(vm_.Classes().global), "log", Value::String(""));
  const Value root = Root();
  const ObjectRef boxObject = runtime_.Bridge().Resolve(Box().AsClip());
  Call(root, "createEmptyMovieClip", {Value::String("inner"), Value::Number(1)});
  for (const char* path : {"box", "inner"}) {
    const Value clip = vm_.GetMember(root, path);
    vm_.SetMember(clip, "onEnterFrame", Value::Object(vm_.NewFunction(Record<kEnter>)));
    vm_.SetMember(clip, "onUnload", Value::Object(vm_.NewFunction(Record<kUnload>)));
  }
  // enterFrame is queued newest clip first, then frame 2 removes box, which
  // no longer hears it but hears its unload.
  runtime_.Tick();
  EXPECT_EQ(Text(vm_.GetMember(Value::Object(vm_.Classes().global), "log")), "enter:inner unload:box ");
  // Its script object is left to the collector once the unload has run.
  vm_.Collect();
  EXPECT_EQ(vm_.Get(boxObject), nullptr);
}

TEST_F(ScriptBridgeTest, IntervalsRunOnTheMovieClock) {
  const ObjectRef target = vm_.NewObject();
  vm_.SetMember(Value::Object(target), "_name", Value::String("t"));
  vm_.SetMember(Value::Object(target), "tick", Value::Object(vm_.NewFunction(Record<kTick>)));
  const Value global = Value::Object(vm_.Classes().global);
  vm_.SetMember(global, "log", Value::String(""));
  const Value id = Call(global, "setInterval", {Value::Object(target), Value::String("tick"), Value::Number(30)});
  EXPECT_EQ(vm_.ToNumber(id), 1);
  EXPECT_TRUE(Call(global, "setInterval", {Value::Object(target), Value::Number(1)}).Is(ValueKind::kUndefined));
  runtime_.AdvanceClock(20);
  EXPECT_EQ(Text(vm_.GetMember(global, "log")), "");
  runtime_.AdvanceClock(70);  // due at 30, 60 and 90
  EXPECT_EQ(Text(vm_.GetMember(global, "log")), "tick:t tick:t tick:t ");
  Call(global, "clearInterval", {id});
  runtime_.AdvanceClock(100);
  EXPECT_EQ(Text(vm_.GetMember(global, "log")), "tick:t tick:t tick:t ");
  EXPECT_EQ(runtime_.ElapsedMilliseconds(), 190);
}

}  // namespace
}  // namespace swf
