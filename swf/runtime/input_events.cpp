#include "swf/runtime/input_events.h"

#include <algorithm>
#include <vector>

#include "swf/avm1/conversions.h"
#include "swf/render/cached_objects.h"
#include "swf/render/hit_test.h"
#include "swf/runtime/runtime.h"

namespace swf {

using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

namespace {

constexpr uint32_t kButtonClipEvents = clip_event::kPress | clip_event::kRelease | clip_event::kReleaseOutside |
                                       clip_event::kRollOver | clip_event::kRollOut | clip_event::kDragOver |
                                       clip_event::kDragOut;

constexpr const char* kButtonMethods[] = {"onPress",   "onRelease",   "onReleaseOutside", "onRollOver",
                                          "onRollOut", "onDragOver", "onDragOut"};

// The property `name` of the object's script object (its prototypes
// included), without calling anything; null when it has none.
const avm1::Property* FindScriptProperty(Runtime& runtime, ObjectHandle handle, std::string_view name) {
  ScriptBridge& bridge = runtime.Bridge();
  if (!bridge.HasScriptObject(handle)) return nullptr;
  return runtime.Scripts().FindProperty(bridge.ScriptObject(handle), name);
}

bool HasButtonMethod(Runtime& runtime, ObjectHandle handle) {
  avm1::Vm& vm = runtime.Scripts();
  for (const char* name : kButtonMethods) {
    const avm1::Property* property = FindScriptProperty(runtime, handle, name);
    if (property == nullptr) continue;
    if (property->IsAccessor()) return true;
    if (property->value.Is(ValueKind::kObject) && vm.IsFunction(property->value.AsObject())) return true;
  }
  return false;
}

// Clips that hear `event`, children before their parent (the last placed
// first), as enterFrame goes.
void CollectListeners(Runtime& runtime, ObjectHandle handle, uint32_t event, std::vector<ObjectHandle>& out) {
  const DisplayObject* object = runtime.Objects().Get(handle);
  if (object == nullptr || object->kind != ObjectKind::kMovieClip) return;
  for (auto child = object->children.rbegin(); child != object->children.rend(); ++child) {
    CollectListeners(runtime, child->second, event, out);
  }
  const uint32_t events = object->clipActions != nullptr ? object->clipActions->allEvents : 0;
  if ((events & event) != 0 || runtime.Bridge().HasScriptObject(handle)) out.push_back(handle);
}

Matrix WorldMatrixOf(const Stage& stage, const DisplayObject& object) {
  Matrix world = object.matrix;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr; up = stage.Get(up->parent)) {
    world = Matrix::Compose(world, up->matrix);
  }
  return world;
}

// The mouse in the twips of `object`'s parent.
std::optional<Point> MouseInParent(const Runtime& runtime, const DisplayObject& object) {
  const Stage& stage = runtime.Objects();
  const DisplayObject* parent = stage.Get(object.parent);
  if (parent == nullptr) return runtime.MousePosition();
  const std::optional<Matrix> inverse = WorldMatrixOf(stage, *parent).Inverse();
  if (!inverse) return std::nullopt;
  return inverse->Apply(runtime.MousePosition());
}

}  // namespace

bool ScriptFlag(Runtime& runtime, ObjectHandle handle, std::string_view name, bool fallback) {
  const avm1::Property* property = FindScriptProperty(runtime, handle, name);
  // Only a value that is there and false turns a flag off: undefined keeps it.
  if (property == nullptr || property->IsAccessor() || property->value.Is(ValueKind::kUndefined)) return fallback;
  return runtime.Scripts().ToBoolean(property->value);
}

bool CatchesMouse(Runtime& runtime, const DisplayObject& object) {
  if (object.kind == ObjectKind::kButton) return ScriptFlag(runtime, object.self, "enabled", true);
  if (object.kind != ObjectKind::kMovieClip || object.parent.IsNone()) return false;
  const uint32_t events = object.clipActions != nullptr ? object.clipActions->allEvents : 0;
  if ((events & kButtonClipEvents) == 0 && !HasButtonMethod(runtime, object.self)) return false;
  return ScriptFlag(runtime, object.self, "enabled", true);
}

