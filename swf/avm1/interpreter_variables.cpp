// Variables: names looked up along the scope chain, and the paths of the
// SWF 4 and 5 styles ("/a/b:var", "_root.a.b", "../c", "target:var").
//
// A plain name is read from the innermost scope that has it: a with's
// object, the activation of the running function, the scopes the function
// was made in, the clip the code belongs to, _global. A name is written to
// the innermost scope that has it, and otherwise to the clip (never to
// _global). A name with a path reads or writes the member named after the
// last ':' or '.' of the object the rest names.
#include <cctype>
#include <string>

#include "swf/avm1/interpreter_machine.h"
#include "swf/avm1/property_map.h"

namespace swf::avm1 {
namespace {

bool IsDisplayClass(ObjectClass cls) {
  return cls == ObjectClass::kMovieClip || cls == ObjectClass::kButton || cls == ObjectClass::kTextField;
}

bool HasPathCharacter(std::string_view name) { return name.find_first_of(":./") != std::string_view::npos; }

// Where a path ends and its variable begins: the last ':' or else the last
// '.' that is not part of "..". npos for a path without a variable.
size_t VariableSeparator(std::string_view name) {
  if (const size_t colon = name.rfind(':'); colon != std::string_view::npos) return colon;
  for (size_t i = name.size(); i-- > 0;) {
    if (name[i] != '.') continue;
    const bool dotted = (i > 0 && name[i - 1] == '.') || (i + 1 < name.size() && name[i + 1] == '.');
    if (!dotted) return i;
  }
  return std::string_view::npos;
}

// "_level7"; from SWF 7 on only in lower case. The level is the digits
// after the prefix: what follows them is ignored, so "_level0undefined" is
// _level0 (corpus: string_paths_other).
bool IsLevelName(std::string_view name, bool ignoreCase) {
  if (name.size() < 7) return false;
  for (size_t i = 0; i < 6; ++i) {
    const char c = ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(name[i]))) : name[i];
    if (c != "_level"[i]) return false;
  }
  return name[6] >= '0' && name[6] <= '9';
}

}  // namespace

