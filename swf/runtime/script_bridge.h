#pragma once

// Where scripts meet the stage: the display world as the interpreter sees it
// (avm1::DisplayHost) over one Runtime.
//
// A display object gets its script object the first time a script reaches
// it (or when it is made, if its symbol has a registered class): class
// kMovieClip, kButton or kTextField by its kind, the payload holding its
// handle. The bridge keeps those objects alive while their display objects
// live (it is a root of the collector); when a display object goes, its
// script object stays in the bridge only until its unload handlers have run,
// and from then on its handle names nothing. Movie clips travel in values as
// target paths ("_level0.menu.item"), resolved again on every use.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "swf/avm1/display_host.h"
#include "swf/avm1/heap.h"
#include "swf/avm1/vm.h"
#include "swf/runtime/handle.h"
#include "swf/runtime/stage.h"

namespace swf {

class Runtime;

// The payload of a display object's script object.
struct DisplayPayload : avm1::Payload {
  explicit DisplayPayload(ObjectHandle h) : handle(h) {}
  ObjectHandle handle;
};

class ScriptBridge final : public avm1::DisplayHost, public avm1::RootSource {
 public:
  ScriptBridge(Runtime& runtime, avm1::Vm& vm);
  ~ScriptBridge() override;
  ScriptBridge(const ScriptBridge&) = delete;
  ScriptBridge& operator=(const ScriptBridge&) = delete;

  avm1::Vm& GetVm() { return vm_; }
  Runtime& GetRuntime() { return runtime_; }

  // The script object of a live display object, made on first use; id 0 for
  // a stale handle. `proto` (when not 0) is the prototype a new one gets.
  avm1::ObjectRef ScriptObject(ObjectHandle handle, avm1::ObjectRef proto = {});
  // Whether the display object already has one.
  bool HasScriptObject(ObjectHandle handle) const;
  // The display object behind a script object (live or not); none for
  // other objects.
  ObjectHandle HandleOf(avm1::ObjectRef object) const;
  // The script object of a display object that has gone, until its unload
  // handlers ran (ForgetDeparted).
  avm1::ObjectRef DepartedObject(ObjectHandle handle) const;
  void ForgetDeparted();
  // The departed clip whose unload handlers run now (none: 0); they still
  // find the root. Returns the one before.
  avm1::ObjectRef SetUnloading(avm1::ObjectRef clip) { return std::exchange(unloading_, clip); }
  // How a script sees a display object: a clip as its target path, others
  // as their object; undefined for a stale handle.
  avm1::Value ValueOf(ObjectHandle handle);
  // The display object a value names (a clip reference or a display
  // object's script object); none otherwise.
  ObjectHandle HandleOfValue(const avm1::Value& value);
  // The display object a target path names, read from the root; none when
  // it names nothing.
  ObjectHandle HandleOfPath(std::string_view path);
  // "_level0.a.b", or "/a/b" (slashes) as _target gives it.
  std::string DotPath(ObjectHandle handle) const;
  std::string SlashPath(ObjectHandle handle) const;

  // The class Object.registerClass gave the symbol of a character (of the
  // root's movie) under one of its export names, or undefined.
  avm1::Value RegisteredClass(const DisplayObject& object) const;