void BroadcastClipEvent(Runtime& runtime, uint32_t event, uint8_t keyCode) {
  std::vector<ObjectHandle> listeners;
  for (const auto& [level, root] : runtime.Objects().Levels()) CollectListeners(runtime, root, event, listeners);
  for (const ObjectHandle clip : listeners) {
    const DisplayObject* object = runtime.Objects().Get(clip);
    QueuedActions entry{clip, nullptr, QueuedKind::kClipEvent, event, object->clipActions};
    entry.keyCode = keyCode;
    runtime.Context().Enqueue(entry);
  }
  runtime.RunFrameActions();
}

void NotifyListeners(Runtime& runtime, std::string_view broadcaster, std::string_view method,
                     std::span<const Value> args) {
  ExecutionContext& context = runtime.Context();
  if (context.Running()) return;
  {
    const RunningScope running(context);
    avm1::Vm& vm = runtime.Scripts();
    vm.SetSwfVersion(runtime.Movie().header.version);
    const Value target = vm.GetMember(Value::Object(vm.Classes().global), broadcaster);
    if (target.Is(ValueKind::kObject)) {
      std::vector<Value> message;
      message.push_back(Value::String(std::string(method)));
      message.insert(message.end(), args.begin(), args.end());
      vm.CallMethod(target, "broadcastMessage", message);
    }
  }
  runtime.RunFrameActions();
}

bool CanTakeFocus(Runtime& runtime, const DisplayObject& object) {
  switch (object.kind) {
    case ObjectKind::kButton: return ScriptFlag(runtime, object.self, "enabled", true);
    case ObjectKind::kTextField: return true;
    case ObjectKind::kMovieClip:
      return !object.parent.IsNone() &&
             (ScriptFlag(runtime, object.self, "focusEnabled", false) ||
              ScriptFlag(runtime, object.self, "tabEnabled", false) || CatchesMouse(runtime, object));
    default: return false;
  }
}

namespace {

// Calls the object's method `name` with `args`, if it has one.
void CallMethodOf(Runtime& runtime, ObjectHandle handle, std::string_view name, std::span<const Value> args) {
  if (runtime.Objects().Get(handle) == nullptr) return;
  avm1::Vm& vm = runtime.Scripts();
  const ObjectRef self = runtime.Bridge().ScriptObject(handle);
  const avm1::Property* property = vm.FindProperty(self, name);
  if (property == nullptr) return;
  const Value function = property->IsAccessor() ? vm.GetMember(Value::Object(self), name) : property->value;
  if (function.Is(ValueKind::kObject) && vm.IsFunction(function.AsObject())) {
    vm.Call(function, runtime.Bridge().ValueOf(handle), args);
  }
}

// Runs `work` as scripts outside the queue run, then what it queued.
template <class Work>
void RunScripts(Runtime& runtime, Work work) {
  ExecutionContext& context = runtime.Context();
  if (context.Running()) {
    work();
    return;
  }
  {
    const RunningScope running(context);
    runtime.Scripts().SetSwfVersion(runtime.Movie().header.version);
    work();
  }
  runtime.RunFrameActions();
}

Value FocusValue(Runtime& runtime, ObjectHandle handle) {
  return runtime.Objects().Get(handle) != nullptr ? runtime.Bridge().ValueOf(handle) : Value::Null();
}

}  // namespace

