// A display world of one root clip for the interpreter's tests: it keeps
// the root's timeline position and a few `_x`-style properties, records
// what the script asked of it (trace lines, gotos, URLs) and runs nothing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "swf/avm1/display_host.h"
#include "swf/avm1/vm.h"

namespace avm1test {

class FakeDisplay final : public swf::avm1::DisplayHost, private swf::avm1::RootSource {
 public:
  explicit FakeDisplay(swf::avm1::Vm& vm);
  ~FakeDisplay() override;

  swf::avm1::ObjectRef Root() const { return root_; }

  // What the script did.
  std::vector<std::string> traces;
  std::vector<std::string> urls;  // "url|target"
  // The root's timeline: the frame a goto asked for (0-based), whether it
  // plays, how many frames it has and their labels.
  std::optional<int> requestedFrame;
  int currentFrame = 0;
  int frameCount = 1;
  bool playing = true;
  std::map<std::string, int> labels;
  double timer = 0;

  swf::avm1::ObjectRef Resolve(const swf::avm1::ClipReference& clip) override;
  swf::avm1::ClipReference ReferenceTo(swf::avm1::ObjectRef clip) override;
  swf::avm1::ObjectRef FindTarget(swf::avm1::ObjectRef origin, std::string_view path) override;
  bool GetDisplayMember(swf::avm1::ObjectRef object, std::string_view name, swf::avm1::Value& out) override;
  bool SetDisplayMember(swf::avm1::ObjectRef object, std::string_view name, const swf::avm1::Value& value) override;
  std::vector<std::string> ChildNames(swf::avm1::ObjectRef) override { return {}; }
  void GotoFrame(swf::avm1::ObjectRef clip, std::int32_t frame, bool play) override;
  bool GotoLabel(swf::avm1::ObjectRef clip, std::string_view label, bool play) override;
  void SetPlaying(swf::avm1::ObjectRef clip, bool playing) override;
  void StepFrame(swf::avm1::ObjectRef clip, int delta) override;
  std::int32_t FramesLoaded(swf::avm1::ObjectRef clip) override;
  // A Call shows in the trace lines as "call N" (0-based) or "call label X".
  void CallFrame(swf::avm1::ObjectRef, std::int32_t frame) override { traces.push_back("call " + std::to_string(frame)); }
  void CallLabel(swf::avm1::ObjectRef, std::string_view label) override {
    traces.push_back("call label " + std::string(label));
  }
  void CloneSprite(swf::avm1::ObjectRef, std::string_view, std::int32_t) override {}
  void RemoveSprite(swf::avm1::ObjectRef) override {}
  void StartDrag(swf::avm1::ObjectRef, bool, std::optional<swf::avm1::DragRectangle>) override {}
  void StopDrag() override {}
  void GetUrl(std::string_view url, std::string_view target, int, bool, bool) override;
  void StopSounds() override {}
  void ToggleQuality() override {}
  void Trace(std::string_view line) override { traces.emplace_back(line); }
  double TimerMilliseconds() override { return timer; }

 private:
  void MarkRoots(swf::avm1::Marker& marker) const override { marker.Mark(root_); }
  bool IsRootPath(std::string_view path) const;

  swf::avm1::Vm& vm_;
  swf::avm1::ObjectRef root_;
  std::map<std::string, swf::avm1::Value> properties_;  // by folded name
};

}  // namespace avm1test
