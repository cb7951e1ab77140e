#pragma once

// The running movie: one root's stage of display objects, its execution
// context, and the rules by which timelines change the stage (frames
// entered, gotos, ticks) and scripts act on it. Frame numbers are 0-based.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/avm1/interpreter.h"
#include "swf/avm1/vm.h"
#include "swf/host_services.h"
#include "swf/parse/movie.h"
#include "swf/runtime/execution_context.h"
#include "swf/runtime/imports.h"
#include "swf/runtime/input_state.h"
#include "swf/runtime/movie_loads.h"
#include "swf/runtime/sound_frames.h"
#include "swf/runtime/script_bridge.h"
#include "swf/runtime/script_sounds.h"
#include "swf/avm1/builtins/data_loads.h"
#include "swf/avm1/builtins/shared_objects.h"
#include "swf/runtime/script_timers.h"
#include "swf/runtime/stage.h"
#include "swf/runtime/timeline.h"
#include "swf/text/font_library.h"

namespace swf {

class Runtime final : private RemovalObserver {
 public:
  // Clips nested deeper than this show nothing, so that sprites placing each
  // other cannot recurse without end.
  static constexpr int kMaxNesting = 16;
  // Objects alive below the root, and placements and clips started in one
  // step of the root (ObjectBudget).
  static constexpr size_t kMaxDisplayObjects = ObjectBudget::kMaxLive;
  static constexpr size_t kMaxMadePerStep = ObjectBudget::kMaxMadePerStep;

  // Loads what the movie imports through `host`, enters the root's first
  // frame and runs its scripts, which talk to `host` (not owned; null:
  // nobody listens and nothing is imported). `maxMadePerStep` lowers the step's
  // placement budget (tests of the budget). Scripts run within the movie's
  // ScriptLimits (15 s and 256 calls deep without the tag).
  explicit Runtime(const ParsedMovie& movie, HostServices* host = nullptr,
                   size_t maxMadePerStep = ObjectBudget::kMaxMadePerStep);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const Stage& Objects() const { return stage_; }
  ObjectHandle Root() const { return stage_.Root(); }
  const DisplayObject& RootObject() const { return *stage_.Get(stage_.Root()); }
  ExecutionContext& Context() { return context_; }
  const ExecutionContext& Context() const { return context_; }

  // Steps the host takes; each starts a new step of the placement budget and
  // runs the scripts it queues. A tick first tells the clips of the frame
  // that starts (enterFrame), then moves the timelines, then runs the frame
  // scripts and the clip events the changes queued.
  void Tick();
  // Moves the movie's clock on and runs the timers that fall due meanwhile
  // (setInterval, setTimeout); getTimer reads this clock.
  void AdvanceClock(double milliseconds);
  double ElapsedMilliseconds() const { return clockMilliseconds_; }
  void GotoFrame(size_t frame);  // of the root
  size_t CurrentFrame() const { return RootObject().timeline->currentFrame; }
  size_t FrameCount() const { return RootObject().timeline->FrameCount(); }
  bool IsPlaying() const { return RootObject().timeline->playing; }
  void Play() { PlayClip(Root(), true); }
  void Stop() { PlayClip(Root(), false); }

  // What scripts do to clips, within the step that runs them; a stale handle
  // or an object without a timeline does nothing. A goto shows `frame`
  // (clamped to the last one).
  void GotoClipFrame(ObjectHandle clip, size_t frame);
  void PlayClip(ObjectHandle clip, bool playing);

