// The parts of Key, Mouse and Stage that read the running movie (the keys
// held, the cursor, the stage's size), and the objects a standalone player
// accepts without showing anything: ContextMenu, ContextMenuItem and
// Accessibility.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swf/runtime/input_events.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"
#include "swf/runtime/text_editing.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

InputState* InputOf(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  return bridge != nullptr ? &bridge->GetRuntime().Input() : nullptr;
}

// A key code argument: whole numbers only; anything else names no key.
int KeyCodeArgument(NativeCall& call) {
  const double code = call.vm.ToNumber(call.Arg(0));
  if (!std::isfinite(code) || code < 0 || code >= InputState::kKeyCount) return 0;
  return static_cast<int>(code);
}

Value IsDown(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::Boolean(input != nullptr && input->IsDown(KeyCodeArgument(call)));
}

Value IsToggled(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::Boolean(input != nullptr && input->IsToggled(KeyCodeArgument(call)));
}

Value GetCode(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::Number(input != nullptr ? input->lastKeyCode : 0);
}

Value GetAscii(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::Number(input != nullptr ? static_cast<double>(input->lastCharacter) : 0);
}

constexpr avm1::NativeMember kKeyMembers[] = {
    {"getAscii", GetAscii, avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete},
    {"getCode", GetCode, avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete},
    {"isDown", IsDown, avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete},
    {"isToggled", IsToggled, avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete},
};

// Mouse.hide/show answer whether the cursor was shown before.
Value ShowCursor(NativeCall& call, bool shown) {
  InputState* input = InputOf(call);
  if (input == nullptr) return Value::Number(0);
  const bool was = input->cursorShown;
  input->cursorShown = shown;
  return Value::Number(was ? 1 : 0);
}

Value HideMouse(NativeCall& call) { return ShowCursor(call, false); }
Value ShowMouse(NativeCall& call) { return ShowCursor(call, true); }

constexpr avm1::NativeMember kMouseMembers[] = {
    {"hide", HideMouse},
    {"show", ShowMouse},
};

// Stage: the movie is shown at its own size, so the stage is as large as
// the movie says (the one loaded into level 0, when one replaced it); the
// layout settings are kept as scripts set them.
const ParsedMovie* MovieOf(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return nullptr;
  const Runtime& runtime = bridge->GetRuntime();
  return &runtime.MovieOf(&runtime.RootObject());
}

Value StageWidth(NativeCall& call) {
  const ParsedMovie* movie = MovieOf(call);
  return Value::Number(movie != nullptr ? std::round(movie->header.frameSize.Width() / kTwipsPerPixel) : 0);
}

Value StageHeight(NativeCall& call) {
  const ParsedMovie* movie = MovieOf(call);
  return Value::Number(movie != nullptr ? std::round(movie->header.frameSize.Height() / kTwipsPerPixel) : 0);
}

// The scale modes a movie can ask for; another word leaves the mode as it was.
Value GetScaleMode(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::String(input != nullptr ? input->scaleMode : "showAll");
}
Value SetScaleMode(NativeCall& call) {
  InputState* input = InputOf(call);
  const std::string wanted = avm1::FoldCase(call.vm.ToStringValue(call.Arg(0)));
  for (const char* mode : {"showAll", "noBorder", "exactFit", "noScale"}) {
    if (input != nullptr && wanted == avm1::FoldCase(mode)) input->scaleMode = mode;
  }
  return {};
}

// align keeps the letters it knows (T, B, L, R), in the player's order.
Value GetAlign(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::String(input != nullptr ? input->align : "");
}
Value SetAlign(NativeCall& call) {
  InputState* input = InputOf(call);
  if (input == nullptr) return {};
  const std::string wanted = avm1::FoldCase(call.vm.ToStringValue(call.Arg(0)));
  std::string align;
  for (const char letter : {'t', 'b', 'l', 'r'}) {
    if (wanted.find(letter) != std::string::npos) align += static_cast<char>(letter - 'a' + 'A');
  }
  input->align = align;
  return {};
}

Value GetShowMenu(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::Boolean(input == nullptr || input->showMenu);
}
Value SetShowMenu(NativeCall& call) {
  if (InputState* input = InputOf(call)) input->showMenu = call.vm.ToBoolean(call.Arg(0));
  return {};
}

