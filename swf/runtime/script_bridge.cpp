#include "swf/runtime/script_bridge.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/number_text.h"
#include "swf/avm1/property_map.h"
#include "swf/runtime/actions.h"
#include "swf/runtime/depths.h"
#include "swf/runtime/input_events.h"
#include "swf/runtime/runtime.h"

namespace swf {

using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

namespace {

constexpr std::string_view kLevelPrefix = "_level";

bool ReachableKind(ObjectKind kind) {
  return kind == ObjectKind::kMovieClip || kind == ObjectKind::kButton || kind == ObjectKind::kTextField;
}

avm1::ObjectClass ClassOf(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::kButton: return avm1::ObjectClass::kButton;
    case ObjectKind::kTextField: return avm1::ObjectClass::kTextField;
    default: return avm1::ObjectClass::kMovieClip;
  }
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::string_view DisplayPropertyName(int index) {
  static constexpr std::string_view kNames[] = {
      "_x",       "_y",          "_xscale",     "_yscale", "_currentframe", "_totalframes", "_alpha",   "_visible",
      "_width",   "_height",     "_rotation",   "_target", "_framesloaded", "_name",        "_droptarget",
      "_url",     "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse",      "_ymouse"};
  if (index < 0 || index >= static_cast<int>(std::size(kNames))) return {};
  return kNames[index];
}

ScriptBridge::ScriptBridge(Runtime& runtime, avm1::Vm& vm) : runtime_(runtime), vm_(vm) {
  vm_.SetDisplayHost(this);
  vm_.AddRoots(this);
}

ScriptBridge::~ScriptBridge() {
  vm_.RemoveRoots(this);
  vm_.SetDisplayHost(nullptr);
}

bool ScriptBridge::SameName(std::string_view a, std::string_view b) const {
  if (!vm_.IgnoreCase()) return a == b;
  if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
      })) {
    return true;
  }
  const auto wide = [](std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  };
  // Names beyond ASCII meet as property names do.
  return (wide(a) || wide(b)) && avm1::FoldCase(a) == avm1::FoldCase(b);
}

ObjectRef ScriptBridge::ScriptObject(ObjectHandle handle, ObjectRef proto) {
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr) return {};
  if (const auto found = objects_.find(handle.index); found != objects_.end()) {
    if (found->second.handle == handle) return found->second.object;
  }
  const avm1::Builtins& classes = vm_.Classes();
  const avm1::ObjectClass cls = ClassOf(object->kind);
  if (proto.id == 0) {
    proto = cls == avm1::ObjectClass::kButton      ? classes.buttonPrototype
            : cls == avm1::ObjectClass::kTextField ? classes.textFieldPrototype
                                                   : classes.movieClipPrototype;
  }
  const ObjectRef made = vm_.GetHeap().New(cls, proto);
  if (avm1::Object* script = vm_.Get(made)) script->payload = std::make_unique<DisplayPayload>(handle);
  // The main movie's timeline carries the player's version as a variable.
  if (handle == runtime_.Root()) vm_.DefineValue(made, "$version", Value::String(vm_.Host().version), 0);
  objects_[handle.index] = Entry{handle, made};
  // A text field broadcasts its events to its listeners, itself first.
  if (cls == avm1::ObjectClass::kTextField) {
    avm1::InitializeBroadcaster(vm_, Value::Object(made));
    const Value self = Value::Object(made);
    vm_.CallMethod(self, "addListener", std::span<const Value>(&self, 1));
  }
  return made;
}

bool ScriptBridge::HasScriptObject(ObjectHandle handle) const {
  const auto found = objects_.find(handle.index);
  return found != objects_.end() && found->second.handle == handle;
}

ObjectHandle ScriptBridge::HandleOf(ObjectRef ref) const {
  const avm1::Object* object = vm_.GetHeap().Get(ref);
  if (object == nullptr) return {};
  const auto* payload = object->PayloadAs<DisplayPayload>();
  return payload != nullptr ? payload->handle : ObjectHandle{};
}

ObjectHandle ScriptBridge::HandleFromRef(ObjectRef ref) const {
  const ObjectHandle handle = HandleOf(ref);
  return runtime_.Objects().Get(handle) != nullptr ? handle : ObjectHandle{};
}