  // Makes an object of `characterId` at `scriptDepth` (0 and above) of
  // `parent`, named `name`, as attachMovie does; it is left alone by its
  // parent's timeline, gotos included. None if the parent is stale or out of
  // room.
  ObjectHandle PlaceScriptObject(ObjectHandle parent, uint16_t characterId, int32_t scriptDepth, std::string name);
  // Removes an object a script made (nothing else; false if it is not one).
  bool RemoveScriptObject(ObjectHandle object);
  // removeMovieClip: an object at a script depth (made by a script or moved
  // there by swapDepths) goes; others stay.
  bool RemoveClipByScript(ObjectHandle object);
  // duplicateMovieClip: a copy of `source` (its character, placement and
  // clip events) beside it at `scriptDepth`, played from its first frame.
  ObjectHandle DuplicateClip(ObjectHandle source, std::string name, int32_t scriptDepth);
  // createEmptyMovieClip: a clip of one empty frame.
  ObjectHandle PlaceEmptyClip(ObjectHandle parent, int32_t scriptDepth, std::string name);
  // swapDepths: the object moves to `scriptDepth` of its parent (the one
  // there takes its place) and the timeline leaves it alone from then on.
  bool SwapDepths(ObjectHandle object, int32_t scriptDepth);
  // The `initialize` and `construct` handlers and the registered class's
  // constructor of a clip a script has just made, run at once.
  void ConstructNow(ObjectHandle clip);
  // Property changes made by scripts: the timeline no longer changes them.
  bool SetMatrix(ObjectHandle object, const Matrix& matrix);
  bool SetColorTransform(ObjectHandle object, const ColorTransform& colorTransform);
  bool SetName(ObjectHandle object, std::string name);
  bool SetVisible(ObjectHandle object, bool visible);
  // Shows the records of `state` (button_state bits) as the button's
  // children: a child that the new state shows with the same character at the
  // same depth stays (a clip in it plays on) and takes the record's
  // placement, the others go and the missing ones are made. Anything but a
  // live button: nothing.
  void SetButtonState(ObjectHandle button, uint8_t state);

  // Runs the queued frame actions unless they are running already (scripts
  // only queue). Each run has a fresh ActionBudget.
  void RunFrameActions();

  const ParsedMovie& Movie() const { return movie_; }
  const ImportLibrary& Imports() const { return imports_; }

  // The frames with sound entered since the last call, in the order entered.
  std::vector<SoundFrame> TakeSoundFrames() { return std::exchange(soundFrames_, {}); }
  // The script side: the object world and the bridge to the stage.
  avm1::Vm& Scripts() { return vm_; }
  ScriptBridge& Bridge() { return bridge_; }
  ScriptTimers& Timers() { return timers_; }
  // What Sound objects ask of the audio, and the levels of clips.
  ScriptSounds& Sounds() { return sounds_; }
  // Runs a block as code of `clip` now (the queue runs blocks this way).
  void RunBlock(ObjectHandle clip, const ActionBlock& block, int swfVersion);
  // The same on a script object (that of a clip that has gone, for its
  // unload handlers).
  void RunBlockOn(avm1::ObjectRef self, const ActionBlock& block, int swfVersion);
  // The SWF version a display object's code runs under (that of its movie).
  int VersionOf(const DisplayObject* object) const;
  // loadVariables: the variables a file beside the movie holds go into the
  // clip `target` names ("_level0", a path) once the clock moves on.
  void LoadVariables(std::string_view url, std::string_view target);
  // loadMovie, loadMovieNum, unloadMovie and MovieClipLoader: the request
  // is served once the clock moves on (script_loads.cpp).
  void LoadMovie(MovieLoadRequest request) { movieLoads_.Add(std::move(request)); }
  // The movie a display object's code and characters come from, and its URL.
  const ParsedMovie& MovieOf(const DisplayObject* object) const;
  std::string UrlOf(const DisplayObject* object) const;
  // The size of that movie's file as read (a loader's progress).
  size_t BytesOf(const DisplayObject* object) const;
  // _lockroot.
  void SetLockRoot(ObjectHandle clip, bool locked);
  // The character exported under `name` (attachMovie), or 0; by `from`'s
  // movie when given (a clip of a loaded movie attaches that movie's symbols).
  uint16_t ExportedCharacter(std::string_view name, const DisplayObject* from = nullptr) const;
  // Where the pointer is, in stage twips (for _xmouse); input sets it.
  Point MousePosition() const { return mouse_; }
  void SetMousePosition(Point twips) { mouse_ = twips; }
  // The keyboard, the cursor and the drag as input left them.
  InputState& Input() { return input_; }
  const InputState& Input() const { return input_; }
  // Text fields (runtime_text.cpp). The fonts their text draws with.
  text::FontLibrary& Fonts() { return *fonts_; }
  // createTextField: an empty field of that box (twips) at `scriptDepth`.
  ObjectHandle PlaceTextField(ObjectHandle parent, int32_t scriptDepth, std::string name, double x, double y,
                              double width, double height);
  // The field's text or properties changed: lines and shapes are made again.
  void TextFieldChanged(ObjectHandle field);
  // Fields bound to variables show their variables' values now; a field
  // whose variable is missing sets it to its text.
  void SyncTextVariables();
  // `binding`: the field was just made or given its variable.
  void SyncTextVariable(ObjectHandle field, bool binding);
  std::pair<avm1::ObjectRef, std::string> TextVariableOwner(ObjectHandle field);
  // A field's text changed by a script or typing: its variable follows.
  void StoreTextVariable(ObjectHandle field);
  std::string MovieUrl() const { return movieUrl_; }
  void SetMovieUrl(std::string url) { movieUrl_ = std::move(url); }

