#include "swf/runtime/actions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "swf/avm1/number_text.h"
#include "swf/runtime/runtime.h"

namespace swf {
namespace {

// A value whose content is known because it was pushed as a constant.
struct Value {
  enum class Kind { kString, kNumber, kBool, kNull, kUndefined } kind = Kind::kUndefined;
  std::string text;
  double number = 0;
};

constexpr size_t kMaxStack = 4096;

bool SameName(const std::string& a, const std::string& b, bool ignoreCase) {
  if (!ignoreCase) return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A named child that can be a target: a clip, or a button (whose state
// clips a path may go on into).
ObjectHandle Child(const Stage& stage, const DisplayObject& parent, const std::string& name, bool ignoreCase) {
  for (const auto& [depth, handle] : parent.children) {
    const DisplayObject& object = *stage.Get(handle);
    if (object.kind != ObjectKind::kMovieClip && object.kind != ObjectKind::kButton) continue;
    if (!object.name.empty() && SameName(object.name, name, ignoreCase)) return handle;
  }
  return {};
}

std::vector<std::string> Split(const std::string& path, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(separator, start), path.size());
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::optional<size_t> FindLabel(const ClipTimeline& clip, const std::string& label, bool ignoreCase) {
  const auto& labels = clip.definition->labels;
  if (auto found = labels.find(label); found != labels.end()) return found->second;
  if (!ignoreCase) return std::nullopt;
  for (const auto& [name, frame] : labels) {
    if (SameName(name, label, true)) return frame;
  }
  return std::nullopt;
}

class Interpreter {
 public:
  Interpreter(Runtime& runtime, ObjectHandle clip, const ActionBlock& block, int swfVersion, ActionBudget& budget)
      : runtime_(runtime),
        stage_(runtime.Objects()),
        origin_(clip),
        target_(clip),
        block_(block),
        ignoreCase_(swfVersion < 7),
        budget_(budget) {}

  void Run() {
    size_t position = 0;
    size_t blockActions = ActionBudget::kMaxBlockActions;
    while (true) {
      // A block that loops stops here; the blocks after it still run.
      if (budget_.actions == 0 || blockActions == 0) return;
      --budget_.actions;
      --blockActions;
      for (const auto& [from, length] : skips_) {
        if (position == from) position += length;
      }
      const Operation& operation = block_.At(position);
      // A record cut off, or shorter than its operands, ends the block.
      if (operation.IsEnd() || operation.IsMalformed()) return;
      position = operation.Next();
      if (!Execute(operation, position)) return;
      // A goto may have removed the clip this block runs on, or its target.
      if (stage_.Get(origin_) == nullptr) return;
    }
  }

 private:
  // Runs one operation; `position` is the offset of the next record and may
  // be moved by branches. False ends the block.
  bool Execute(const Operation& operation, size_t& position) {
    switch (operation.code) {
      case action::kPlay:
        runtime_.PlayClip(target_, true);
        return true;
      case action::kStop:
        runtime_.PlayClip(target_, false);
        return true;
      case action::kNextFrame:
        if (const ClipTimeline* clip = Target()) {
          Goto(clip->currentFrame + 1);
          runtime_.PlayClip(target_, false);
        }
        return true;
      case action::kPrevFrame:
        if (const ClipTimeline* clip = Target()) {
          if (clip->currentFrame > 0) Goto(clip->currentFrame - 1);
          runtime_.PlayClip(target_, false);
        }
        return true;
      case action::kGotoFrame:
        Goto(Operands<GotoFrameOperands>(operation).frame);
        return true;
      case action::kGotoLabel: {
        const std::string& label = Operands<TextOperands>(operation).text;
        if (const ClipTimeline* clip = Target()) {
          if (auto frame = FindLabel(*clip, label, ignoreCase_)) Goto(*frame);
        }
        return true;
      }
      case action::kSetTarget:
        SetTarget(Operands<TextOperands>(operation).text);
        return true;
      case action::kSetTarget2: {
        const std::optional<Value> value = Pop();
        if (value && value->kind == Value::Kind::kString) {
          SetTarget(value->text);
        } else {
          target_ = {};  // a clip we cannot name: the following actions go nowhere
        }
        return true;
      }
      case action::kGotoFrame2:
        GotoFrame2(Operands<GotoFrame2Operands>(operation));
        return true;
      case action::kConstantPool:
        constants_ = &Operands<ConstantPoolOperands>(operation).constants;
        return true;
      case action::kPush:
        for (const PushValue& pushed : Operands<PushOperands>(operation).values) {
          if (stack_.size() >= kMaxStack) return false;
          stack_.push_back(Resolve(pushed));
        }
        return true;
      case action::kTrace:
        Trace(Pop());
        return true;
      case action::kPop:
      case action::kWaitForFrame2:
        Pop();
        return true;
      case action::kWaitForFrame:
        return true;  // a local movie has all its frames
      case action::kJump:
        return Branch(Operands<BranchOperands>(operation).target, position);
      case action::kIf: {
        const std::optional<bool> condition = Truth(Pop());
        if (!condition) return false;
        return *condition ? Branch(Operands<BranchOperands>(operation).target, position) : true;
      }
      case action::kDefineFunction:
      case action::kDefineFunction2:
        // The body follows the record and runs only when called.
        stack_.clear();
        return Skip(Operands<FunctionOperands>(operation).bodyLength, position);
      case action::kWith:
        // The body acts on an object we do not model.
        stack_.clear();
        return Skip(Operands<WithOperands>(operation).size, position);
      case action::kTry: {
        const TryOperands& tryBlock = Operands<TryOperands>(operation);
        // Without exceptions the try body runs and its catch body does not.
        if (tryBlock.hasCatch && tryBlock.catchSize > 0) {
          skips_.emplace_back(position + tryBlock.trySize, tryBlock.catchSize);
        }
        return true;
      }
      default:
        stack_.clear();
        return true;
    }
  }

  // The operands a code always decodes to when it is not malformed.
  template <typename T>
  static const T& Operands(const Operation& operation) {
    return std::get<T>(operation.operands);
  }

  // The target's timeline, if the target is a clip that is still there.
  const ClipTimeline* Target() const {
    const DisplayObject* object = stage_.Get(target_);
    return object != nullptr && object->timeline ? &*object->timeline : nullptr;
  }

  void Goto(size_t frame) {
    const ClipTimeline* clip = Target();
    if (clip == nullptr || clip->FrameCount() == 0) return;
    frame = std::min(frame, clip->FrameCount() - 1);
    const size_t current = clip->currentFrame;
    const size_t cost = frame >= current ? frame - current : frame + 1;
    if (budget_.gotos == 0 || cost > budget_.gotoFrames) {
      budget_.gotos = 0;  // once out of budget, no goto runs any more this time
      return;
    }
    --budget_.gotos;
    budget_.gotoFrames -= cost;
    runtime_.GotoClipFrame(target_, frame);
  }

  void GotoFrame2(const GotoFrame2Operands& operands) {
    const size_t bias = operands.sceneBias;
    const std::optional<Value> value = Pop();
    if (Target() == nullptr || !value) return;
    std::optional<size_t> frame;
    if (value->kind == Value::Kind::kNumber && std::isfinite(value->number) && value->number >= 1) {
      frame = static_cast<size_t>(std::min(value->number, 1e9)) - 1 + bias;
    } else if (value->kind == Value::Kind::kString) {
      frame = FrameFromString(value->text);
      if (frame) *frame += bias;
    }
    if (!frame) return;
    Goto(*frame);
    runtime_.PlayClip(target_, operands.play);
  }

  // A label, or a frame number given as text; paths ("clip:frame") are not
  // followed.
  std::optional<size_t> FrameFromString(const std::string& text) {
    if (text.find(':') != std::string::npos) return std::nullopt;
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      const unsigned long number = text.size() <= 9 ? std::stoul(text) : 0;
      if (number >= 1) return number - 1;
      return std::nullopt;
    }
    const ClipTimeline* clip = Target();
    return clip != nullptr ? FindLabel(*clip, text, ignoreCase_) : std::nullopt;
  }

  // Only constants are known here; a value the subset cannot follow prints
  // nothing rather than a guess.
  void Trace(const std::optional<Value>& value) {
    HostServices* host = runtime_.Context().Host();
    if (host == nullptr || !value) return;
    switch (value->kind) {
      case Value::Kind::kString:
        host->Trace(value->text);
        return;
      case Value::Kind::kBool:
        host->Trace(value->number != 0 ? "true" : "false");
        return;
      case Value::Kind::kNull:
        host->Trace("null");
        return;
      case Value::Kind::kUndefined:
        host->Trace("undefined");
        return;
      case Value::Kind::kNumber:
        host->Trace(avm1::NumberToString(value->number));
        return;
    }
  }

  void SetTarget(const std::string& path) { target_ = ResolveTarget(stage_, origin_, path, ignoreCase_); }

  bool Branch(int64_t destination, size_t& position) {
    if (destination < 0 || destination > static_cast<int64_t>(block_.code.size())) return false;
    position = static_cast<size_t>(destination);
    return true;
  }

  bool Skip(size_t length, size_t& position) {
    if (block_.code.size() - position < length) return false;
    position += length;
    return true;
  }

  std::optional<Value> Pop() {
    if (stack_.empty()) return std::nullopt;
    std::optional<Value> value = std::move(stack_.back());
    stack_.pop_back();
    return value;
  }

  // A pushed value as the stack holds it; a pool entry is the current
  // pool's, read now, since a branch may reach the push under either pool.
  std::optional<Value> Resolve(const PushValue& pushed) const {
    Value value;
    if (const auto* text = std::get_if<PushString>(&pushed)) {
      value.kind = Value::Kind::kString;
      value.text = text->text;
    } else if (const auto* single = std::get_if<PushFloat>(&pushed)) {
      value.kind = Value::Kind::kNumber;
      value.number = single->value;
    } else if (std::holds_alternative<PushNull>(pushed)) {
      value.kind = Value::Kind::kNull;
    } else if (std::holds_alternative<PushUndefined>(pushed)) {
      value.kind = Value::Kind::kUndefined;
    } else if (const auto* flag = std::get_if<PushBool>(&pushed)) {
      value.kind = Value::Kind::kBool;
      value.number = flag->value ? 1 : 0;
    } else if (const auto* number = std::get_if<PushDouble>(&pushed)) {
      value.kind = Value::Kind::kNumber;
      value.number = number->value;
    } else if (const auto* integer = std::get_if<PushInteger>(&pushed)) {
      value.kind = Value::Kind::kNumber;
      value.number = integer->value;
    } else if (const auto* constant = std::get_if<PushConstant>(&pushed)) {
      if (constants_ == nullptr || constant->index >= constants_->size()) return std::nullopt;
      value.kind = Value::Kind::kString;
      value.text = (*constants_)[constant->index];
    } else {
      return std::nullopt;  // registers are not modelled
    }
    return value;
  }

  static std::optional<bool> Truth(const std::optional<Value>& value) {
    if (!value) return std::nullopt;
    switch (value->kind) {
      case Value::Kind::kBool:
      case Value::Kind::kNumber:
        return value->number != 0 && !std::isnan(value->number);
      case Value::Kind::kNull:
      case Value::Kind::kUndefined:
        return false;
      case Value::Kind::kString:
        return std::nullopt;  // depends on the version's conversions
    }
    return std::nullopt;
  }

  Runtime& runtime_;
  const Stage& stage_;
  ObjectHandle origin_;
  // Where the timeline actions go; a handle that went stale (its clip
  // removed by a goto) sends them nowhere.
  ObjectHandle target_;
  const ActionBlock& block_;
  bool ignoreCase_;
  ActionBudget& budget_;
  std::vector<std::optional<Value>> stack_;
  // The current pool: the strings of a decoded ConstantPool, which stay
  // where they are while the block's cache lives.
  const std::vector<std::string>* constants_ = nullptr;
  std::vector<std::pair<size_t, size_t>> skips_;  // (offset, bytes) jumped over when reached
};

}  // namespace

ObjectHandle ResolveTarget(const Stage& stage, ObjectHandle origin, const std::string& path, bool ignoreCase) {
  if (stage.Get(origin) == nullptr) return {};
  if (path.empty()) return origin;
  ObjectHandle clip = origin;
  std::string rest = path;
  const bool slashes = path.find('/') != std::string::npos;
  if (slashes && rest.front() == '/') {
    clip = stage.Root();
    rest.erase(0, 1);
    if (rest.empty()) return clip;
  }
  for (const std::string& part : Split(rest, slashes ? '/' : '.')) {
    const DisplayObject* object = stage.Get(clip);
    if (object == nullptr || part.empty()) return {};
    if (part == ".." || SameName(part, "_parent", ignoreCase)) {
      clip = object->parent;
    } else if (SameName(part, "_root", ignoreCase) || SameName(part, "_level0", ignoreCase)) {
      clip = stage.Root();
    } else if (part == "." || SameName(part, "this", ignoreCase)) {
      continue;
    } else {
      clip = Child(stage, *object, part, ignoreCase);
    }
  }
  return stage.Get(clip) != nullptr ? clip : ObjectHandle{};
}

void RunActionBlock(Runtime& runtime, ObjectHandle clip, const ActionBlock& block, int swfVersion,
                    ActionBudget& budget) {
  Interpreter(runtime, clip, block, swfVersion, budget).Run();
}

}  // namespace swf
