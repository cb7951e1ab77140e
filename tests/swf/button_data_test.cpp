// Buttons as stored: records of every state, conditional actions, and the
// colour transform and sounds other tags give them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "action_builder.h"
#include "data_tag_support.h"
#include "swf/parse/movie.h"
#include "swf/parse/tag_header.h"

namespace swf {
namespace {

using swftest::BitWriter;
using swftest::Bytes;
using swftest::BytesOf;
using swftest::HasWarning;
using swftest::MovieOf;

const ButtonDefinition& ButtonOf(const ParsedMovie& movie, uint16_t id) {
  return std::get<ButtonDefinition>(*movie.FindCharacter(id));
}

struct CondAction {
  uint8_t first = 0;   // IdleToOverDown ... IdleToOverUp
  uint8_t second = 0;  // key code << 1 | OverDownToIdle
  Bytes actions = {};
};

// DefineButton2 5: record 1 in the up state with a colour transform, a blur
// and a blend mode; record 2 in the other three states; then `conditions`
// (the last with size 0). `sizeBias` is added to the first condition's size.
Bytes Button2(const std::vector<CondAction>& conditions, int sizeBias = 0) {
  BitWriter records;
  records.U8(0x01 | 0x10 | 0x20);
  records.U16(1);
  records.U16(3);
  records.Matrix(Matrix::Translate(20, 40));
  ColorTransform half;
  half.redMult = 128;
  half.alphaAdd = -10;
  records.ColorTransform(half, true);
  records.U8(1);  // one filter
  records.U8(filter_id::kBlur);
  swftest::Fixed(records, 2);
  swftest::Fixed(records, 2);
  records.U8(1 << 3);
  records.U8(4);  // screen
  records.U8(0x02 | 0x04 | 0x08);
  records.U16(2);
  records.U16(4);
  records.Matrix(Matrix::Identity());
  records.ColorTransform(ColorTransform::Identity(), true);
  records.U8(0);
  const Bytes recordBytes = records.Take();

  BitWriter w;
  w.U16(5);
  w.U8(0x01);  // track as menu
  w.U16(conditions.empty() ? 0 : static_cast<uint16_t>(2 + recordBytes.size()));
  w.Append(recordBytes);
  for (size_t i = 0; i < conditions.size(); ++i) {
    const bool last = i + 1 == conditions.size();
    w.U16(last ? 0 : static_cast<uint16_t>(4 + conditions[i].actions.size() + (i == 0 ? sizeBias : 0)));
    w.U8(conditions[i].first);
    w.U8(conditions[i].second);
    w.Append(conditions[i].actions);
  }
  return swftest::Tag(tag::kDefineButton2, w.Take());
}

TEST(ButtonDataTest, Button2KeepsEveryRecordAndCondition) {
  const ParsedMovie movie = MovieOf({Button2({{0x08, (13 << 1) | 1, {action::kStop, 0}}, {0x81, 0, {action::kPlay, 0}}})});
  EXPECT_TRUE(movie.warnings.empty()) << (movie.warnings.empty() ? "" : movie.warnings[0]);
  const ButtonDefinition& button = ButtonOf(movie, 5);
  EXPECT_EQ(button.version, 2);
  EXPECT_TRUE(button.trackAsMenu);
  ASSERT_EQ(button.records.size(), 2u);
  const ButtonRecord& up = button.records[0];
  EXPECT_EQ(up.states, button_state::kUp);
  EXPECT_EQ(up.characterId, 1);
  EXPECT_EQ(up.depth, 3);
  EXPECT_EQ(up.matrix, Matrix::Translate(20, 40));
  EXPECT_EQ(up.colorTransform.redMult, 128);
  EXPECT_EQ(up.colorTransform.alphaAdd, -10);
  ASSERT_EQ(up.filters.size(), 1u);
  EXPECT_TRUE(up.filters[0] == Filter(BlurFilter{2, 2, 1}));
  EXPECT_EQ(ToBlendMode(up.blendMode.value_or(0)), BlendMode::kScreen);
  const ButtonRecord& others = button.records[1];
  EXPECT_EQ(others.states, button_state::kOver | button_state::kDown | button_state::kHitTest);
  EXPECT_TRUE(others.filters.empty());
  EXPECT_FALSE(others.blendMode.has_value());

  ASSERT_EQ(button.actions.size(), 2u);
  EXPECT_EQ(button.actions[0].conditions, button_condition::kOverDownToOverUp | button_condition::kOverDownToIdle);
  EXPECT_EQ(button.actions[0].keyCode, 13);
  EXPECT_EQ(BytesOf(button.actions[0].actions.code), (Bytes{action::kStop, 0}));
  EXPECT_EQ(button.actions[1].conditions, button_condition::kIdleToOverDown | button_condition::kIdleToOverUp);
  EXPECT_EQ(button.actions[1].keyCode, 0);
  EXPECT_EQ(button.actions[1].actions.At(0).code, action::kPlay);
}

TEST(ButtonDataTest, EachConditionBitLandsOnItsTransition) {
  const std::vector<std::pair<CondAction, uint16_t>> table = {
      {{0x01, 0}, button_condition::kIdleToOverUp},      {{0x02, 0}, button_condition::kOverUpToIdle},
      {{0x04, 0}, button_condition::kOverUpToOverDown},  {{0x08, 0}, button_condition::kOverDownToOverUp},
      {{0x10, 0}, button_condition::kOverDownToOutDown}, {{0x20, 0}, button_condition::kOutDownToOverDown},
      {{0x40, 0}, button_condition::kOutDownToIdle},     {{0x80, 0}, button_condition::kIdleToOverDown},
      {{0x00, 1}, button_condition::kOverDownToIdle},
  };
  for (const auto& [condition, expected] : table) {
    CondAction withActions = condition;
    withActions.actions = {0};
    const ParsedMovie movie = MovieOf({Button2({withActions})});
    const ButtonDefinition& button = ButtonOf(movie, 5);
    ASSERT_EQ(button.actions.size(), 1u);
    EXPECT_EQ(button.actions[0].conditions, expected) << int(condition.first) << "/" << int(condition.second);
    EXPECT_EQ(button.actions[0].keyCode, 0);
  }
}

TEST(ButtonDataTest, AConditionReachingPastItsTagKeepsTheButton) {
  const ParsedMovie movie =
      MovieOf({Button2({{0x08, 0, {action::kStop, 0}}, {0x01, 0, {action::kPlay, 0}}}, 100)});
  EXPECT_TRUE(HasWarning(movie, tag::kDefineButton2));
  const ButtonDefinition& button = ButtonOf(movie, 5);
  EXPECT_EQ(button.records.size(), 2u);
  EXPECT_TRUE(button.actions.empty());
  EXPECT_FALSE(button.actionsError.empty());
}

class ButtonVersionTest : public testing::TestWithParam<int> {};

// Both versions give their click actions as a condition on OverDownToOverUp.
TEST_P(ButtonVersionTest, ClickActionsAreAConditionOnRelease) {
  const int version = GetParam();
  BitWriter w;
  w.U16(7);
  if (version == 2) {
    w.U8(0);
    w.U16(0);  // replaced below
  }
  const size_t offsetField = 3;
  w.U8(0x01 | 0x08);  // up and hit test
  w.U16(1);
  w.U16(1);
  w.Matrix(Matrix::Translate(0, 20));
  if (version == 2) w.ColorTransform(ColorTransform::Identity(), true);
  w.U8(0);
  Bytes body = w.Take();
  const Bytes actions = swftest::act::GotoFrame(2);
  if (version == 2) {
    const size_t offset = body.size() - offsetField;
    body[offsetField] = static_cast<uint8_t>(offset);
    body[offsetField + 1] = static_cast<uint8_t>(offset >> 8);
    body.insert(body.end(), {0, 0, 0x08, 0});
  }
  body.insert(body.end(), actions.begin(), actions.end());
  body.push_back(0);
  const ParsedMovie movie = MovieOf({swftest::Tag(version == 1 ? tag::kDefineButton : tag::kDefineButton2, body)});
  const ButtonDefinition& button = ButtonOf(movie, 7);
  EXPECT_EQ(button.version, version);
  ASSERT_EQ(button.records.size(), 1u);
  EXPECT_EQ(button.records[0].states, button_state::kUp | button_state::kHitTest);
  EXPECT_EQ(button.records[0].matrix, Matrix::Translate(0, 20));
  ASSERT_EQ(button.actions.size(), 1u);
  EXPECT_EQ(button.actions[0].conditions, button_condition::kOverDownToOverUp);
  const Operation& gotoFrame = button.actions[0].actions.At(0);
  EXPECT_TRUE(gotoFrame.operands == Operands(GotoFrameOperands{2}));
  EXPECT_TRUE(button.actions[0].actions.At(gotoFrame.Next()).IsEnd());
}

INSTANTIATE_TEST_SUITE_P(ButtonVersions, ButtonVersionTest, testing::Values(1, 2));

TEST(ButtonDataTest, CxformAndSoundsAttachToTheirButton) {
  BitWriter cxform;
  cxform.U16(5);
  ColorTransform tint;
  tint.greenAdd = 50;
  cxform.ColorTransform(tint, false);
  BitWriter sounds;
  sounds.U16(5);
  sounds.U16(0);  // OverUpToIdle: none
  sounds.U16(7);  // IdleToOverUp: looped 3 times
  sounds.U8(0x04);
  sounds.U16(3);
  sounds.U16(0);  // OverUpToOverDown: none
  sounds.U16(9);  // OverDownToOverUp: stops sound 9
  sounds.U8(0x20);
  const ParsedMovie movie = MovieOf({Button2({}), swftest::Tag(tag::kDefineButtonCxform, cxform.Take()),
                                     swftest::Tag(tag::kDefineButtonSound, sounds.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const ButtonDefinition& button = ButtonOf(movie, 5);
  ASSERT_TRUE(button.buttonColorTransform.has_value());
  EXPECT_EQ(*button.buttonColorTransform, tint);
  // The records keep their own transforms.
  EXPECT_EQ(button.records[0].colorTransform.redMult, 128);
  EXPECT_EQ(button.sounds[button_sound::kOverUpToIdle].soundId, 0);
  EXPECT_EQ(button.sounds[button_sound::kIdleToOverUp].soundId, 7);
  EXPECT_EQ(button.sounds[button_sound::kIdleToOverUp].info.loopCount, 3);
  EXPECT_EQ(button.sounds[button_sound::kOverUpToOverDown].soundId, 0);
  EXPECT_EQ(button.sounds[button_sound::kOverDownToOverUp].soundId, 9);
  EXPECT_TRUE(button.sounds[button_sound::kOverDownToOverUp].info.syncStop);
  EXPECT_TRUE(button.actions.empty());
}

}  // namespace
}  // namespace swf
