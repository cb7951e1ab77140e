// A script object on the interpreter's heap.
//
// Every object has one header: its prototype (`__proto__`, kept out of the
// property map because every lookup walks it), its class (what the
// built-ins check before they act: an Array's length, a Date's time), its
// properties, and an optional payload for what a class keeps besides
// properties: a function's code, a wrapper's primitive, a Date's time, the
// display object behind a movie clip. Payloads are defined by the layer that
// makes them, and tell the collector which objects they hold.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "swf/avm1/property_map.h"
#include "swf/avm1/value.h"

namespace swf::avm1 {

class Vm;

enum class ObjectClass : std::uint8_t {
  kObject,
  kFunction,
  kArray,
  kString,   // new String(...): payload PrimitivePayload
  kNumber,   // new Number(...)
  kBoolean,  // new Boolean(...)
  kDate,
  kError,
  kArguments,
  kMovieClip,  // the script side of a display object
  kButton,
  kTextField,
  kOther,  // built-in classes with their own payload (Sound, Color, ...)
};

// Marks what an object holds, for the collector.
class Marker {
 public:
  virtual ~Marker() = default;
  virtual void Mark(ObjectRef object) = 0;
  void Mark(const Value& value) {
    if (value.Is(ValueKind::kObject)) Mark(value.AsObject());
  }
};

class Payload {
 public:
  virtual ~Payload() = default;
  // Marks every object the payload refers to.
  virtual void Trace(Marker&) const {}
};

// The primitive of a String, Number or Boolean object, or a Date's time.
struct PrimitivePayload : Payload {
  explicit PrimitivePayload(Value v) : value(std::move(v)) {}
  Value value;
};

// One call of a function. `self` is `this`: for a construction, the new
// object (whose prototype is already set).
struct NativeCall {
  Vm& vm;
  Value self;
  std::span<const Value> args;
  ObjectRef callee;
  bool constructing = false;

  // The argument at `index`, undefined when there are fewer.
  const Value& Arg(size_t index) const {
    static const Value undefined;
    return index < args.size() ? args[index] : undefined;
  }
};

using NativeFunction = Value (*)(NativeCall& call);

// The code of a function written in script; the interpreter defines it (its
// action block, parameters, registers and the scope chain it closed over).
class ScriptCode : public Payload {
 public:
  virtual Value Invoke(NativeCall& call) = 0;
};

// A function object's payload: native or script.
struct FunctionPayload : Payload {
  NativeFunction native = nullptr;
  // What `new` runs for a native class when it differs from a call
  // (String(x) gives a string, new String(x) an object); null: `native`.
  NativeFunction constructor = nullptr;
  std::unique_ptr<ScriptCode> script;

  void Trace(Marker& marker) const override {
    if (script) script->Trace(marker);
  }
};

// watch(): a callback run when a property is set, with the user's datum.
struct Watch {
  std::string name;
  Value callback;
  Value userData;
};

struct Object {
  ObjectRef proto;  // id 0: none
  ObjectClass cls = ObjectClass::kObject;
  PropertyMap properties;
  std::unique_ptr<Payload> payload;
  std::vector<Watch> watches;

  template <typename T>
  T* PayloadAs() const {
    return dynamic_cast<T*>(payload.get());
  }
  FunctionPayload* Function() const { return PayloadAs<FunctionPayload>(); }
  bool IsFunction() const { return Function() != nullptr; }
};

}  // namespace swf::avm1
