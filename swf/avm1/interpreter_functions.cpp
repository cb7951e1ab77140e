// Functions and objects: DefineFunction/DefineFunction2 and the calls of
// script functions (activation, registers, preloads, arguments, super), the
// call and construct actions, the object and array literals, for..in,
// instanceof and the class actions of SWF 7.
//
// `super` in a method names the prototype above the one the method was
// found on (its "home"): CallMethod tells the callee where it found it,
// a construction starts at the new object's prototype. super(...) runs the
// `__constructor__` that Extends left on the home.
#include <algorithm>
#include <cmath>
#include <set>

#include "swf/avm1/interpreter_machine.h"

namespace swf::avm1 {
namespace {

constexpr std::uint32_t kHidden = property_flags::kDontEnum;

// How many arguments a call takes: its count, clamped to what the stack
// holds above the count's own slot.
size_t ArgumentCount(double requested, size_t available) {
  if (!(requested > 0)) return 0;
  return static_cast<size_t>(std::min(requested, static_cast<double>(available)));
}

}  // namespace

Value ScriptFunction::Invoke(NativeCall& call) {
  const std::shared_ptr<Machine> running = machine.lock();
  if (!running) return {};
  return running->CallScript(*this, call);
}

std::vector<Value> Machine::Arguments(size_t first, size_t count) const {
  std::vector<Value> args;
  args.reserve(count);
  for (size_t i = 0; i < count; ++i) args.push_back(Peek(first + i));
  return args;
}

void Machine::DefineFunction(const Operation& operation) {
  const FunctionOperands& operands = std::get<FunctionOperands>(operation.operands);
  const ObjectRef function = vm_.NewFunction(nullptr);
  Object* object = vm_.Get(function);
  if (object == nullptr) {
    if (operands.name.empty()) Push(Value());
    return;
  }
  auto code = std::make_unique<ScriptFunction>();
  code->machine = weak_from_this();
  code->block = *frame_->block;
  code->operands = &operands;
  code->start = operation.Next();
  code->end = std::min(code->start + operands.bodyLength, frame_->block->code.size());
  code->scope = frame_->scope;
  code->definingClip = frame_->target.id != 0 ? frame_->target : frame_->origin;
  code->constants = frame_->constants;
  // A function body runs with SWF 5 rules at least, even in a SWF 4 movie.
  code->version = std::max(frame_->version, 5);
  object->Function()->script = std::move(code);
  const ObjectRef prototype = vm_.NewObject();
  vm_.DefineValue(prototype, "constructor", Value::Object(function), kHidden);
  vm_.DefineValue(function, "prototype", Value::Object(prototype), kHidden);
  if (operands.name.empty()) {
    Push(Value::Object(function));
  } else {
    DefineLocal(operands.name, Value::Object(function), false);
  }
}

Value Machine::MakeArguments(const NativeCall& call) {
  const ObjectRef arguments = vm_.NewArray(call.args);
  vm_.DefineValue(arguments, "callee", Value::Object(call.callee), kHidden);
  // Called while the callee's frame is already the current one.
  const Frame* calling = frame_ != nullptr ? frame_->caller : nullptr;
  const Value caller = calling != nullptr && calling->callee.id != 0 ? Value::Object(calling->callee) : Value::Null();
  vm_.DefineValue(arguments, "caller", caller, kHidden);
  return Value::Object(arguments);
}

Value Machine::MakeSuper(Frame& frame) {
  if (!frame.superObject.Is(ValueKind::kUndefined)) return frame.superObject;
  const Object* home = vm_.Get(frame.home);
  const ObjectRef made = vm_.GetHeap().New(ObjectClass::kObject, home != nullptr ? home->proto : ObjectRef{});
  if (Object* object = vm_.Get(made)) {
    auto payload = std::make_unique<SuperPayload>();
    payload->self = frame.self;
    payload->home = frame.home;
    object->payload = std::move(payload);
    frame.superObject = Value::Object(made);
  }
  return frame.superObject;
}

Value Machine::CallScript(const ScriptFunction& function, NativeCall& call) {
  if (frame_ != nullptr) return RunFunction(function, call);
  // Called from outside any script (an event handler, a timer): this call
  // is the script, with its own time and registers, and nothing it throws
  // or stops reaches the caller.
  startedAt_ = StartTime();
  untilClock_ = kClockInterval;
  globalRegisters_.assign(4, Value());
  try {
    return RunFunction(function, call);
  } catch (const ScriptThrow&) {
    return {};
  } catch (const ScriptAbort&) {
    return {};
  }
}

Value Machine::RunFunction(const ScriptFunction& function, NativeCall& call) {
  // The block that runs counts as one level. Past the ceiling the whole
  // script stops; no try catches it.
  if (vm_.CallDepth() >= limits_.maxRecursion) {
    if (limits_.onRecursionLimit) limits_.onRecursionLimit();
    throw ScriptAbort{};
  }
  const FunctionOperands& operands = *function.operands;
  Frame frame;
  frame.block = &function.block;
  frame.version = function.version;
  frame.self = call.self;
  frame.callee = call.callee;
  frame.constructing = call.constructing;
  frame.constants = function.constants;
  if (nextHome_.id != 0) {
    frame.home = nextHome_;
  } else if (const Object* self = vm_.Get(vm_.ObjectFor(call.self))) {
    frame.home = self->proto;
  }
  nextHome_ = {};
  frame.activation = vm_.GetHeap().New(ObjectClass::kObject, {});

  // From SWF 6 a function closes over the scope it was made in; before, it
  // runs in the clip it is called on (or the caller's) with no closure.
  ObjectRef clip = function.definingClip;
  ScopeChain outer = function.scope;
  if (function.version < 6) {
    const ObjectRef called = call.self.Is(ValueKind::kClip) ? vm_.ObjectFor(call.self) : ObjectRef{};
    clip = called.id != 0 ? called : (frame_ != nullptr ? frame_->origin : function.definingClip);
    auto global = std::make_shared<const Scope>(Scope{Scope::Kind::kGlobal, vm_.Classes().global, nullptr});
    outer = std::make_shared<const Scope>(Scope{Scope::Kind::kTarget, clip, std::move(global)});
  }
  frame.origin = clip;
  frame.target = clip;
  frame.baseScope = std::make_shared<const Scope>(Scope{Scope::Kind::kActivation, frame.activation, std::move(outer)});
  frame.scope = frame.baseScope;

  FrameGuard guard(frame_, depth_, stack_, vm_, frame);
  const uint16_t flags = operands.flags;
  if (operands.version2) frame.localRegisters.resize(operands.registerCount);
  std::vector<Value>& registers = frame.localRegisters;
  // Preloads past the function's own registers are dropped.
  size_t next = 1;
  auto preload = [&](Value value) {
    if (next < registers.size()) registers[next] = std::move(value);
    ++next;
  };
  const auto activationSet = [&](std::string_view name, Value value) {
    vm_.DefineValue(frame.activation, name, std::move(value), 0);
  };
  if (!operands.version2) {
    activationSet("arguments", MakeArguments(call));
  } else {
    using namespace function_flag;
    frame.thisByRegister = (flags & (kPreloadThis | kSuppressThis)) != 0;
    frame.superByRegister = (flags & (kPreloadSuper | kSuppressSuper)) != 0;
    // Suppressing wins over preloading: the register then stays empty
    // (corpus: trace-as2-this, trace-as2-super).
    if ((flags & kPreloadThis) && !(flags & kSuppressThis)) preload(call.self);
    if (flags & kPreloadArguments) {
      preload(MakeArguments(call));
    } else if (!(flags & kSuppressArguments)) {
      activationSet("arguments", MakeArguments(call));
    }
    if ((flags & kPreloadSuper) && !(flags & kSuppressSuper)) preload(MakeSuper(frame));
    if (flags & kPreloadRoot) {
      bool found = false;
      preload(SpecialName("_root", found));
    }
    // _global comes before _parent (corpus: define_function2_preload_order).
    if (flags & kPreloadGlobal) preload(Value::Object(vm_.Classes().global));
    if (flags & kPreloadParent) preload(vm_.GetMember(Wrap(clip), "_parent"));
  }
  for (size_t i = 0; i < operands.params.size(); ++i) {
    const FunctionParam& param = operands.params[i];
    if (operands.version2 && param.registerNumber != 0) {
      if (Value* stored = Register(param.registerNumber)) *stored = call.Arg(i);
    } else if (!param.name.empty()) {
      activationSet(param.name, call.Arg(i));
    }
  }
  Run(frame, function.start, function.start, function.end);
  return frame.returned;
}

Value Machine::CallValue(const Value& function, const Value& self, std::span<const Value> args, ObjectRef home) {
  if (!function.Is(ValueKind::kObject)) return {};
  const Object* object = vm_.Get(function.AsObject());
  if (object == nullptr) return {};
  if (const auto* super = object->PayloadAs<SuperPayload>()) return CallSuper(*super, "", args);
  const FunctionPayload* code = object->Function();
  if (code == nullptr) return {};
  if (code->script) nextHome_ = home;
  Value result = vm_.Call(function, self, args);
  nextHome_ = {};
  return result;
}

Value Machine::CallSuper(const SuperPayload& super, std::string_view method, std::span<const Value> args) {
  const Value self = super.self;
  const ObjectRef home = super.home;
  const Object* homeObject = vm_.Get(home);
  const ObjectRef above = homeObject != nullptr ? homeObject->proto : ObjectRef{};
  if (method.empty()) {
    // Looked up with getters but never through __resolve.
    Value constructor = vm_.GetMemberWithoutResolve(Value::Object(home), "__constructor__");
    if (!constructor.Is(ValueKind::kObject)) constructor = vm_.GetMember(Value::Object(above), "constructor");
    return CallValue(constructor, self, args, above);
  }
  ObjectRef owner;
  if (vm_.FindProperty(above, method, &owner) == nullptr) return {};
  const Value function = vm_.GetMember(Value::Object(above), method);
  return CallValue(function, self, args, owner);
}

void Machine::CallFunction() {
  const std::string name = vm_.ToStringValue(Peek(0));
  const size_t count = ArgumentCount(vm_.ToNumber(Peek(1)), Depth() >= 2 ? Depth() - 2 : 0);
  const std::vector<Value> args = Arguments(2, count);
  Value self;
  const Value function = GetVariable(name, &self);
  Pin pinFunction(pinned_, function);
  if (self.Is(ValueKind::kUndefined)) self = Wrap(frame_->target.id != 0 ? frame_->target : frame_->origin);
  Pin pinSelf(pinned_, self);
  Value result = CallValue(function, self, args, {});
  Drop(2 + count);
  Push(std::move(result));
}

void Machine::CallMethod() {
  const Value& nameValue = Peek(0);
  const bool callObject =
      nameValue.IsUndefinedOrNull() || (nameValue.Is(ValueKind::kString) && nameValue.AsString().empty());
  const std::string name = callObject ? std::string() : vm_.ToStringValue(nameValue);
  const Value object = Peek(1);
  const size_t count = ArgumentCount(vm_.ToNumber(Peek(2)), Depth() >= 3 ? Depth() - 3 : 0);
  const std::vector<Value> args = Arguments(3, count);
  Value result;
  const Object* target = object.Is(ValueKind::kObject) ? vm_.Get(object.AsObject()) : nullptr;
  if (const auto* super = target != nullptr ? target->PayloadAs<SuperPayload>() : nullptr) {
    result = CallSuper(*super, name, args);
  } else if (callObject) {
    result = CallValue(object, Wrap(frame_->target.id != 0 ? frame_->target : frame_->origin), args, {});
  } else {
    // A method found on the object itself has the object's prototype for
    // its home, as a plain call has (corpus: super_edge_cases).
    ObjectRef owner;
    const ObjectRef receiver = vm_.ObjectFor(object);
    vm_.FindProperty(receiver, name, &owner);
    if (owner == receiver) owner = {};
    const Value method = vm_.GetMember(object, name);
    Pin pin(pinned_, method);
    result = CallValue(method, object, args, owner);
  }
  Drop(3 + count);
  Push(std::move(result));
}

void Machine::NewObject() {
  const std::string name = vm_.ToStringValue(Peek(0));
  const size_t count = ArgumentCount(vm_.ToNumber(Peek(1)), Depth() >= 2 ? Depth() - 2 : 0);
  const std::vector<Value> args = Arguments(2, count);
  const Value constructor = GetVariable(name);
  Pin pin(pinned_, constructor);
  Value result = vm_.Construct(constructor, args);
  Drop(2 + count);
  Push(std::move(result));
}

void Machine::NewMethod() {
  const Value& nameValue = Peek(0);
  const bool constructObject =
      nameValue.IsUndefinedOrNull() || (nameValue.Is(ValueKind::kString) && nameValue.AsString().empty());
  const std::string name = constructObject ? std::string() : vm_.ToStringValue(nameValue);
  const Value object = Peek(1);
  const size_t count = ArgumentCount(vm_.ToNumber(Peek(2)), Depth() >= 3 ? Depth() - 3 : 0);
  const std::vector<Value> args = Arguments(3, count);
  const Value constructor = constructObject ? object : vm_.GetMember(object, name);
  Pin pin(pinned_, constructor);
  Value result = vm_.Construct(constructor, args);
  Drop(3 + count);
  Push(std::move(result));
}

void Machine::InitArray() {
  // A count the stack cannot give makes undefined and takes only itself.
  const double requested = vm_.ToNumber(Peek(0));
  const size_t available = Depth() > 0 ? Depth() - 1 : 0;
  if (!(requested >= 0) || requested > static_cast<double>(available)) {
    Drop(1);
    Push(Value());
    return;
  }
  const size_t count = ArgumentCount(requested, available);
  const std::vector<Value> elements = Arguments(1, count);
  const ObjectRef array = vm_.NewArray(elements);
  Drop(1 + count);
  Push(array.id != 0 ? Value::Object(array) : Value());
}

void Machine::InitObject() {
  const double requested = vm_.ToNumber(Peek(0));
  const size_t available = Depth() > 0 ? (Depth() - 1) / 2 : 0;
  if (!(requested >= 0) || requested > static_cast<double>(available)) {
    Drop(1);
    Push(Value());
    return;
  }
  const size_t pairs = ArgumentCount(requested, available);
  const ObjectRef made = vm_.NewObject();
  const Value object = made.id != 0 ? Value::Object(made) : Value();
  // Pairs are taken from the top down: the last one written is made first.
  for (size_t i = 0; i < pairs && made.id != 0; ++i) {
    const Value value = Peek(1 + 2 * i);
    const std::string name = vm_.ToStringValue(Peek(2 + 2 * i));
    vm_.SetMember(object, name, value);
  }
  Drop(1 + 2 * pairs);
  Push(object);
}

void Machine::Enumerate(const Value& subject) {
  // The loop pops names until it meets undefined.
  Push(Value());
  if (!subject.Is(ValueKind::kObject) && !subject.Is(ValueKind::kClip)) return;
  std::vector<ObjectRef> chain;
  for (ObjectRef ref = vm_.ObjectFor(subject); ref.id != 0 && chain.size() < 256;) {
    const Object* object = vm_.Get(ref);
    if (object == nullptr || std::find(chain.begin(), chain.end(), ref) != chain.end()) break;
    chain.push_back(ref);
    ref = object->proto;
  }
  // The names are listed from the object up its prototypes, each object's
  // in the order they were made (a display object's named children before
  // its own), a name once where it is nearest; they come out last first, so
  // a prototype's before the object's own (corpus: assetnativeaccessor).
  std::set<std::string> seen;
  std::vector<std::string> names;
  const auto list = [&](const std::string& name, bool enumerable) {
    if (seen.insert(frame_->version < 7 ? FoldCase(name) : name).second && enumerable) names.push_back(name);
  };
  for (size_t level = 0; level < chain.size(); ++level) {
    const Object* object = vm_.Get(chain[level]);
    if (level == 0 && (object->cls == ObjectClass::kMovieClip || object->cls == ObjectClass::kButton ||
                       object->cls == ObjectClass::kTextField)) {
      const std::vector<std::string> children = display_.ChildNames(chain[0]);
      for (auto name = children.rbegin(); name != children.rend(); ++name) list(*name, true);
    }
    object->properties.ForEach([&](const std::string& name, const Property& property) {
      list(name, !property.Has(property_flags::kDontEnum));
    });
  }
  for (std::string& name : names) Push(Value::String(std::move(name)));
}

bool Machine::IsInstance(const Value& object, const Value& constructor) {
  if (!object.Is(ValueKind::kObject) && !object.Is(ValueKind::kClip)) return false;
  if (!constructor.Is(ValueKind::kObject)) return false;
  const Value prototype = vm_.GetMember(constructor, "prototype");
  if (!prototype.Is(ValueKind::kObject)) return false;
  const Object* start = vm_.Get(vm_.ObjectFor(object));
  int budget = 4096;  // bounds chains and interfaces that loop
  return InheritsFrom(start != nullptr ? start->proto : ObjectRef{}, prototype.AsObject(), budget);
}

// Whether `wanted` is on the prototype chain from `ref`, or on that of an
// interface some prototype there implements (an interface that extends
// another is an instance of it too: corpus extends_chain).
bool Machine::InheritsFrom(ObjectRef ref, ObjectRef wanted, int& budget) {
  for (; ref.id != 0 && budget > 0; --budget) {
    if (ref == wanted) return true;
    if (const auto found = interfaces_.find(ref.id); found != interfaces_.end()) {
      const std::vector<ObjectRef> implemented = found->second;
      for (const ObjectRef interface : implemented) {
        const Value theirs = vm_.GetMember(Value::Object(interface), "prototype");
        if (theirs.Is(ValueKind::kObject) && InheritsFrom(theirs.AsObject(), wanted, budget)) return true;
      }
    }
    const Object* current = vm_.Get(ref);
    ref = current != nullptr ? current->proto : ObjectRef{};
  }
  return false;
}

void Machine::InstanceOf() {
  const bool result = IsInstance(Peek(1), Peek(0));
  Drop(2);
  Push(Value::Boolean(result));
}

void Machine::CastOp() {
  const Value object = Peek(0);
  const bool result = IsInstance(object, Peek(1));
  Drop(2);
  Push(result ? object : Value::Null());
}

void Machine::ImplementsOp() {
  const Value constructor = Peek(0);
  const size_t count = ArgumentCount(vm_.ToNumber(Peek(1)), Depth() >= 2 ? Depth() - 2 : 0);
  const Value prototype = vm_.GetMember(constructor, "prototype");
  if (prototype.Is(ValueKind::kObject)) {
    std::vector<ObjectRef>& list = interfaces_[prototype.AsObject().id];
    for (size_t i = 0; i < count; ++i) {
      const Value& implemented = Peek(2 + i);
      if (implemented.Is(ValueKind::kObject)) list.push_back(implemented.AsObject());
    }
  }
  Drop(2 + count);
}

void Machine::Extends() {
  const Value superclass = Peek(0);
  const Value subclass = Peek(1);
  const Value superPrototype = vm_.GetMember(superclass, "prototype");
  const ObjectRef prototype =
      vm_.NewObject(superPrototype.Is(ValueKind::kObject) ? superPrototype.AsObject() : ObjectRef{});
  vm_.DefineValue(prototype, "__constructor__", superclass, kHidden);
  vm_.SetMember(subclass, "prototype", Value::Object(prototype));
  Drop(2);
}

}  // namespace swf::avm1
