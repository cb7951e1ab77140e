#include "swf/parse/buttons.h"

#include <string>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"

namespace swf {
namespace {

ButtonRecord ReadButtonRecord(BitReader& reader, uint8_t flags, int buttonVersion) {
  ButtonRecord record;
  record.states = flags & 0x0F;
  record.characterId = reader.U16();
  record.depth = reader.U16();
  record.matrix = ReadMatrix(reader);
  if (buttonVersion >= 2) {
    record.colorTransform = ReadColorTransform(reader, true);
    if (flags & 0x10) record.filters = ReadFilterList(reader);
    if (flags & 0x20) record.blendMode = reader.U8();
  }
  return record;
}

// BUTTONCONDACTIONs up to the one whose size is 0, or to the end of the tag.
void ReadCondActions(BitReader& reader, ButtonDefinition& button) {
  while (!reader.AtEnd()) {
    const uint16_t size = reader.U16();  // from the size field to the next record
    ButtonCondAction action;
    const uint8_t first = reader.U8();
    const uint8_t second = reader.U8();
    action.conditions = static_cast<uint16_t>(first | ((second & 0x01) << 8));
    action.keyCode = second >> 1;
    if (size == 0) {
      action.actions = ReadActionBlock(reader, reader.Remaining());
      button.actions.push_back(std::move(action));
      return;
    }
    if (size < 4 || size - 4u > reader.Remaining()) {
      throw ParseError("button condition of " + std::to_string(size) + " bytes at offset " +
                       std::to_string(reader.AbsoluteOffset() - 4) + " does not fit its tag");
    }
    action.actions = ReadActionBlock(reader, size - 4u);
    button.actions.push_back(std::move(action));
  }
}

}  // namespace

ButtonDefinition ParseDefineButton(BitReader& reader, int buttonVersion, size_t maxRecords) {
  ButtonDefinition button;
  button.id = reader.U16();
  button.version = buttonVersion;
  size_t actionStart = 0;  // DefineButton2: where the conditions begin, 0 for none
  if (buttonVersion >= 2) {
    button.trackAsMenu = (reader.U8() & 0x01) != 0;
    const size_t field = reader.Position();
    const uint16_t actionOffset = reader.U16();
    if (actionOffset != 0) actionStart = field + actionOffset;
  }
  while (true) {
    const uint8_t flags = reader.U8();
    if (flags == 0) break;
    if (button.records.size() >= maxRecords) {
      throw ParseError("button " + std::to_string(button.id) + " has more than " + std::to_string(maxRecords) +
                       " records");
    }
    button.records.push_back(ReadButtonRecord(reader, flags, buttonVersion));
  }

  // The actions are not needed to show the button: a fault in them is kept
  // as a note rather than losing the button.
  try {
    if (buttonVersion == 1) {
      ButtonCondAction click;
      click.conditions = button_condition::kOverDownToOverUp;
      click.actions = ReadActionBlock(reader, reader.Remaining());
      button.actions.push_back(std::move(click));
    } else if (actionStart != 0) {
      // The offset normally points just past the records; one pointing
      // elsewhere inside the tag is followed.
      if (actionStart > reader.Position()) reader.Skip(actionStart - reader.Position());
      ReadCondActions(reader, button);
    }
  } catch (const ParseError& error) {
    button.actionsError = error.what();
  }
  return button;
}

size_t CountButtonRecords(const ButtonDefinition& button) {
  return 1 + button.records.size() + button.actions.size();
}

void ApplyButtonColorTransform(ButtonDefinition& button, const ColorTransform& colorTransform) {
  button.buttonColorTransform = colorTransform;
}

std::array<ButtonSound, 4> ReadButtonSounds(BitReader& reader) {
  std::array<ButtonSound, 4> sounds;
  for (ButtonSound& sound : sounds) {
    sound.soundId = reader.U16();
    if (sound.soundId != 0) sound.info = ReadSoundInfo(reader);
  }
  return sounds;
}

}  // namespace swf
