// Clip events and the order of a clip's life as scripts see it.
//
// A clip placed by a timeline queues, as it is made: its `initialize`
// handlers with the init actions, its `construct` handlers and its
// registered class (prototype and constructor) next, and its `load` event (then onLoad)
// among the frame actions, right after those of the frame that placed it
// and before its own first frame's. A tick first queues `enterFrame` for
// every clip (children before their parent, the one made last first) ahead
// of all else, then moves the timelines: a clip they remove meanwhile does
// not hear it. A clip that goes queues `unload` (then onUnload) ahead of the
// frame actions, and its script object waits for it.
#include "swf/runtime/actions.h"
#include "swf/runtime/runtime.h"

namespace swf {

using avm1::ObjectRef;
using avm1::Value;

namespace {

const char* MethodOf(uint32_t event) {
  switch (event) {
    case clip_event::kLoad: return "onLoad";
    case clip_event::kEnterFrame: return "onEnterFrame";
    case clip_event::kUnload: return "onUnload";
    case clip_event::kData: return "onData";
    // Input (input_events.cpp): the mouse for every clip, the button events
    // for clips and buttons that act as buttons. Key events reach clips'
    // methods only through the focus.
    case clip_event::kMouseDown: return "onMouseDown";
    case clip_event::kMouseUp: return "onMouseUp";
    case clip_event::kMouseMove: return "onMouseMove";
    case clip_event::kPress: return "onPress";
    case clip_event::kRelease: return "onRelease";
    case clip_event::kReleaseOutside: return "onReleaseOutside";
    case clip_event::kRollOver: return "onRollOver";
    case clip_event::kRollOut: return "onRollOut";
    case clip_event::kDragOver: return "onDragOver";
    case clip_event::kDragOut: return "onDragOut";
    default: return nullptr;
  }
}

uint32_t EventsOf(const DisplayObject& object) {
  return object.clipActions != nullptr ? object.clipActions->allEvents : 0;
}

}  // namespace

int Runtime::VersionOf(const DisplayObject* object) const {
  if (object != nullptr && object->movie != nullptr) return object->movie->header.version;
  return movie_.header.version;
}

void Runtime::ClipMade(ObjectHandle handle) {
  const DisplayObject& object = *stage_.Get(handle);
  const uint32_t events = EventsOf(object);
  // A clip a script makes has its class's prototype before the script's
  // init object is copied onto it (its setters run). A timeline's clip
  // looks its class up when the constructors run: the init actions of the
  // frame that placed it register the class first.
  if (placingByScript_) {
    const Value constructor = bridge_.RegisteredClass(object);
    const Value prototype =
        constructor.Is(avm1::ValueKind::kObject) ? vm_.GetMember(constructor, "prototype") : Value();
    if (prototype.Is(avm1::ValueKind::kObject)) bridge_.ScriptObject(handle, prototype.AsObject());
  }
  if (!placingByScript_) {
    if ((events & clip_event::kInitialize) != 0) {
      context_.Enqueue(QueuedActions{handle, nullptr, QueuedKind::kClipEvent, clip_event::kInitialize,
                                     object.clipActions},
                       QueuePriority::kInit);
    }
    context_.Enqueue(QueuedActions{handle, nullptr, QueuedKind::kConstruct, 0, object.clipActions},
                     QueuePriority::kConstruct);
  }
  context_.Enqueue(QueuedActions{handle, nullptr, QueuedKind::kClipEvent, clip_event::kLoad, object.clipActions});
}

void Runtime::ConstructNow(ObjectHandle handle) {
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr) return;
  RunClipEvent(handle, object->clipActions, clip_event::kInitialize);
  object = stage_.Get(handle);
  if (object == nullptr) return;
  RunConstruct(handle, object->clipActions);
}

// enterFrame goes to the children of a clip (last made first) before the
// clip itself; only clips with a handler or a script object can listen.
void Runtime::QueueEnterFrame(ObjectHandle handle) {
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || object->kind != ObjectKind::kMovieClip) return;
  for (const ObjectHandle child : stage_.ChildrenNewestFirst(*object)) QueueEnterFrame(child);
  if ((EventsOf(*object) & clip_event::kEnterFrame) != 0 || bridge_.HasScriptObject(handle)) {
    context_.Enqueue(
        QueuedActions{handle, nullptr, QueuedKind::kClipEvent, clip_event::kEnterFrame, object->clipActions},
        QueuePriority::kEnterFrame);
  }
}