ObjectRef ScriptBridge::DepartedObject(ObjectHandle handle) const {
  const auto found = departed_.find(DepartedKey(handle));
  return found != departed_.end() ? found->second.object : ObjectRef{};
}

void ScriptBridge::ForgetDeparted() { departed_.clear(); }

Value ScriptBridge::ValueOf(ObjectHandle handle) {
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr) return {};
  if (object->kind == ObjectKind::kMovieClip) return Value::Clip(avm1::ClipReference{DotPath(handle), KeyOf(handle)});
  return Value::Object(ScriptObject(handle));
}

ObjectHandle ScriptBridge::HandleOfValue(const Value& value) {
  if (value.Is(ValueKind::kClip)) return HandleFromRef(Resolve(value.AsClip()));
  if (value.Is(ValueKind::kObject)) return HandleFromRef(value.AsObject());
  return {};
}

ObjectHandle ScriptBridge::HandleOfPath(std::string_view path) {
  return HandleFromRef(FindTarget(ScriptObject(runtime_.Root()), path));
}

namespace {

// The names of the objects from below their level's root down to `handle`,
// joined after the level's name with `separator` before each ("_level0",
// or nothing for level 0 when `levelZeroName` is empty).
std::string JoinedPath(const Stage& stage, ObjectHandle handle, std::string_view levelZeroName, char separator) {
  std::vector<const std::string*> names;
  const DisplayObject* object = stage.Get(handle);
  while (object != nullptr && !object->parent.IsNone()) {
    names.push_back(&object->name);
    object = stage.Get(object->parent);
  }
  std::string prefix(levelZeroName);
  if (object != nullptr && object->depth != 0) prefix = "_level" + std::to_string(object->depth);
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    prefix += separator;
    prefix += **name;
  }
  return prefix;
}

}  // namespace

std::string ScriptBridge::DotPath(ObjectHandle handle) const {
  return JoinedPath(runtime_.Objects(), handle, "_level0", '.');
}

std::string ScriptBridge::SlashPath(ObjectHandle handle) const {
  std::string path = JoinedPath(runtime_.Objects(), handle, "", '/');
  return path.empty() ? "/" : path;
}

ObjectHandle ScriptBridge::ChildByName(ObjectHandle parent, std::string_view name) const {
  const Stage& stage = runtime_.Objects();
  const DisplayObject* object = stage.Get(parent);
  // Unnamed shapes and static text are found by no name, not even "".
  if (object == nullptr || name.empty()) return {};
  for (const auto& [depth, handle] : object->children) {
    const DisplayObject* child = stage.Get(handle);
    if (child == nullptr || !SameName(child->name, name)) continue;
    // A shape or static text has no script object: its name stands for
    // its parent.
    return ReachableKind(child->kind) ? handle : parent;
  }
  return {};
}

// A clip's class is registered under the name its own movie exports its
// character as; a clip a movie was loaded into has none.
Value ScriptBridge::RegisteredClass(const DisplayObject& object) const {
  if (object.characterId == 0) return {};
  for (const AssetName& asset : runtime_.MovieOf(&object).exports) {
    if (asset.characterId != object.characterId) continue;
    Value constructor = vm_.RegisteredClass(asset.name);
    if (!constructor.IsUndefinedOrNull()) return constructor;
  }
  return {};
}

// "_level0.a.b": the root, then children by name; a part that names nothing
// makes the whole reference name nothing.
ObjectRef ScriptBridge::Resolve(const avm1::ClipReference& clip) {
  const std::string_view path = clip.target_path;
  const Stage& stage = runtime_.Objects();
  if (clip.object != 0) {
    const ObjectHandle cached{static_cast<std::uint32_t>(clip.object >> 32), static_cast<std::uint32_t>(clip.object)};
    const DisplayObject* object = stage.Get(cached);
    if (object != nullptr && object->kind == ObjectKind::kMovieClip) return ScriptObject(cached);
  }
  size_t start = 0;
  ObjectHandle handle;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('.', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (handle.IsNone()) {
      const std::optional<int32_t> level = LevelNumber(part, false);
      if (!level) return {};
      handle = stage.Level(*level);
      if (handle.IsNone()) return {};
    } else {
      const ObjectHandle child = ChildByName(handle, part);
      handle = child.IsNone() ? HeldClip(handle, part) : child;
      if (handle.IsNone()) return {};
    }
    start = end + 1;
  }
  return ScriptObject(handle);
}