  // avm1::DisplayHost.
  avm1::ObjectRef Resolve(const avm1::ClipReference& clip) override;
  avm1::ClipReference ReferenceTo(avm1::ObjectRef clip) override;
  avm1::ObjectRef FindTarget(avm1::ObjectRef origin, std::string_view path) override;
  bool GetDisplayMember(avm1::ObjectRef object, std::string_view name, avm1::Value& out) override;
  bool SetDisplayMember(avm1::ObjectRef object, std::string_view name, const avm1::Value& value) override;
  std::vector<std::string> ChildNames(avm1::ObjectRef object) override;
  void GotoFrame(avm1::ObjectRef clip, std::int32_t frame, bool play) override;
  bool GotoLabel(avm1::ObjectRef clip, std::string_view label, bool play) override;
  // A label's frame moved on by `frameOffset` frames.
  bool GotoLabelOffset(avm1::ObjectRef clip, std::string_view label, std::int32_t frameOffset, bool play);
  void SetPlaying(avm1::ObjectRef clip, bool playing) override;
  void StepFrame(avm1::ObjectRef clip, int delta) override;
  std::int32_t FramesLoaded(avm1::ObjectRef clip) override;
  void CallFrame(avm1::ObjectRef clip, std::int32_t frame) override;
  void CallLabel(avm1::ObjectRef clip, std::string_view label) override;
  void CloneSprite(avm1::ObjectRef source, std::string_view name, std::int32_t depth) override;
  void RemoveSprite(avm1::ObjectRef clip) override;
  void StartDrag(avm1::ObjectRef clip, bool lockCenter, std::optional<avm1::DragRectangle> bounds) override;
  void StopDrag() override;
  void GetUrl(std::string_view url, std::string_view target, int method, bool loadTarget,
              bool loadVariables) override;
  void StopSounds() override {}
  void ToggleQuality() override {}
  void Trace(std::string_view line) override;
  double TimerMilliseconds() override;

  // avm1::RootSource: the script objects of live display objects and those
  // waiting for their unload handlers.
  void MarkRoots(avm1::Marker& marker) const override;
  // A display object has gone: its script object waits for its unload
  // handlers.
  void DisplayObjectGone(const DisplayObject& object);

  // Drops the entries of display objects that went without a script object
  // to tell.
  void Prune();
  // A movie loaded into the clip: scripts see a fresh object from now on.
  void DropScriptObject(ObjectHandle handle);

  // The child of `parent` named `name` that scripts can reach (a clip, a
  // button or a text field); `parent` itself when the name is that of a
  // shape or static text in it; none when there is none.
  ObjectHandle ChildByName(ObjectHandle parent, std::string_view name) const;

 private:
  struct Entry {
    ObjectHandle handle;
    avm1::ObjectRef object;
  };
  // What a script last set of a transform: scale and rotation are kept as
  // given, as long as the matrix is still the one they made.
  struct Transform {
    double xScale = 100, yScale = 100, rotation = 0;
    Matrix matrix;
  };
  ObjectHandle HandleFromRef(avm1::ObjectRef ref) const;
  ObjectHandle HeldClip(ObjectHandle parent, std::string_view name);
  static std::uint64_t KeyOf(ObjectHandle handle) { return (std::uint64_t{handle.index} << 32) | handle.generation; }
  bool SameName(std::string_view a, std::string_view b) const;
  Transform TransformOf(const DisplayObject& object);
  void SetTransform(ObjectHandle handle, const Transform& transform);
  bool GetProperty(ObjectHandle handle, std::string_view name, avm1::Value& out);
  bool SetProperty(ObjectHandle handle, std::string_view name, const avm1::Value& value);
  void Goto(ObjectHandle handle, size_t frame);

  Runtime& runtime_;
  avm1::Vm& vm_;
  std::unordered_map<std::uint32_t, Entry> objects_;   // by handle index
  static std::uint64_t DepartedKey(ObjectHandle handle) {
    return (std::uint64_t{handle.index} << 32) | handle.generation;
  }
  // A clip that has gone, as its unload handlers still see it.
  struct Departed {
    avm1::ObjectRef object;
    std::string name;
  };
  std::unordered_map<std::uint64_t, Departed> departed_;  // by handle
  std::unordered_map<std::uint32_t, Transform> transforms_;  // by handle index
  int heldDepth_ = 0;  // HeldClip's lookups in progress
  avm1::ObjectRef unloading_;
};

// The _x-style property names by the index GetProperty/SetProperty use
// (0 _x ... 21 _ymouse); empty for others.
std::string_view DisplayPropertyName(int index);

}  // namespace swf
