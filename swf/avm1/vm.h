// The interpreter's object world, as native code and the dispatch loop see
// it: the heap, the global object and the built-in prototypes, and the
// operations every part needs on values (get and set a member with
// accessors, watches and the prototype chain; call and construct; convert
// with the version of the code that runs).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/builtins_host.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/display_host.h"
#include "swf/avm1/heap.h"
#include "swf/avm1/object.h"
#include "swf/avm1/value.h"

namespace swf::avm1 {

// The objects every script shares, made when the Vm is.
struct Builtins {
  ObjectRef global;  // _global
  ObjectRef objectPrototype;
  ObjectRef functionPrototype;
  ObjectRef arrayPrototype;
  ObjectRef stringPrototype;
  ObjectRef numberPrototype;
  ObjectRef booleanPrototype;
  ObjectRef datePrototype;
  ObjectRef errorPrototype;
  ObjectRef movieClipPrototype;
  ObjectRef buttonPrototype;
  ObjectRef textFieldPrototype;
};

// A row of a built-in's table: a method or function installed on an object.
struct NativeMember {
  const char* name;
  NativeFunction function;
  std::uint32_t flags = property_flags::kDontEnum;
};

class Vm final : public ObjectHost, private RootSource {
 public:
  // Calls nested deeper than this throw the player's recursion error.
  static constexpr int kMaxCallDepth = 256;
  // Getters, setters and watchers nested deeper than this are not called:
  // the property then reads and takes its stored value, as in the player.
  static constexpr int kMaxVirtualDepth = 65;

  Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;
  ~Vm() override;

  Heap& GetHeap() { return heap_; }
  const Builtins& Classes() const { return builtins_; }
  Builtins& MutableClasses() { return builtins_; }

  // The SWF version of the code running now; it decides case in names and
  // the conversions.
  int SwfVersion() const { return swfVersion_; }
  void SetSwfVersion(int version) { swfVersion_ = version; }
  // Whether the script function running now (the innermost one, natives
  // called from it included) was called by `new`.
  bool RunningConstructor() const { return runningConstructor_; }
  void SetRunningConstructor(bool constructing) { runningConstructor_ = constructing; }
  Context Conversions() { return Context{swfVersion_, *this}; }
  bool IgnoreCase() const { return swfVersion_ < 7; }

  // Long work inside a built-in. A loop over a length that a script chose
  // (join on an array 2^31 long) reports each step to Work; every so often
  // that asks the check the machine running scripts installed, which stops
  // the running script (it throws) once its time is up. A built-in that
  // meets a size no script may hold (more elements than kMaxElements in
  // hand at once, a string longer than kMaxStringBytes) calls StopScript.
  // Outside any script the check does nothing: the built-in then stops at
  // those sizes by itself.
  static constexpr std::int64_t kMaxElements = std::int64_t{1} << 22;
  static constexpr size_t kMaxStringBytes = size_t{1} << 24;
  // `check(stop)`: stop now when `stop`, else only when time is up.
  void SetWorkCheck(std::function<void(bool stop)> check) { workCheck_ = std::move(check); }
  void Work() {
    if (--untilWorkCheck_ != 0) return;
    untilWorkCheck_ = kWorkInterval;
    if (workCheck_) workCheck_(false);
  }
  void StopScript() {
    if (workCheck_) workCheck_(true);
  }
  // A length a built-in is about to walk, cut to kMaxElements (the script
  // is stopped when it was longer).
  std::int64_t WalkableLength(std::int64_t length) {
    if (length <= kMaxElements) return length;
    StopScript();
    return kMaxElements;
  }

  // Facts of the machine for the built-ins (clock, time zone, version);
  // setting them also reseeds the random source.
  void SetHost(BuiltinsHost host);
  const BuiltinsHost& Host() const { return host_; }
  // The next number of the random source, in [0, 1).
  double NextRandom();

  // Object.registerClass: the class a clip of an export name is made with
  // (undefined: none; registering undefined removes the link).
  void RegisterClass(const std::string& exportName, Value constructor);
  Value RegisteredClass(const std::string& exportName) const;

  // The display world (not owned); null: clip references name nothing.
  void SetDisplayHost(DisplayHost* display) { display_ = display; }
  DisplayHost* Display() const { return display_; }