// A name that is no child may be a variable of the parent holding a clip
// (one renamed since): the player's lookup finds it that way. Only so many
// such steps are followed, so variables naming each other's paths end.
ObjectHandle ScriptBridge::HeldClip(ObjectHandle parent, std::string_view name) {
  constexpr int kMaxHeldDepth = 8;
  if (heldDepth_ >= kMaxHeldDepth) return {};
  const ObjectRef parentObject = ScriptObject(parent);
  avm1::Object* object = parentObject.id != 0 ? vm_.Get(parentObject) : nullptr;
  const avm1::Property* property = object != nullptr ? object->properties.Find(name, vm_.IgnoreCase()) : nullptr;
  if (property == nullptr || property->IsAccessor()) return {};
  const Value held = property->value;
  if (!held.Is(avm1::ValueKind::kClip)) return {};
  ++heldDepth_;
  const ObjectRef found = Resolve(held.AsClip());
  --heldDepth_;
  return HandleFromRef(found);
}

avm1::ClipReference ScriptBridge::ReferenceTo(ObjectRef clip) {
  const ObjectHandle handle = HandleFromRef(clip);
  if (handle.IsNone()) return {};
  return avm1::ClipReference{DotPath(handle), KeyOf(handle)};
}

ObjectRef ScriptBridge::FindTarget(ObjectRef origin, std::string_view path) {
  // Paths seen from a clip that has gone name nothing, "_root" included,
  // except while its unload handlers run: the root is still theirs.
  if (!HandleOf(origin).IsNone() && HandleFromRef(origin).IsNone()) {
    const bool unloading = unloading_.id != 0 && unloading_.id == origin.id;
    if (!unloading || !(SameName(path, "_root") || StartsWithFolded(path, kLevelPrefix))) return {};
  }
  ObjectHandle from = HandleFromRef(origin);
  if (from.IsNone()) from = runtime_.Root();
  std::string rest(path);
  if (StartsWithFolded(rest, kLevelPrefix)) {
    // "_levelN" and what follows: the level is the digits after the prefix,
    // whatever follows them in the part; a level without a movie names
    // nothing.
    const size_t end = std::min(rest.find_first_of("./"), rest.size());
    const std::string_view part = std::string_view(rest).substr(kLevelPrefix.size(), end - kLevelPrefix.size());
    const size_t digits = std::min(part.find_first_not_of("0123456789"), part.size());
    if (digits == 0) return {};
    const std::optional<int32_t> level =
        LevelNumber(std::string(kLevelPrefix) + std::string(part.substr(0, digits)), true);
    if (!level) return {};
    from = runtime_.Objects().Level(*level);
    if (from.IsNone()) return {};
    rest = end < rest.size() ? rest.substr(end + 1) : std::string();
  }
  const ObjectHandle found = ResolveTarget(runtime_.Objects(), from, rest, vm_.IgnoreCase());
  return found.IsNone() ? ObjectRef{} : ScriptObject(found);
}

bool ScriptBridge::GetDisplayMember(ObjectRef ref, std::string_view name, Value& out) {
  const ObjectHandle handle = HandleFromRef(ref);
  if (handle.IsNone()) {
    // A clip that has gone keeps its name for its unload handlers.
    const auto departed = departed_.find(DepartedKey(HandleOf(ref)));
    if (departed == departed_.end() || !SameName(name, "_name")) return false;
    out = Value::String(departed->second.name);
    return true;
  }
  if (!name.empty() && name[0] == '_' && GetProperty(handle, name, out)) return true;
  const ObjectHandle child = ChildByName(handle, name);
  if (child.IsNone()) return false;
  out = ValueOf(child);
  return true;
}

// The highest depth first, as the player lists them.
std::vector<std::string> ScriptBridge::ChildNames(ObjectRef ref) {
  std::vector<std::string> names;
  const Stage& stage = runtime_.Objects();
  const DisplayObject* object = stage.Get(HandleFromRef(ref));
  if (object == nullptr) return names;
  for (auto entry = object->children.rbegin(); entry != object->children.rend(); ++entry) {
    const DisplayObject* child = stage.Get(entry->second);
    if (child != nullptr && ReachableKind(child->kind) && !child->name.empty()) names.push_back(child->name);
  }
  return names;
}

