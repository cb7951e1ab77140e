#include "swf/avm1/interpreter_machine.h"

#include <chrono>
#include <cmath>

#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

using BinaryOperator = Value (*)(const Value&, const Value&, const Context&);

// The binary operators by action code; null for every other code.
struct BinaryTable {
  BinaryOperator entries[256] = {};
  constexpr BinaryTable() {
    entries[action::kAdd] = Add;
    entries[action::kSubtract] = Subtract;
    entries[action::kMultiply] = Multiply;
    entries[action::kDivide] = Divide;
    entries[action::kEquals] = Equals;
    entries[action::kLess] = Less;
    entries[action::kStringEquals] = StringEquals;
    entries[action::kStringLess] = StringLess;
    entries[action::kModulo] = Modulo;
    entries[action::kAdd2] = Add2;
    entries[action::kLess2] = Less2;
    entries[action::kEquals2] = Equals2;
    entries[action::kBitAnd] = BitAnd;
    entries[action::kBitOr] = BitOr;
    entries[action::kBitXor] = BitXor;
    entries[action::kBitLShift] = BitLShift;
    entries[action::kBitRShift] = BitRShift;
    entries[action::kBitURShift] = BitURShift;
    entries[action::kStrictEquals] = StrictEquals;
    entries[action::kGreater] = Greater;
    entries[action::kStringGreater] = StringGreater;
  }
};
constexpr BinaryTable kBinary;

double SteadyMilliseconds() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void MarkScopeChain(const Scope* scope, Marker& marker) {
  for (; scope != nullptr; scope = scope->parent.get()) marker.Mark(scope->object);
}

Machine::Machine(Vm& vm, DisplayHost& display, ScriptLimits limits)
    : vm_(vm), display_(display), limits_(std::move(limits)), globalRegisters_(4) {
  if (!limits_.clock) limits_.clock = SteadyMilliseconds;
  // Reserved once and never grown past: operations read their operands in
  // place while they call out to code that pushes above them.
  stack_.reserve(kMaxStack);
  vm_.AddRoots(this);
  // Built-ins' long loops stop with the script that called them.
  vm_.SetWorkCheck([this](bool stop) {
    if (frame_ == nullptr) return;
    if (stop) throw ScriptAbort{};
    untilClock_ = 1;
    Tick();
  });
}

Machine::~Machine() {
  vm_.SetWorkCheck(nullptr);
  vm_.RemoveRoots(this);
}

void Machine::MarkRoots(Marker& marker) const {
  for (const Value& value : stack_) marker.Mark(value);
  for (const Value& value : globalRegisters_) marker.Mark(value);
  for (const Value& value : pinned_) marker.Mark(value);
  for (const auto& [prototype, list] : interfaces_) {
    marker.Mark(ObjectRef{prototype});
    for (ObjectRef entry : list) marker.Mark(entry);
  }
  for (const Frame* frame = frame_; frame != nullptr; frame = frame->caller) {
    MarkScopeChain(frame->scope.get(), marker);
    MarkScopeChain(frame->baseScope.get(), marker);
    marker.Mark(frame->self);
    marker.Mark(frame->activation);
    marker.Mark(frame->origin);
    marker.Mark(frame->target);
    marker.Mark(frame->callee);
    marker.Mark(frame->home);
    marker.Mark(frame->returned);
    marker.Mark(frame->superObject);
    for (const Value& value : frame->localRegisters) marker.Mark(value);
  }
}

void Machine::RunBlock(const ActionBlock& block, ObjectRef clip, int swfVersion) {
  const bool outermost = frame_ == nullptr;
  if (outermost) {
    startedAt_ = StartTime();
    untilClock_ = kClockInterval;
    globalRegisters_.assign(4, Value());
  }
  Frame frame;
  frame.block = &block;
  frame.version = swfVersion;
  auto global = std::make_shared<const Scope>(Scope{Scope::Kind::kGlobal, vm_.Classes().global, nullptr});
  frame.baseScope = std::make_shared<const Scope>(Scope{Scope::Kind::kTarget, clip, global});
  frame.scope = frame.baseScope;
  frame.origin = clip;
  frame.target = clip;
  try {
    FrameGuard guard(frame_, depth_, stack_, vm_, frame);
    frame.self = Wrap(clip);
    Run(frame, 0, 0, block.code.size());
  } catch (const ScriptThrow&) {
    // Nothing caught it: the block ends, as in the player.
    if (!outermost) throw;
  } catch (const ScriptAbort&) {
    if (!outermost) throw;
  }
}

