// The actions with bodies of their own: With and Try. Each runs its bodies
// as nested ranges of the frame (see interpreter_machine.h), so a jump out
// of a body leaves it and goes on where it leads.
#include <optional>

#include "swf/avm1/interpreter_machine.h"

namespace swf::avm1 {
namespace {

// Puts a frame's scope chain back when a body is left, however it is left.
class ScopeRestorer {
 public:
  explicit ScopeRestorer(Frame& frame) : frame_(frame), saved_(frame.scope) {}
  ~ScopeRestorer() { frame_.scope = saved_; }
  ScopeRestorer(const ScopeRestorer&) = delete;
  ScopeRestorer& operator=(const ScopeRestorer&) = delete;

 private:
  Frame& frame_;
  ScopeChain saved_;
};

}  // namespace

RangeExit Machine::With(Frame& frame, const WithOperands& operands, size_t bodyStart, size_t end) {
  const Value subject = Pop();
  const size_t bodyEnd = std::min(bodyStart + operands.size, end);
  ObjectRef object;
  if (subject.Is(ValueKind::kObject) || subject.Is(ValueKind::kClip)) {
    object = vm_.ObjectFor(subject);
  } else if (!subject.IsUndefinedOrNull()) {
    // A primitive is wrapped, as `new String(s)` would.
    const char* wrapper = subject.Is(ValueKind::kString) ? "String" : subject.Is(ValueKind::kNumber) ? "Number" : "Boolean";
    const Value constructor = vm_.GetMember(Value::Object(vm_.Classes().global), wrapper);
    const Value args[] = {subject};
    const Value wrapped = vm_.Construct(constructor, args);
    if (wrapped.Is(ValueKind::kObject)) object = wrapped.AsObject();
  }
  // Without an object the body is skipped.
  if (object.id == 0) return RangeExit::Left(bodyEnd);
  ScopeRestorer restore(frame);
  frame.scope = std::make_shared<const Scope>(Scope{Scope::Kind::kWith, object, frame.scope});
  return Run(frame, bodyStart, bodyStart, bodyEnd);
}

void Machine::BindCaught(Frame& frame, const TryOperands& operands, Value value) {
  if (operands.catchInRegister) {
    if (Value* stored = Register(operands.catchRegister)) *stored = std::move(value);
  } else if (frame.activation.id != 0) {
    vm_.SetMember(Value::Object(frame.activation), operands.catchName, std::move(value));
  } else {
    SetVariable(operands.catchName, std::move(value));
  }
}

RangeExit Machine::Try(Frame& frame, const TryOperands& operands, size_t bodyStart, size_t end) {
  const size_t tryEnd = std::min(bodyStart + operands.trySize, end);
  const size_t catchEnd = std::min(tryEnd + (operands.hasCatch ? operands.catchSize : 0), end);
  const size_t finallyEnd = std::min(catchEnd + (operands.hasFinally ? operands.finallySize : 0), end);
  const size_t height = stack_.size();
  const ScopeChain scope = frame.scope;

  RangeExit exit = RangeExit::Left(tryEnd);
  std::optional<Value> pending;  // a throw that goes on after the finally body
  try {
    exit = Run(frame, bodyStart, bodyStart, tryEnd);
  } catch (ScriptThrow& thrown) {
    if (stack_.size() > height) stack_.resize(height);
    frame.scope = scope;
    if (operands.hasCatch) {
      const Pin pin(pinned_, thrown.value);
      BindCaught(frame, operands, thrown.value);
      try {
        exit = Run(frame, tryEnd, tryEnd, catchEnd);
      } catch (ScriptThrow& again) {
        if (stack_.size() > height) stack_.resize(height);
        frame.scope = scope;
        pending = std::move(again.value);
      }
    } else {
      pending = std::move(thrown.value);
    }
  }
  if (operands.hasFinally) {
    const Pin pin(pinned_, pending.value_or(Value()));
    const RangeExit after = Run(frame, catchEnd, catchEnd, finallyEnd);
    // A return (or a jump away) in the finally body wins over the throw.
    if (after.kind == RangeExit::Kind::kStopped) return after;
    if (after.position != finallyEnd) return after;
  }
  if (pending) throw ScriptThrow{std::move(*pending)};
  if (exit.kind == RangeExit::Kind::kStopped) return exit;
  if (exit.position == tryEnd || exit.position == catchEnd) return RangeExit::Left(finallyEnd);
  return exit;
}

}  // namespace swf::avm1
