#include "swf/runtime/timeline.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"

namespace swf {

Placement NewPlacement(const PlaceObject& place) {
  Placement placement;
  placement.characterId = place.characterId.value_or(0);
  if (place.hasClipActions) placement.clipActions = &place.clipActions;
  ApplyPlaceFields(place, placement);
  return placement;
}

void ApplyPlaceFields(const PlaceObject& place, Placement& placement) {
  if (place.matrix) placement.matrix = *place.matrix;
  if (place.colorTransform) placement.colorTransform = *place.colorTransform;
  if (place.ratio) placement.ratio = *place.ratio;
  if (place.name) placement.name = *place.name;
  if (place.clipDepth) placement.clipDepth = *place.clipDepth;
  if (place.blendMode) placement.blendMode = *place.blendMode;
  if (place.visible) placement.visible = *place.visible;
  if (place.cacheAsBitmap) placement.cacheAsBitmap = *place.cacheAsBitmap;
  if (place.opaqueBackground) placement.opaqueBackground = *place.opaqueBackground;
  if (place.hasFilters) {
    placement.hasFilters = true;
    placement.filters = place.filters;
  }
}

void ApplyControlTags(const Frame& frame, PlacementMap& placements) {
  for (const ControlTag& tag : frame.tags) {
    if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
      placements.erase(remove->depth);
      continue;
    }
    const auto& place = std::get<PlaceObject>(tag);
    const auto existing = placements.find(place.depth);
    if (place.move && existing != placements.end()) {
      if (place.characterId) existing->second.characterId = *place.characterId;
      ApplyPlaceFields(place, existing->second);
    } else if (place.characterId) {
      placements[place.depth] = NewPlacement(place);
    }
  }
}

PlacementMap PlacementsAt(const TimelineDefinition& timeline, size_t frame) {
  PlacementMap placements;
  for (size_t i = 0; i <= frame && i < timeline.frames.size(); ++i) ApplyControlTags(timeline.frames[i], placements);
  return placements;
}

namespace {

// A tag's fields on a live object, except those a script has taken over.
void ApplyPlaceFieldsToObject(const PlaceObject& place, DisplayObject& object) {
  if (place.matrix && !object.IsScriptSet(ScriptSet::kMatrix)) object.matrix = *place.matrix;
  if (place.colorTransform && !object.IsScriptSet(ScriptSet::kColorTransform)) {
    object.colorTransform = *place.colorTransform;
  }
  if (place.ratio) object.ratio = *place.ratio;
  if (place.name && !object.IsScriptSet(ScriptSet::kName)) object.name = *place.name;
  if (place.clipDepth) object.clipDepth = *place.clipDepth;
  if (place.blendMode) object.blendMode = *place.blendMode;
  if (place.visible && !object.IsScriptSet(ScriptSet::kVisible)) object.visible = *place.visible;
  if (place.cacheAsBitmap) object.cacheAsBitmap = *place.cacheAsBitmap;
  if (place.opaqueBackground) object.opaqueBackground = *place.opaqueBackground;
  if (place.hasFilters) object.filters = FilterList{true, place.filters};
}

// A kept object takes on the placement the target frame gives its depth,
// except for what a script has taken over.
void AssignPlacement(const Placement& placement, DisplayObject& object) {
  if (!object.IsScriptSet(ScriptSet::kMatrix)) object.matrix = placement.matrix;
  if (!object.IsScriptSet(ScriptSet::kColorTransform)) object.colorTransform = placement.colorTransform;
  if (!object.IsScriptSet(ScriptSet::kName)) object.name = placement.name;
  if (!object.IsScriptSet(ScriptSet::kVisible)) object.visible = placement.visible;
  object.clipDepth = placement.clipDepth;
  object.blendMode = placement.blendMode;
  object.cacheAsBitmap = placement.cacheAsBitmap;
  object.opaqueBackground = placement.opaqueBackground;
  object.filters = FilterList{placement.hasFilters, placement.filters};
}

}  // namespace

void Runtime::QueueActions(ObjectHandle clip, const Frame& frame) {
  const ParsedMovie* movie = stage_.Get(clip)->movie;
  for (const InitActionBlock& init : frame.initActions) {
    if (context_.FirstInitActions(movie, init.spriteId)) context_.Enqueue(clip, init.block, QueuePriority::kInit);
  }
  for (const ActionBlock& block : frame.actions) context_.Enqueue(clip, block);
  if (!frame.sounds.empty() || !frame.streamBlocks.empty()) {
    const DisplayObject& object = *stage_.Get(clip);
    const TimelineDefinition* timeline = object.timeline->definition;
    soundFrames_.push_back({clip, object.movie, timeline, static_cast<size_t>(&frame - timeline->frames.data())});
  }
}