void Runtime::RunQueued(const QueuedActions& entry) {
  switch (entry.kind) {
    case QueuedKind::kBlock: {
      const DisplayObject* object = stage_.Get(entry.clip);
      if (object == nullptr) return;  // the clip has gone meanwhile
      RunBlock(entry.clip, *entry.block, entry.swfVersion != 0 ? entry.swfVersion : VersionOf(object));
      return;
    }
    case QueuedKind::kClipEvent: RunClipEvent(entry.clip, entry.clipActions, entry.event, entry.keyCode); return;
    case QueuedKind::kConstruct: RunConstruct(entry.clip, entry.clipActions); return;
  }
}

void Runtime::RunClipEvent(ObjectHandle handle, const ClipActions* actions, uint32_t event, uint8_t keyCode) {
  const DisplayObject* object = stage_.Get(handle);
  ObjectRef departed;
  if (object == nullptr) {
    // Only an unload reaches a clip that has gone.
    if (event != clip_event::kUnload) return;
    departed = bridge_.DepartedObject(handle);
  }
  const int version = VersionOf(object);
  if (actions != nullptr) {
    for (const ClipActionRecord& record : actions->records) {
      if ((record.events & event) == 0) continue;
      if (event == clip_event::kKeyPress && record.keyCode != keyCode) continue;
      if (object != nullptr) {
        RunBlock(handle, record.actions, version);
        if (stage_.Get(handle) == nullptr) return;
      } else {
        const ObjectRef outer = bridge_.SetUnloading(departed);
        RunBlockOn(departed, record.actions, version);
        bridge_.SetUnloading(outer);
      }
    }
  }
  const char* method = MethodOf(event);
  if (method == nullptr) return;
  const ObjectRef self = object != nullptr ? (bridge_.HasScriptObject(handle) ? bridge_.ScriptObject(handle) : ObjectRef{})
                                           : departed;
  if (self.id == 0) return;
  vm_.SetSwfVersion(version);
  // The player looks the method up without asking __resolve.
  const avm1::Property* property = vm_.FindProperty(self, method);
  if (property == nullptr) return;
  const Value function = property->IsAccessor() ? vm_.GetMember(Value::Object(self), method) : property->value;
  if (function.Is(avm1::ValueKind::kObject) && vm_.IsFunction(function.AsObject())) {
    vm_.Call(function, object != nullptr ? bridge_.ValueOf(handle) : Value::Object(self), {});
  }
}

void Runtime::RunConstruct(ObjectHandle handle, const ClipActions* actions) {
  if (stage_.Get(handle) == nullptr) return;
  RunClipEvent(handle, actions, clip_event::kConstruct);
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr) return;
  const Value constructor = bridge_.RegisteredClass(*object);
  if (!constructor.Is(avm1::ValueKind::kObject)) return;
  vm_.SetSwfVersion(VersionOf(object));
  const Value prototype = vm_.GetMember(constructor, "prototype");
  const ObjectRef self = bridge_.ScriptObject(handle);
  if (avm1::Object* script = vm_.Get(self); script != nullptr && prototype.Is(avm1::ValueKind::kObject)) {
    script->proto = prototype.AsObject();
  }
  // The links back to the class that `new` would have made.
  vm_.DefineValue(self, "__constructor__", constructor);
  if (vm_.SwfVersion() < 7) vm_.DefineValue(self, "constructor", constructor);
  vm_.Call(constructor, bridge_.ValueOf(handle), {});
}

void Runtime::ObjectRemoved(const DisplayObject& object) {
  const bool listens = bridge_.HasScriptObject(object.self) || (EventsOf(object) & clip_event::kUnload) != 0;
  // Its unload handlers run on its script object once it has gone: one that
  // no script has asked for yet is made now.
  if (listens && object.kind == ObjectKind::kMovieClip) bridge_.ScriptObject(object.self);
  bridge_.DisplayObjectGone(object);
  if (object.kind != ObjectKind::kMovieClip || !listens) return;
  context_.Enqueue(QueuedActions{object.self, nullptr, QueuedKind::kClipEvent, clip_event::kUnload,
                                 object.clipActions},
                   QueuePriority::kConstruct);
}

}  // namespace swf
