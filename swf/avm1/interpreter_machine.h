// The interpreter's running state: the value stack, the frames of the calls
// in progress, their scope chains and registers; and the dispatch loop over
// decoded operations (interpreter_machine.cpp). The work of the larger
// operations lives beside it by family: variables and paths
// (interpreter_variables.cpp), functions, calls and objects
// (interpreter_functions.cpp), the SWF 4 string and timeline actions
// (interpreter_swf4.cpp), with and try (interpreter_blocks.cpp).
//
// How code runs. A frame runs a range of one action block: a whole DoAction
// block, or the bytes of a function body. `Run` walks the range record by
// record; With and Try run their bodies as nested ranges through `Run` again.
// A range is left when the position falls outside it (its end, or a jump
// elsewhere), and the position is handed to the enclosing range, which goes
// on from there if it lies inside it: so a `break` out of a `with` leaves
// the with and lands where it jumped. End, Return and a malformed record stop
// the frame.
//
// Scope chains are immutable linked lists shared by reference: a closure
// keeps the chain it was made in alive and the collector marks through it.
//
// Roots: the value stack (all frames share one, each with its base), the
// global registers, every frame's registers, scope chain, `this`, callee and
// the values pinned while an operation calls out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/interpreter.h"
#include "swf/avm1/script_throw.h"
#include "swf/parse/action_decoder.h"

namespace swf::avm1 {

struct Scope;
using ScopeChain = std::shared_ptr<const Scope>;

// One link of a scope chain; names are looked up from the innermost link
// outwards.
struct Scope {
  enum class Kind : std::uint8_t {
    kGlobal,      // _global, at the bottom of every chain
    kTarget,      // the clip the code belongs to (or SetTarget's clip)
    kActivation,  // a function call's locals
    kWith,        // the object of a `with`
  };
  Kind kind;
  ObjectRef object;
  ScopeChain parent;
};

void MarkScopeChain(const Scope* scope, Marker& marker);

// Stops the RunBlock in progress: the time limit, the recursion ceiling, the
// stack ceiling. Never caught by a script's try.
struct ScriptAbort {};

// Where running a range ended.
struct RangeExit {
  enum class Kind : std::uint8_t { kLeft, kStopped } kind;
  size_t position = 0;  // kLeft: where execution goes on
  static RangeExit Left(size_t position) { return {Kind::kLeft, position}; }
  static RangeExit Stopped() { return {Kind::kStopped, 0}; }
};

struct Frame {
  const ActionBlock* block = nullptr;
  int version = 7;
  ScopeChain scope;      // now (With and SetTarget change it)
  ScopeChain baseScope;  // as the frame started
  Value self;            // this
  ObjectRef activation;  // a function's locals; 0 at the top level of a block
  ObjectRef origin;      // the clip the code belongs to
  ObjectRef target;      // where timeline actions go; 0 when SetTarget found nothing
  bool targetLost = false;  // SetTarget named no clip: timeline actions and names fall to the root
  ObjectRef callee;      // the function running; 0 at the top level
  bool constructing = false;  // the function was called by `new`
  ObjectRef home;        // the object the running method was found on, for super
  // DefineFunction2's own registers; the numbers past them, and every
  // number in other code, name the four registers of the running block.
  std::vector<Value> localRegisters;
  const std::vector<std::string>* constants = nullptr;
  size_t stackBase = 0;
  Value returned;
  Value superObject;  // made when first asked for
  // DefineFunction2 that preloads or suppresses `this`: the name then
  // finds the clip, as in the player.
  bool thisByRegister = false;
  // Likewise for `super`: the name then names nothing.
  bool superByRegister = false;
  Frame* caller = nullptr;
};

// Makes `frame` the machine's current frame for as long as it lives, and on
// the way out (however it goes) drops what the frame left on the stack and
// restores the caller's frame and version.
class FrameGuard {
 public:
  FrameGuard(Frame*& current, int& depth, std::vector<Value>& stack, Vm& vm, Frame& frame)
      : current_(current),
        depth_(depth),
        stack_(stack),
        vm_(vm),
        saved_(current),
        version_(vm.SwfVersion()),
        constructing_(vm.RunningConstructor()) {
    frame.caller = current;
    frame.stackBase = stack.size();
    current_ = &frame;
    ++depth_;
    vm_.SetSwfVersion(frame.version);
    vm_.SetRunningConstructor(frame.constructing);
  }
  ~FrameGuard() {
    if (stack_.size() > current_->stackBase) stack_.resize(current_->stackBase);
    current_ = saved_;
    --depth_;
    vm_.SetSwfVersion(version_);
    vm_.SetRunningConstructor(constructing_);
  }
  FrameGuard(const FrameGuard&) = delete;
  FrameGuard& operator=(const FrameGuard&) = delete;

