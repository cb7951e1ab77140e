#include "swf/avm1/builtins/data_loads.h"

#include <cctype>

#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {

bool IsRelativeUrl(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos) return true;
  // A drive letter or a scheme: letters before the colon, nothing else.
  for (size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(url[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return true;
  }
  return colon == 0;
}

void DataLoads::RunDue(Vm& vm, const FileReader& read, const VariablesArrived& variablesArrived) {
  std::vector<Request> due = std::move(pending_);
  pending_.clear();
  for (const Request& request : due) {
    std::optional<std::string> text;
    // The query string asks a server for something; a file is read without it.
    const std::string path = request.url.substr(0, request.url.find('?'));
    if (IsRelativeUrl(request.url) && !path.empty() && read) {
      if (const auto bytes = read(path)) text = std::string(bytes->begin(), bytes->end());
    }
    if (!request.variables) {
      DeliverData(vm, request.target, text);
    } else if (text) {
      DecodeVariables(vm, request.target, *text);
      if (variablesArrived) variablesArrived(request.target);
    }
  }
}

void DataLoads::MarkRoots(Marker& marker) const {
  for (const Request& request : pending_) marker.Mark(request.target);
}

void SetLoadFigure(Vm& vm, const Value& target, std::string_view name, Value value) {
  if (!target.Is(ValueKind::kObject)) return;
  if (Object* object = vm.Get(target.AsObject())) {
    Property& property = object->properties.Set(name, vm.IgnoreCase());
    property.value = std::move(value);
    property.flags = property_flags::kDontEnum | property_flags::kDontDelete;
  }
}

void DeliverData(Vm& vm, const Value& target, const std::optional<std::string>& text) {
  // An empty file arrives as no data at all.
  if (text && !text->empty()) {
    // A byte-order mark is not part of the text.
    std::string_view body = *text;
    const Value size = Value::Number(static_cast<double>(body.size()));
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    SetLoadFigure(vm, target, "_bytesLoaded", size);
    SetLoadFigure(vm, target, "_bytesTotal", size);
    const Value args[] = {Value::String(std::string(body))};
    vm.CallMethod(target, "onData", args);
  } else {
    vm.CallMethod(target, "onData", {});
  }
}

}  // namespace swf::avm1