Value GetDisplayState(NativeCall& call) {
  const InputState* input = InputOf(call);
  return Value::String(input != nullptr ? input->displayState : "normal");
}
Value SetDisplayState(NativeCall& call) {
  InputState* input = InputOf(call);
  const std::string wanted = avm1::FoldCase(call.vm.ToStringValue(call.Arg(0)));
  if (input == nullptr || (wanted != "normal" && wanted != "fullscreen")) return {};
  const std::string state = wanted == "normal" ? "normal" : "fullScreen";
  if (state == input->displayState) return {};
  input->displayState = state;
  // Stage's listeners hear of the change at once.
  const Value args[] = {Value::String("onFullScreen"), Value::Boolean(state == "fullScreen")};
  call.vm.CallMethod(call.self, "broadcastMessage", args);
  return {};
}

void DefineAccessor(avm1::Vm& vm, ObjectRef target, std::string_view name, avm1::NativeFunction getter,
                    avm1::NativeFunction setter) {
  avm1::Object* object = vm.Get(target);
  if (object == nullptr) return;
  const ObjectRef get = vm.NewFunction(getter);
  const ObjectRef set = setter != nullptr ? vm.NewFunction(setter) : ObjectRef{};
  avm1::Property& property = object->properties.Set(name, false);
  property.getter = get;
  property.setter = set;
  property.flags = avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete;
}

