#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/parse/movie.h"
#include "swf/runtime/handle.h"
#include "swf/text/text_field.h"

namespace swf {

// What a display object is, from the character it shows.
enum class ObjectKind : uint8_t {
  kMovieClip,   // a sprite (or the root): a timeline of its own and children
  kShape,
  kMorphShape,  // drawn at its ratio
  kStaticText,
  kButton,      // children made from the records of its state (`buttonState`)
  kBitmap,      // a bitmap character placed directly (not drawn yet)
  kTextField,   // DefineEditText, or made by createTextField (`textField`)
  kEmpty,       // an undefined id, or a character without a picture (a font)
};

// PlaceObject3's or a button record's filter list: whether one was given,
// and its filters.
struct FilterList {
  bool present = false;
  std::vector<Filter> filters;
};

// Properties a script may change; the timeline leaves one alone once it is
// changed that way (an object a script moved stays where it was put).
enum class ScriptSet : uint8_t {
  kMatrix = 1 << 0,
  kColorTransform = 1 << 1,
  kName = 1 << 2,
  kVisible = 1 << 3,
};

// A movie clip's own timeline: its frames and where it stands in them.
struct ClipTimeline {
  const TimelineDefinition* definition = nullptr;
  size_t currentFrame = 0;
  bool playing = true;

  size_t FrameCount() const { return definition->frames.size(); }
};

// One display object of a stage. Children are kept by depth (drawn in
// increasing depth) and referred to by handle, as is the parent.
struct DisplayObject {
  ObjectKind kind = ObjectKind::kEmpty;
  uint16_t characterId = 0;
  const Character* character = nullptr;  // null when the id names no character of the parse
  // The movie `character` belongs to when it is not the root's (an imported
  // character): the ids inside it, and its bitmaps, are that movie's.
  const ParsedMovie* movie = nullptr;

  Matrix matrix;
  ColorTransform colorTransform;
  std::string name;
  bool visible = true;
  uint16_t ratio = 0;
  int32_t clipDepth = 0;  // a mask of the depths above it up to this one; 0: not a mask
  uint8_t blendMode = 0;
  FilterList filters;
  // Drawn as one picture of its own: its bounds start on a whole pixel.
  bool cacheAsBitmap = false;
  std::optional<Rgba> opaqueBackground;  // fills the object's bounds behind it
  // Buttons: the state whose records are its children (button_state bits;
  // up until input changes it).
  uint8_t buttonState = button_state::kUp;

  ObjectHandle self;
  ObjectHandle parent;  // none for the root
  int32_t depth = 0;    // in its parent
  int level = 0;        // 0 for the root, its children 1, and so on
  bool madeByScript = false;
  // Order of making among the stage's objects: timelines and clip events
  // take siblings newest first.
  uint64_t serial = 0;
  // The onClipEvent handlers of the tag that placed it (they live as long as
  // the movie); null without any.
  const ClipActions* clipActions = nullptr;
  uint8_t scriptSet = 0;  // ScriptSet bits
  // _lockroot: `_root` inside names this clip; kept when a movie is loaded
  // into it.
  bool lockRoot = false;

  // Clips only, and only below the nesting limit: a clip past it (or past
  // the step's budget) shows nothing and plays nothing.
  std::optional<ClipTimeline> timeline;
  std::map<int32_t, ObjectHandle> children;  // depth -> child
  // Text fields only: their properties, text and what they draw.
  std::shared_ptr<text::TextFieldState> textField;

  bool IsScriptSet(ScriptSet property) const { return (scriptSet & static_cast<uint8_t>(property)) != 0; }
};

}  // namespace swf
