// Object: the constructor, Object.prototype's methods and
// Object.registerClass.
#include <string>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

using builtins::IsCallable;

// new Object(x): x itself when it is an object, its wrapper when it is a
// primitive, a plain object for undefined and null.
Value ConstructObject(NativeCall& call) {
  const Value& value = call.Arg(0);
  if (value.IsUndefinedOrNull()) return call.self;
  return builtins::ToObject(call.vm, value);
}

// Object(x) without new: the same, except that undefined and null give an
// object without a prototype (its string is the player's fallback).
Value CallObject(NativeCall& call) {
  const Value& value = call.Arg(0);
  if (value.IsUndefinedOrNull()) return Value::Object(call.vm.GetHeap().New(ObjectClass::kObject, {}));
  return builtins::ToObject(call.vm, value);
}

Value ToStringMethod(NativeCall& call) {
  if (call.self.Is(ValueKind::kObject) && call.vm.IsFunction(call.self.AsObject())) {
    return Value::String("[type Function]");
  }
  return Value::String("[object Object]");
}

Value ValueOfMethod(NativeCall& call) { return call.self; }

// The own property a method names (case by version), or null.
Property* OwnProperty(NativeCall& call, std::string* name = nullptr) {
  if (call.args.empty()) return nullptr;
  Object* object = call.vm.Get(call.vm.ObjectFor(call.self));
  if (object == nullptr || !(call.self.Is(ValueKind::kObject) || call.self.Is(ValueKind::kClip))) return nullptr;
  std::string key = call.vm.ToStringValue(call.Arg(0));
  Property* property = object->properties.Find(key, call.vm.IgnoreCase());
  if (name != nullptr) *name = std::move(key);
  return property;
}

// `__proto__` counts as an own property of every object that has a
// prototype, as the player keeps it as one.
Value HasOwnProperty(NativeCall& call) {
  std::string name;
  if (OwnProperty(call, &name) != nullptr) return Value::Boolean(true);
  if (call.args.empty() || !(call.vm.IgnoreCase() ? FoldCase(name) == "__proto__" : name == "__proto__")) {
    return Value::Boolean(false);
  }
  const Object* object = call.vm.Get(call.vm.ObjectFor(call.self));
  return Value::Boolean(object != nullptr && object->proto.id != 0);
}

Value IsPropertyEnumerable(NativeCall& call) {
  const Property* property = OwnProperty(call);
  return Value::Boolean(property != nullptr && !property->Has(property_flags::kDontEnum));
}

Value IsPrototypeOf(NativeCall& call) {
  const ObjectRef self = call.vm.ObjectFor(call.self);
  if (self.id == 0 || !call.Arg(0).Is(ValueKind::kObject)) return Value::Boolean(false);
  ObjectRef walk = call.Arg(0).AsObject();
  for (int steps = 0; steps < 256; ++steps) {
    const Object* object = call.vm.Get(walk);
    if (object == nullptr) break;
    walk = object->proto;
    if (walk == self) return Value::Boolean(true);
  }
  return Value::Boolean(false);
}

// addProperty(name, getter, setter): the setter may be null (a property
// only read); anything else that is not a function refuses the call.
Value AddProperty(NativeCall& call) {
  Vm& vm = call.vm;
  const ObjectRef self = vm.ObjectFor(call.self);
  Object* object = vm.Get(self);
  if (object == nullptr || call.args.size() < 2) return Value::Boolean(false);
  const std::string name = vm.ToStringValue(call.Arg(0));
  const Value& getter = call.Arg(1);
  const Value& setter = call.Arg(2);
  if (name.empty() || !IsCallable(vm, getter)) return Value::Boolean(false);
  if (!IsCallable(vm, setter) && !setter.Is(ValueKind::kNull)) return Value::Boolean(false);
  // A stored value stays (a watch still reports it as the old value).
  Property& property = object->properties.Set(name, vm.IgnoreCase());
  property.getter = getter.AsObject();
  property.setter = IsCallable(vm, setter) ? setter.AsObject() : ObjectRef{};
  return Value::Boolean(true);
}

Value WatchMethod(NativeCall& call) {
  Vm& vm = call.vm;
  Object* object = vm.Get(vm.ObjectFor(call.self));
  if (object == nullptr || call.args.size() < 2 || !IsCallable(vm, call.Arg(1))) return Value::Boolean(false);
  std::string name = vm.ToStringValue(call.Arg(0));
  for (Watch& watch : object->watches) {
    if (vm.IgnoreCase() ? FoldCase(watch.name) == FoldCase(name) : watch.name == name) {
      watch.callback = call.Arg(1);
      watch.userData = call.Arg(2);
      return Value::Boolean(true);
    }
  }
  object->watches.push_back(Watch{std::move(name), call.Arg(1), call.Arg(2)});
  return Value::Boolean(true);
}

Value UnwatchMethod(NativeCall& call) {
  Vm& vm = call.vm;
  Object* object = vm.Get(vm.ObjectFor(call.self));
  if (object == nullptr || call.args.empty()) return Value::Boolean(false);
  const std::string name = vm.ToStringValue(call.Arg(0));
  for (auto it = object->watches.begin(); it != object->watches.end(); ++it) {
    if (vm.IgnoreCase() ? FoldCase(it->name) == FoldCase(name) : it->name == name) {
      object->watches.erase(it);
      return Value::Boolean(true);
    }
  }
  return Value::Boolean(false);
}

// Object.registerClass(exportName, constructor): kept in the Vm for the
// runtime to read when it makes the clip of that export name. Null or a
// non-function removes the link.
Value RegisterClass(NativeCall& call) {
  if (call.args.size() < 2) return Value::Boolean(false);
  const std::string name = call.vm.ToStringValue(call.Arg(0));
  call.vm.RegisterClass(name, IsCallable(call.vm, call.Arg(1)) ? call.Arg(1) : Value());
  return Value::Boolean(true);
}

constexpr NativeMember kPrototypeMembers[] = {
    {"valueOf", ValueOfMethod},
    {"toString", ToStringMethod},
    {"toLocaleString", ToStringMethod},
    {"hasOwnProperty", HasOwnProperty},
    {"isPropertyEnumerable", IsPropertyEnumerable},
    {"isPrototypeOf", IsPrototypeOf},
    {"addProperty", AddProperty},
    {"watch", WatchMethod},
    {"unwatch", UnwatchMethod},
};

constexpr NativeMember kStaticMembers[] = {
    {"registerClass", RegisterClass},
};

}  // namespace

NativeFunction ObjectNative(int index) {
  // The player's numbers of Object's methods: the prototype's, then
  // registerClass.
  constexpr NativeFunction kOrder[] = {WatchMethod,    UnwatchMethod, AddProperty,          ValueOfMethod, ToStringMethod,
                                       HasOwnProperty, IsPrototypeOf, IsPropertyEnumerable, RegisterClass};
  if (index < 0 || static_cast<size_t>(index) >= std::size(kOrder)) return nullptr;
  return kOrder[index];
}

void InstallObject(Vm& vm) {
  const ObjectRef prototype = vm.Classes().objectPrototype;
  vm.DefineMembers(prototype, kPrototypeMembers);
  const ObjectRef constructor = vm.NewClass(CallObject, ConstructObject, prototype);
  vm.DefineMembers(constructor, kStaticMembers);
  vm.DefineValue(vm.Classes().global, "Object", Value::Object(constructor));
}

}  // namespace swf::avm1
