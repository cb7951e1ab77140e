// The SWF 4 actions beyond arithmetic: strings by byte and by character,
// clip properties by number, the timeline by computed frame, tellTarget,
// dragging, duplicating, trace and URLs.
//
// Strings are UTF-8 inside the engine. The byte-wise actions of a SWF 4 or 5
// movie count bytes, as the player did for the code-page strings of those
// movies; the multibyte actions, and every string action from SWF 6 (whose
// strings are UTF-8 in the file), count characters.
#include <cmath>
#include <string>

#include "swf/avm1/interpreter_machine.h"
#include "swf/avm1/number_text.h"
#include "swf/avm1/utf16.h"

namespace swf::avm1 {
namespace {

// The `_x`-style names of GetProperty and SetProperty, by index.
constexpr std::string_view kPropertyNames[] = {
    "_x",       "_y",          "_xscale", "_yscale",       "_currentframe", "_totalframes", "_alpha",     "_visible",
    "_width",   "_height",     "_rotation", "_target",     "_framesloaded", "_name",        "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse",   "_ymouse"};

// Byte offsets of each character of UTF-8 `text`, and its length at the end.
std::vector<size_t> CharacterStarts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  starts.push_back(text.size());
  return starts;
}


std::uint32_t DecodeFirstUtf8(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra >= text.size()) extra = 0;
  std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
  for (size_t i = 1; i <= extra; ++i) code = (code << 6) | (byte(i) & 0x3F);
  return code;
}

}  // namespace

void Machine::StringLength(bool multibyte) {
  const std::string text = vm_.ToStringValue(Peek(0));
  Drop(1);
  const bool characters = multibyte || frame_->version >= 6;
  const size_t length = characters ? CharacterStarts(text).size() - 1 : text.size();
  Push(Value::Number(static_cast<double>(length)));
}

void Machine::StringExtract(bool multibyte) {
  const double count = vm_.ToNumber(Peek(0));
  const double index = vm_.ToNumber(Peek(1));
  const std::string text = vm_.ToStringValue(Peek(2));
  Drop(3);
  std::vector<size_t> starts;
  if (multibyte || frame_->version >= 6) {
    starts = CharacterStarts(text);
  } else {
    for (size_t i = 0; i <= text.size(); ++i) starts.push_back(i);
  }
  const size_t length = starts.size() - 1;
  // 1-based; before the start counts from the first, a negative count to the end.
  const double first = std::isnan(index) || index < 1 ? 0 : std::min(std::floor(index) - 1, double(length));
  const size_t from = static_cast<size_t>(first);
  const double wanted = std::isnan(count) ? 0 : count < 0 ? double(length) : std::floor(count);
  const size_t to = static_cast<size_t>(std::min(double(length), first + wanted));
  Push(Value::String(text.substr(starts[from], starts[std::max(from, to)] - starts[from])));
}

void Machine::CharToAscii(bool multibyte) {
  const std::string text = vm_.ToStringValue(Peek(0));
  Drop(1);
  if (text.empty()) {
    Push(Value::Number(0));
    return;
  }
  const bool characters = multibyte || frame_->version >= 6;
  const std::uint32_t code = characters ? DecodeFirstUtf8(text) : static_cast<unsigned char>(text[0]);
  Push(Value::Number(code));
}

void Machine::AsciiToChar(bool multibyte) {
  const double number = vm_.ToNumber(Peek(0));
  Drop(1);
  std::uint32_t code = static_cast<std::uint32_t>(DoubleToInt32(number));
  code = multibyte || frame_->version >= 6 ? code & 0xFFFF : code & 0xFF;
  std::string text;
  if (code != 0) AppendUtf8(text, code);
  Push(Value::String(std::move(text)));
}

void Machine::GetProperty() {
  // The index is truncated toward zero (-0.8 names _x).
  const double index = std::trunc(vm_.ToNumber(Peek(0)));
  const Value& targetValue = Peek(1);
  const bool here = targetValue.Is(ValueKind::kString) && targetValue.AsString().empty();
  const ObjectRef clip = here ? frame_->target : TargetOf(targetValue);
  Value result;
  if (index >= 0 && index < std::size(kPropertyNames) && clip.id != 0) {
    display_.GetDisplayMember(clip, kPropertyNames[static_cast<size_t>(index)], result);
  }
  Drop(2);
  Push(std::move(result));
}

void Machine::SetProperty() {
  const Value value = Peek(0);
  const double index = std::trunc(vm_.ToNumber(Peek(1)));
  const Value& targetValue = Peek(2);
  const bool here = targetValue.Is(ValueKind::kString) && targetValue.AsString().empty();
  const ObjectRef clip = here ? frame_->target : TargetOf(targetValue);
  if (index >= 0 && index < std::size(kPropertyNames) && clip.id != 0) {
    display_.SetDisplayMember(clip, kPropertyNames[static_cast<size_t>(index)], value);
  }
  Drop(3);
}

