#include "swf/timeline/timeline.h"

#include <algorithm>
#include <type_traits>

#include "swf/timeline/actions.h"

namespace swf {

TimelineInstance::TimelineInstance(const ParsedMovie& movie, const TimelineDefinition& definition, int nesting,
                                   std::shared_ptr<ObjectBudget> objects, TimelineInstance* parent,
                                   HostServices* host)
    : movie_(movie),
      definition_(definition),
      nesting_(nesting),
      objects_(std::move(objects)),
      parent_(parent),
      actions_(parent != nullptr ? parent->actions_ : std::make_shared<ActionQueue>()) {
  if (parent_ == nullptr) actions_->host = host;
  BeginStep();
  if (!definition_.frames.empty()) ApplyFrame(0);
  RunFrameActions();
}

TimelineInstance::~TimelineInstance() = default;

// A step starts when the host moves the root; a goto that a script makes
// belongs to the step whose actions run it.
void TimelineInstance::BeginStep() {
  if (parent_ == nullptr && !actions_->running) objects_->madeInStep = 0;
}

void TimelineInstance::QueueActions(const Frame& frame) {
  auto queue = [&](const ActionBlock& block) {
    if (actions_->entries.size() < ActionQueue::kMaxEntries) actions_->entries.push_back({this, alive_, &block});
  };
  for (const InitActionBlock& init : frame.initActions) {
    if (actions_->initActionsRun.insert(init.spriteId).second) queue(init.block);
  }
  for (const ActionBlock& block : frame.actions) queue(block);
}

HostServices* TimelineInstance::Host() const { return actions_->host; }

void TimelineInstance::SetHost(HostServices* host) { actions_->host = host; }

void TimelineInstance::RunFrameActions() {
  if (parent_ != nullptr || actions_->running) return;
  actions_->running = true;
  struct RunningFlag {
    ActionQueue& queue;
    ~RunningFlag() { queue.running = false; }
  } flag{*actions_};
  ActionBudget budget;
  while (!actions_->entries.empty()) {
    const ActionQueue::Entry entry = actions_->entries.front();
    actions_->entries.pop_front();
    if (entry.clipAlive.expired()) continue;
    if (budget.blocks == 0) {
      actions_->entries.clear();
      break;
    }
    --budget.blocks;
    RunActionBlock(*entry.clip, *entry.block, movie_.header.version, budget);
  }
}

void TimelineInstance::ApplyFrame(size_t frame, bool queueActions) {
  // The frame's actions go ahead of those of clips it places, which queue
  // their first frame as they are made.
  if (queueActions) QueueActions(definition_.frames[frame]);
  for (const ControlTag& tag : definition_.frames[frame].tags) {
    std::visit([this](const auto& t) { Apply(t); }, tag);
  }
  currentFrame_ = frame;
}

void TimelineInstance::SetCharacter(DisplayObject& object, uint16_t characterId) {
  object.characterId = characterId;
  object.character = movie_.FindCharacter(characterId);
  object.sprite.reset();
  if (object.character == nullptr || nesting_ >= kMaxNesting) return;
  const TimelineDefinition* timeline = nullptr;
  if (const auto* sprite = std::get_if<SpriteDefinition>(object.character)) {
    timeline = &sprite->timeline;
  } else if (const auto* button = std::get_if<ButtonDefinition>(object.character)) {
    timeline = button->upState.get();
  }
  if (timeline == nullptr || !objects_->StepCanMakeMore()) return;
  ++objects_->madeInStep;
  object.sprite = std::make_unique<TimelineInstance>(movie_, *timeline, nesting_ + 1, objects_, this);
}

void TimelineInstance::Apply(const PlaceObject& place) {
  auto existing = list_.find(place.depth);
  DisplayObject* object = nullptr;
  if (place.move && existing != list_.end()) {
    object = &existing->second;
    // Replace: the instance keeps its placement, only the character changes.
    if (place.characterId && *place.characterId != object->characterId) SetCharacter(*object, *place.characterId);
  } else if (place.characterId) {
    // A new placement; one already at this depth gives way.
    DisplayObject fresh;
    fresh.matrix = place.matrix.value_or(Matrix::Identity());
    fresh.colorTransform = place.colorTransform.value_or(ColorTransform::Identity());
    fresh.ratio = place.ratio.value_or(0);
    fresh.name = place.name.value_or(std::string());
    fresh.clipDepth = place.clipDepth.value_or(0);
    list_.erase(place.depth);
    if (objects_->live >= kMaxDisplayObjects || !objects_->StepCanMakeMore()) return;
    fresh.ticket = ObjectTicket(objects_);
    object = &list_.emplace(place.depth, std::move(fresh)).first->second;
    SetCharacter(*object, *place.characterId);
  } else {
    return;  // a move of an empty depth, or a tag without effect
  }
  if (place.matrix) object->matrix = *place.matrix;
  if (place.colorTransform) object->colorTransform = *place.colorTransform;
  if (place.ratio) object->ratio = *place.ratio;
  if (place.name) object->name = *place.name;
  if (place.clipDepth) object->clipDepth = *place.clipDepth;
  if (place.blendMode) object->blendMode = *place.blendMode;
  if (place.visible) object->visible = *place.visible;
  if (place.cacheAsBitmap) object->cacheAsBitmap = *place.cacheAsBitmap;
  if (place.opaqueBackground) object->opaqueBackground = *place.opaqueBackground;
}

void TimelineInstance::Apply(const RemoveObject& remove) { list_.erase(remove.depth); }

void TimelineInstance::Rebuild(size_t target) {
  DisplayList previous = std::move(list_);
  list_.clear();
  // The replaced objects make room at once; sprites handed over below keep
  // their own objects counted.
  for (auto& [depth, object] : previous) object.ticket = ObjectTicket();
  for (size_t frame = 0; frame <= target; ++frame) ApplyFrame(frame, frame == target);
  // An instance that the replay puts back unchanged (same character, same
  // ratio) is the same clip: it keeps its own running state.
  for (auto& [depth, object] : list_) {
    auto old = previous.find(depth);
    if (old == previous.end() || !old->second.sprite || !object.sprite) continue;
    if (old->second.characterId == object.characterId && old->second.ratio == object.ratio) {
      object.sprite = std::move(old->second.sprite);
    }
  }
}

void TimelineInstance::GotoFrame(size_t frame) {
  BeginStep();
  if (definition_.frames.empty()) return;
  frame = std::min(frame, definition_.frames.size() - 1);
  if (frame == currentFrame_) return;
  if (frame > currentFrame_) {
    for (size_t next = currentFrame_ + 1; next <= frame; ++next) ApplyFrame(next, next == frame);
  } else {
    Rebuild(frame);
  }
  RunFrameActions();
}

void TimelineInstance::Tick() {
  BeginStep();
  for (auto& [depth, object] : list_) {
    if (object.sprite) object.sprite->Tick();
  }
  if (playing_ && definition_.frames.size() > 1) {
    if (currentFrame_ + 1 < definition_.frames.size()) {
      ApplyFrame(currentFrame_ + 1);
    } else {
      Rebuild(0);
    }
  }
  RunFrameActions();
}

}  // namespace swf