void Runtime::EnterFrame(ObjectHandle clip, size_t frame, bool queueActions) {
  DisplayObject& object = *stage_.Get(clip);
  const Frame& tags = object.timeline->definition->frames[frame];
  // The frame's actions go ahead of those of clips it places, which queue
  // their first frame as they are made.
  if (queueActions) QueueActions(clip, tags);
  for (const ControlTag& tag : tags.tags) {
    std::visit([&](const auto& t) { Apply(clip, t); }, tag);
  }
  object.timeline->currentFrame = frame;
}

void Runtime::Apply(ObjectHandle clip, const PlaceObject& place) {
  DisplayObject& parent = *stage_.Get(clip);
  DisplayObject* existing = stage_.ChildAt(parent, place.depth);
  if (place.move && existing != nullptr) {
    // An object a script made or moved there is the script's, not the
    // timeline's to change.
    if (existing->madeByScript) return;
    // Replace: the object keeps its placement, only the character changes.
    if (place.characterId && *place.characterId != existing->characterId) {
      SetCharacter(existing->self, *place.characterId);
    }
    ApplyPlaceFieldsToObject(place, *existing);
  } else if (place.characterId) {
    // A new placement; one already at this depth gives way.
    if (existing != nullptr) stage_.Remove(existing->self);
    if (!RoomForObject()) return;
    MakeObject(clip, place.depth, NewPlacement(place));
  }
  // Otherwise a move of an empty depth, or a tag without effect.
}

void Runtime::Apply(ObjectHandle clip, const RemoveObject& remove) {
  DisplayObject& parent = *stage_.Get(clip);
  if (DisplayObject* existing = stage_.ChildAt(parent, remove.depth)) stage_.Remove(existing->self);
}

// Going back: the display list the tags give the target frame is worked out
// from the tags, then the objects alive at the timeline's depths are brought
// to it. A timeline object still placed at its depth with the same character
// and ratio is the same object (a clip keeps playing where it is, a script's
// changes stay); one that a script made or moved stays while the target
// frame has something at its depth; the rest go or are made. Objects at
// script depths are left alone, whoever put them there.
void Runtime::GoBack(ObjectHandle clip, size_t frame) {
  DisplayObject& object = *stage_.Get(clip);
  const TimelineDefinition& definition = *object.timeline->definition;
  QueueActions(clip, definition.frames[frame]);
  const PlacementMap target = PlacementsAt(definition, frame);

  std::vector<ObjectHandle> leaving;
  for (const auto& [depth, handle] : object.children) {
    const DisplayObject& child = *stage_.Get(handle);
    if (depth >= kScriptDepthOffset) continue;
    const auto wanted = depth >= 0 && depth <= UINT16_MAX ? target.find(static_cast<uint16_t>(depth)) : target.end();
    if (wanted == target.end()) {
      leaving.push_back(handle);
    } else if (!child.madeByScript &&
               (wanted->second.characterId != child.characterId || wanted->second.ratio != child.ratio)) {
      leaving.push_back(handle);
    }
  }
  for (const ObjectHandle handle : leaving) stage_.Remove(handle);

  for (const auto& [depth, placement] : target) {
    if (DisplayObject* kept = stage_.ChildAt(object, depth)) {
      if (!kept->madeByScript) AssignPlacement(placement, *kept);
      continue;
    }
    if (!RoomForObject()) continue;
    MakeObject(clip, depth, placement);
  }
  object.timeline->currentFrame = frame;
}

void Runtime::GotoClipFrame(ObjectHandle clip, size_t frame) {
  DisplayObject* object = stage_.Get(clip);
  if (object == nullptr || !object->timeline || object->timeline->FrameCount() == 0) return;
  const size_t current = object->timeline->currentFrame;
  frame = std::min(frame, object->timeline->FrameCount() - 1);
  if (frame == current) return;
  if (frame > current) {
    for (size_t next = current + 1; next <= frame; ++next) EnterFrame(clip, next, next == frame);
  } else {
    GoBack(clip, frame);
  }
}

// One tick of the clock: child clips (those inside buttons too) advance
// first, the one made last first, then the clip moves to its next frame if
// playing, going back from the last to the first.
void Runtime::TickObject(ObjectHandle handle) {
  DisplayObject& object = *stage_.Get(handle);
  for (const ObjectHandle child : stage_.ChildrenNewestFirst(object)) {
    const DisplayObject* childObject = stage_.Get(child);
    if (childObject == nullptr) continue;
    if (childObject->kind == ObjectKind::kMovieClip || childObject->kind == ObjectKind::kButton) TickObject(child);
  }
  if (!object.timeline || !object.timeline->playing || object.timeline->FrameCount() <= 1) return;
  const size_t current = object.timeline->currentFrame;
  if (current + 1 < object.timeline->FrameCount()) {
    EnterFrame(handle, current + 1, true);
  } else {
    GoBack(handle, 0);
  }
}

}  // namespace swf
