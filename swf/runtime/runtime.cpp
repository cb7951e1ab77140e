#include "swf/runtime/runtime.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "swf/runtime/depths.h"
#include "swf/avm1/builtins/install.h"
#include "swf/runtime/script_natives.h"

namespace swf {
namespace {

constexpr uint16_t kScriptLimitsTag = 65;

// The movie's ScriptLimits tag (the last one counts), over the player's
// defaults; a limit of 0 keeps the default. The host hears of a script
// stopped for taking too long.
avm1::ScriptLimits ScriptLimitsOf(const ParsedMovie& movie, HostServices* host) {
  avm1::ScriptLimits limits;
  for (const RawTag& tag : movie.unknownTags) {
    if (tag.code != kScriptLimitsTag || tag.body.size() < 4) continue;
    const int recursion = tag.body[0] | (tag.body[1] << 8);
    const int seconds = tag.body[2] | (tag.body[3] << 8);
    if (recursion > 0) limits.maxRecursion = recursion;
    if (seconds > 0) limits.timeoutSeconds = seconds;
  }
  if (host != nullptr) limits.onTimeout = [host] { host->ScriptTimedOut(); };
  return limits;
}

}  // namespace

Runtime::Runtime(const ParsedMovie& movie, HostServices* host, size_t maxMadePerStep)
    : movie_(movie),
      imports_(movie, host),
      context_(host),
      sharedObjects_(
          [host](std::string_view store) -> std::optional<std::vector<uint8_t>> {
            if (host == nullptr) return std::nullopt;
            return host->ReadSharedObject(store);
          },
          [host](std::string_view store, std::span<const uint8_t> bytes) {
            return host != nullptr && host->WriteSharedObject(store, bytes);
          }),
      fonts_(std::make_unique<text::FontLibrary>(movie, host != nullptr ? host->Fonts() : nullptr)) {
  context_.objects.maxMadePerStep = maxMadePerStep;
  stage_.SetRemovalObserver(this);
  vm_.SetSwfVersion(movie_.header.version);
  avm1::BuiltinsHost facts;
  if (host != nullptr) {
    facts.nowMs = [host] { return host->NowMilliseconds(); };
    facts.localOffsetMs = [host](double utc) { return host->UtcOffsetMinutes(utc) * 60000.0; };
  }
  facts.queueLoad = [this](const avm1::Value& target, const std::string& url) { dataLoads_.Add({target, url}); };
  facts.sharedObjects = &sharedObjects_;
  avm1::InstallBuiltins(vm_, facts);
  InstallScriptNatives(vm_);
  interpreter_ = std::make_unique<avm1::Interpreter>(vm_, bridge_, ScriptLimitsOf(movie_, host));
  vm_.AddRoots(&timers_);
  vm_.AddRoots(&sounds_);
  vm_.AddRoots(&dataLoads_);
  vm_.AddRoots(&sharedObjects_);
  vm_.AddRoots(&movieLoads_);
  DisplayObject& root = *stage_.Get(stage_.Root());
  root.timeline = ClipTimeline{&movie_.root};
  BeginStep();
  if (!movie_.root.frames.empty()) EnterFrame(Root(), 0, true);
  RunFrameActions();
}

Runtime::~Runtime() {
  // A movie's shared objects are kept when it ends, flushed or not.
  sharedObjects_.FlushAll(vm_);
  // The stage's objects go without telling scripts.
  stage_.SetRemovalObserver(nullptr);
  vm_.RemoveRoots(&timers_);
  vm_.RemoveRoots(&sounds_);
  vm_.RemoveRoots(&dataLoads_);
  vm_.RemoveRoots(&sharedObjects_);
  vm_.RemoveRoots(&movieLoads_);
}

// A step starts when the host moves the root; a goto that a script makes
// belongs to the step whose actions run it.
void Runtime::BeginStep() {
  if (context_.Running()) return;
  context_.objects.madeInStep = 0;
  if (interpreter_) interpreter_->BeginStep();
}

// Every level takes part, the higher ones hearing enterFrame first as the
// children of a clip do, and moving on after the lower ones.
void Runtime::Tick() {
  std::vector<ObjectHandle> levels;
  for (const auto& [number, root] : stage_.Levels()) levels.push_back(root);
  BeginStep();
  // enterFrame is queued before the timelines move, and a clip that they
  // remove meanwhile does not hear it.
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) QueueEnterFrame(*level);
  for (const ObjectHandle level : levels) {
    if (stage_.Get(level) != nullptr) TickObject(level);
  }
  RunFrameActions();
}

