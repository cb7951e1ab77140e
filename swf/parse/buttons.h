#pragma once

#include <cstdint>
#include <memory>

#include "swf/parse/bit_reader.h"
#include "swf/parse/color_transform.h"

namespace swf {

struct TimelineDefinition;

// DefineButton / DefineButton2 as they are shown while idle: the records of
// the up state, kept as a one-frame timeline of placements so that a button
// plays like a one-frame sprite (a clip in its up state keeps running).
// The button's actions are not run.
struct ButtonDefinition {
  uint16_t id = 0;
  std::shared_ptr<TimelineDefinition> upState;
};

// Body of DefineButton (version 1) or DefineButton2 (2). More than
// `maxRecords` records are refused.
ButtonDefinition ParseDefineButton(BitReader& reader, int buttonVersion, size_t maxRecords);

// Up-state records of a button, counted against the movie's ceiling on
// records (a record takes many times its few bytes once parsed).
size_t CountButtonRecords(const ButtonDefinition& button);

// DefineButtonCxform: one colour transform for all records of a DefineButton.
void ApplyButtonColorTransform(ButtonDefinition& button, const ColorTransform& colorTransform);

}  // namespace swf
