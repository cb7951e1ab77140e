// What the interpreter asks of the display world: the layer that owns
// display objects (the engine's runtime) implements it, so the language
// knows clips only as script objects and target paths.
//
// A display object seen by scripts has a script object (ObjectClass
// kMovieClip, kButton or kTextField) that the runtime makes and keeps alive
// while the display object lives. Values refer to clips by target path
// (ClipReference); `Resolve` finds the object the path names now.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/value.h"

namespace swf::avm1 {

// StartDrag's constraint, in the parent's coordinates (pixels).
struct DragRectangle {
  double left, top, right, bottom;
};

class DisplayHost {
 public:
  virtual ~DisplayHost() = default;

  // Clip references and target paths.
  virtual ObjectRef Resolve(const ClipReference& clip) = 0;
  // The reference (target path, "_level0.a.b") to a display object's script
  // object; an empty path when `clip` is not one.
  virtual ClipReference ReferenceTo(ObjectRef clip) = 0;
  // What a path names seen from `origin` ("a.b", "/a/b", "../a", "_root",
  // "_parent", "_levelN", "this"), as SetTarget, tellTarget and the paths of
  // GetVariable take them; id 0 when nothing is there.
  virtual ObjectRef FindTarget(ObjectRef origin, std::string_view path) = 0;

  // The members a display object has besides its script properties: the
  // `_x`-style properties and the children by instance name. False when
  // `name` is none of them (the Vm then looks at properties and prototypes).
  virtual bool GetDisplayMember(ObjectRef object, std::string_view name, Value& out) = 0;
  virtual bool SetDisplayMember(ObjectRef object, std::string_view name, const Value& value) = 0;
  // The names of a display object's children that scripts reach by name,
  // in the order for-in gives them (after the object's own properties).
  virtual std::vector<std::string> ChildNames(ObjectRef object) = 0;

  // Timeline actions on a clip; frames are 0-based.
  virtual void GotoFrame(ObjectRef clip, std::int32_t frame, bool play) = 0;
  virtual bool GotoLabel(ObjectRef clip, std::string_view label, bool play) = 0;
  virtual void SetPlaying(ObjectRef clip, bool playing) = 0;
  virtual void StepFrame(ObjectRef clip, int delta) = 0;  // nextFrame +1, prevFrame -1
  virtual std::int32_t FramesLoaded(ObjectRef clip) = 0;
  // Call: runs the actions of one of the clip's frames now, with the clip as
  // their target, without moving its playhead. A label names its frame; a
  // frame the clip does not have runs nothing.
  virtual void CallFrame(ObjectRef clip, std::int32_t frame) = 0;
  virtual void CallLabel(ObjectRef clip, std::string_view label) = 0;

  // duplicateMovieClip / removeMovieClip, and dragging.
  virtual void CloneSprite(ObjectRef source, std::string_view name, std::int32_t depth) = 0;
  virtual void RemoveSprite(ObjectRef clip) = 0;
  virtual void StartDrag(ObjectRef clip, bool lockCenter, std::optional<DragRectangle> bounds) = 0;
  virtual void StopDrag() = 0;

  // GetURL/GetURL2 with what the movie asked for: "FSCommand:" urls,
  // "_levelN" targets (loadMovie), browser windows. `method`: 0 none,
  // 1 GET, 2 POST; `loadTarget`/`loadVariables` as GetURL2's flags.
  virtual void GetUrl(std::string_view url, std::string_view target, int method, bool loadTarget,
                      bool loadVariables) = 0;
  virtual void StopSounds() = 0;
  virtual void ToggleQuality() = 0;

  virtual void Trace(std::string_view line) = 0;
  // getTimer: milliseconds since the movie started, by the frame clock.
  virtual double TimerMilliseconds() = 0;
};

}  // namespace swf::avm1