void Runtime::AdvanceClock(double milliseconds) {
  if (!(milliseconds > 0)) return;
  clockMilliseconds_ += milliseconds;
  if (context_.Running()) return;
  if (movieLoads_.Count() != 0) DeliverMovieLoads();
  if (timers_.Count() == 0 && !sounds_.HasPending() && dataLoads_.Count() == 0) return;
  BeginStep();
  {
    const RunningScope running(context_);
    timers_.RunDue(clockMilliseconds_, vm_);
    natives::RunDueSoundEvents(*this);  // onSoundComplete, onLoad
    DeliverLoads();
  }
  // What the callbacks queued (a goto's frame actions) runs now.
  RunFrameActions();
}

void Runtime::GotoFrame(size_t frame) {
  BeginStep();
  GotoClipFrame(Root(), frame);
  RunFrameActions();
}

void Runtime::PlayClip(ObjectHandle clip, bool playing) {
  DisplayObject* object = stage_.Get(clip);
  if (object != nullptr && object->timeline) object->timeline->playing = playing;
}

void Runtime::RunFrameActions() {
  if (context_.Running()) return;
  const RunningScope running(context_);
  QueuedActions entry;
  while (context_.TakeNext(entry)) {
    if (context_.scripts.blocks == 0) {
      context_.ClearQueue();
      break;
    }
    --context_.scripts.blocks;
    RunQueued(entry);
  }
  SyncTextVariables();
  bridge_.ForgetDeparted();
  bridge_.Prune();
  vm_.CollectIfWanted();  // a safe point: no script runs
}

void Runtime::RunBlock(ObjectHandle clip, const ActionBlock& block, int swfVersion) {
  if (stage_.Get(clip) == nullptr) return;
  RunBlockOn(bridge_.ScriptObject(clip), block, swfVersion);
}

void Runtime::RunBlockOn(avm1::ObjectRef self, const ActionBlock& block, int swfVersion) {
  if (self.id == 0) return;
  vm_.SetSwfVersion(swfVersion);
  interpreter_->RunBlock(block, self, swfVersion);
}

namespace {

// A button record as a placement: DefineButtonCxform, when the button has
// one, takes the place of every record's own colour transform.
Placement ButtonRecordPlacement(const ButtonDefinition& button, const ButtonRecord& record) {
  Placement placement;
  placement.characterId = record.characterId;
  placement.matrix = record.matrix;
  placement.colorTransform = button.buttonColorTransform.value_or(record.colorTransform);
  placement.blendMode = record.blendMode.value_or(0);
  placement.hasFilters = !record.filters.empty();
  placement.filters = record.filters;
  return placement;
}

}  // namespace

const Character* Runtime::FindCharacter(const ParsedMovie* owner, uint16_t characterId,
                                        const ParsedMovie*& movie) const {
  movie = owner;
  if (owner == nullptr) {
    // Only the root's movie imports; an imported id names the other movie's character.
    if (const ImportedCharacter* imported = imports_.Find(characterId)) {
      movie = imported->movie;
      return imported->movie->FindCharacter(imported->characterId);
    }
    return movie_.FindCharacter(characterId);
  }
  return owner->FindCharacter(characterId);
}