bool Machine::SameName(std::string_view a, std::string_view b) const {
  if (frame_ != nullptr && frame_->version >= 7) return a == b;
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

Value Machine::Wrap(ObjectRef object) {
  const Object* target = vm_.Get(object);
  if (target == nullptr) return {};
  if (target->cls == ObjectClass::kMovieClip) {
    ClipReference reference = display_.ReferenceTo(object);
    if (!reference.target_path.empty()) return Value::Clip(std::move(reference));
  }
  return Value::Object(object);
}

ObjectRef Machine::TargetOf(const Value& value) {
  switch (value.kind()) {
    case ValueKind::kClip:
    case ValueKind::kObject: return vm_.ObjectFor(value);
    case ValueKind::kString: {
      const ObjectRef base = frame_->target.id != 0 ? frame_->target : frame_->origin;
      return display_.FindTarget(base, value.AsString());
    }
    default: return {};
  }
}

bool Machine::Has(ObjectRef object, std::string_view name) {
  const Object* target = vm_.Get(object);
  if (target == nullptr) return false;
  if (vm_.FindProperty(object, name) != nullptr) return true;
  Value ignored;
  return IsDisplayClass(target->cls) && display_.GetDisplayMember(object, name, ignored);
}

bool Machine::FindInObject(ObjectRef object, std::string_view name, Value& value) {
  Object* target = vm_.Get(object);
  if (target == nullptr) return false;
  const bool ignoreCase = frame_->version < 7;
  if (target->properties.Find(name, ignoreCase) == nullptr) {
    if (IsDisplayClass(target->cls) && display_.GetDisplayMember(object, name, value)) return true;
    if (vm_.FindProperty(object, name) == nullptr) return false;
  }
  value = vm_.GetMember(Value::Object(object), name);
  return true;
}

Value Machine::SpecialName(std::string_view name, bool& found) {
  // Most names are none of these; their first letter says so.
  const char first = name.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  if (first != 't' && first != '_' && first != 's') {
    found = false;
    return {};
  }
  found = true;
  if (SameName(name, "this")) {
    if (frame_->thisByRegister) return Wrap(frame_->target.id != 0 ? frame_->target : frame_->origin);
    return frame_->self;
  }
  // SWF 5 code names _global only inside functions: at a clip's level it is
  // an ordinary, unset variable (corpus: global_swf5_6_7_8_9).
  if (SameName(name, "_global") && (vm_.SwfVersion() >= 6 || frame_->callee.id != 0)) {
    return Value::Object(vm_.Classes().global);
  }
  if (SameName(name, "_root") || IsLevelName(name, frame_->version < 7)) {
    const ObjectRef base = frame_->target.id != 0 ? frame_->target : frame_->origin;
    const ObjectRef clip = display_.FindTarget(base, name);
    if (clip.id != 0) return Wrap(clip);
    found = false;
    return {};
  }
  if (frame_->callee.id != 0 && SameName(name, "super")) {
    if (!frame_->superByRegister) return MakeSuper(*frame_);
    found = false;
    return {};
  }
  found = false;
  return {};
}

Value Machine::LookupScope(std::string_view name, Value* foundOn) {
  bool special = false;
  Value value = SpecialName(name, special);
  if (special) return value;
  for (const Scope* scope = frame_->scope.get(); scope != nullptr; scope = scope->parent.get()) {
    // SWF 4 code sees no globals (corpus: equals_swf4, where NaN is 0).
    if (scope->kind == Scope::Kind::kGlobal && frame_->version < 5) continue;
    if (FindInObject(scope->object, name, value)) {
      if (foundOn != nullptr) {
        // What `this` a function called by this name gets: the object it was
        // found on, except a function's locals and _global, which give the
        // clip the code runs for.
        const bool ownThis = scope->kind == Scope::Kind::kWith || scope->kind == Scope::Kind::kTarget;
        *foundOn = ownThis ? Wrap(scope->object) : Value();
      }
      return value;
    }
  }
  return {};
}

Value Machine::ResolvePath(std::string_view path) {
  const ObjectRef base = frame_->target.id != 0 ? frame_->target : frame_->origin;
  if (path.empty()) return Wrap(base);
  Value current;
  bool first = true;
  size_t i = 0;
  if (path[0] == '/') {
    current = Wrap(display_.FindTarget(base, "/"));
    first = false;
    i = 1;
  }
  // Once a '/' has been seen, '.' no longer separates: "a/b.c" names the
  // child "b.c" of a (corpus: string_paths_hidden). ':' separates as '/'.
  bool slashes = !first;
  while (i < path.size()) {
    std::string_view segment;
    if (path.compare(i, 2, "..") == 0 && (i + 2 == path.size() || path[i + 2] == '/')) {
      segment = "_parent";
      i += 2;
    } else {
      const size_t stop = std::min(path.find_first_of(slashes ? "/:" : "./:", i), path.size());
      segment = path.substr(i, stop - i);
      i = stop;
    }
    if (i < path.size()) {
      if (path[i] == '/') slashes = true;
      ++i;  // the separator
    }
    if (segment.empty()) continue;
    if (first) {
      current = LookupScope(segment);
      first = false;
    } else {
      current = vm_.GetMember(current, segment);
    }
    if (!current.Is(ValueKind::kObject) && !current.Is(ValueKind::kClip)) return {};
  }
  return current;
}

Value Machine::GetVariable(std::string_view name, Value* foundOn) {
  if (!HasPathCharacter(name)) return LookupScope(name, foundOn);
  const size_t separator = VariableSeparator(name);
  if (separator == std::string_view::npos) {
    const Value clip = ResolvePath(name);
    return clip.IsUndefinedOrNull() ? LookupScope(name) : clip;
  }
  const Value object = ResolvePath(name.substr(0, separator));
  if (object.IsUndefinedOrNull()) return LookupScope(name, foundOn);
  if (foundOn != nullptr) *foundOn = object;
  Pin pin(pinned_, object);
  return vm_.GetMember(object, name.substr(separator + 1));
}

void Machine::SetVariable(std::string_view name, Value value) {
  if (HasPathCharacter(name)) {
    const size_t separator = VariableSeparator(name);
    if (separator != std::string_view::npos) {
      const Value object = ResolvePath(name.substr(0, separator));
      if (!object.IsUndefinedOrNull()) {
        Pin pin(pinned_, object);
        vm_.SetMember(object, name.substr(separator + 1), std::move(value));
        return;
      }
    }
  }
  const Scope* last = nullptr;
  for (const Scope* scope = frame_->scope.get(); scope != nullptr; scope = scope->parent.get()) {
    last = scope;
    if (scope->kind == Scope::Kind::kGlobal) continue;
    if (scope->kind == Scope::Kind::kTarget || Has(scope->object, name)) {
      vm_.SetMember(Value::Object(scope->object), name, std::move(value));
      return;
    }
  }
  if (last != nullptr) vm_.SetMember(Value::Object(last->object), name, std::move(value));
}

ObjectRef Machine::LocalsObject() const {
  if (frame_->activation.id != 0) return frame_->activation;
  for (const Scope* scope = frame_->scope.get(); scope != nullptr; scope = scope->parent.get()) {
    if (scope->kind == Scope::Kind::kTarget) return scope->object;
  }
  return frame_->origin;
}

void Machine::DefineLocal(std::string_view name, Value value, bool onlyDeclare) {
  // `var /:a = 1` sets what the path names.
  if (HasPathCharacter(name)) {
    if (!onlyDeclare) SetVariable(name, std::move(value));
    return;
  }
  // A with's object that has the name already takes it (corpus:
  // with_variable_scopes).
  if (!onlyDeclare) {
    for (const Scope* scope = frame_->scope.get(); scope != nullptr && scope->kind == Scope::Kind::kWith;
         scope = scope->parent.get()) {
      if (Has(scope->object, name)) {
        vm_.SetMember(Value::Object(scope->object), name, std::move(value));
        return;
      }
    }
  }
  const ObjectRef locals = LocalsObject();
  Object* object = vm_.Get(locals);
  if (object == nullptr) return;
  if (onlyDeclare && object->properties.Find(name, frame_->version < 7) != nullptr) return;
  vm_.SetMember(Value::Object(locals), name, std::move(value));
}

bool Machine::DeleteVariable(std::string_view name) {
  if (HasPathCharacter(name)) {
    const size_t separator = VariableSeparator(name);
    if (separator != std::string_view::npos) {
      const Value object = ResolvePath(name.substr(0, separator));
      if (!object.IsUndefinedOrNull()) return vm_.DeleteMember(object, name.substr(separator + 1));
    }
  }
  for (const Scope* scope = frame_->scope.get(); scope != nullptr; scope = scope->parent.get()) {
    if (Has(scope->object, name)) return vm_.DeleteMember(Value::Object(scope->object), name);
  }
  return false;
}

}  // namespace swf::avm1
