// Mouse and keyboard as scripts hear them besides buttons: the order of the
// clip events of one input event (children before their parent, the topmost
// first, then the button answering), clips that act as buttons, keyPress
// handlers by key, and dragging with its constraints and
// drop target.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "action_builder.h"
#include "character_builder.h"
#include "swf/parse/clip_actions.h"
#include "swf/player.h"

namespace swf {
namespace {

using swftest::Bytes;
namespace act = swftest::act;

constexpr Rgba kRed{255, 0, 0, 255};

struct Recorder : HostServices {
  void Trace(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

Bytes Trace(const std::string& text) {
  Bytes out = act::PushString(text);
  const Bytes trace = act::Simple(0x26);
  out.insert(out.end(), trace.begin(), trace.end());
  return out;
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// One onClipEvent handler: its events, its key (keyPress) and its actions.
struct Handler {
  uint32_t events;
  Bytes actions;
  uint8_t key = 0;
};

// PlaceObject2 of `id` at (x, y) pixels named `name`, with handlers
// (version 6 and later: 4-byte event fields).
Bytes PlaceWithHandlers(uint16_t depth, uint16_t id, double x, double y, const std::string& name,
                        const std::vector<Handler>& handlers) {
  swftest::BitWriter w;
  w.U8(0x80 | 0x20 | 0x04 | 0x02);
  w.U16(depth);
  w.U16(id);
  w.Matrix(Matrix::Translate(x * 20, y * 20));
  w.String(name);
  uint32_t all = 0;
  for (const Handler& handler : handlers) all |= handler.events;
  const auto flags = [&](uint32_t events) {
    // clip_event keeps the field's bytes in its top three bytes.
    w.U8(static_cast<uint8_t>(events >> 24));
    w.U8(static_cast<uint8_t>(events >> 16));
    w.U8(static_cast<uint8_t>(events >> 8));
    w.U8(0);
  };
  w.U16(0);
  flags(all);
  for (const Handler& handler : handlers) {
    flags(handler.events);
    const Bytes actions = Join({handler.actions, Bytes{0}});
    const bool key = (handler.events & clip_event::kKeyPress) != 0;
    w.U32(static_cast<uint32_t>(actions.size() + (key ? 1 : 0)));
    if (key) w.U8(handler.key);
    w.Append(actions);
  }
  w.U32(0);
  return swftest::Tag(26, w.Take());
}

// Shape 1: a red square of 20 pixels; sprite 2 shows it.
std::vector<Bytes> Library() {
  return {swftest::SquareShapeTag(1, 400, kRed),
          swftest::DefineSprite(2, 1,
                                {swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()})};
}

Bytes File(std::vector<Bytes> tags) {
  std::vector<Bytes> all = Library();
  all.insert(all.end(), tags.begin(), tags.end());
  all.push_back(swftest::ShowFrame());
  return swftest::Movie(all, swftest::Signature::kFws, 8, {0, 4000, 0, 3000});
}

InputEvent Mouse(InputKind kind, double x, double y) {
  InputEvent event;
  event.kind = kind;
  event.x = x;
  event.y = y;
  event.button = MouseButton::kLeft;
  return event;
}

InputEvent Key(InputKind kind, int code, char32_t character = 0) {
  InputEvent event;
  event.kind = kind;
  event.keyCode = code;
  event.character = character;
  return event;
}

using Lines = std::vector<std::string>;

struct OrderCase {
  const char* name;
  std::vector<InputEvent> input;
  Lines traces;
};

class InputEventOrder : public testing::TestWithParam<OrderCase> {};

// Three clips on the root: "low" (depth 1) listens to the mouse and the
// keys; "high" (depth 2) listens too and holds "inner" that does; "button"
// (depth 3, at 100,100) is a clip acting as a button.
TEST_P(InputEventOrder, ClipEventsRunChildrenFirstThenTheButton) {
  const auto listening = [](const std::string& who) {
    return std::vector<Handler>{
        {clip_event::kMouseDown, Trace(who + " mouseDown")},
        {clip_event::kMouseUp, Trace(who + " mouseUp")},
        {clip_event::kKeyDown, Trace(who + " keyDown")},
        {clip_event::kKeyUp, Trace(who + " keyUp")},
        {clip_event::kKeyPress, Trace(who + " keyPress x"), 'x'},
    };
  };
  const Bytes holder = swftest::DefineSprite(
      3, 1, {PlaceWithHandlers(1, 2, 0, 0, "inner", listening("inner")), swftest::ShowFrame()});
  const std::vector<Handler> buttonHandlers{
      {clip_event::kPress, Trace("button press")},
      {clip_event::kRelease, Trace("button release")},
      {clip_event::kReleaseOutside, Trace("button releaseOutside")},
      {clip_event::kRollOver, Trace("button rollOver")},
      {clip_event::kRollOut, Trace("button rollOut")},
      {clip_event::kDragOut, Trace("button dragOut")},
      {clip_event::kDragOver, Trace("button dragOver")},
  };
  Recorder host;
  Player player(File({holder, PlaceWithHandlers(1, 2, 0, 0, "low", listening("low")),
                      PlaceWithHandlers(2, 3, 50, 0, "high", listening("high")),
                      PlaceWithHandlers(3, 2, 100, 100, "button", buttonHandlers)}),
                &host);
  for (const InputEvent& event : GetParam().input) player.HandleInput(event);
  EXPECT_EQ(host.lines, GetParam().traces);
}

constexpr InputKind kMove = InputKind::kMouseMove;
constexpr InputKind kDown = InputKind::kMouseDown;
constexpr InputKind kUp = InputKind::kMouseUp;

INSTANTIATE_TEST_SUITE_P(
    Cases, InputEventOrder,
    testing::Values(
        OrderCase{"PressAway",
                  {Mouse(kDown, 5, 150)},
                  {"inner mouseDown", "high mouseDown", "low mouseDown"}},
        OrderCase{"ClickOnTheClipButton",
                  {Mouse(kMove, 105, 105), Mouse(kDown, 105, 105), Mouse(kUp, 105, 105)},
                  {"button rollOver", "inner mouseDown", "high mouseDown", "low mouseDown", "button press",
                   "inner mouseUp", "high mouseUp", "low mouseUp", "button release"}},
        OrderCase{"DragOffAndLetGo",
                  {Mouse(kMove, 105, 105), Mouse(kDown, 105, 105), Mouse(kMove, 5, 150), Mouse(kUp, 5, 150)},
                  {"button rollOver", "inner mouseDown", "high mouseDown", "low mouseDown", "button press",
                   "button dragOut", "inner mouseUp", "high mouseUp", "low mouseUp", "button releaseOutside"}},
        OrderCase{"DragOffAndBack",
                  {Mouse(kMove, 105, 105), Mouse(kDown, 105, 105), Mouse(kMove, 5, 150), Mouse(kMove, 110, 110)},
                  {"button rollOver", "inner mouseDown", "high mouseDown", "low mouseDown", "button press",
                   "button dragOut", "button dragOver"}},
        OrderCase{"RollOverAndOut",
                  {Mouse(kMove, 105, 105), Mouse(kMove, 5, 150)},
                  {"button rollOver", "button rollOut"}},
        OrderCase{"KeyPressRunsTheHandlerOfItsKeyOnly",
                  {Key(InputKind::kKeyDown, 88, U'x'), Key(InputKind::kKeyUp, 88, U'x'),
                   Key(InputKind::kKeyDown, 89, U'y')},
                  {"inner keyDown", "high keyDown", "low keyDown", "inner keyPress x", "high keyPress x",
                   "low keyPress x", "inner keyUp", "high keyUp", "low keyUp", "inner keyDown", "high keyDown",
                   "low keyDown"}}),
    [](const testing::TestParamInfo<OrderCase>& testCase) { return testCase.param.name; });

// Pushes the numbers and strings of a startDrag: target, lock, then the
// constraint (x1, y1, x2, y2) when given.
Bytes StartDrag(const std::string& target, bool lockCenter, const std::vector<int>& constraint) {
  std::vector<Bytes> parts;
  for (const int value : constraint) parts.push_back(act::PushInteger(value));
  parts.push_back(act::PushInteger(constraint.empty() ? 0 : 1));
  parts.push_back(act::PushInteger(lockCenter ? 1 : 0));
  parts.push_back(act::PushString(target));
  parts.push_back(act::Simple(0x27));
  return Join(parts);
}

struct DragCase {
  const char* name;
  bool lockCenter;
  std::vector<int> constraint;  // x1, y1, x2, y2 in pixels, or none
  double toX, toY;              // where the mouse goes after pressing at (45, 45)
  double expectedX, expectedY;  // where the clip (placed at 40, 40) ends up
};

class Dragging : public testing::TestWithParam<DragCase> {};

// Pressing the clip starts its drag; the mouse then moves and lets go,
// which stops it. A second clip "target" at (150, 150) lies below.
TEST_P(Dragging, TheClipFollowsTheMouseWithinItsConstraint) {
  const DragCase& c = GetParam();
  Recorder host;
  const std::vector<Handler> handlers{
      {clip_event::kPress, StartDrag("/dragged", c.lockCenter, c.constraint)},
      {clip_event::kRelease | clip_event::kReleaseOutside,
       Join({act::Simple(0x28), act::PushString(""), act::PushInteger(14), act::Simple(0x22), act::Simple(0x26)})},
  };
  Player player(File({PlaceWithHandlers(1, 2, 150, 150, "target", {}),
                      PlaceWithHandlers(2, 2, 40, 40, "dragged", handlers)}),
                &host);
  player.HandleInput(Mouse(kMove, 45, 45));
  player.HandleInput(Mouse(kDown, 45, 45));
  player.HandleInput(Mouse(kMove, c.toX, c.toY));
  player.HandleInput(Mouse(kUp, c.toX, c.toY));
  // After the drag stopped the mouse moves on alone.
  player.HandleInput(Mouse(kMove, 10, 190));
  const DisplayObject& dragged = *player.Objects().ChildAt(player.Root(), 2);
  EXPECT_DOUBLE_EQ(dragged.matrix.tx / 20, c.expectedX);
  EXPECT_DOUBLE_EQ(dragged.matrix.ty / 20, c.expectedY);
  // _droptarget: the clip below the mouse where the drag ended.
  const bool overTarget = c.toX >= 150 && c.toX < 170 && c.toY >= 150 && c.toY < 170;
  EXPECT_EQ(host.lines, Lines{overTarget ? "/target" : ""});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Dragging,
    testing::Values(DragCase{"KeepsTheGrabOffset", false, {}, 100, 60, 95, 55},
                    DragCase{"LockedCentreSitsOnTheMouse", true, {}, 100, 60, 100, 60},
                    DragCase{"ConstraintHoldsItIn", true, {0, 0, 80, 50}, 100, 60, 80, 50},
                    DragCase{"DroppedOnAnotherClip", false, {}, 155, 155, 150, 150}),
    [](const testing::TestParamInfo<DragCase>& testCase) { return testCase.param.name; });

// A clip the timeline removes runs its unload handlers after it has gone;
// they still reach the root by name.
TEST(ClipUnload, UnloadHandlersOfARemovedClipStillFindTheRoot) {
  const Bytes traceRoot = Join({act::PushString("_root"), act::Simple(0x1C), act::Simple(0x26)});
  std::vector<Bytes> tags = Library();
  tags.push_back(PlaceWithHandlers(1, 2, 0, 0, "gone", {{clip_event::kUnload, traceRoot}}));
  tags.push_back(swftest::ShowFrame());
  tags.push_back(swftest::RemoveObject2(1));
  tags.push_back(swftest::ShowFrame());
  Recorder host;
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 8, {0, 4000, 0, 3000}), &host);
  player.Tick();
  EXPECT_EQ(host.lines, Lines{"_level0"});
}

}  // namespace
}  // namespace swf