ObjectKind Runtime::KindOf(const ParsedMovie& movie, uint16_t characterId, const Character* character) const {
  if (character == nullptr) {
    if (movie.bitmaps.count(characterId) != 0) return ObjectKind::kBitmap;
    return ObjectKind::kEmpty;
  }
  if (std::holds_alternative<ShapeDefinition>(*character)) return ObjectKind::kShape;
  if (std::holds_alternative<SpriteDefinition>(*character)) return ObjectKind::kMovieClip;
  if (std::holds_alternative<TextDefinition>(*character)) return ObjectKind::kStaticText;
  if (std::holds_alternative<MorphShapeDefinition>(*character)) return ObjectKind::kMorphShape;
  if (std::holds_alternative<ButtonDefinition>(*character)) return ObjectKind::kButton;
  if (std::holds_alternative<EditTextDefinition>(*character)) return ObjectKind::kTextField;
  return ObjectKind::kEmpty;  // a font
}

bool Runtime::RoomForObject() const {
  return stage_.LiveObjects() < kMaxDisplayObjects && context_.objects.StepCanMakeMore();
}

ObjectHandle Runtime::MakeObject(ObjectHandle parent, int32_t depth, const Placement& placement) {
  DisplayObject object;
  object.matrix = placement.matrix;
  object.colorTransform = placement.colorTransform;
  object.ratio = placement.ratio;
  object.name = placement.name;
  object.clipDepth = placement.clipDepth;
  object.blendMode = placement.blendMode;
  object.visible = placement.visible;
  object.cacheAsBitmap = placement.cacheAsBitmap;
  object.opaqueBackground = placement.opaqueBackground;
  object.filters = FilterList{placement.hasFilters, placement.filters};
  object.clipActions = placement.clipActions;
  // Every object scripts can reach has a name; the player numbers the
  // unnamed ones (shapes and static text take no number).
  if (object.name.empty()) {
    const DisplayObject* parentObject = stage_.Get(parent);
    const ParsedMovie* movie = nullptr;
    const Character* character =
        FindCharacter(parentObject != nullptr ? parentObject->movie : nullptr, placement.characterId, movie);
    const ObjectKind kind = KindOf(movie != nullptr ? *movie : movie_, placement.characterId, character);
    if (kind == ObjectKind::kMovieClip || kind == ObjectKind::kButton || kind == ObjectKind::kTextField) {
      object.name = "instance" + std::to_string(++instanceCount_);
    }
  }
  const ObjectHandle handle = stage_.Insert(parent, depth, std::move(object));
  if (handle.IsNone()) return handle;
  ++context_.objects.madeInStep;
  SetCharacter(handle, placement.characterId);
  return handle;
}

// The object shows `characterId` from now on: what it showed before goes
// with its children, and a clip or button starts afresh, below the nesting
// limit and within the step's budget (a clip started counts as a placement).
void Runtime::SetCharacter(ObjectHandle handle, uint16_t characterId) {
  DisplayObject& object = *stage_.Get(handle);
  const DisplayObject* parent = stage_.Get(object.parent);
  object.characterId = characterId;
  object.character = FindCharacter(parent != nullptr ? parent->movie : nullptr, characterId, object.movie);
  object.kind = KindOf(object.movie != nullptr ? *object.movie : movie_, characterId, object.character);
  object.timeline.reset();
  const std::map<int32_t, ObjectHandle> previous = std::move(object.children);
  object.children.clear();
  for (const auto& [depth, child] : previous) stage_.Remove(child);
  object.textField.reset();
  if (const auto* editText = std::get_if<EditTextDefinition>(object.character)) {
    if (object.kind == ObjectKind::kTextField) MakeTextField(handle, *editText);
    return;
  }
  if (object.kind != ObjectKind::kMovieClip && object.kind != ObjectKind::kButton) return;
  if (object.level > kMaxNesting || !context_.objects.StepCanMakeMore()) return;
  ++context_.objects.madeInStep;
  if (const auto* sprite = std::get_if<SpriteDefinition>(object.character)) {
    object.timeline = ClipTimeline{&sprite->timeline};
    ClipMade(handle);
    if (!sprite->timeline.frames.empty()) EnterFrame(handle, 0, true);
    return;
  }
  MakeButtonState(handle, std::get<ButtonDefinition>(*object.character));
}