 private:
  void BeginStep();
  // Completes the loads started before now (script_loads.cpp).
  void DeliverLoads();
  void DeliverMovieLoads();
  void ServeMovieLoad(const MovieLoadRequest& request);
  // The clip shows `movie`'s root timeline from its first frame, or an
  // empty frame when null; what it showed goes, and scripts see a new object.
  void ShowMovie(ObjectHandle clip, const ParsedMovie* movie);
  // Timelines (timeline.cpp).
  void EnterFrame(ObjectHandle clip, size_t frame, bool queueActions);
  void QueueActions(ObjectHandle clip, const Frame& frame);
  void Apply(ObjectHandle clip, const PlaceObject& place);
  void Apply(ObjectHandle clip, const RemoveObject& remove);
  void GoBack(ObjectHandle clip, size_t frame);
  void TickObject(ObjectHandle object);
  // Clip events (clip_events.cpp).
  void ClipMade(ObjectHandle clip);
  void QueueEnterFrame(ObjectHandle clip);
  void RunQueued(const QueuedActions& entry);
  void RunClipEvent(ObjectHandle clip, const ClipActions* actions, uint32_t event, uint8_t keyCode = 0);
  void RunConstruct(ObjectHandle clip, const ClipActions* actions);
  void ObjectRemoved(const DisplayObject& object) override;
  // Objects (runtime.cpp).
  ObjectHandle MakeObject(ObjectHandle parent, int32_t depth, const Placement& placement);
  void SetCharacter(ObjectHandle object, uint16_t characterId);
  void MakeButtonState(ObjectHandle button, const ButtonDefinition& definition);
  // A DefineEditText's field state, its text from its variable or its own.
  void MakeTextField(ObjectHandle field, const EditTextDefinition& definition);
  // What `characterId` names inside an object of `owner` (null: the root's
  // movie), imports followed; the character's own movie is put in `movie`.
  const Character* FindCharacter(const ParsedMovie* owner, uint16_t characterId, const ParsedMovie*& movie) const;
  ObjectKind KindOf(const ParsedMovie& movie, uint16_t characterId, const Character* character) const;
  bool RoomForObject() const;

  const ParsedMovie& movie_;
  ImportLibrary imports_;
  Stage stage_;
  ExecutionContext context_;
  std::vector<SoundFrame> soundFrames_;
  avm1::Vm vm_;
  ScriptBridge bridge_{*this, vm_};
  ScriptTimers timers_;
  ScriptSounds sounds_;
  avm1::DataLoads dataLoads_;
  avm1::SharedObjects sharedObjects_;
  MovieLoads movieLoads_;
  std::unique_ptr<avm1::Interpreter> interpreter_;
  double clockMilliseconds_ = 0;
  Point mouse_;
  InputState input_;
  std::string movieUrl_;
  std::unique_ptr<text::FontLibrary> fonts_;
  uint32_t instanceCount_ = 0;  // names "instance1", ... of unnamed objects
  // Set while a script places an object: its constructors wait for the
  // script (ConstructNow) instead of the queue.
  bool placingByScript_ = false;
};

}  // namespace swf