void Machine::BeginStep() {
  stepStarted_ = true;
  stepStartedAt_ = limits_.clock();
  stepTimedOut_ = false;
}

double Machine::StartTime() const { return stepStarted_ ? stepStartedAt_ : limits_.clock(); }

void Machine::Tick() {
  if (--untilClock_ != 0) return;
  untilClock_ = kClockInterval;
  if (limits_.clock() - startedAt_ > limits_.timeoutSeconds * 1000) {
    // The host hears of it once a step.
    if (!stepTimedOut_ && limits_.onTimeout) limits_.onTimeout();
    stepTimedOut_ = stepStarted_;
    throw ScriptAbort{};
  }
}

Value Machine::Pop() {
  if (stack_.size() <= frame_->stackBase) return {};
  Value value = std::move(stack_.back());
  stack_.pop_back();
  return value;
}

const Value& Machine::Peek(size_t fromTop) const {
  static const Value undefined;
  const size_t available = stack_.size() - frame_->stackBase;
  return fromTop < available ? stack_[stack_.size() - 1 - fromTop] : undefined;
}

void Machine::Drop(size_t count) {
  const size_t available = stack_.size() - frame_->stackBase;
  stack_.resize(stack_.size() - std::min(count, available));
}

void Machine::PushOperand(const PushValue& pushed) {
  switch (pushed.index()) {
    case 0: Push(Value::String(std::get<PushString>(pushed).text)); return;
    case 1: Push(Value::Number(std::get<PushFloat>(pushed).value)); return;
    case 2: Push(Value::Null()); return;
    case 3: Push(Value()); return;
    case 4: {
      const Value* stored = Register(std::get<PushRegister>(pushed).number);
      Push(stored != nullptr ? *stored : Value());
      return;
    }
    case 5: Push(Value::Boolean(std::get<PushBool>(pushed).value)); return;
    case 6: Push(Value::Number(std::get<PushDouble>(pushed).value)); return;
    case 7: Push(Value::Number(std::get<PushInteger>(pushed).value)); return;
    case 8: {
      // A pool entry of the pool current now; without one, undefined.
      const uint16_t index = std::get<PushConstant>(pushed).index;
      const std::vector<std::string>* pool = frame_->constants;
      Push(pool != nullptr && index < pool->size() ? Value::String((*pool)[index]) : Value());
      return;
    }
    default: Push(Value()); return;
  }
}

Value* Machine::Register(size_t number) {
  if (number < frame_->localRegisters.size()) return &frame_->localRegisters[number];
  return number < globalRegisters_.size() ? &globalRegisters_[number] : nullptr;
}