// A button shows the records of its state as its children, in file order (a
// later record at a taken depth replaces the earlier one); clips among them
// play on.
void Runtime::MakeButtonState(ObjectHandle button, const ButtonDefinition& definition) {
  const uint8_t state = stage_.Get(button)->buttonState;
  for (const ButtonRecord& record : definition.records) {
    if ((record.states & state) == 0) continue;
    if (DisplayObject* existing = stage_.ChildAt(*stage_.Get(button), record.depth)) stage_.Remove(existing->self);
    if (!RoomForObject()) return;
    MakeObject(button, record.depth, ButtonRecordPlacement(definition, record));
  }
}

void Runtime::SetButtonState(ObjectHandle button, uint8_t state) {
  DisplayObject* object = stage_.Get(button);
  if (object == nullptr || object->kind != ObjectKind::kButton || object->buttonState == state) return;
  object->buttonState = state;
  if (object->level > kMaxNesting) return;  // shows nothing, as when it was made
  const auto& definition = std::get<ButtonDefinition>(*object->character);
  std::map<int32_t, const ButtonRecord*> shown;  // a later record at a taken depth wins
  for (const ButtonRecord& record : definition.records) {
    if ((record.states & state) != 0) shown[record.depth] = &record;
  }
  std::vector<ObjectHandle> leaving;
  for (const auto& [depth, child] : object->children) {
    const auto record = shown.find(depth);
    if (record == shown.end() || stage_.Get(child)->characterId != record->second->characterId) {
      leaving.push_back(child);
    }
  }
  for (const ObjectHandle child : leaving) stage_.Remove(child);
  for (const auto& [depth, record] : shown) {
    const Placement placement = ButtonRecordPlacement(definition, *record);
    if (DisplayObject* kept = stage_.ChildAt(*stage_.Get(button), depth)) {
      if (!kept->IsScriptSet(ScriptSet::kMatrix)) kept->matrix = placement.matrix;
      if (!kept->IsScriptSet(ScriptSet::kColorTransform)) kept->colorTransform = placement.colorTransform;
      continue;
    }
    if (!RoomForObject()) return;
    MakeObject(button, depth, placement);
  }
}

ObjectHandle Runtime::PlaceScriptObject(ObjectHandle parent, uint16_t characterId, int32_t scriptDepth,
                                        std::string name) {
  const DisplayObject* parentObject = stage_.Get(parent);
  if (parentObject == nullptr || !ValidScriptDepth(scriptDepth)) return {};
  if (!RoomForObject()) return {};
  Placement placement;
  placement.characterId = characterId;
  placement.name = std::move(name);
  placingByScript_ = true;
  const ObjectHandle handle = MakeObject(parent, DepthFromScriptDepth(scriptDepth), placement);
  placingByScript_ = false;
  if (DisplayObject* object = stage_.Get(handle)) object->madeByScript = true;
  return handle;
}

const TimelineDefinition& EmptyTimeline() {
  static const TimelineDefinition timeline{std::vector<Frame>(1), {}, 1, std::nullopt};
  return timeline;
}

ObjectHandle Runtime::PlaceEmptyClip(ObjectHandle parent, int32_t scriptDepth, std::string name) {
  const DisplayObject* parentObject = stage_.Get(parent);
  if (parentObject == nullptr || !ValidScriptDepth(scriptDepth)) return {};
  if (!RoomForObject()) return {};
  DisplayObject object;
  object.kind = ObjectKind::kMovieClip;
  object.name = std::move(name);
  object.madeByScript = true;
  object.timeline = ClipTimeline{&EmptyTimeline()};
  const ObjectHandle handle = stage_.Insert(parent, DepthFromScriptDepth(scriptDepth), std::move(object));
  if (handle.IsNone()) return handle;
  ++context_.objects.madeInStep;
  placingByScript_ = true;
  ClipMade(handle);
  placingByScript_ = false;
  return handle;
}

