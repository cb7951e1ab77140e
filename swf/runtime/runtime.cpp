#include "swf/runtime/runtime.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "swf/runtime/actions.h"
#include "swf/runtime/depths.h"

namespace swf {
namespace {

// Script depths beyond this are refused, so that the conversion to the
// stage's depths cannot overflow.
constexpr int32_t kMaxScriptDepth = int32_t{1} << 30;

}  // namespace

Runtime::Runtime(const ParsedMovie& movie, HostServices* host, size_t maxMadePerStep)
    : movie_(movie), imports_(movie, host), context_(host) {
  context_.objects.maxMadePerStep = maxMadePerStep;
  DisplayObject& root = *stage_.Get(stage_.Root());
  root.timeline = ClipTimeline{&movie_.root};
  BeginStep();
  if (!movie_.root.frames.empty()) EnterFrame(Root(), 0, true);
  RunFrameActions();
}

// A step starts when the host moves the root; a goto that a script makes
// belongs to the step whose actions run it.
void Runtime::BeginStep() {
  if (!context_.Running()) context_.objects.madeInStep = 0;
}

void Runtime::Tick() {
  BeginStep();
  TickObject(Root());
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
  context_.SetRunning(true);
  struct RunningFlag {
    ExecutionContext& context;
    ~RunningFlag() { context.SetRunning(false); }
  } flag{context_};
  context_.scripts = ActionBudget();
  std::deque<QueuedActions>& queue = context_.Queue();
  while (!queue.empty()) {
    const QueuedActions entry = queue.front();
    queue.pop_front();
    if (stage_.Get(entry.clip) == nullptr) continue;  // the clip has gone meanwhile
    if (context_.scripts.blocks == 0) {
      queue.clear();
      break;
    }
    --context_.scripts.blocks;
    RunActionBlock(*this, entry.clip, *entry.block, movie_.header.version, context_.scripts);
  }
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
  if (object.kind != ObjectKind::kMovieClip && object.kind != ObjectKind::kButton) return;
  if (object.level > kMaxNesting || !context_.objects.StepCanMakeMore()) return;
  ++context_.objects.madeInStep;
  if (const auto* sprite = std::get_if<SpriteDefinition>(object.character)) {
    object.timeline = ClipTimeline{&sprite->timeline};
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
  if (parentObject == nullptr || scriptDepth < 0 || scriptDepth > kMaxScriptDepth) return {};
  if (!RoomForObject()) return {};
  Placement placement;
  placement.characterId = characterId;
  placement.name = std::move(name);
  const ObjectHandle handle = MakeObject(parent, DepthFromScriptDepth(scriptDepth), placement);
  if (DisplayObject* object = stage_.Get(handle)) object->madeByScript = true;
  return handle;
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