// The frame is a whole number (1-based, 32-bit arithmetic that wraps) or,
// as text, a whole number or a label, after "path:" for another clip; any
// other value goes by its text (a fraction names a label).
Machine::FrameName Machine::NameFrame(const Value& frameValue) {
  FrameName name;
  name.clip = TimelineTarget();
  const auto wrapped = [](double number) { return static_cast<std::uint32_t>(DoubleToInt32(number)); };
  if (frameValue.Is(ValueKind::kNumber)) {
    const double number = frameValue.AsNumber();
    if (name.clip.id == 0 || std::isnan(number)) {
      name.clip = ObjectRef{};
      return name;
    }
    if (number == std::floor(number)) {
      name.number = wrapped(number);
      return name;
    }
  }
  const std::string whole = vm_.ToStringValue(frameValue);
  std::string_view text = whole;
  if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    name.clip = display_.FindTarget(frame_->target.id != 0 ? frame_->target : frame_->origin, text.substr(0, colon));
    text = text.substr(colon + 1);
  }
  const double number = StringToNumber(text, frame_->version);
  if (std::isfinite(number) && number == std::floor(number)) {
    name.number = wrapped(number);
  } else {
    name.label = std::string(text);
  }
  return name;
}

void Machine::GotoFrame2(const GotoFrame2Operands& operands) {
  const FrameName name = NameFrame(Pop());
  if (name.clip.id == 0) return;
  if (name.number) {
    display_.GotoFrame(name.clip, static_cast<std::int32_t>(*name.number - 1u + operands.sceneBias), operands.play);
  } else {
    display_.GotoLabel(name.clip, name.label, operands.play);
  }
}

void Machine::Call() {
  const FrameName name = NameFrame(Pop());
  if (name.clip.id == 0) return;
  if (name.number) {
    display_.CallFrame(name.clip, static_cast<std::int32_t>(*name.number - 1u));
  } else {
    display_.CallLabel(name.clip, name.label);
  }
}

void Machine::SetTarget(std::string_view path) {
  if (path.empty()) {
    frame_->target = frame_->origin;
    frame_->targetLost = false;
    frame_->scope = frame_->baseScope;
    return;
  }
  const ObjectRef found = display_.FindTarget(frame_->origin, path);
  if (found.id != 0) {
    SetTargetTo(found);
  } else {
    LoseTarget();
  }
}

// A target that names no clip: names are then looked up on the root
// (corpus: tell_target), the properties of "" name nothing.
void Machine::LoseTarget() {
  frame_->target = {};
  frame_->targetLost = true;
  const ObjectRef root = display_.FindTarget(frame_->origin, "_root");
  frame_->scope = root.id == 0 ? frame_->baseScope
                               : std::make_shared<const Scope>(Scope{Scope::Kind::kTarget, root, frame_->baseScope});
}

void Machine::SetTargetTo(ObjectRef clip) {
  frame_->target = clip;
  frame_->targetLost = false;
  frame_->scope = clip.id == 0 ? frame_->baseScope
                               : std::make_shared<const Scope>(Scope{Scope::Kind::kTarget, clip, frame_->baseScope});
}

// Inside a tellTarget whose path named no clip, names still resolve against
// nothing, but play, stop, the gotos and call act on the movie's root.
ObjectRef Machine::TimelineTarget() {
  if (frame_->target.id != 0 || !frame_->targetLost) return frame_->target;
  return display_.FindTarget(frame_->origin, "_root");
}

void Machine::StartDrag() {
  const ObjectRef clip = TargetOf(Pop());
  const bool lockCenter = vm_.ToBoolean(Pop());
  const bool constrained = vm_.ToBoolean(Pop());
  std::optional<DragRectangle> bounds;
  if (constrained) {
    const double bottom = vm_.ToNumber(Pop());
    const double right = vm_.ToNumber(Pop());
    const double top = vm_.ToNumber(Pop());
    const double left = vm_.ToNumber(Pop());
    bounds = DragRectangle{left, top, right, bottom};
  }
  if (clip.id != 0) display_.StartDrag(clip, lockCenter, bounds);
}

void Machine::CloneSprite() {
  const double depth = vm_.ToNumber(Peek(0));
  const std::string name = vm_.ToStringValue(Peek(1));
  const ObjectRef source = TargetOf(Peek(2));
  Drop(3);
  // The depth as the record gives it: the script's depth plus 16384.
  if (source.id != 0) display_.CloneSprite(source, name, DoubleToInt32(depth));
}

void Machine::Trace() {
  const Value value = Peek(0);
  const std::string line = value.Is(ValueKind::kUndefined) ? "undefined" : vm_.ToStringValue(value);
  Drop(1);
  display_.Trace(line);
}

void Machine::GetUrl2(const GetUrl2Operands& operands) {
  const std::string target = vm_.ToStringValue(Peek(0));
  const std::string url = vm_.ToStringValue(Peek(1));
  Drop(2);
  display_.GetUrl(url, target, operands.sendMethod, operands.loadTarget, operands.loadVariables);
}

// A frame that names no whole frame counts as loaded, as does one before
// the first (1-based, 32-bit arithmetic that wraps).
bool Machine::WaitForFrame(const Value& frame) {
  if (frame_->target.id == 0) return true;
  const double number = vm_.ToNumber(frame);
  if (!std::isfinite(number) || number != std::floor(number)) return true;
  const auto index = static_cast<std::int32_t>(static_cast<std::uint32_t>(DoubleToInt32(number)) - 1u);
  return index < display_.FramesLoaded(frame_->target);
}

}  // namespace swf::avm1