bool SetFocus(Runtime& runtime, ObjectHandle target) {
  InputState& input = runtime.Input();
  const DisplayObject* object = runtime.Objects().Get(target);
  if (!target.IsNone() && (object == nullptr || !CanTakeFocus(runtime, *object))) return false;
  const ObjectHandle old = runtime.Objects().Get(input.focus) != nullptr ? input.focus : ObjectHandle{};
  // A field taking the focus, even again, has all its text selected once
  // the objects have heard of it.
  auto selectAll = [&] {
    const DisplayObject* field = runtime.Objects().Get(target);
    if (field == nullptr || !field->textField) return;
    field->textField->selectionBegin = 0;
    field->textField->selectionEnd = field->textField->content.Length();
  };
  if (old == target) {
    selectAll();
    return true;
  }
  input.focus = target;
  struct Changing {
    InputState& input;
    bool saved;
    ~Changing() { input.focusChanging = saved; }
  } changing{input, input.focusChanging};
  input.focusChanging = true;
  RunScripts(runtime, [&] {
    const Value oldValue = FocusValue(runtime, old);
    const Value newValue = FocusValue(runtime, target);
    CallMethodOf(runtime, old, "onKillFocus", std::span<const Value>(&newValue, 1));
    CallMethodOf(runtime, target, "onSetFocus", std::span<const Value>(&oldValue, 1));
    avm1::Vm& vm = runtime.Scripts();
    const Value selection = vm.GetMember(Value::Object(vm.Classes().global), "Selection");
    if (selection.Is(ValueKind::kObject)) {
      const Value message[] = {Value::String("onSetFocus"), oldValue, newValue};
      vm.CallMethod(selection, "broadcastMessage", message);
    }
  });
  input.focusChanging = changing.saved;
  if (input.focus == target) selectAll();
  return true;
}

void TellObject(Runtime& runtime, ObjectHandle object, std::string_view method, std::span<const Value> args) {
  if (runtime.Objects().Get(object) == nullptr) return;
  RunScripts(runtime, [&] { CallMethodOf(runtime, object, method, args); });
}

void TellFocus(Runtime& runtime, std::string_view method) {
  const ObjectHandle focus = runtime.Input().focus;
  if (runtime.Objects().Get(focus) == nullptr) return;
  RunScripts(runtime, [&] { CallMethodOf(runtime, focus, method, {}); });
}

namespace {

struct TabStop {
  ObjectHandle handle;
  // tabIndex as a 32-bit integer; -1 (or none) leaves the object to the
  // order by place.
  int32_t index;
  double x, y;

  bool Indexed() const { return index != -1; }
};

void CollectTabStops(Runtime& runtime, ObjectHandle handle, const Matrix& parentWorld, std::vector<TabStop>& out) {
  const Stage& stage = runtime.Objects();
  const DisplayObject* object = stage.Get(handle);
  if (object == nullptr || !object->visible) return;
  const Matrix world = object->parent.IsNone() ? object->matrix : Matrix::Compose(object->matrix, parentWorld);
  const bool enabledByDefault = object->kind == ObjectKind::kButton || object->kind == ObjectKind::kTextField ||
                                (object->kind == ObjectKind::kMovieClip && CatchesMouse(runtime, *object));
  if (!object->parent.IsNone() && ScriptFlag(runtime, handle, "tabEnabled", enabledByDefault) &&
      CanTakeFocus(runtime, *object)) {
    const std::optional<Box> local = LocalBounds(stage, *object);
    const Box box = local ? MapBox(*local, world) : Box{world.tx, world.ty, world.tx, world.ty};
    int32_t index = -1;
    // A text field keeps its tabIndex in the field itself (an accessor).
    if (object->kind == ObjectKind::kTextField && object->textField != nullptr) {
      if (object->textField->tabIndex) index = avm1::DoubleToInt32(*object->textField->tabIndex);
    } else if (const avm1::Property* property = FindScriptProperty(runtime, handle, "tabIndex");
        property != nullptr && !property->IsAccessor() && property->value.Is(ValueKind::kNumber)) {
      index = avm1::DoubleToInt32(property->value.AsNumber());
    }
    out.push_back({handle, index, box.xMin, box.yMin});
  }
  // A clip whose tabChildren is false keeps its children out of the order.
  if (object->kind != ObjectKind::kMovieClip || !ScriptFlag(runtime, handle, "tabChildren", true)) return;
  for (const auto& [depth, child] : object->children) CollectTabStops(runtime, child, world, out);
}

}  // namespace

