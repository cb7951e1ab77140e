#include "swf/runtime/actions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/parse_error.h"
#include "swf/runtime/runtime.h"

namespace swf {
namespace {

namespace op {
constexpr uint8_t kNextFrame = 0x04;
constexpr uint8_t kPrevFrame = 0x05;
constexpr uint8_t kPlay = 0x06;
constexpr uint8_t kStop = 0x07;
constexpr uint8_t kPop = 0x17;
constexpr uint8_t kSetTarget2 = 0x20;
constexpr uint8_t kTrace = 0x26;
constexpr uint8_t kGotoFrame = 0x81;
constexpr uint8_t kWaitForFrame = 0x8A;
constexpr uint8_t kSetTarget = 0x8B;
constexpr uint8_t kGotoLabel = 0x8C;
constexpr uint8_t kWaitForFrame2 = 0x8D;
constexpr uint8_t kDefineFunction2 = 0x8E;
constexpr uint8_t kTry = 0x8F;
constexpr uint8_t kConstantPool = 0x88;
constexpr uint8_t kWith = 0x94;
constexpr uint8_t kPush = 0x96;
constexpr uint8_t kJump = 0x99;
constexpr uint8_t kDefineFunction = 0x9B;
constexpr uint8_t kIf = 0x9D;
constexpr uint8_t kGotoFrame2 = 0x9F;
}  // namespace op

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
        code_(block.code),
        ignoreCase_(swfVersion < 7),
        budget_(budget) {}

  void Run() {
    size_t position = 0;
    size_t blockActions = ActionBudget::kMaxBlockActions;
    while (position < code_.size()) {
      // A block that loops stops here; the blocks after it still run.
      if (budget_.actions == 0 || blockActions == 0) return;
      --budget_.actions;
      --blockActions;
      for (const auto& [from, length] : skips_) {
        if (position == from) position += length;
      }
      if (position >= code_.size()) return;
      const uint8_t code = code_[position++];
      if (code == 0) return;
      std::span<const uint8_t> payload;
      if (code >= 0x80) {
        if (code_.size() - position < 2) return;  // a record cut off ends the block
        const size_t length = code_[position] | (code_[position + 1] << 8);
        position += 2;
        if (code_.size() - position < length) return;
        payload = code_.subspan(position, length);
        position += length;
      }
      try {
        if (!Execute(code, payload, position)) return;
      } catch (const ParseError&) {
        return;  // a payload shorter than its action needs ends the block
      }
      // A goto may have removed the clip this block runs on, or its target.
      if (stage_.Get(origin_) == nullptr) return;
    }
  }

