#include "swf/avm1/vm.h"

#include <algorithm>
#include <cmath>

#include "swf/avm1/number_text.h"
#include "swf/avm1/utf16.h"

namespace swf::avm1 {
namespace {

// Counts a nesting level for as long as it lives, also when a script's
// throw unwinds through it.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

constexpr std::string_view kProto = "__proto__";
constexpr std::string_view kLength = "length";

bool IsDisplayObject(const Object& object) {
  return object.cls == ObjectClass::kMovieClip || object.cls == ObjectClass::kButton ||
         object.cls == ObjectClass::kTextField;
}

bool SameName(std::string_view a, std::string_view b, bool ignoreCase) {
  if (!ignoreCase) return a == b;
  return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

}  // namespace

std::optional<std::int32_t> ArrayLengthIndex(std::string_view name) {
  size_t i = name.size() > 1 && name[0] == '-' ? 1 : 0;
  if (i == name.size()) return std::nullopt;
  std::uint32_t value = 0;
  for (; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
    value = value * 10u + static_cast<std::uint32_t>(name[i] - '0');
  }
  if (name[0] == '-') value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::int64_t ArrayIndexOf(std::string_view name) {
  if (name.empty() || name.size() > 10) return -1;
  if (name.size() > 1 && name[0] == '0') return -1;
  std::int64_t index = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index <= 0xFFFFFFFELL ? index : -1;
}

Vm::Vm() {
  builtins_.objectPrototype = heap_.New(ObjectClass::kObject, {});
  builtins_.functionPrototype = heap_.New(ObjectClass::kObject, builtins_.objectPrototype);
  // _global has no prototype: _global.valueOf and _global.__proto__ are
  // undefined in the player.
  builtins_.global = heap_.New(ObjectClass::kObject, {});
}

Vm::~Vm() = default;

void Vm::SetHost(BuiltinsHost host) {
  host_ = std::move(host);
  // splitmix64 of the seed, so that small seeds still start far apart.
  std::uint64_t z = host_.randomSeed + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  randomState_ = (z ^ (z >> 31)) | 1;
}

void Vm::RegisterClass(const std::string& exportName, Value constructor) {
  if (constructor.Is(ValueKind::kObject)) {
    registeredClasses_[exportName] = std::move(constructor);
  } else {
    registeredClasses_.erase(exportName);
  }
}

Value Vm::RegisteredClass(const std::string& exportName) const {
  const auto found = registeredClasses_.find(exportName);
  return found != registeredClasses_.end() ? found->second : Value();
}

double Vm::NextRandom() {
  // xorshift64*: fast, and good enough for the games scripts play.
  randomState_ ^= randomState_ >> 12;
  randomState_ ^= randomState_ << 25;
  randomState_ ^= randomState_ >> 27;
  const std::uint64_t bits = randomState_ * 0x2545F4914F6CDD1DULL;
  return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

ObjectRef Vm::NewObject(ObjectRef proto) { return heap_.New(ObjectClass::kObject, proto); }

ObjectRef Vm::NewArray(std::span<const Value> elements) {
  const ObjectRef array = heap_.New(ObjectClass::kArray, builtins_.arrayPrototype);
  Object* object = heap_.Get(array);
  if (object == nullptr) return array;
  for (size_t i = 0; i < elements.size(); ++i) {
    object->properties.Set(NumberToString(static_cast<double>(i)), false).value = elements[i];
  }
  Property& length = object->properties.Set(kLength, false);
  length.value = Value::Number(static_cast<double>(elements.size()));
  length.flags = property_flags::kDontEnum | property_flags::kDontDelete;
  return array;
}

ObjectRef Vm::NewFunction(NativeFunction native, NativeFunction constructor) {
  const ObjectRef function = heap_.New(ObjectClass::kFunction, builtins_.functionPrototype);
  if (Object* object = heap_.Get(function)) {
    auto payload = std::make_unique<FunctionPayload>();
    payload->native = native;
    payload->constructor = constructor;
    object->payload = std::move(payload);
  }
  return function;
}

ObjectRef Vm::NewClass(NativeFunction native, NativeFunction constructor, ObjectRef prototype) {
  const ObjectRef function = NewFunction(native, constructor);
  // A class's prototype cannot be deleted.
  DefineValue(function, "prototype", Value::Object(prototype), property_flags::kDontEnum | property_flags::kDontDelete);
  DefineValue(prototype, "constructor", Value::Object(function));
  return function;
}

void Vm::DefineMembers(ObjectRef target, std::span<const NativeMember> members) {
  for (const NativeMember& member : members) {
    DefineValue(target, member.name, Value::Object(NewFunction(member.function)), member.flags);
  }
}

void Vm::DefineValue(ObjectRef target, std::string_view name, Value value, std::uint32_t flags) {
  Object* object = heap_.Get(target);
  if (object == nullptr) return;
  Property& property = object->properties.Set(name, false);
  property.value = std::move(value);
  property.getter = {};
  property.setter = {};
  property.flags = flags;
}

ObjectRef Vm::ObjectFor(const Value& value) {
  switch (value.kind()) {
    case ValueKind::kObject: return value.AsObject();
    case ValueKind::kClip: return display_ != nullptr ? display_->Resolve(value.AsClip()) : ObjectRef{};
    case ValueKind::kString: return builtins_.stringPrototype;
    case ValueKind::kNumber: return builtins_.numberPrototype;
    case ValueKind::kBoolean: return builtins_.booleanPrototype;
    case ValueKind::kUndefined:
    case ValueKind::kNull: return {};
  }
  return {};
}

Property* Vm::FindProperty(ObjectRef ref, std::string_view name, ObjectRef* owner) {
  // A prototype chain that loops back on itself is walked a bounded number
  // of steps.
  for (int steps = 0; steps < 256; ++steps) {
    Object* object = heap_.Get(ref);
    if (object == nullptr) return nullptr;
    Property* property = object->properties.Find(name, IgnoreCase());
    if (property != nullptr && !HiddenFromVersion(property->flags, swfVersion_)) {
      if (owner != nullptr) *owner = ref;
      return property;
    }
    ref = object->proto;
  }
  return nullptr;
}

Value Vm::GetMember(const Value& self, std::string_view name) { return LookUp(self, name, true); }

Value Vm::LookUp(const Value& self, std::string_view name, bool resolve) {
  if (self.Is(ValueKind::kString) && SameName(name, kLength, IgnoreCase())) {
    return Value::Number(static_cast<double>(Utf16Length(self.AsString())));
  }
  const ObjectRef ref = ObjectFor(self);
  Object* object = heap_.Get(ref);
  if (object == nullptr) return {};
  if (SameName(name, kProto, IgnoreCase())) {
    return object->proto.id == 0 ? Value() : Value::Object(object->proto);
  }
  // `this` of an accessor is what the script named: the primitive, the clip.
  const Value& receiver = self;
  if (display_ != nullptr && IsDisplayObject(*object) && object->properties.Find(name, IgnoreCase()) == nullptr) {
    Value member;
    if (display_->GetDisplayMember(ref, name, member)) return member;
  }
  if (Property* property = FindProperty(ref, name)) {
    if (property->getter.id != 0 && virtualDepth_ < kMaxVirtualDepth) {
      DepthGuard virtualDepth(virtualDepth_);
      return Call(Value::Object(property->getter), receiver, {});
    }
    if (property->IsAccessor() && property->getter.id == 0) return {};
    return property->value;  // too deep for the getter: the stored value
  }
  if (!resolve) return {};
  // The nearest __resolve that holds an object answers (a primitive or a
  // clip there is passed over); one that is not a function answers
  // undefined.
  ObjectRef walk = ref;
  for (int steps = 0; steps < 256; ++steps) {
    ObjectRef owner;
    const Property* handler = FindProperty(walk, "__resolve", &owner);
    if (handler == nullptr) break;
    if (handler->value.Is(ValueKind::kObject)) {
      const Value function = handler->value;
      const Value args[] = {Value::String(std::string(name))};
      return Call(function, receiver, args);
    }
    const Object* holder = heap_.Get(owner);
    if (holder == nullptr) break;
    walk = holder->proto;
  }
  return {};
}

Value Vm::RunWatch(ObjectRef target, Object& object, std::string_view name, Value value) {
  for (const Watch& watch : object.watches) {
    if (!SameName(watch.name, name, IgnoreCase())) continue;
    // The old value is the one stored where the name is found, on the
    // object or a prototype; a getter is not called for it.
    const Property* current = FindProperty(target, name);
    const Value old = current != nullptr ? current->value : Value();
    const Value callback = watch.callback;
    const Value args[] = {Value::String(std::string(name)), old, value, watch.userData};
    if (virtualDepth_ >= kMaxVirtualDepth) return value;
    DepthGuard virtualDepth(virtualDepth_);
    return Call(callback, Value::Object(target), args);
  }
  return value;
}

void Vm::SetOwn(ObjectRef target, Object& object, std::string_view name, Value value) {
  (void)target;
  if (object.cls == ObjectClass::kArray) {
    if (SameName(name, kLength, IgnoreCase())) {
      const std::int32_t length = avm1::ToInt32(value, Conversions());
      SetArrayLength(object, length);
      return;
    }
    if (const std::optional<std::int32_t> index = ArrayLengthIndex(name)) {
      object.properties.Set(name, IgnoreCase()).value = std::move(value);
      const std::int32_t length = ArrayLength(object);
      if (*index >= length) {
        SetArrayLength(object, static_cast<std::int32_t>(static_cast<std::uint32_t>(*index) + 1u));
      }
      return;
    }
  }
  object.properties.Set(name, IgnoreCase()).value = std::move(value);
}

std::int32_t Vm::ArrayLength(const Object& object) const {
  const Property* length = object.properties.Find(kLength, false);
  return length != nullptr && length->value.Is(ValueKind::kNumber) ? DoubleToInt32(length->value.AsNumber()) : 0;
}

void Vm::SetArrayLength(Object& object, std::int32_t length) {
  // Shrinking drops the elements from the new length up to the old one
  // (those that may be deleted); a length that wrapped below zero drops
  // them all.
  const std::int32_t old = ArrayLength(object);
  if (length < old && old > 0) {
    const std::int64_t from = std::max<std::int32_t>(length, 0);
    std::vector<std::string> cut;
    object.properties.ForEach([&](const std::string& key, const Property& property) {
      const std::int64_t index = ArrayIndexOf(key);
      if (index >= from && index < old && !property.Has(property_flags::kDontDelete)) cut.push_back(key);
    });
    for (const std::string& key : cut) object.properties.Erase(key, false);
  }
  Property& property = object.properties.Set(kLength, false);
  property.value = Value::Number(length);
  property.flags = property_flags::kDontEnum | property_flags::kDontDelete;
}

void Vm::SetMember(const Value& self, std::string_view name, Value value) {
  const ObjectRef ref = self.Is(ValueKind::kObject) || self.Is(ValueKind::kClip) ? ObjectFor(self) : ObjectRef{};
  Object* object = heap_.Get(ref);
  if (object == nullptr) return;  // primitives and missing clips keep nothing
  if (SameName(name, kProto, IgnoreCase())) {
    object->proto = value.Is(ValueKind::kObject) ? value.AsObject() : ObjectRef{};
    return;
  }
  if (display_ != nullptr && IsDisplayObject(*object) && display_->SetDisplayMember(ref, name, value)) return;
  if (!object->watches.empty()) {
    try {
      value = RunWatch(ref, *object, name, std::move(value));
    } catch (...) {
      // A watcher that throws leaves the property undefined; the throw
      // goes on to the script's handler.
      if (Object* target = heap_.Get(ref)) SetOwn(ref, *target, name, Value());
      throw;
    }
    object = heap_.Get(ref);
    if (object == nullptr) return;
  }
  ObjectRef owner;
  if (Property* property = FindProperty(ref, name, &owner)) {
    if (property->IsAccessor()) {
      if (virtualDepth_ >= kMaxVirtualDepth) {
        property->value = std::move(value);  // too deep for the setter: stored as is
      } else if (property->setter.id != 0) {
        DepthGuard virtualDepth(virtualDepth_);
        const Value args[] = {std::move(value)};
        Call(Value::Object(property->setter), self, args);
      }
      return;
    }
    if (property->Has(property_flags::kReadOnly)) return;
  }
  SetOwn(ref, *object, name, std::move(value));
}

bool Vm::DeleteMember(const Value& self, std::string_view name) {
  Object* object = heap_.Get(ObjectFor(self));
  if (object == nullptr || (!self.Is(ValueKind::kObject) && !self.Is(ValueKind::kClip))) return false;
  const Property* property = object->properties.Find(name, IgnoreCase());
  if (property == nullptr || property->Has(property_flags::kDontDelete)) return false;
  return object->properties.Erase(name, IgnoreCase());
}

Value Vm::Call(const Value& function, const Value& self, std::span<const Value> args) {
  if (!function.Is(ValueKind::kObject)) return {};
  const ObjectRef callee = function.AsObject();
  Object* object = heap_.Get(callee);
  FunctionPayload* code = object != nullptr ? object->Function() : nullptr;
  if (code == nullptr) return {};
  DepthGuard depth(callDepth_);
  NativeCall call{*this, self, args, callee, false};
  if (code->script) return code->script->Invoke(call);
  if (code->native == nullptr) return {};
  DepthGuard native(nativeDepth_);
  return code->native(call);
}

Value Vm::CallMethod(const Value& self, std::string_view name, std::span<const Value> args) {
  const Value method = GetMember(self, name);
  return Call(method, self, args);
}

Value Vm::Construct(const Value& function, std::span<const Value> args) {
  if (!function.Is(ValueKind::kObject)) return {};
  const ObjectRef callee = function.AsObject();
  Object* functionObject = heap_.Get(callee);
  FunctionPayload* code = functionObject != nullptr ? functionObject->Function() : nullptr;
  if (code == nullptr) return {};
  const Value prototype = GetMember(function, "prototype");
  const ObjectRef made = NewObject(prototype.Is(ValueKind::kObject) ? prototype.AsObject() : ObjectRef{});
  if (Object* object = heap_.Get(made)) {
    // Hidden links back to the class, as the player keeps them.
    Property& constructor = object->properties.Set("__constructor__", false);
    constructor.value = function;
    constructor.flags = property_flags::kDontEnum;
    if (swfVersion_ < 7) {
      Property& plain = object->properties.Set("constructor", false);
      plain.value = function;
      plain.flags = property_flags::kDontEnum;
    }
  }
  const Value self = Value::Object(made);
  DepthGuard depth(callDepth_);
  NativeCall call{*this, self, args, callee, true};
  if (code->script) {
    code->script->Invoke(call);
    return self;
  }
  NativeFunction native = code->constructor != nullptr ? code->constructor : code->native;
  if (native == nullptr) return self;
  DepthGuard nativeDepth(nativeDepth_);
  const Value result = native(call);
  return result.Is(ValueKind::kObject) ? result : self;
}

Value Vm::ToPrimitive(ObjectRef object, PrimitiveHint hint) {
  const Value self = Value::Object(object);
  const Object* target = heap_.Get(object);
  const bool date = target != nullptr && target->cls == ObjectClass::kDate;
  // Before SWF 6 a Date converts by valueOf like any object.
  const char* first = hint == PrimitiveHint::kDefault && date && swfVersion_ >= 6 ? "toString" : "valueOf";
  // Conversions do not ask __resolve for the method.
  const Value method = LookUp(self, first, false);
  // Without the method the object's primitive is undefined (so _global,
  // which has no prototype, equals undefined).
  if (!method.Is(ValueKind::kObject) || !IsFunction(method.AsObject())) return Value();
  return Call(method, self, {});
}

std::string Vm::ToString(ObjectRef object) {
  // A button or text field reads as its target path, as a clip does.
  if (const Object* target = heap_.Get(object); target != nullptr && display_ != nullptr &&
      (target->cls == ObjectClass::kButton || target->cls == ObjectClass::kTextField)) {
    ClipReference path = display_->ReferenceTo(object);
    if (!path.target_path.empty()) return std::move(path.target_path);
  }
  const Value self = Value::Object(object);
  const Value method = LookUp(self, "toString", false);
  if (method.Is(ValueKind::kObject) && IsFunction(method.AsObject())) {
    const Value result = Call(method, self, {});
    // A toString that answers nothing (or an object) leaves the fallback.
    if (!result.Is(ValueKind::kObject) && !result.Is(ValueKind::kUndefined)) {
      return avm1::ToString(result, Conversions());
    }
  }
  return IsFunction(object) ? "[type Function]" : "[type Object]";
}

std::string Vm::ClipPath(const ClipReference& clip) {
  if (display_ == nullptr) return clip.target_path;
  const ObjectRef found = display_->Resolve(clip);
  return found.id != 0 ? display_->ReferenceTo(found).target_path : std::string();
}

bool Vm::IsFunction(ObjectRef object) const {
  const Object* target = heap_.Get(object);
  return target != nullptr && target->IsFunction();
}

void Vm::AddRoots(const RootSource* roots) { roots_.push_back(roots); }

void Vm::RemoveRoots(const RootSource* roots) { std::erase(roots_, roots); }

void Vm::MarkRoots(Marker& marker) const {
  for (const ObjectRef ref :
       {builtins_.global, builtins_.objectPrototype, builtins_.functionPrototype, builtins_.arrayPrototype,
        builtins_.stringPrototype, builtins_.numberPrototype, builtins_.booleanPrototype, builtins_.datePrototype,
        builtins_.errorPrototype, builtins_.movieClipPrototype, builtins_.buttonPrototype,
        builtins_.textFieldPrototype}) {
    marker.Mark(ref);
  }
  for (const auto& [name, constructor] : registeredClasses_) marker.Mark(constructor);
}

bool Vm::CollectIfWanted() {
  if (nativeDepth_ > 0 || !heap_.WantsCollection()) return false;
  Collect();
  return true;
}

size_t Vm::Collect() {
  std::vector<const RootSource*> roots{this};
  roots.insert(roots.end(), roots_.begin(), roots_.end());
  return heap_.Collect(roots);
}

}  // namespace swf::avm1