// ContextMenu(onSelect): the built-in items all shown, no custom ones.
void FillBuiltInItems(avm1::Vm& vm, const Value& self, bool shown) {
  const ObjectRef items = vm.NewObject();
  for (const char* name : {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"}) {
    vm.SetMember(Value::Object(items), name, Value::Boolean(shown));
  }
  vm.SetMember(self, "builtInItems", Value::Object(items));
}

Value ConstructContextMenu(NativeCall& call) {
  avm1::Vm& vm = call.vm;
  vm.SetMember(call.self, "onSelect", call.Arg(0));
  vm.SetMember(call.self, "customItems", Value::Object(vm.NewArray({})));
  FillBuiltInItems(vm, call.self, true);
  return call.self;
}

Value HideBuiltInItems(NativeCall& call) {
  FillBuiltInItems(call.vm, call.self, false);
  return {};
}

// A copy with the same callback, built-in settings and copies of the items.
Value CopyContextMenu(NativeCall& call) {
  avm1::Vm& vm = call.vm;
  const Value constructor = vm.GetMember(Value::Object(vm.Classes().global), "ContextMenu");
  const Value onSelect = vm.GetMember(call.self, "onSelect");
  const Value copy = vm.Construct(constructor, std::span<const Value>(&onSelect, 1));
  const Value builtIn = vm.GetMember(call.self, "builtInItems");
  const Value copiedBuiltIn = vm.GetMember(copy, "builtInItems");
  if (builtIn.Is(ValueKind::kObject) && copiedBuiltIn.Is(ValueKind::kObject)) {
    for (const char* name : {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"}) {
      vm.SetMember(copiedBuiltIn, name, vm.GetMember(builtIn, name));
    }
  }
  const Value items = vm.GetMember(call.self, "customItems");
  const Value copiedItems = vm.GetMember(copy, "customItems");
  const double count = vm.ToNumber(vm.GetMember(items, "length"));
  for (int i = 0; std::isfinite(count) && i < count && i < 65536; ++i) {
    const Value item = vm.GetMember(items, std::to_string(i));
    const Value copiedItem = vm.CallMethod(item, "copy", {});
    vm.CallMethod(copiedItems, "push", std::span<const Value>(&copiedItem, 1));
  }
  return copy;
}

constexpr avm1::NativeMember kContextMenuMembers[] = {
    {"copy", CopyContextMenu},
    {"hideBuiltInItems", HideBuiltInItems},
};

// ContextMenuItem(caption, onSelect, separatorBefore, enabled, visible).
Value ConstructContextMenuItem(NativeCall& call) {
  avm1::Vm& vm = call.vm;
  vm.SetMember(call.self, "caption", call.Arg(0));
  vm.SetMember(call.self, "onSelect", call.Arg(1));
  vm.SetMember(call.self, "separatorBefore", Value::Boolean(vm.ToBoolean(call.Arg(2))));
  vm.SetMember(call.self, "enabled",
               Value::Boolean(call.Arg(3).Is(ValueKind::kUndefined) || vm.ToBoolean(call.Arg(3))));
  vm.SetMember(call.self, "visible",
               Value::Boolean(call.Arg(4).Is(ValueKind::kUndefined) || vm.ToBoolean(call.Arg(4))));
  return call.self;
}

Value CopyContextMenuItem(NativeCall& call) {
  avm1::Vm& vm = call.vm;
  const Value constructor = vm.GetMember(Value::Object(vm.Classes().global), "ContextMenuItem");
  const Value args[] = {vm.GetMember(call.self, "caption"), vm.GetMember(call.self, "onSelect"),
                        vm.GetMember(call.self, "separatorBefore"), vm.GetMember(call.self, "enabled"),
                        vm.GetMember(call.self, "visible")};
  return vm.Construct(constructor, args);
}

constexpr avm1::NativeMember kContextMenuItemMembers[] = {
    {"copy", CopyContextMenuItem},
};

// Accessibility: no screen reader is ever active in the player.
Value IsActive(NativeCall&) { return Value::Boolean(false); }
Value DoNothing(NativeCall&) { return {}; }

// Movies before version 6 do not see them.
constexpr std::uint32_t kFromVersion6 = avm1::property_flags::kDontEnum | avm1::property_flags::kHiddenBelow6;
constexpr avm1::NativeMember kAccessibilityMembers[] = {
    {"isActive", IsActive, kFromVersion6},
    {"sendEvent", DoNothing, kFromVersion6},
    {"updateProperties", DoNothing, kFromVersion6},
};

// MovieClip.startDrag(lockCenter, left, top, right, bottom) and stopDrag.
Value StartDragMethod(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  const ObjectHandle clip = bridge->HandleOfValue(call.self);
  std::optional<avm1::DragRectangle> bounds;
  if (call.args.size() >= 5) {
    avm1::DragRectangle rectangle{call.vm.ToNumber(call.Arg(1)), call.vm.ToNumber(call.Arg(2)),
                                  call.vm.ToNumber(call.Arg(3)), call.vm.ToNumber(call.Arg(4))};
    if (std::isfinite(rectangle.left) && std::isfinite(rectangle.top) && std::isfinite(rectangle.right) &&
        std::isfinite(rectangle.bottom)) {
      bounds = rectangle;
    }
  }
  StartDrag(bridge->GetRuntime(), clip, call.vm.ToBoolean(call.Arg(0)), bounds);
  return {};
}

Value StopDragMethod(NativeCall& call) {
  if (ScriptBridge* bridge = BridgeOf(call.vm)) StopDrag(bridge->GetRuntime());
  return {};
}

constexpr avm1::NativeMember kDragMembers[] = {
    {"startDrag", StartDragMethod},
    {"stopDrag", StopDragMethod},
};

// Selection.getFocus: the path of the object with the focus, or null.
Value GetFocus(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return Value::Null();
  const ObjectHandle focus = bridge->GetRuntime().Input().focus;
  if (bridge->GetRuntime().Objects().Get(focus) == nullptr) return Value::Null();
  return Value::String(bridge->DotPath(focus));
}

// Selection.setFocus(target): a path or the object; null takes the focus
// away. True when the target took it.
Value SetFocusMethod(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return Value::Boolean(false);
  const Value& target = call.Arg(0);
  if (target.IsUndefinedOrNull()) {
    SetFocus(bridge->GetRuntime(), {});
    return Value::Boolean(true);
  }
  ObjectHandle handle;
  if (target.Is(ValueKind::kString)) {
    handle = bridge->HandleOf(bridge->FindTarget(ObjectRef{}, target.AsString()));
  } else {
    handle = bridge->HandleOfValue(target);
  }
  if (handle.IsNone()) return Value::Boolean(false);
  return Value::Boolean(SetFocus(bridge->GetRuntime(), handle));
}

// The text field with the focus, for the selection methods; null when the
// focus is elsewhere or a focus change is being heard of.
text::TextFieldState* FocusedField(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr || bridge->GetRuntime().Input().focusChanging) return nullptr;
  Runtime& runtime = bridge->GetRuntime();
  const DisplayObject* object = runtime.Objects().Get(FocusedTextField(runtime));
  return object != nullptr ? object->textField.get() : nullptr;
}

template <bool kBegin>
Value GetSelectionEdge(NativeCall& call) {
  const text::TextFieldState* field = FocusedField(call);
  if (field == nullptr) return Value::Number(-1);
  const size_t length = field->content.Length();
  const size_t a = std::min(field->selectionBegin, length);
  const size_t b = std::min(field->selectionEnd, length);
  return Value::Number(static_cast<double>(kBegin ? std::min(a, b) : std::max(a, b)));
}

Value GetCaretIndex(NativeCall& call) {
  const text::TextFieldState* field = FocusedField(call);
  if (field == nullptr) return Value::Number(-1);
  return Value::Number(static_cast<double>(std::min(field->selectionEnd, field->content.Length())));
}

// setSelection(begin[, end]): the caret goes to `end` (the text's end when
// not given); nothing without arguments.
Value SetSelection(NativeCall& call) {
  if (call.args.empty()) return {};
  const double begin = call.vm.ToNumber(call.Arg(0));
  const double end = call.args.size() > 1 ? call.vm.ToNumber(call.Arg(1)) : std::numeric_limits<double>::infinity();
  text::TextFieldState* field = FocusedField(call);
  if (field == nullptr) return {};
  const double length = static_cast<double>(field->content.Length());
  auto clamp = [&](double value) {
    return static_cast<size_t>(std::isnan(value) ? 0 : std::clamp(std::trunc(value), 0.0, length));
  };
  field->selectionBegin = clamp(begin);
  field->selectionEnd = clamp(end);
  return {};
}

constexpr avm1::NativeMember kSelectionMembers[] = {
    {"getFocus", GetFocus},
    {"setFocus", SetFocusMethod},
    {"getBeginIndex", GetSelectionEdge<true>},
    {"getEndIndex", GetSelectionEdge<false>},
    {"getCaretIndex", GetCaretIndex},
    {"setSelection", SetSelection},
};

ObjectRef GlobalObject(avm1::Vm& vm, const char* name) {
  const Value value = vm.GetMember(Value::Object(vm.Classes().global), name);
  if (value.Is(ValueKind::kObject)) return value.AsObject();
  const ObjectRef made = vm.NewObject();
  vm.DefineValue(vm.Classes().global, name, Value::Object(made));
  return made;
}

}  // namespace