bool ScriptBridge::SetDisplayMember(ObjectRef ref, std::string_view name, const Value& value) {
  const ObjectHandle handle = HandleFromRef(ref);
  if (handle.IsNone() || name.empty() || name[0] != '_') return false;
  return SetProperty(handle, name, value);
}

void ScriptBridge::Goto(ObjectHandle handle, size_t frame) {
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr || !object->timeline || object->timeline->FrameCount() == 0) return;
  ActionBudget& budget = runtime_.Context().scripts;
  const size_t current = object->timeline->currentFrame;
  frame = std::min(frame, object->timeline->FrameCount() - 1);
  const size_t cost = frame >= current ? frame - current : frame + 1;
  if (budget.gotos == 0 || cost > budget.gotoFrames) {
    budget.gotos = 0;  // once out of budget, no goto runs any more this time
    return;
  }
  --budget.gotos;
  budget.gotoFrames -= cost;
  runtime_.GotoClipFrame(handle, frame);
}

void ScriptBridge::GotoFrame(ObjectRef clip, std::int32_t frame, bool play) {
  const ObjectHandle handle = HandleFromRef(clip);
  if (handle.IsNone() || frame < 0) return;
  Goto(handle, static_cast<size_t>(frame));
  runtime_.PlayClip(handle, play);
}

// Labels match without regard to case, whatever the movie's version; an
// exact match comes first.
bool ScriptBridge::GotoLabel(ObjectRef clip, std::string_view label, bool play) {
  return GotoLabelOffset(clip, label, 0, play);
}

namespace {

std::optional<size_t> FrameOfLabel(const DisplayObject* object, std::string_view label) {
  if (object == nullptr || !object->timeline) return std::nullopt;
  std::optional<size_t> frame;
  for (const auto& [name, index] : object->timeline->definition->labels) {
    if (name == label) return index;
    if (!frame && avm1::FoldCase(name) == avm1::FoldCase(label)) frame = index;
  }
  return frame;
}

}  // namespace

bool ScriptBridge::GotoLabelOffset(ObjectRef clip, std::string_view label, std::int32_t frameOffset, bool play) {
  const ObjectHandle handle = HandleFromRef(clip);
  const std::optional<size_t> frame = FrameOfLabel(runtime_.Objects().Get(handle), label);
  if (!frame) return false;
  const std::int64_t target = static_cast<std::int64_t>(*frame) + frameOffset;
  if (target < 0) return false;
  Goto(handle, static_cast<size_t>(target));
  runtime_.PlayClip(handle, play);
  return true;
}

// The frame's action blocks run at once, nested in the calling script; its
// other tags (placements, sounds) and the playhead stay as they are.
void ScriptBridge::CallFrame(ObjectRef clip, std::int32_t frame) {
  const ObjectHandle handle = HandleFromRef(clip);
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr || !object->timeline || frame < 0) return;
  const auto& frames = object->timeline->definition->frames;
  if (static_cast<size_t>(frame) >= frames.size()) return;
  const int version = runtime_.VersionOf(object);
  // The caller goes on under its own version, also when a throw ends the call.
  struct VersionRestorer {
    avm1::Vm& vm;
    int version;
    ~VersionRestorer() { vm.SetSwfVersion(version); }
  } restorer{runtime_.Scripts(), runtime_.Scripts().SwfVersion()};
  for (const ActionBlock& block : frames[static_cast<size_t>(frame)].actions) {
    if (runtime_.Objects().Get(handle) == nullptr) break;  // an earlier block removed the clip
    runtime_.RunBlockOn(clip, block, version);
  }
}

void ScriptBridge::CallLabel(ObjectRef clip, std::string_view label) {
  const std::optional<size_t> frame = FrameOfLabel(runtime_.Objects().Get(HandleFromRef(clip)), label);
  if (frame) CallFrame(clip, static_cast<std::int32_t>(*frame));
}

void ScriptBridge::SetPlaying(ObjectRef clip, bool playing) { runtime_.PlayClip(HandleFromRef(clip), playing); }

