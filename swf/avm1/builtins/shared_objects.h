// The local shared objects a movie has opened (SharedObject.getLocal): one
// object per store name for the movie's whole run, read from the host when
// first asked for and written back on flush() and when the movie ends.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {

class SharedObjects final : public RootSource {
 public:
  using Reader = std::function<std::optional<std::vector<std::uint8_t>>(std::string_view store)>;
  using Writer = std::function<bool(std::string_view store, std::span<const std::uint8_t> bytes)>;

  // A store holds at most this much: a flush that would write more keeps
  // what was there and answers false.
  static constexpr size_t kMaxBytes = 100 * 1024;

  SharedObjects(Reader read, Writer write) : read_(std::move(read)), write_(std::move(write)) {}

  // The store name of getLocal(name, localPath), or nothing when the name
  // may not be used (the player answers null then).
  static std::optional<std::string> StoreName(std::string_view name, std::string_view localPath);

  // The object kept under `store`, made with `prototype` and read from the
  // host the first time.
  Value Open(Vm& vm, const std::string& store, std::string_view name, ObjectRef prototype);
  // Writes one object's data; false when it is too large or the host keeps
  // nothing.
  bool Flush(Vm& vm, const Value& sharedObject);
  // Empties the object's data and removes what the host kept.
  void Clear(Vm& vm, const Value& sharedObject);
  // The size its data would take when written.
  size_t SizeOf(Vm& vm, const Value& sharedObject);
  // Every open object written, as when the movie ends.
  void FlushAll(Vm& vm);

  void MarkRoots(Marker& marker) const override;

 private:
  Reader read_;
  Writer write_;
  std::map<std::string, Value> open_;
};

}  // namespace swf::avm1