void InstallInput(avm1::Vm& vm) {
  vm.DefineMembers(vm.Classes().movieClipPrototype, kDragMembers);
  // Clips and buttons answer the mouse, with the hand cursor, unless a
  // script says otherwise.
  for (const ObjectRef prototype : {vm.Classes().movieClipPrototype, vm.Classes().buttonPrototype}) {
    vm.DefineValue(prototype, "enabled", Value::Boolean(true));
    vm.DefineValue(prototype, "useHandCursor", Value::Boolean(true));
  }
  vm.DefineMembers(GlobalObject(vm, "Key"), kKeyMembers);
  vm.DefineMembers(GlobalObject(vm, "Mouse"), kMouseMembers);
  vm.DefineMembers(GlobalObject(vm, "Selection"), kSelectionMembers);

  const ObjectRef stage = GlobalObject(vm, "Stage");
  DefineAccessor(vm, stage, "width", StageWidth, nullptr);
  DefineAccessor(vm, stage, "height", StageHeight, nullptr);
  DefineAccessor(vm, stage, "scaleMode", GetScaleMode, SetScaleMode);
  DefineAccessor(vm, stage, "align", GetAlign, SetAlign);
  DefineAccessor(vm, stage, "showMenu", GetShowMenu, SetShowMenu);
  DefineAccessor(vm, stage, "displayState", GetDisplayState, SetDisplayState);
  const ObjectRef global = vm.Classes().global;

  const ObjectRef menuPrototype = vm.NewObject();
  vm.DefineMembers(menuPrototype, kContextMenuMembers);
  vm.DefineValue(global, "ContextMenu",
                 Value::Object(vm.NewClass(ConstructContextMenu, ConstructContextMenu, menuPrototype)));
  const ObjectRef itemPrototype = vm.NewObject();
  vm.DefineMembers(itemPrototype, kContextMenuItemMembers);
  vm.DefineValue(global, "ContextMenuItem",
                 Value::Object(vm.NewClass(ConstructContextMenuItem, ConstructContextMenuItem, itemPrototype)));

  vm.DefineMembers(GlobalObject(vm, "Accessibility"), kAccessibilityMembers);
}

}  // namespace swf::natives