 private:
  // Runs one action; `position` is the offset of the next record and may be
  // moved by branches. False ends the block.
  bool Execute(uint8_t code, std::span<const uint8_t> payload, size_t& position) {
    BitReader reader(payload);
    switch (code) {
      case op::kPlay:
        runtime_.PlayClip(target_, true);
        return true;
      case op::kStop:
        runtime_.PlayClip(target_, false);
        return true;
      case op::kNextFrame:
        if (const ClipTimeline* clip = Target()) {
          Goto(clip->currentFrame + 1);
          runtime_.PlayClip(target_, false);
        }
        return true;
      case op::kPrevFrame:
        if (const ClipTimeline* clip = Target()) {
          if (clip->currentFrame > 0) Goto(clip->currentFrame - 1);
          runtime_.PlayClip(target_, false);
        }
        return true;
      case op::kGotoFrame: {
        const uint16_t frame = reader.U16();
        Goto(frame);
        return true;
      }
      case op::kGotoLabel: {
        const std::string label = reader.String();
        if (const ClipTimeline* clip = Target()) {
          if (auto frame = FindLabel(*clip, label, ignoreCase_)) Goto(*frame);
        }
        return true;
      }
      case op::kSetTarget:
        SetTarget(reader.String());
        return true;
      case op::kSetTarget2: {
        const std::optional<Value> value = Pop();
        if (value && value->kind == Value::Kind::kString) {
          SetTarget(value->text);
        } else {
          target_ = {};  // a clip we cannot name: the following actions go nowhere
        }
        return true;
      }
      case op::kGotoFrame2:
        GotoFrame2(reader);
        return true;
      case op::kConstantPool: {
        constants_.clear();
        const uint16_t count = reader.U16();
        for (uint16_t i = 0; i < count; ++i) constants_.push_back(reader.String());
        return true;
      }
      case op::kPush:
        while (!reader.AtEnd()) {
          if (stack_.size() >= kMaxStack) return false;
          stack_.push_back(ReadPushValue(reader));
        }
        return true;
      case op::kTrace:
        Trace(Pop());
        return true;
      case op::kPop:
      case op::kWaitForFrame2:
        Pop();
        return true;
      case op::kWaitForFrame:
        return true;  // a local movie has all its frames
      case op::kJump:
        return Branch(reader.S16(), position);
      case op::kIf: {
        const int16_t offset = reader.S16();
        const std::optional<bool> condition = Truth(Pop());
        if (!condition) return false;
        return *condition ? Branch(offset, position) : true;
      }
      case op::kDefineFunction:
      case op::kDefineFunction2:
        // The body follows the record and runs only when called.
        stack_.clear();
        return Skip(payload.size() >= 2 ? payload[payload.size() - 2] | (payload[payload.size() - 1] << 8) : 0,
                    position);
      case op::kWith:
        // The body acts on an object we do not model.
        stack_.clear();
        return Skip(reader.U16(), position);
      case op::kTry: {
        const uint8_t flags = reader.U8();
        const uint16_t trySize = reader.U16();
        const uint16_t catchSize = reader.U16();
        // Without exceptions the try body runs and its catch body does not.
        if ((flags & 0x01) != 0 && catchSize > 0) skips_.emplace_back(position + trySize, catchSize);
        return true;
      }
      default:
        stack_.clear();
        return true;
    }
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

  void GotoFrame2(BitReader& reader) {
    const uint8_t flags = reader.U8();
    const size_t bias = (flags & 0x02) != 0 ? reader.U16() : 0;
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
    runtime_.PlayClip(target_, (flags & 0x01) != 0);
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
        host->Trace(FormatNumber(value->number));
        return;
    }
  }

  // Whole numbers as integers, others with 15 significant digits.
  static std::string FormatNumber(double number) {
    if (std::isnan(number)) return "NaN";
    if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", number);
    return text;
  }

  void SetTarget(const std::string& path) { target_ = ResolveTarget(stage_, origin_, path, ignoreCase_); }

  bool Branch(int16_t offset, size_t& position) {
    const int64_t destination = static_cast<int64_t>(position) + offset;
    if (destination < 0 || destination > static_cast<int64_t>(code_.size())) return false;
    position = static_cast<size_t>(destination);
    return true;
  }

  bool Skip(size_t length, size_t& position) {
    if (code_.size() - position < length) return false;
    position += length;
    return true;
  }

  std::optional<Value> Pop() {
    if (stack_.empty()) return std::nullopt;
    std::optional<Value> value = std::move(stack_.back());
    stack_.pop_back();
    return value;
  }

  std::optional<Value> ReadPushValue(BitReader& reader) {
    const uint8_t type = reader.U8();
    Value value;
    switch (type) {
      case 0:
        value.kind = Value::Kind::kString;
        value.text = reader.String();
        return value;
      case 1:
        value.kind = Value::Kind::kNumber;
        value.number = reader.Float();
        return value;
      case 2:
        value.kind = Value::Kind::kNull;
        return value;
      case 3:
        value.kind = Value::Kind::kUndefined;
        return value;
      case 4:
        reader.U8();
        return std::nullopt;  // registers are not modelled
      case 5:
        value.kind = Value::Kind::kBool;
        value.number = reader.U8() != 0 ? 1 : 0;
        return value;
      case 6: {
        const uint64_t high = reader.U32();
        const uint64_t low = reader.U32();
        const uint64_t bits = (high << 32) | low;
        value.kind = Value::Kind::kNumber;
        std::memcpy(&value.number, &bits, sizeof value.number);
        return value;
      }
      case 7:
        value.kind = Value::Kind::kNumber;
        value.number = reader.S32();
        return value;
      case 8:
      case 9: {
        const size_t index = type == 8 ? reader.U8() : reader.U16();
        if (index >= constants_.size()) return std::nullopt;
        value.kind = Value::Kind::kString;
        value.text = constants_[index];
        return value;
      }
      default:
        throw ParseError("unknown push type " + std::to_string(type));
    }
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
  std::span<const uint8_t> code_;
  bool ignoreCase_;
  ActionBudget& budget_;
  std::vector<std::optional<Value>> stack_;
  std::vector<std::string> constants_;
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