 private:
  Frame*& current_;
  int& depth_;
  std::vector<Value>& stack_;
  Vm& vm_;
  Frame* saved_;
  int version_;
  bool constructing_;
};

// A function written in script: the body's bytes in its block, the
// definition's operands (kept alive by the block's cache), and the scope
// chain it closed over.
class ScriptFunction final : public ScriptCode {
 public:
  std::weak_ptr<Machine> machine;
  ActionBlock block;
  const FunctionOperands* operands = nullptr;
  size_t start = 0;
  size_t end = 0;
  ScopeChain scope;
  ObjectRef definingClip;
  const std::vector<std::string>* constants = nullptr;
  int version = 7;

  Value Invoke(NativeCall& call) override;
  void Trace(Marker& marker) const override {
    MarkScopeChain(scope.get(), marker);
    marker.Mark(definingClip);
  }
};

// The object `super` names in a method: its members are read from the
// prototype above the method's home, its methods run on `self`.
struct SuperPayload : Payload {
  Value self;
  ObjectRef home;
  void Trace(Marker& marker) const override {
    marker.Mark(self);
    marker.Mark(home);
  }
};

class Machine final : public RootSource, public std::enable_shared_from_this<Machine> {
 public:
  // Values on the stack at once; a script that pushes more stops. The stack
  // is reserved at this size, so references into it stay valid.
  static constexpr size_t kMaxStack = size_t{1} << 16;
  // The longest string a script may make (a loop doubling a string would
  // otherwise take the machine's memory); beyond it the script stops.
  static constexpr size_t kMaxStringBytes = Vm::kMaxStringBytes;
  // Records between two looks at the clock.
  static constexpr unsigned kClockInterval = 1024;

  Machine(Vm& vm, DisplayHost& display, ScriptLimits limits);
  ~Machine() override;

  void RunBlock(const ActionBlock& block, ObjectRef clip, int swfVersion);
  void BeginStep();
  Value CallScript(const ScriptFunction& function, NativeCall& call);
  Value RunFunction(const ScriptFunction& function, NativeCall& call);

  void MarkRoots(Marker& marker) const override;

 private:
  friend class ScriptFunction;

  // The loop.
  RangeExit Run(Frame& frame, size_t position, size_t start, size_t end);
  void Tick();
  void EnterFrame(Frame& frame);

  // The stack. Operands that an operation needs while it calls out stay on
  // the stack (Peek) until it is done, so that they remain roots.
  void Push(Value value) {
    if (stack_.size() >= kMaxStack) throw ScriptAbort{};
    if (value.Is(ValueKind::kString) && value.AsString().size() > kMaxStringBytes) throw ScriptAbort{};
    stack_.push_back(std::move(value));
  }
  Value Pop();
  const Value& Peek(size_t fromTop) const;  // 0: the top; undefined below the frame's base
  void Drop(size_t count);
  size_t Depth() const { return stack_.size() - frame_->stackBase; }
  Context Conv() { return Context{frame_->version, vm_}; }
  void PushOperand(const PushValue& pushed);
  Value* Register(size_t number);

  // interpreter_variables.cpp
  // `foundOn`: the `this` a function called by this name gets.
  Value GetVariable(std::string_view name, Value* foundOn = nullptr);
  void SetVariable(std::string_view name, Value value);
  void DefineLocal(std::string_view name, Value value, bool onlyDeclare);
  bool DeleteVariable(std::string_view name);
  Value LookupScope(std::string_view name, Value* foundOn = nullptr);
  bool FindInObject(ObjectRef object, std::string_view name, Value& value);
  bool Has(ObjectRef object, std::string_view name);
  Value ResolvePath(std::string_view path);
  ObjectRef TargetOf(const Value& value);
  ObjectRef LocalsObject() const;
  Value Wrap(ObjectRef object);
  bool SameName(std::string_view a, std::string_view b) const;
  Value SpecialName(std::string_view name, bool& found);

