#include "swf/avm1/heap.h"

#include <algorithm>

namespace swf::avm1 {
namespace {

class GrayMarker final : public Marker {
 public:
  explicit GrayMarker(Heap& heap, std::vector<bool>& marked) : heap_(heap), marked_(marked) {}

  void Mark(ObjectRef object) override {
    if (object.id == 0 || object.id > marked_.size() || marked_[object.id - 1]) return;
    if (heap_.Get(object) == nullptr) return;
    marked_[object.id - 1] = true;
    gray_.push_back(object);
  }
  using Marker::Mark;

  void Drain() {
    while (!gray_.empty()) {
      const ObjectRef ref = gray_.back();
      gray_.pop_back();
      const Object& object = *heap_.Get(ref);
      Mark(object.proto);
      object.properties.ForEach([this](const std::string&, const Property& property) {
        Mark(property.value);
        Mark(property.getter);
        Mark(property.setter);
      });
      for (const Watch& watch : object.watches) {
        Mark(watch.callback);
        Mark(watch.userData);
      }
      if (object.payload) object.payload->Trace(*this);
    }
  }

 private:
  Heap& heap_;
  std::vector<bool>& marked_;
  std::vector<ObjectRef> gray_;
};

}  // namespace

ObjectRef Heap::New(ObjectClass cls, ObjectRef proto) {
  if (live_ >= kMaxObjects) return {};
  auto object = std::make_unique<Object>();
  object->cls = cls;
  object->proto = proto;
  ++live_;
  ++allocatedSinceCollection_;
  if (!free_.empty()) {
    const std::uint32_t id = free_.back();
    free_.pop_back();
    slots_[id - 1] = std::move(object);
    return {id};
  }
  slots_.push_back(std::move(object));
  return {static_cast<std::uint32_t>(slots_.size())};
}

size_t Heap::Collect(const std::vector<const RootSource*>& roots) {
  std::vector<bool> marked(slots_.size(), false);
  GrayMarker marker(*this, marked);
  for (const RootSource* root : roots) {
    root->MarkRoots(marker);
    marker.Drain();
  }
  size_t freed = 0;
  // Payloads may own objects of their own (a script function's code); they
  // are destroyed after the sweep has decided, so no destructor sees a
  // half-swept heap.
  std::vector<std::unique_ptr<Object>> garbage;
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i] && !marked[i]) {
      garbage.push_back(std::move(slots_[i]));
      free_.push_back(static_cast<std::uint32_t>(i + 1));
      ++freed;
    }
  }
  live_ -= freed;
  garbage.clear();
  allocatedSinceCollection_ = 0;
  nextCollection_ = std::max(kMinCollectionInterval, live_);
  return freed;
}

}  // namespace swf::avm1
