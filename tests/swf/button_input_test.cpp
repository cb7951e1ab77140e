// Mouse and keyboard on buttons: which button is under a point (hit areas,
// strokes, masks, the topmost one), the states a button goes through with
// the actions and sounds of each transition, key presses, and the cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "action_builder.h"
#include "character_builder.h"
#include "swf/player.h"
#include "swf/render/hit_test.h"
#include "swf/runtime/button_input.h"

namespace swf {
namespace {

using swftest::Bytes;
namespace act = swftest::act;
namespace cond = button_condition;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

// Shapes: 1 red, 2 blue, 3 green squares of 10 pixels; 4 a black square of
// 20 pixels (hit areas); 5 a line 50 pixels long and 5 wide, without fills.
std::vector<Bytes> Shapes() {
  swftest::ShapeWriter line(3);
  line.Line(100, kBlack).BeginRecords().Change(0, 0, 1, true, 0, 0).LineTo(1000, 0);
  return {swftest::SquareShapeTag(1, 200, kRed), swftest::SquareShapeTag(2, 200, kBlue),
          swftest::SquareShapeTag(3, 200, kGreen), swftest::SquareShapeTag(4, 400, kBlack),
          swftest::DefineShape(3, 5, {-100, 1100, -100, 100}, line.End())};
}

Bytes Place(uint16_t depth, uint16_t id, double xPixels, double yPixels, const std::string& name = {},
            uint16_t clipDepth = 0) {
  const Matrix at = Matrix::Translate(xPixels * 20, yPixels * 20);
  return swftest::PlaceObject2({.depth = depth, .characterId = id, .matrix = &at, .name = name, .clipDepth = clipDepth});
}

Bytes File(std::vector<Bytes> tags) {
  std::vector<Bytes> all = Shapes();
  all.insert(all.end(), tags.begin(), tags.end());
  all.push_back(swftest::ShowFrame());
  return swftest::Movie(all, swftest::Signature::kFws, 10, {0, 4000, 0, 3000});
}

// A button drawn red, blue and green in its up, over and down states, hit
// by `hitShape`.
Bytes ColouredButton(uint16_t id, uint16_t hitShape, const std::vector<swftest::ButtonCondition>& conditions = {},
                     bool trackAsMenu = false) {
  return swftest::Button2Tag(id,
                             {{.states = 0x01, .characterId = 1},
                              {.states = 0x02, .characterId = 2},
                              {.states = 0x04, .characterId = 3},
                              {.states = 0x08, .characterId = hitShape}},
                             conditions, trackAsMenu);
}

std::string NameUnder(const Player& player, double x, double y) {
  const ObjectHandle hit = ButtonAt(player.Objects(), player.Movie(), Matrix::Scale(0.05, 0.05), {x, y});
  const DisplayObject* object = player.Objects().Get(hit);
  return object != nullptr ? object->name : "";
}

TEST(ButtonHitTest, TheTopmostButtonWhoseHitAreaCoversThePoint) {
  const Bytes sprite = swftest::DefineSprite(20, 1, {Place(1, 4, 0, 0), swftest::ShowFrame()});
  const Bytes upOnly = swftest::Button2Tag(14, {{.states = 0x01, .characterId = 1},
                                                {.states = 0x08, .characterId = 4, .matrix = Matrix::Translate(0, 1000)}},
                                           {});
  const Bytes spriteHit = swftest::Button2Tag(13, {{.states = 0x08, .characterId = 20}}, {});
  const Player player(File({ColouredButton(10, 4), ColouredButton(11, 4), ColouredButton(12, 5), sprite, spriteHit,
                            upOnly, Place(1, 10, 20, 20, "low"), Place(2, 11, 30, 30, "high"),
                            Place(3, 4, 100, 0, "", 4), Place(4, 10, 110, 0, "masked"), Place(5, 12, 20, 100, "line"),
                            Place(6, 13, 150, 100, "sprite"), Place(7, 1, 20, 20), Place(8, 14, 160, 20, "apart")}));
  struct Case {
    double x, y;
    const char* expected;
  };
  const Case cases[] = {
      {25, 25, "low"},      // under a shape drawn above it: shapes do not catch the mouse
      {35, 35, "high"},     // where both overlap
      {55, 55, ""},         //
      {115, 5, "masked"},   // inside its mask
      {125, 5, ""},         // in its hit area, outside the mask
      {40, 101, "line"},    // on a stroke 5 pixels wide
      {40, 102.4, "line"},  //
      {40, 104, ""},        // beside it
      {155, 105, "sprite"}, // a sprite as the hit area
      {162, 22, ""},        // the up picture is not the hit area
      {162, 72, "apart"},   //
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NameUnder(player, c.x, c.y), c.expected) << c.x << ", " << c.y;
  }
}

TEST(ButtonHitTest, ShapesByTheirFillSidesAndWindingRule) {
  // A square ring: the outer square with fill 1 on one side, the inner one
  // traced the same way with the same fill: the hole is outside either way.
  swftest::ShapeWriter ring(3);
  ring.Solid(kRed).BeginRecords().Change(1, 0, -1, true, 0, 0).LineTo(400, 0).LineTo(0, 400).LineTo(-400, 0)
      .LineTo(0, -400).Change(-1, -1, -1, true, 100, 100).LineTo(200, 0).LineTo(0, 200).LineTo(-200, 0).LineTo(0, -200);
  swftest::ShapeWriter rightFill(3);
  rightFill.Solid(kRed).BeginRecords().Change(0, 1, -1, true, 0, 0).LineTo(400, 0).LineTo(0, 400).LineTo(-400, 0)
      .LineTo(0, -400);
  const Bytes ringShape = ring.End();
  const Bytes rightFillShape = rightFill.End();
  struct Case {
    const char* what;
    Bytes shape;
    Point point;
    bool inside;
  };
  const Case cases[] = {
      {"ring body", ringShape, {2, 2}, true},
      {"ring hole", ringShape, {10, 10}, false},
      {"outside", ringShape, {25, 10}, false},
      {"fill on the right", rightFillShape, {10, 10}, true},
  };
  for (const Case& c : cases) {
    ParsedMovie movie = ParseMovie(swftest::Movie({swftest::DefineShape(3, 1, {0, 400, 0, 400}, c.shape)}));
    const auto& shape = std::get<ShapeDefinition>(*movie.FindCharacter(1));
    EXPECT_EQ(ShapeContains(shape, Matrix::Scale(0.05, 0.05), c.point), c.inside) << c.what;
  }
}

// Each transition traces its name; a DefineButtonSound names sound 7 to 10
// for the four transitions that have sounds.
std::vector<swftest::ButtonCondition> TracingConditions() {
  const std::pair<uint16_t, const char*> names[] = {
      {cond::kIdleToOverUp, "rollOver"},      {cond::kOverUpToIdle, "rollOut"},
      {cond::kOverUpToOverDown, "press"},     {cond::kOverDownToOverUp, "release"},
      {cond::kOverDownToOutDown, "dragOut"},  {cond::kOutDownToOverDown, "dragOver"},
      {cond::kOutDownToIdle, "releaseOutside"}, {cond::kIdleToOverDown, "menuDragOver"},
      {cond::kOverDownToIdle, "menuDragOut"},
  };
  std::vector<swftest::ButtonCondition> conditions;
  for (const auto& [bit, name] : names) {
    conditions.push_back({.conditions = bit, .actions = {act::PushString(name), act::Simple(0x26)}});
  }
  conditions.push_back({.keyCode = 32, .actions = {act::PushString("key space"), act::Simple(0x26)}});
  conditions.push_back({.keyCode = 1, .actions = {act::PushString("key left"), act::Simple(0x26)}});
  return conditions;
}

Bytes ButtonSounds(uint16_t buttonId) {
  swftest::BitWriter w;
  w.U16(buttonId);
  for (uint16_t sound = 7; sound <= 10; ++sound) {
    w.U16(sound);
    w.U8(0);  // SOUNDINFO without any field
  }
  return swftest::Tag(17, w.Take());
}

struct Recorder : HostServices {
  void Trace(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

// A scripted step: a mouse event at a point (left button), or a key.
struct Step {
  InputKind kind;
  double x = 0;
  double y = 0;
  MouseButton button = MouseButton::kLeft;
  int keyCode = 0;
};
constexpr double kOn = 25;    // inside the button at (20, 20), 20 pixels wide
constexpr double kOff = 100;  // nowhere

Step Move(double at) { return {InputKind::kMouseMove, at, at}; }
Step Down(double at, MouseButton button = MouseButton::kLeft) { return {InputKind::kMouseDown, at, at, button}; }
Step Up(double at, MouseButton button = MouseButton::kLeft) { return {InputKind::kMouseUp, at, at, button}; }
Step Key(int code) { return {.kind = InputKind::kKeyDown, .keyCode = code}; }
Step FocusOut() { return {InputKind::kFocusOut}; }

struct MachineCase {
  const char* name;
  bool trackAsMenu;
  std::vector<Step> steps;
  std::vector<std::string> traces;
  uint8_t finalState;
  CursorShape cursor;
  std::vector<uint16_t> sounds;
};

class ButtonStateMachine : public testing::TestWithParam<MachineCase> {};

InputEvent EventOf(const Step& step) {
  InputEvent event;
  event.kind = step.kind;
  event.x = step.x;
  event.y = step.y;
  event.button = step.button;
  event.keyCode = step.keyCode;
  return event;
}

TEST_P(ButtonStateMachine, TransitionsRunTheirActionsAndShowTheirState) {
  const MachineCase& c = GetParam();
  Recorder host;
  Player player(File({ColouredButton(10, 4, TracingConditions(), c.trackAsMenu), ButtonSounds(10),
                      Place(1, 10, 20, 20, "b")}),
                &host);
  for (const Step& step : c.steps) player.HandleInput(EventOf(step));
  EXPECT_EQ(host.lines, c.traces);
  const DisplayObject& button = *player.Objects().ChildAt(player.Root(), 1);
  EXPECT_EQ(button.buttonState, c.finalState);
  // The state's record is the button's child: red, blue or green.
  const uint16_t shown = c.finalState == button_state::kUp ? 1 : c.finalState == button_state::kOver ? 2 : 3;
  ASSERT_EQ(button.children.size(), 1u);
  EXPECT_EQ(player.Objects().Get(button.children.begin()->second)->characterId, shown);
  EXPECT_EQ(player.Cursor(), c.cursor);
  std::vector<uint16_t> sounds;
  for (const SoundRequest& request : player.TakeSoundRequests()) sounds.push_back(request.soundId);
  EXPECT_EQ(sounds, c.sounds);
}

using S = std::vector<std::string>;
constexpr uint8_t kUp = button_state::kUp;
constexpr uint8_t kOver = button_state::kOver;
constexpr uint8_t kDown = button_state::kDown;
constexpr CursorShape kArrow = CursorShape::kArrow;
constexpr CursorShape kHand = CursorShape::kHand;

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonStateMachine,
    testing::Values(
        MachineCase{"RollOver", false, {Move(kOn)}, S{"rollOver"}, kOver, kHand, {8}},
        MachineCase{"RollOut", false, {Move(kOn), Move(kOff)}, S{"rollOver", "rollOut"}, kUp, kArrow, {8, 7}},
        MachineCase{"Click", false, {Move(kOn), Down(kOn), Up(kOn)}, S{"rollOver", "press", "release"}, kOver, kHand,
                    {8, 9, 10}},
        MachineCase{"PressWithoutMoveFirst", false, {Down(kOn)}, S{"rollOver", "press"}, kDown, kHand, {8, 9}},
        MachineCase{"ReleaseOutside", false, {Move(kOn), Down(kOn), Move(kOff), Up(kOff)},
                    S{"rollOver", "press", "dragOut", "releaseOutside"}, kUp, kArrow, {8, 9}},
        MachineCase{"DragOutAndBack", false, {Move(kOn), Down(kOn), Move(kOff), Move(kOn), Up(kOn)},
                    S{"rollOver", "press", "dragOut", "dragOver", "release"}, kOver, kHand, {8, 9, 10}},
        MachineCase{"DraggedOutShowsOver", false, {Down(kOn), Move(kOff)}, S{"rollOver", "press", "dragOut"}, kOver,
                    kArrow, {8, 9}},
        MachineCase{"PressElsewhereThenOver", false, {Down(kOff), Move(kOn), Up(kOn)}, S{"rollOver"}, kOver, kHand,
                    {8}},
        MachineCase{"MenuTakesAPressFromElsewhere", true, {Down(kOff), Move(kOn), Up(kOn)},
                    S{"menuDragOver", "release"}, kOver, kHand, {10}},
        MachineCase{"MenuLetsGoWhenLeft", true, {Down(kOn), Move(kOff), Up(kOff)},
                    S{"rollOver", "press", "menuDragOut"}, kUp, kArrow, {8, 9}},
        MachineCase{"RightButtonOnlyMoves", false, {Down(kOn, MouseButton::kRight), Up(kOn, MouseButton::kRight)},
                    S{"rollOver"}, kOver, kHand, {8}},
        MachineCase{"FocusLostWhilePressed", false, {Down(kOn), FocusOut()}, S{"rollOver", "press", "menuDragOut"},
                    kUp, kArrow, {8, 9}},
        MachineCase{"KeyPresses", false, {Key(32), Key(37), Key(65)}, S{"key space", "key left"}, kUp, kArrow, {}}),
    [](const testing::TestParamInfo<MachineCase>& param) { return param.param.name; });

TEST(ButtonActions, AReleaseGoesToALabelledFrameAndTheStateFollowsTheMouse) {
  Bytes label{'e', 'n', 'd', 0};
  Player player(swftest::Movie(
      [&] {
        std::vector<Bytes> tags = Shapes();
        tags.push_back(ColouredButton(10, 4, {{.conditions = cond::kOverDownToOverUp, .actions = {act::GotoLabel("end")}}}));
        tags.push_back(Place(1, 10, 20, 20));
        tags.push_back(act::DoAction({act::Stop()}));
        tags.push_back(swftest::ShowFrame());
        tags.push_back(swftest::Tag(43, label));
        tags.push_back(swftest::ShowFrame());
        return tags;
      }(),
      swftest::Signature::kFws, 10, {0, 4000, 0, 3000}, 24 << 8, 2));
  std::vector<uint8_t> pixels(200 * 150 * 4);
  const RenderTarget target{pixels.data(), 200, 150, 200 * 4, PixelFormat::kRgba32};
  auto colourAt = [&](int x, int y) {
    player.Render(target, Quality::kLow);
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * 200 + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(colourAt(25, 25), kRed);
  player.HandleInput(EventOf(Move(25)));
  EXPECT_EQ(colourAt(25, 25), kBlue);
  player.HandleInput(EventOf(Down(25)));
  EXPECT_EQ(colourAt(25, 25), kGreen);
  EXPECT_EQ(player.CurrentFrame(), 0u);
  player.HandleInput(EventOf(Up(25)));
  EXPECT_EQ(player.CurrentFrame(), 1u);
  EXPECT_EQ(colourAt(25, 25), kBlue);  // the button is still there, under the mouse
}

// A timeline that takes the button off and puts it back (the loop of a
// two-frame root whose second frame removes it) keeps the mouse's state on
// the new button; one taken off for good is gone without a transition.
TEST(ButtonActions, AButtonPutBackByItsTimelineKeepsTheMouseState) {
  const std::vector<swftest::ButtonCondition> conditions = {
      {.conditions = cond::kIdleToOverUp, .actions = {act::PushString("rollOver"), act::Simple(0x26)}},
      {.conditions = cond::kOverUpToIdle, .actions = {act::PushString("rollOut"), act::Simple(0x26)}}};
  const auto movie = [&](bool putBack) {
    std::vector<Bytes> tags = Shapes();
    tags.push_back(ColouredButton(10, 4, conditions));
    tags.push_back(Place(1, 10, 20, 20));
    tags.push_back(swftest::ShowFrame());
    tags.push_back(swftest::RemoveObject2(1));
    tags.push_back(putBack ? act::DoAction({act::GotoFrame(0), act::Play()}) : act::DoAction({act::Stop()}));
    tags.push_back(swftest::ShowFrame());
    return swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 4000, 0, 3000}, 24 << 8, 2);
  };
  for (const bool putBack : {true, false}) {
    Recorder host;
    Player player(movie(putBack), &host);
    player.HandleInput(EventOf(Move(kOn)));
    for (int i = 0; i < 5; ++i) player.Tick();
    const DisplayObject* button = player.Objects().ChildAt(player.Root(), 1);
    EXPECT_EQ(button != nullptr, putBack);
    if (button != nullptr) {
      EXPECT_EQ(button->buttonState, button_state::kOver);
    }
    EXPECT_EQ(player.Cursor(), putBack ? kHand : kArrow);
    player.HandleInput(EventOf(Move(kOff)));
    EXPECT_EQ(host.lines, putBack ? S({"rollOver", "rollOut"}) : S({"rollOver"})) << putBack;
  }
}

TEST(ButtonActions, KeyCodesOfConditions) {
  struct Case {
    int keyCode;
    char32_t character;
    uint8_t expected;
  };
  const Case cases[] = {{37, 0, 1},  {39, 0, 2},   {36, 0, 3},   {35, 0, 4},     {45, 0, 5},  {46, 0, 6},
                        {8, 0, 8},   {13, 0, 13},  {38, 0, 14},  {40, 0, 15},    {33, 0, 16}, {34, 0, 17},
                        {9, 0, 18},  {27, 0, 19},  {32, 0, 32},  {65, U'a', 'a'}, {65, U'A', 'A'},
                        {65, 0, 0},  {16, 0, 0},   {0, U'é', 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ButtonKeyCode(c.keyCode, c.character), c.expected) << c.keyCode;
  }
}

}  // namespace
}  // namespace swf