  // interpreter_functions.cpp
  void DefineFunction(const Operation& operation);
  void CallFunction();
  void CallMethod();
  void NewObject();
  void NewMethod();
  void InitArray();
  void InitObject();
  void Enumerate(const Value& subject);
  void InstanceOf();
  void CastOp();
  void ImplementsOp();
  void Extends();
  bool IsInstance(const Value& object, const Value& constructor);
  bool InheritsFrom(ObjectRef ref, ObjectRef wanted, int& budget);
  // What GetMember reads `name` of when `subject` may be a super object.
  const Value& SuperLookupBase(const Value& subject, std::string_view name);
  Value CallValue(const Value& function, const Value& self, std::span<const Value> args, ObjectRef home);
  Value MakeSuper(Frame& frame);
  Value MakeArguments(const NativeCall& call);
  Value CallSuper(const SuperPayload& super, std::string_view method, std::span<const Value> args);
  std::vector<Value> Arguments(size_t first, size_t count) const;

  // interpreter_swf4.cpp
  void StringExtract(bool multibyte);
  void StringLength(bool multibyte);
  void CharToAscii(bool multibyte);
  void AsciiToChar(bool multibyte);
  void GetProperty();
  void SetProperty();
  // Which frame of which clip a frame value names (GotoFrame2, Call): a
  // 1-based number or a label; no clip when it names none.
  struct FrameName {
    ObjectRef clip;
    std::optional<std::uint32_t> number;
    std::string label;
  };
  FrameName NameFrame(const Value& frameValue);
  void GotoFrame2(const GotoFrame2Operands& operands);
  void Call();
  void SetTarget(std::string_view path);
  void SetTargetTo(ObjectRef clip);
  void LoseTarget();
  ObjectRef TimelineTarget();
  void StartDrag();
  void CloneSprite();
  void Trace();
  void GetUrl2(const GetUrl2Operands& operands);
  bool WaitForFrame(const Value& frame);

  // interpreter_blocks.cpp
  RangeExit With(Frame& frame, const WithOperands& operands, size_t bodyStart, size_t end);
  RangeExit Try(Frame& frame, const TryOperands& operands, size_t bodyStart, size_t end);
  void BindCaught(Frame& frame, const TryOperands& operands, Value value);

  Vm& vm_;
  DisplayHost& display_;
  ScriptLimits limits_;
  std::vector<Value> stack_;
  std::vector<Value> globalRegisters_;  // the running block's four, fresh for each block
  std::vector<Value> pinned_;  // values an operation holds while it calls out
  Frame* frame_ = nullptr;
  int depth_ = 0;
  unsigned untilClock_ = kClockInterval;
  double startedAt_ = 0;
  // The step in progress (Interpreter::BeginStep): when it started, and
  // whether its scripts ran out of time (the host is told once). Without steps, each outermost
  // script has the whole limit.
  bool stepStarted_ = false;
  double stepStartedAt_ = 0;
  bool stepTimedOut_ = false;
  double StartTime() const;
  std::mt19937 random_;
  // ImplementsOp's interfaces, by the prototype of the class that implements
  // them (kept alive with it).
  std::unordered_map<std::uint32_t, std::vector<ObjectRef>> interfaces_;
  // Set by CallValue for the script function it is about to call.
  ObjectRef nextHome_;
  // SuperLookupBase's answer (held by the super object, so no root).
  Value superBase_;
};

// Keeps values in the machine's roots for as long as it lives.
class Pin {
 public:
  Pin(std::vector<Value>& pinned, Value value) : pinned_(pinned) { pinned_.push_back(std::move(value)); }
  ~Pin() { pinned_.pop_back(); }
  Pin(const Pin&) = delete;
  Pin& operator=(const Pin&) = delete;

 private:
  std::vector<Value>& pinned_;
};

}  // namespace swf::avm1
