// Text that XML and LoadVars objects load: requests wait here until the
// clock next moves on (a load never completes inside the call that started
// it), then each target hears of its data through onData.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {

class DataLoads final : public RootSource {
 public:
  // Reads the file a relative URL names; nothing when it is missing.
  using FileReader = std::function<std::optional<std::vector<std::uint8_t>>(std::string_view url)>;

  struct Request {
    Value target;  // the XML or LoadVars object told
    std::string url;
    // loadVariables: the text is decoded into the target (a clip's
    // object), which then hears of it as its data event.
    bool variables = false;
  };
  using VariablesArrived = std::function<void(const Value& target)>;

  void Add(Request request) { pending_.push_back(std::move(request)); }
  size_t Count() const { return pending_.size(); }
  // Completes the requests made before this call, in the order made.
  void RunDue(Vm& vm, const FileReader& read, const VariablesArrived& variablesArrived = {});

  void MarkRoots(Marker& marker) const override;

 private:
  std::vector<Request> pending_;
};

// Whether a URL names a file beside the movie; one with a scheme
// ("http:", "file:") does not, and fails in a standalone player.
bool IsRelativeUrl(std::string_view url);

// _bytesLoaded or _bytesTotal: the player's own members, which scripts
// can neither list nor delete.
void SetLoadFigure(Vm& vm, const Value& target, std::string_view name, Value value);

// A finished load told to its target: _bytesLoaded and _bytesTotal, then
// onData(text), or onData() when nothing could be read.
void DeliverData(Vm& vm, const Value& target, const std::optional<std::string>& text);

}  // namespace swf::avm1
