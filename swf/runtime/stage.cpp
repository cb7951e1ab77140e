#include "swf/runtime/stage.h"

#include <algorithm>
#include <utility>

namespace swf {

Stage::Stage() {
  DisplayObject root;
  root.kind = ObjectKind::kMovieClip;
  slots_.emplace_back();
  slots_.back().used = true;
  root_ = {0, slots_.back().generation};
  root.self = root_;
  slots_.back().object = std::move(root);
  live_ = 1;
  levels_[0] = root_;
}

ObjectHandle Stage::Level(int32_t level) const {
  const auto found = levels_.find(level);
  return found != levels_.end() ? found->second : ObjectHandle{};
}

// A free slot (reused, or a new one), marked used.
ObjectHandle Stage::TakeSlot() {
  uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    index = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[index];
  slot.used = true;
  return ObjectHandle{index, slot.generation};
}

ObjectHandle Stage::MakeLevel(int32_t level) {
  if (const ObjectHandle existing = Level(level); !existing.IsNone()) return existing;
  const ObjectHandle handle = TakeSlot();
  Slot& slot = slots_[handle.index];
  DisplayObject root;
  root.kind = ObjectKind::kMovieClip;
  root.self = handle;
  root.depth = level;
  slot.object = std::move(root);
  levels_[level] = handle;
  ++live_;
  return handle;
}

ObjectHandle Stage::LevelOf(ObjectHandle handle) const {
  const DisplayObject* object = Get(handle);
  while (object != nullptr && !object->parent.IsNone()) object = Get(object->parent);
  return object != nullptr ? object->self : ObjectHandle{};
}

DisplayObject* Stage::Get(ObjectHandle handle) {
  if (handle.index >= slots_.size()) return nullptr;
  Slot& slot = slots_[handle.index];
  return slot.used && slot.generation == handle.generation ? &slot.object : nullptr;
}

const DisplayObject* Stage::Get(ObjectHandle handle) const { return const_cast<Stage*>(this)->Get(handle); }

DisplayObject* Stage::ChildAt(const DisplayObject& parent, int32_t depth) {
  const auto found = parent.children.find(depth);
  return found == parent.children.end() ? nullptr : Get(found->second);
}

const DisplayObject* Stage::ChildAt(const DisplayObject& parent, int32_t depth) const {
  return const_cast<Stage*>(this)->ChildAt(parent, depth);
}

std::vector<ObjectHandle> Stage::ChildrenNewestFirst(const DisplayObject& parent) const {
  std::vector<std::pair<uint64_t, ObjectHandle>> byAge;
  byAge.reserve(parent.children.size());
  for (const auto& [depth, child] : parent.children) {
    if (const DisplayObject* object = Get(child)) byAge.emplace_back(object->serial, child);
  }
  std::sort(byAge.begin(), byAge.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<ObjectHandle> handles;
  handles.reserve(byAge.size());
  for (const auto& entry : byAge) handles.push_back(entry.second);
  return handles;
}

ObjectHandle Stage::Insert(ObjectHandle parentHandle, int32_t depth, DisplayObject object) {
  DisplayObject* parent = Get(parentHandle);
  if (parent == nullptr) return {};
  if (const auto old = parent->children.find(depth); old != parent->children.end()) Remove(old->second);
  const ObjectHandle handle = TakeSlot();
  Slot& slot = slots_[handle.index];
  object.self = handle;
  object.parent = parentHandle;
  object.depth = depth;
  object.level = parent->level + 1;
  object.serial = ++made_;
  slot.object = std::move(object);
  parent->children[depth] = handle;
  ++live_;
  return handle;
}

void Stage::Remove(ObjectHandle handle) {
  DisplayObject* object = Get(handle);
  if (object == nullptr || handle == root_) return;
  if (object->parent.IsNone()) {
    levels_.erase(object->depth);
    Release(handle);
    return;
  }
  if (DisplayObject* parent = Get(object->parent)) {
    const auto entry = parent->children.find(object->depth);
    if (entry != parent->children.end() && entry->second == handle) parent->children.erase(entry);
  }
  Release(handle);
}

bool Stage::MoveToDepth(ObjectHandle handle, int32_t depth) {
  DisplayObject* object = Get(handle);
  if (object == nullptr || object->parent.IsNone()) return false;
  DisplayObject* parent = Get(object->parent);
  if (parent == nullptr) return false;
  const int32_t oldDepth = object->depth;
  if (oldDepth == depth) return true;
  parent->children.erase(oldDepth);
  if (const auto other = parent->children.find(depth); other != parent->children.end()) {
    if (DisplayObject* swapped = Get(other->second)) {
      swapped->depth = oldDepth;
      parent->children[oldDepth] = other->second;
    }
  }
  parent->children[depth] = handle;
  object->depth = depth;
  return true;
}

// Frees the object's slot and those of its descendants (at most the nesting
// limit deep).
void Stage::Release(ObjectHandle handle) {
  Slot& slot = slots_[handle.index];
  for (const auto& [depth, child] : slot.object.children) {
    if (Get(child) != nullptr) Release(child);
  }
  if (observer_ != nullptr) observer_->ObjectRemoved(slot.object);
  slot.object = DisplayObject();
  slot.used = false;
  // Generation 0 is never live, so a wrapped counter cannot revive an old handle
  // of generation 0 (a default handle's).
  if (++slot.generation == 0) slot.generation = 1;
  free_.push_back(handle.index);
  --live_;
}

}  // namespace swf