  // Objects.
  Object* Get(ObjectRef ref) { return heap_.Get(ref); }
  ObjectRef NewObject(ObjectRef proto);  // kObject
  ObjectRef NewObject() { return NewObject(builtins_.objectPrototype); }
  ObjectRef NewArray(std::span<const Value> elements);
  ObjectRef NewFunction(NativeFunction native, NativeFunction constructor = nullptr);
  // A function whose `prototype` is a fresh object with `constructor` back
  // to it, as a class needs.
  ObjectRef NewClass(NativeFunction native, NativeFunction constructor, ObjectRef prototype);
  void DefineMembers(ObjectRef target, std::span<const NativeMember> members);
  // Sets an own property without setters or watches (built-ins' set-up).
  void DefineValue(ObjectRef target, std::string_view name, Value value,
                   std::uint32_t flags = property_flags::kDontEnum);

  // The object a value stands for when a member is read: itself, a clip's
  // script object, or for a primitive the prototype of its class (id 0 for
  // undefined and null).
  ObjectRef ObjectFor(const Value& value);

  // Members with everything the player does on the way: accessors called
  // with `self`, `__proto__`, watches, read-only properties left alone,
  // `__resolve` for what is missing, an Array's length kept. A display
  // object's own properties come first, then its display members (_x, the
  // children by name; set: display members first), then its prototypes.
  Value GetMember(const Value& self, std::string_view name);
  // GetMember without asking __resolve for a missing name.
  Value GetMemberWithoutResolve(const Value& self, std::string_view name) { return LookUp(self, name, false); }
  void SetMember(const Value& self, std::string_view name, Value value);
  bool DeleteMember(const Value& self, std::string_view name);
  // The property found on the object or its prototypes, or null.
  Property* FindProperty(ObjectRef object, std::string_view name, ObjectRef* owner = nullptr);

  // Calls `function` (undefined when it is not one).
  Value Call(const Value& function, const Value& self, std::span<const Value> args);
  Value CallMethod(const Value& self, std::string_view name, std::span<const Value> args);
  // `new function(args)`.
  Value Construct(const Value& function, std::span<const Value> args);
  // How deep calls are nested now, and whether a native frame is among them
  // (then the collector must wait: a native's locals are not roots).
  int CallDepth() const { return callDepth_; }
  int NativeDepth() const { return nativeDepth_; }

  // Conversions with the running code's version.
  double ToNumber(const Value& value) { return avm1::ToNumber(value, Conversions()); }
  std::string ToStringValue(const Value& value) { return avm1::ToString(value, Conversions()); }
  bool ToBoolean(const Value& value) { return avm1::ToBoolean(value, Conversions()); }

  // ObjectHost.
  Value ToPrimitive(ObjectRef object, PrimitiveHint hint) override;
  std::string ToString(ObjectRef object) override;
  bool IsFunction(ObjectRef object) const override;
  std::string ClipPath(const ClipReference& clip) override;

  // Roots the collector starts from besides the Vm's own; not owned.
  void AddRoots(const RootSource* roots);
  void RemoveRoots(const RootSource* roots);
  // Collects if enough was made since the last time and no native frame is
  // running; the caller guarantees that every reference it holds is in a
  // root. Returns whether it collected.
  bool CollectIfWanted();
  size_t Collect();

 private:
  void MarkRoots(Marker& marker) const override;
  // GetMember, with or without asking __resolve for a missing name.
  Value LookUp(const Value& self, std::string_view name, bool resolve);
  void SetOwn(ObjectRef target, Object& object, std::string_view name, Value value);
  std::int32_t ArrayLength(const Object& object) const;
  void SetArrayLength(Object& object, std::int32_t length);
  Value RunWatch(ObjectRef target, Object& object, std::string_view name, Value value);

  Heap heap_;
  Builtins builtins_;
  int swfVersion_ = 7;
  bool runningConstructor_ = false;
  int callDepth_ = 0;
  int nativeDepth_ = 0;
  int virtualDepth_ = 0;
  DisplayHost* display_ = nullptr;
  BuiltinsHost host_;
  std::unordered_map<std::string, Value> registeredClasses_;
  std::uint64_t randomState_ = 1;
  std::vector<const RootSource*> roots_;
  static constexpr unsigned kWorkInterval = 1024;
  unsigned untilWorkCheck_ = kWorkInterval;
  std::function<void(bool)> workCheck_;
};

// The index an Array property name stands for, or -1 when it is not a
// canonical array index ("0", "17"; not "01" or "-1").
std::int64_t ArrayIndexOf(std::string_view name);

// The index a member name stands for when it is set on an Array, as the
// player reads it to grow the length: decimal digits with an optional
// minus sign, wrapped to 32 bits ("4294967296" is 0, "-1" is -1); nullopt
// for any other name.
std::optional<std::int32_t> ArrayLengthIndex(std::string_view name);

}  // namespace swf::avm1
