#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "swf/parse/bitmaps.h"
#include "swf/parse/actions.h"
#include "swf/parse/assets.h"
#include "swf/parse/buttons.h"
#include "swf/parse/display_tags.h"
#include "swf/parse/edit_text.h"
#include "swf/parse/fonts.h"
#include "swf/parse/header.h"
#include "swf/parse/morph.h"
#include "swf/parse/shape.h"
#include "swf/parse/sounds.h"
#include "swf/parse/text.h"

namespace swf {

// The display-list tags of one frame, in file order.
using ControlTag = std::variant<PlaceObject, RemoveObject>;

struct Frame {
  std::vector<ControlTag> tags;
  // Run after the frame's display list is built, init actions first; empty
  // in movies flagged for ActionScript 3, whose scripts are not run.
  std::vector<InitActionBlock> initActions;
  std::vector<ActionBlock> actions;
  std::vector<StartSound> sounds;  // StartSound / StartSound2, in file order
  // SoundStreamBlock data of this frame (normally one), in the format of
  // the timeline's stream head; pointing into the movie body.
  std::vector<std::span<const uint8_t>> streamBlocks;
};

// A tag the engine does not interpret; the bytes point into the movie body.
struct RawTag {
  uint16_t code = 0;
  size_t bodyOffset = 0;
  std::span<const uint8_t> body;
};

// Frames of the root or of a sprite, counted by ShowFrame tags (the header's
// frame count is not trusted for playback).
struct TimelineDefinition {
  std::vector<Frame> frames;
  std::map<std::string, uint32_t> labels;  // label -> 0-based frame
  uint16_t declaredFrameCount = 0;
  std::optional<SoundStreamHead> streamHead;  // the first SoundStreamHead/2
};

struct SpriteDefinition {
  uint16_t id = 0;
  TimelineDefinition timeline;
};

using Character = std::variant<ShapeDefinition, SpriteDefinition, FontDefinition, TextDefinition,
                               MorphShapeDefinition, ButtonDefinition, EditTextDefinition>;

// A whole movie parsed into plain data. Not copyable: raw tags point into
// `body`.
struct ParsedMovie {
  ParsedMovie() = default;
  ParsedMovie(const ParsedMovie&) = delete;
  ParsedMovie& operator=(const ParsedMovie&) = delete;
  ParsedMovie(ParsedMovie&&) = default;
  ParsedMovie& operator=(ParsedMovie&&) = default;

  Header header;
  size_t fileSize = 0;  // bytes of the file as read, compressed or not
  std::vector<uint8_t> body;
  std::unordered_map<uint16_t, Character> characters;
  BitmapLibrary bitmaps;  // bitmap characters, decoded; fills refer to them by id
  std::vector<uint8_t> jpegTables;  // JPEGTables body, shared by DefineBits images
  TimelineDefinition root;
  std::optional<Rgba> backgroundColor;
  bool actionScript3Flag = false;  // FileAttributes says AVM2
  bool hasAs3Code = false;         // a DoABC tag is present (its code is not run)
  std::unordered_map<uint16_t, SoundDefinition> sounds;  // DefineSound, by id
  std::vector<AssetName> exports;        // ExportAssets, all tags in file order
  std::vector<ImportedAssets> imports;   // ImportAssets/2, one entry per tag
  std::unordered_map<uint16_t, TextRenderSettings> textSettings;  // CSMTextSettings by text id
  std::vector<RawTag> unknownTags;
  std::vector<std::string> warnings;  // tags that were broken and skipped

  const Character* FindCharacter(uint16_t id) const {
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
  }
};

// Tags of a movie in all (sprites' tags included) and warnings it keeps. A
// parsed tag takes up to a few hundred bytes and a compressed movie of
// kilobytes can hold millions of tags: the tags beyond the ceiling are
// ignored, and the warnings beyond theirs are left out.
inline constexpr size_t kMaxTags = size_t{1} << 20;
inline constexpr size_t kMaxWarnings = 100;

// Decodes and parses a movie. Throws ParseError if the file is not a movie
// at all; broken tags inside are skipped and listed in `warnings`.
ParsedMovie ParseMovie(std::span<const uint8_t> file, size_t maxSize = kMaxDecodedSize);

}  // namespace swf