void MoveFocusByTab(Runtime& runtime, bool backwards) {
  std::vector<TabStop> stops;
  CollectTabStops(runtime, runtime.Root(), Matrix{}, stops);
  const bool byIndex = std::any_of(stops.begin(), stops.end(), [](const TabStop& stop) { return stop.Indexed(); });
  if (byIndex) {
    std::erase_if(stops, [](const TabStop& stop) { return !stop.Indexed(); });
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TabStop& a, const TabStop& b) { return a.index < b.index; });
  } else {
    std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
      return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
  }
  if (stops.empty()) return;
  const ObjectHandle focus = runtime.Input().focus;
  auto current = std::find_if(stops.begin(), stops.end(), [&](const TabStop& stop) { return stop.handle == focus; });
  size_t next = 0;
  if (current != stops.end()) {
    const size_t at = static_cast<size_t>(current - stops.begin());
    next = backwards ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  } else if (backwards) {
    next = stops.size() - 1;
  }
  SetFocus(runtime, stops[next].handle);
}

void ShowClipButtonState(Runtime& runtime, ObjectHandle clip, uint8_t buttonState) {
  const DisplayObject* object = runtime.Objects().Get(clip);
  if (object == nullptr || !object->timeline) return;
  const char* label = buttonState == button_state::kDown   ? "_down"
                      : buttonState == button_state::kOver ? "_over"
                                                           : "_up";
  const auto& labels = object->timeline->definition->labels;
  const auto found = labels.find(label);
  if (found == labels.end()) return;
  runtime.GotoClipFrame(clip, found->second);
  runtime.PlayClip(clip, false);
}

void StartDrag(Runtime& runtime, ObjectHandle clip, bool lockCenter, std::optional<avm1::DragRectangle> bounds) {
  const DisplayObject* object = runtime.Objects().Get(clip);
  if (object == nullptr || object->parent.IsNone()) return;
  DragState drag;
  drag.clip = clip;
  if (!lockCenter) {
    if (const std::optional<Point> mouse = MouseInParent(runtime, *object)) {
      drag.offset = Point{object->matrix.tx - mouse->x, object->matrix.ty - mouse->y};
    }
  }
  if (bounds) {
    DragBounds limits{bounds->left * kTwipsPerPixel, bounds->top * kTwipsPerPixel, bounds->right * kTwipsPerPixel,
                      bounds->bottom * kTwipsPerPixel};
    if (limits.left > limits.right) std::swap(limits.left, limits.right);
    if (limits.top > limits.bottom) std::swap(limits.top, limits.bottom);
    drag.bounds = limits;
  }
  runtime.Input().drag = drag;
  FollowDrag(runtime);
}

void StopDrag(Runtime& runtime) {
  FollowDrag(runtime);
  runtime.Input().drag.reset();
}

void FollowDrag(Runtime& runtime) {
  InputState& input = runtime.Input();
  if (!input.drag) return;
  const DisplayObject* object = runtime.Objects().Get(input.drag->clip);
  if (object == nullptr) {
    input.drag.reset();
    return;
  }
  const std::optional<Point> mouse = MouseInParent(runtime, *object);
  if (!mouse) return;
  double x = mouse->x + input.drag->offset.x;
  double y = mouse->y + input.drag->offset.y;
  if (input.drag->bounds) {
    x = std::clamp(x, input.drag->bounds->left, input.drag->bounds->right);
    y = std::clamp(y, input.drag->bounds->top, input.drag->bounds->bottom);
  }
  Matrix matrix = object->matrix;
  matrix.tx = x;
  matrix.ty = y;
  if (!(matrix == object->matrix)) runtime.SetMatrix(input.drag->clip, matrix);

  // The clip under the mouse now, the dragged one aside, for _droptarget.
  const Stage& stage = runtime.Objects();
  ObjectHandle found = DrawnObjectAt(stage, runtime.Movie(), Matrix{}, runtime.MousePosition(), input.drag->clip);
  const DisplayObject* target = stage.Get(found);
  while (target != nullptr && target->kind != ObjectKind::kMovieClip) target = stage.Get(target->parent);
  input.dropTargetClip = input.drag->clip;
  input.dropTarget = target != nullptr && !target->parent.IsNone() ? runtime.Bridge().SlashPath(target->self) : "";
}

std::string DropTargetOf(const Runtime& runtime, ObjectHandle clip) {
  const InputState& input = runtime.Input();
  return input.dropTargetClip == clip ? input.dropTarget : std::string();
}

}  // namespace swf