ObjectHandle Runtime::DuplicateClip(ObjectHandle source, std::string name, int32_t scriptDepth) {
  const DisplayObject* original = stage_.Get(source);
  if (original == nullptr || original->parent.IsNone() || !ValidScriptDepth(scriptDepth) || !RoomForObject()) {
    return {};
  }
  Placement placement;
  placement.characterId = original->characterId;
  placement.matrix = original->matrix;
  placement.colorTransform = original->colorTransform;
  placement.ratio = original->ratio;
  placement.name = std::move(name);
  placement.clipDepth = static_cast<uint16_t>(original->clipDepth);
  placement.blendMode = original->blendMode;
  placement.visible = original->visible;
  placement.clipActions = original->clipActions;
  const ObjectHandle parent = original->parent;
  const bool empty = original->kind == ObjectKind::kMovieClip && original->character == nullptr;
  if (empty) return PlaceEmptyClip(parent, scriptDepth, placement.name);
  placingByScript_ = true;
  const ObjectHandle handle = MakeObject(parent, DepthFromScriptDepth(scriptDepth), placement);
  placingByScript_ = false;
  if (DisplayObject* object = stage_.Get(handle)) {
    object->madeByScript = true;
    object->scriptSet = stage_.Get(source) != nullptr ? stage_.Get(source)->scriptSet : 0;
  }
  return handle;
}

bool Runtime::RemoveClipByScript(ObjectHandle handle) {
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || object->parent.IsNone()) return false;
  const int32_t scriptDepth = ScriptDepthFromDepth(object->depth);
  // Whoever made it, only an object at a script depth within reach goes.
  if (scriptDepth < 0 || scriptDepth > kMaxRemovableScriptDepth) return false;
  stage_.Remove(handle);
  return true;
}

bool Runtime::SwapDepths(ObjectHandle handle, int32_t scriptDepth) {
  DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || object->parent.IsNone()) return false;
  if (!ValidScriptDepth(scriptDepth)) return false;
  const DisplayObject* parent = stage_.Get(object->parent);
  const int32_t depth = DepthFromScriptDepth(scriptDepth);
  if (DisplayObject* other = stage_.ChildAt(*parent, depth)) other->madeByScript = true;
  object->madeByScript = true;
  return stage_.MoveToDepth(handle, depth);
}

uint16_t Runtime::ExportedCharacter(std::string_view name, const DisplayObject* from) const {
  const ParsedMovie& movie = MovieOf(from);
  for (const AssetName& asset : movie.exports) {
    if (asset.name == name) return asset.characterId;
  }
  // Names compare without case when no export matches exactly.
  for (const AssetName& asset : movie.exports) {
    if (asset.name.size() == name.size() && avm1::FoldCase(asset.name) == avm1::FoldCase(name)) {
      return asset.characterId;
    }
  }
  // A symbol imported under that name.
  for (const ImportedAssets& imported : movie.imports) {
    for (const AssetName& asset : imported.assets) {
      if (asset.name == name) return asset.characterId;
    }
  }
  return 0;
}

bool Runtime::RemoveScriptObject(ObjectHandle handle) {
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || !object->madeByScript) return false;
  stage_.Remove(handle);
  return true;
}

namespace {

template <class Value>
bool SetByScript(Stage& stage, ObjectHandle handle, ScriptSet property, Value DisplayObject::*field, Value value) {
  DisplayObject* object = stage.Get(handle);
  if (object == nullptr) return false;
  object->*field = std::move(value);
  object->scriptSet |= static_cast<uint8_t>(property);
  return true;
}

}  // namespace

bool Runtime::SetMatrix(ObjectHandle object, const Matrix& matrix) {
  return SetByScript(stage_, object, ScriptSet::kMatrix, &DisplayObject::matrix, matrix);
}

bool Runtime::SetColorTransform(ObjectHandle object, const ColorTransform& colorTransform) {
  return SetByScript(stage_, object, ScriptSet::kColorTransform, &DisplayObject::colorTransform, colorTransform);
}

bool Runtime::SetName(ObjectHandle object, std::string name) {
  return SetByScript(stage_, object, ScriptSet::kName, &DisplayObject::name, std::move(name));
}

bool Runtime::SetVisible(ObjectHandle object, bool visible) {
  return SetByScript(stage_, object, ScriptSet::kVisible, &DisplayObject::visible, visible);
}

}  // namespace swf