void ScriptBridge::StepFrame(ObjectRef clip, int delta) {
  const ObjectHandle handle = HandleFromRef(clip);
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr || !object->timeline) return;
  const size_t current = object->timeline->currentFrame;
  if (delta > 0) Goto(handle, current + 1);
  if (delta < 0 && current > 0) Goto(handle, current - 1);
  runtime_.PlayClip(handle, false);
}

// A movie is loaded whole before it plays, and a loaded movie answers that
// frames 1 to 16001 are loaded, whether its timeline has them or not; a
// stale clip has none.
std::int32_t ScriptBridge::FramesLoaded(ObjectRef clip) {
  constexpr std::int32_t kFramesOfALoadedMovie = 16001;
  const DisplayObject* object = runtime_.Objects().Get(HandleFromRef(clip));
  if (object == nullptr || !object->timeline) return 0;
  return kFramesOfALoadedMovie;
}

// CloneSprite's depth counts from the bottom of the timeline's depths.
void ScriptBridge::CloneSprite(ObjectRef source, std::string_view name, std::int32_t depth) {
  const std::int64_t scriptDepth = std::int64_t{depth} - kScriptDepthOffset;
  if (scriptDepth < kMinScriptDepth) return;
  runtime_.DuplicateClip(HandleFromRef(source), std::string(name), static_cast<std::int32_t>(scriptDepth));
}

void ScriptBridge::RemoveSprite(ObjectRef clip) { runtime_.RemoveClipByScript(HandleFromRef(clip)); }

void ScriptBridge::StartDrag(ObjectRef clip, bool lockCenter, std::optional<avm1::DragRectangle> bounds) {
  swf::StartDrag(runtime_, HandleFromRef(clip), lockCenter, bounds);
}

void ScriptBridge::StopDrag() { swf::StopDrag(runtime_); }

void ScriptBridge::GetUrl(std::string_view url, std::string_view target, int method, bool loadTarget,
                          bool loadVariables) {
  (void)method;
  HostServices* host = runtime_.Context().Host();
  if (host == nullptr) return;
  constexpr std::string_view kFsCommand = "fscommand:";
  if (StartsWithFolded(url, kFsCommand)) {
    host->FsCommand(url.substr(kFsCommand.size()), target);
    return;
  }
  if (loadVariables) {
    runtime_.LoadVariables(url, target);
    return;
  }
  // loadMovie names a clip (or a level), loadMovieNum a level; an empty URL
  // unloads what is there.
  const std::optional<int32_t> level = LevelNumber(target, true);
  if (loadTarget || level) {
    MovieLoadRequest request;
    request.url = std::string(url);
    if (level) {
      request.level = *level;
    } else {
      request.clip = HandleOfPath(target);
      if (request.clip.IsNone()) return;
    }
    runtime_.LoadMovie(std::move(request));
    return;
  }
  if (StartsWithFolded(target, kLevelPrefix)) return;
  host->GetUrl(url, target);
}

void ScriptBridge::Trace(std::string_view line) {
  if (HostServices* host = runtime_.Context().Host()) host->Trace(line);
}

double ScriptBridge::TimerMilliseconds() { return runtime_.ElapsedMilliseconds(); }

void ScriptBridge::MarkRoots(avm1::Marker& marker) const {
  const Stage& stage = runtime_.Objects();
  for (const auto& [index, entry] : objects_) {
    if (stage.Get(entry.handle) != nullptr) marker.Mark(entry.object);
  }
  for (const auto& [key, departed] : departed_) marker.Mark(departed.object);
}

void ScriptBridge::DisplayObjectGone(const DisplayObject& object) {
  transforms_.erase(object.self.index);
  const auto found = objects_.find(object.self.index);
  if (found == objects_.end() || found->second.handle != object.self) return;
  departed_[DepartedKey(object.self)] = Departed{found->second.object, object.name};
  objects_.erase(found);
}

void ScriptBridge::DropScriptObject(ObjectHandle handle) {
  transforms_.erase(handle.index);
  const auto found = objects_.find(handle.index);
  if (found != objects_.end() && found->second.handle == handle) objects_.erase(found);
}

void ScriptBridge::Prune() {
  const Stage& stage = runtime_.Objects();
  std::erase_if(objects_, [&](const auto& item) { return stage.Get(item.second.handle) == nullptr; });
}

}  // namespace swf
