#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/parse/actions.h"
#include "swf/parse/bit_reader.h"
#include "swf/parse/color_transform.h"
#include "swf/parse/filters.h"
#include "swf/parse/matrix.h"
#include "swf/parse/sounds.h"

namespace swf {

// Which states a button record shows in (its flags byte, low four bits).
namespace button_state {
inline constexpr uint8_t kUp = 0x01;
inline constexpr uint8_t kOver = 0x02;
inline constexpr uint8_t kDown = 0x04;
inline constexpr uint8_t kHitTest = 0x08;
}  // namespace button_state

// One BUTTONRECORD: a character placed in some of the button's states.
struct ButtonRecord {
  uint8_t states = 0;  // button_state bits
  uint16_t characterId = 0;
  uint16_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;  // DefineButton2; identity in DefineButton
  std::vector<Filter> filters;    // DefineButton2 records with a filter list
  std::optional<uint8_t> blendMode;  // as stored; ToBlendMode reads it
};

// BUTTONCONDACTION conditions: state transitions, in bits 0-8.
namespace button_condition {
inline constexpr uint16_t kIdleToOverUp = 1u << 0;
inline constexpr uint16_t kOverUpToIdle = 1u << 1;
inline constexpr uint16_t kOverUpToOverDown = 1u << 2;
inline constexpr uint16_t kOverDownToOverUp = 1u << 3;  // a click: DefineButton's actions run on it
inline constexpr uint16_t kOverDownToOutDown = 1u << 4;
inline constexpr uint16_t kOutDownToOverDown = 1u << 5;
inline constexpr uint16_t kOutDownToIdle = 1u << 6;
inline constexpr uint16_t kIdleToOverDown = 1u << 7;
inline constexpr uint16_t kOverDownToIdle = 1u << 8;
}  // namespace button_condition

// Actions run on some transitions of the button, or on a key press (code
// 1 left, 2 right, 3 home, 4 end, 5 insert, 6 delete, 8 backspace, 13 enter,
// 14 up, 15 down, 16 page up, 17 page down, 18 tab, 19 escape, 32-126 ASCII).
struct ButtonCondAction {
  uint16_t conditions = 0;  // button_condition bits
  uint8_t keyCode = 0;      // 0: none
  ActionBlock actions;
};

// DefineButtonSound: a sound per transition, at these indices of `sounds`.
namespace button_sound {
inline constexpr size_t kOverUpToIdle = 0;
inline constexpr size_t kIdleToOverUp = 1;
inline constexpr size_t kOverUpToOverDown = 2;
inline constexpr size_t kOverDownToOverUp = 3;
}  // namespace button_sound
struct ButtonSound {
  uint16_t soundId = 0;  // 0: no sound
  SoundInfo info;
};

// DefineButton / DefineButton2, as stored: every record of every state, the
// conditional actions (a DefineButton's one block is given as a single entry
// on kOverDownToOverUp), the DefineButtonCxform and DefineButtonSound tags
// that refer to it. The runtime makes a button's children from the records
// of its current state.
struct ButtonDefinition {
  uint16_t id = 0;

  int version = 1;  // 1 DefineButton, 2 DefineButton2
  bool trackAsMenu = false;
  std::vector<ButtonRecord> records;  // in file order
  std::vector<ButtonCondAction> actions;
  // Broken conditional actions do not cost the button: those read before the
  // fault are kept and this says what was wrong.
  std::string actionsError;
  std::optional<ColorTransform> buttonColorTransform;  // DefineButtonCxform
  std::array<ButtonSound, 4> sounds;                    // by button_sound index
};

// Body of DefineButton (version 1) or DefineButton2 (2). More than
// `maxRecords` records are refused.
ButtonDefinition ParseDefineButton(BitReader& reader, int buttonVersion, size_t maxRecords);

// Records of a button (those of all states and its conditional actions),
// counted against the movie's ceiling on records (a record takes many times
// its few bytes once parsed).
size_t CountButtonRecords(const ButtonDefinition& button);

// DefineButtonCxform: one colour transform for all records of a DefineButton.
void ApplyButtonColorTransform(ButtonDefinition& button, const ColorTransform& colorTransform);

// DefineButtonSound's body after the button id: four sound ids, each with its
// SOUNDINFO when not 0.
std::array<ButtonSound, 4> ReadButtonSounds(BitReader& reader);

}  // namespace swf
