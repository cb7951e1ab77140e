#include "fake_display.h"

#include "swf/avm1/property_map.h"

namespace avm1test {

using swf::avm1::ClipReference;
using swf::avm1::ObjectRef;
using swf::avm1::Value;

FakeDisplay::FakeDisplay(swf::avm1::Vm& vm) : vm_(vm) {
  root_ = vm.GetHeap().New(swf::avm1::ObjectClass::kMovieClip, vm.Classes().movieClipPrototype);
  vm.AddRoots(this);
  vm.SetDisplayHost(this);
  for (const char* name : {"_x", "_y", "_rotation", "_width", "_height"}) properties_[name] = Value::Number(0);
  for (const char* name : {"_xscale", "_yscale", "_alpha"}) properties_[name] = Value::Number(100);
  properties_["_visible"] = Value::Boolean(true);
  properties_["_name"] = Value::String("");
  properties_["_target"] = Value::String("/");
  properties_["_url"] = Value::String("file:///test.swf");
  properties_["_quality"] = Value::String("HIGH");
}

FakeDisplay::~FakeDisplay() {
  vm_.RemoveRoots(this);
  vm_.SetDisplayHost(nullptr);
}

bool FakeDisplay::IsRootPath(std::string_view path) const {
  const std::string folded = swf::avm1::FoldCase(path);
  return folded.empty() || folded == "/" || folded == "_root" || folded == "_level0" || folded == "this" ||
         folded == "_root." || folded == "/_level0";
}

ObjectRef FakeDisplay::Resolve(const ClipReference& clip) {
  return clip.target_path == "_level0" ? root_ : ObjectRef{};
}

ClipReference FakeDisplay::ReferenceTo(ObjectRef clip) {
  return clip == root_ ? ClipReference{"_level0"} : ClipReference{};
}

ObjectRef FakeDisplay::FindTarget(ObjectRef origin, std::string_view path) {
  if (origin != root_) return {};
  return IsRootPath(path) ? root_ : ObjectRef{};
}

bool FakeDisplay::GetDisplayMember(ObjectRef object, std::string_view name, Value& out) {
  if (object != root_) return false;
  const std::string folded = swf::avm1::FoldCase(name);
  if (folded == "_currentframe") {
    out = Value::Number(currentFrame + 1);
  } else if (folded == "_totalframes" || folded == "_framesloaded") {
    out = Value::Number(frameCount);
  } else if (folded == "_root" || folded == "_level0") {
    out = Value::Clip(ClipReference{"_level0"});
  } else if (auto found = properties_.find(folded); found != properties_.end()) {
    out = found->second;
  } else {
    return false;
  }
  return true;
}

bool FakeDisplay::SetDisplayMember(ObjectRef object, std::string_view name, const Value& value) {
  if (object != root_) return false;
  const auto found = properties_.find(swf::avm1::FoldCase(name));
  if (found == properties_.end() || found->first == "_target") return false;
  found->second = value;
  return true;
}

void FakeDisplay::GotoFrame(ObjectRef clip, std::int32_t frame, bool play) {
  if (clip != root_) return;
  requestedFrame = std::max(0, std::min(frame, frameCount - 1));
  playing = play;
}

bool FakeDisplay::GotoLabel(ObjectRef clip, std::string_view label, bool play) {
  const auto found = labels.find(std::string(label));
  if (clip != root_ || found == labels.end()) return false;
  GotoFrame(clip, found->second, play);
  return true;
}

void FakeDisplay::SetPlaying(ObjectRef clip, bool play) {
  if (clip == root_) playing = play;
}

void FakeDisplay::StepFrame(ObjectRef clip, int delta) { GotoFrame(clip, currentFrame + delta, false); }

std::int32_t FakeDisplay::FramesLoaded(ObjectRef clip) { return clip == root_ ? frameCount : 0; }

void FakeDisplay::GetUrl(std::string_view url, std::string_view target, int, bool, bool) {
  urls.push_back(std::string(url) + "|" + std::string(target));
}

}  // namespace avm1test