RangeExit Machine::Run(Frame& frame, size_t position, size_t start, size_t end) {
  const ActionBlock& block = *frame.block;
  while (true) {
    if (position < start || position >= end) return RangeExit::Left(position);
    const Operation& op = block.At(position);
    if (op.IsEnd() || op.IsMalformed()) return RangeExit::Stopped();
    Tick();
    // A safe point: everything live is on the stack, in registers or scopes.
    if (vm_.GetHeap().WantsCollection()) vm_.CollectIfWanted();
    position = op.Next();

    if (const BinaryOperator binary = kBinary.entries[op.code]) {
      Value result = binary(Peek(1), Peek(0), Conv());
      Drop(2);
      Push(std::move(result));
      continue;
    }
    switch (op.code) {
      // The SWF 4 stack machine.
      case action::kPush:
        for (const PushValue& pushed : std::get<PushOperands>(op.operands).values) PushOperand(pushed);
        break;
      case action::kPop: Pop(); break;
      case action::kPushDuplicate: Push(Value(Peek(0))); break;
      case action::kStackSwap: {
        Value top = Pop();
        Value below = Pop();
        Push(std::move(top));
        Push(std::move(below));
        break;
      }
      case action::kNot: {
        Value result = Not(Peek(0), Conv());
        Drop(1);
        Push(std::move(result));
        break;
      }
      case action::kAnd:
      case action::kOr: {
        const bool left = vm_.ToBoolean(Peek(1));
        const bool right = vm_.ToBoolean(Peek(0));
        const bool result = op.code == action::kAnd ? left && right : left || right;
        Drop(2);
        Push(frame.version < 5 ? Value::Number(result ? 1 : 0) : Value::Boolean(result));
        break;
      }
      case action::kIncrement:
      case action::kDecrement: {
        Value result = op.code == action::kIncrement ? Increment(Peek(0), Conv()) : Decrement(Peek(0), Conv());
        Drop(1);
        Push(std::move(result));
        break;
      }
      case action::kToInteger: {
        const double number = vm_.ToNumber(Peek(0));
        Drop(1);
        Push(Value::Number(std::isfinite(number) ? std::trunc(number) : (std::isnan(number) ? 0 : number)));
        break;
      }
      case action::kToNumber: {
        const double number = vm_.ToNumber(Peek(0));
        Drop(1);
        Push(Value::Number(number));
        break;
      }
      case action::kToString: {
        std::string text = vm_.ToStringValue(Peek(0));
        Drop(1);
        Push(Value::String(std::move(text)));
        break;
      }
      case action::kTypeOf: {
        Value result = TypeOfValue(Peek(0), Conv());
        Drop(1);
        Push(std::move(result));
        break;
      }
      case action::kStringAdd: {
        std::string right = vm_.ToStringValue(Peek(0));
        std::string left = vm_.ToStringValue(Peek(1));
        Drop(2);
        Push(Value::String(left + right));
        break;
      }
      case action::kStringLength: StringLength(false); break;
      case action::kMBStringLength: StringLength(true); break;
      case action::kStringExtract: StringExtract(false); break;
      case action::kMBStringExtract: StringExtract(true); break;
      case action::kCharToAscii: CharToAscii(false); break;
      case action::kMBCharToAscii: CharToAscii(true); break;
      case action::kAsciiToChar: AsciiToChar(false); break;
      case action::kMBAsciiToChar: AsciiToChar(true); break;
      case action::kRandomNumber: {
        const double limit = vm_.ToNumber(Pop());
        const auto bound = std::isfinite(limit) && limit >= 1 ? static_cast<std::uint32_t>(std::min(limit, 4.0e9)) : 0;
        Push(Value::Number(bound == 0 ? 0 : std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(random_)));
        break;
      }
      case action::kGetTime: Push(Value::Number(std::floor(display_.TimerMilliseconds()))); break;
      case action::kTrace: Trace(); break;

      // Control.
      case action::kJump: position = static_cast<size_t>(std::get<BranchOperands>(op.operands).target); break;
      case action::kIf: {
        const bool taken = vm_.ToBoolean(Pop());
        const int64_t target = std::get<BranchOperands>(op.operands).target;
        if (taken) {
          if (target < 0) return RangeExit::Stopped();
          position = static_cast<size_t>(target);
        }
        break;
      }
      case action::kReturn:
        frame.returned = Pop();
        return RangeExit::Stopped();
      case action::kConstantPool: frame.constants = &std::get<ConstantPoolOperands>(op.operands).constants; break;
      case action::kStoreRegister: {
        if (Value* stored = Register(std::get<RegisterOperands>(op.operands).number)) *stored = Peek(0);
        break;
      }
      case action::kWith: {
        const RangeExit exit = With(frame, std::get<WithOperands>(op.operands), position, end);
        if (exit.kind == RangeExit::Kind::kStopped) return exit;
        position = exit.position;
        break;
      }
      case action::kTry: {
        const RangeExit exit = Try(frame, std::get<TryOperands>(op.operands), position, end);
        if (exit.kind == RangeExit::Kind::kStopped) return exit;
        position = exit.position;
        break;
      }
      case action::kThrow: throw ScriptThrow{Pop()};

      // Variables.
      case action::kGetVariable: {
        const std::string name = vm_.ToStringValue(Peek(0));
        Value value = GetVariable(name);
        Drop(1);
        Push(std::move(value));
        break;
      }
      case action::kSetVariable: {
        const std::string name = vm_.ToStringValue(Peek(1));
        SetVariable(name, Peek(0));
        Drop(2);
        break;
      }
      case action::kDefineLocal: {
        const std::string name = vm_.ToStringValue(Peek(1));
        DefineLocal(name, Peek(0), false);
        Drop(2);
        break;
      }
      case action::kDefineLocal2: {
        const std::string name = vm_.ToStringValue(Peek(0));
        DefineLocal(name, Value(), true);
        Drop(1);
        break;
      }
      case action::kDelete: {
        const std::string name = vm_.ToStringValue(Peek(0));
        const bool deleted = vm_.DeleteMember(Peek(1), name);
        Drop(2);
        Push(Value::Boolean(deleted));
        break;
      }
      case action::kDelete2: {
        const std::string name = vm_.ToStringValue(Peek(0));
        const bool deleted = DeleteVariable(name);
        Drop(1);
        Push(Value::Boolean(deleted));
        break;
      }
      case action::kTargetPath: {
        const Value& subject = Peek(0);
        Value path;
        if (subject.Is(ValueKind::kClip)) {
          if (std::string found = vm_.ClipPath(subject.AsClip()); !found.empty()) path = Value::String(std::move(found));
        } else if (subject.Is(ValueKind::kObject)) {
          ClipReference reference = display_.ReferenceTo(subject.AsObject());
          if (!reference.target_path.empty()) path = Value::String(std::move(reference.target_path));
        }
        Drop(1);
        Push(std::move(path));
        break;
      }

      // Objects and functions.
      case action::kGetMember: {
        const std::string name = vm_.ToStringValue(Peek(0));
        Value value = vm_.GetMember(SuperLookupBase(Peek(1), name), name);
        Drop(2);
        Push(std::move(value));
        break;
      }
      case action::kSetMember: {
        const std::string name = vm_.ToStringValue(Peek(1));
        vm_.SetMember(Peek(2), name, Peek(0));
        Drop(3);
        break;
      }
      case action::kDefineFunction:
      case action::kDefineFunction2: {
        DefineFunction(op);
        position += std::get<FunctionOperands>(op.operands).bodyLength;
        break;
      }
      case action::kCallFunction: CallFunction(); break;
      case action::kCallMethod: CallMethod(); break;
      case action::kNewObject: NewObject(); break;
      case action::kNewMethod: NewMethod(); break;
      case action::kInitArray: InitArray(); break;
      case action::kInitObject: InitObject(); break;
      case action::kEnumerate: {
        const std::string name = vm_.ToStringValue(Peek(0));
        const Value subject = GetVariable(name);
        Drop(1);
        Pin pin(pinned_, subject);
        Enumerate(subject);
        break;
      }
      case action::kEnumerate2: {
        const Value subject = Pop();
        Pin pin(pinned_, subject);
        Enumerate(subject);
        break;
      }
      case action::kInstanceOf: InstanceOf(); break;
      case action::kCastOp: CastOp(); break;
      case action::kImplementsOp: ImplementsOp(); break;
      case action::kExtends: Extends(); break;

      // The timeline and the display world.
      case action::kPlay:
      case action::kStop:
        if (const ObjectRef clip = TimelineTarget(); clip.id != 0) display_.SetPlaying(clip, op.code == action::kPlay);
        break;
      case action::kNextFrame:
      case action::kPrevFrame:
        if (const ObjectRef clip = TimelineTarget(); clip.id != 0) {
          display_.StepFrame(clip, op.code == action::kNextFrame ? 1 : -1);
        }
        break;
      case action::kGotoFrame:
        if (const ObjectRef clip = TimelineTarget(); clip.id != 0) {
          display_.GotoFrame(clip, std::get<GotoFrameOperands>(op.operands).frame, false);
        }
        break;
      case action::kGotoLabel:
        if (const ObjectRef clip = TimelineTarget(); clip.id != 0) {
          display_.GotoLabel(clip, std::get<TextOperands>(op.operands).text, false);
        }
        break;
      case action::kGotoFrame2: GotoFrame2(std::get<GotoFrame2Operands>(op.operands)); break;
      case action::kSetTarget: SetTarget(std::get<TextOperands>(op.operands).text); break;
      case action::kSetTarget2: {
        // A clip by its target path, without its toString: of two clips of
        // one name the first is found whichever the value held (corpus:
        // set_target_2_swf6). Anything else by its string, so undefined
        // names the origin before SWF 7 ("") and no clip after.
        const Value& subject = Peek(0);
        if (subject.Is(ValueKind::kClip)) {
          if (const std::string path = vm_.ClipPath(subject.AsClip()); !path.empty()) {
            SetTarget(path);
          } else {
            LoseTarget();
          }
        } else {
          SetTarget(vm_.ToStringValue(subject));
        }
        Drop(1);
        break;
      }
      case action::kGetProperty: GetProperty(); break;
      case action::kSetProperty: SetProperty(); break;
      case action::kCloneSprite: CloneSprite(); break;
      case action::kRemoveSprite: {
        const ObjectRef clip = TargetOf(Peek(0));
        if (clip.id != 0) display_.RemoveSprite(clip);
        Drop(1);
        break;
      }
      case action::kStartDrag: StartDrag(); break;
      case action::kEndDrag: display_.StopDrag(); break;
      case action::kToggleQuality: display_.ToggleQuality(); break;
      case action::kStopSounds: display_.StopSounds(); break;
      case action::kGetUrl: {
        const GetUrlOperands& url = std::get<GetUrlOperands>(op.operands);
        display_.GetUrl(url.url, url.target, 0, false, false);
        break;
      }
      case action::kGetUrl2: GetUrl2(std::get<GetUrl2Operands>(op.operands)); break;
      case action::kWaitForFrame:
      case action::kWaitForFrame2: {
        const WaitForFrameOperands& wait = std::get<WaitForFrameOperands>(op.operands);
        const Value frameNumber =
            op.code == action::kWaitForFrame ? Value::Number(wait.frame + 1) : Pop();
        if (!WaitForFrame(frameNumber)) {
          // Not loaded yet: skip the records that need the frame.
          for (int skipped = 0; skipped < wait.skipCount; ++skipped) {
            const Operation& next = block.At(position);
            if (next.IsEnd()) break;
            position = next.Next();
          }
        }
        break;
      }
      case action::kCall: Call(); break;
      default:
        // Unknown codes are skipped, as the player does.
        break;
    }
  }
}

const Value& Machine::SuperLookupBase(const Value& subject, std::string_view name) {
  // super's members are those of the prototype above the method's home;
  // its own link to that prototype is not one of them, so super.__proto__
  // is that prototype's __proto__ (corpus: as2_super_and_this_v6).
  if (!subject.Is(ValueKind::kObject) || !SameName(name, "__proto__")) return subject;
  const Object* object = vm_.Get(subject.AsObject());
  if (object == nullptr || object->PayloadAs<SuperPayload>() == nullptr) return subject;
  superBase_ = object->proto.id != 0 ? Value::Object(object->proto) : Value();
  return superBase_;
}

Interpreter::Interpreter(Vm& vm, DisplayHost& display, ScriptLimits limits)
    : vm_(vm), machine_(std::make_shared<Machine>(vm, display, std::move(limits))) {}

Interpreter::~Interpreter() = default;

void Interpreter::RunBlock(const ActionBlock& block, ObjectRef clip, int swfVersion) {
  machine_->RunBlock(block, clip, swfVersion);
}

void Interpreter::BeginStep() { machine_->BeginStep(); }

}  // namespace swf::avm1
