// The runtime's side of loading: where loadVariables puts what it reads,
// and the moment loads complete (when the movie's clock moves on).
#include <cctype>
#include <string>

#include "swf/runtime/runtime.h"

namespace swf {
namespace {

constexpr std::string_view kLevel = "_level";

bool StartsWithLevel(std::string_view target) {
  if (target.size() < kLevel.size()) return false;
  for (size_t i = 0; i < kLevel.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(target[i])) != kLevel[i]) return false;
  }
  return true;
}

}  // namespace

void Runtime::LoadVariables(std::string_view url, std::string_view target) {
  avm1::ObjectRef clip;
  const avm1::ObjectRef root = bridge_.ScriptObject(Root());
  if (StartsWithLevel(target) && target.find_first_of("./") == std::string_view::npos) {
    // Only the movie's own level exists.
    if (target.substr(kLevel.size()) == "0") clip = root;
  } else {
    // A clip given as itself arrives as its dot path.
    clip = bridge_.Resolve(avm1::ClipReference{std::string(target)});
    if (clip.id == 0) clip = bridge_.FindTarget(root, target);
  }
  if (clip.id == 0) return;
  dataLoads_.Add({avm1::Value::Object(clip), std::string(url), true});
}

void Runtime::DeliverLoads() {
  dataLoads_.RunDue(
      vm_,
      [this](std::string_view url) -> std::optional<std::vector<uint8_t>> {
        if (context_.Host() == nullptr) return std::nullopt;
        return context_.Host()->LoadFile(url);
      },
      [this](const avm1::Value& target) {
        const ObjectHandle handle = bridge_.HandleOf(target.AsObject());
        const DisplayObject* object = stage_.Get(handle);
        if (object == nullptr) return;
        context_.Enqueue(
            QueuedActions{handle, nullptr, QueuedKind::kClipEvent, clip_event::kData, object->clipActions});
      });
}

}  // namespace swf
