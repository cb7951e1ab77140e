#include "swf/parse/buttons.h"

#include <string>

#include "swf/parse/display_tags.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {

ButtonDefinition ParseDefineButton(BitReader& reader, int buttonVersion, size_t maxRecords) {
  ButtonDefinition button;
  button.id = reader.U16();
  if (buttonVersion >= 2) {
    reader.U8();   // track as menu
    reader.U16();  // offset of the conditional actions, which are not run
  }
  Frame frame;
  while (true) {
    const uint8_t flags = reader.U8();
    if (flags == 0) break;
    if (frame.tags.size() >= maxRecords) {
      throw ParseError("button " + std::to_string(button.id) + " has more than " + std::to_string(maxRecords) +
                       " records");
    }
    PlaceObject place;
    place.characterId = reader.U16();
    place.depth = reader.U16();
    place.matrix = ReadMatrix(reader);
    if (buttonVersion >= 2) {
      place.colorTransform = ReadColorTransform(reader, true);
      if (flags & 0x10) SkipFilterList(reader);
      if (flags & 0x20) place.blendMode = reader.U8();
    }
    const bool upState = (flags & 0x01) != 0;
    if (upState) frame.tags.emplace_back(std::move(place));
  }
  button.upState = std::make_shared<TimelineDefinition>();
  button.upState->frames.push_back(std::move(frame));
  button.upState->declaredFrameCount = 1;
  return button;
}

size_t CountButtonRecords(const ButtonDefinition& button) {
  return 1 + (button.upState && !button.upState->frames.empty() ? button.upState->frames[0].tags.size() : 0);
}

void ApplyButtonColorTransform(ButtonDefinition& button, const ColorTransform& colorTransform) {
  if (!button.upState) return;
  for (Frame& frame : button.upState->frames) {
    for (ControlTag& tag : frame.tags) {
      if (auto* place = std::get_if<PlaceObject>(&tag)) place->colorTransform = colorTransform;
    }
  }
}

}  // namespace swf
