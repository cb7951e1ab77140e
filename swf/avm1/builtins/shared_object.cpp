// SharedObject: data a movie keeps on this computer between runs. Only
// local objects exist in a standalone player; getRemote answers null.
#include <cctype>
#include <string>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/builtins/shared_objects.h"
#include "swf/avm1/shared_object_file.h"

namespace swf::avm1 {
namespace {

// Which store an object is, and under what name it was asked for.
struct SharedObjectPayload : Payload {
  std::string store;
  std::string name;
};

const SharedObjectPayload* PayloadOf(Vm& vm, const Value& value) {
  if (!value.Is(ValueKind::kObject)) return nullptr;
  const Object* object = vm.Get(value.AsObject());
  return object != nullptr ? object->PayloadAs<SharedObjectPayload>() : nullptr;
}

// Characters a shared object's name may not hold, as the player refuses
// them; the back slash and the colon would also leave the host's folder.
bool IsRefused(char c) {
  static constexpr std::string_view kRefused = "~%&\\;:\"',<>?#";
  return kRefused.find(c) != std::string_view::npos || std::isspace(static_cast<unsigned char>(c)) ||
         static_cast<unsigned char>(c) < 0x20;
}

// Appends the '/'-separated names of `path` to `out`; false when one of
// them is refused or is "." or "..". Empty names (a leading or doubled
// slash) are passed over.
bool AppendSegments(std::string_view path, std::string& out) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (!segment.empty()) {
      if (segment == "." || segment == "..") return false;
      for (char c : segment) {
        if (IsRefused(c)) return false;
      }
      if (!out.empty()) out += '/';
      out += segment;
    }
    start = end + 1;
  }
  return true;
}

SharedObjects* Store(Vm& vm) { return vm.Host().sharedObjects; }

Value GetLocal(NativeCall& call) {
  SharedObjects* store = Store(call.vm);
  if (store == nullptr || call.args.empty()) return Value::Null();
  const std::string name = call.vm.ToStringValue(call.Arg(0));
  const std::string localPath = call.Arg(1).IsUndefinedOrNull() ? std::string() : call.vm.ToStringValue(call.Arg(1));
  const std::optional<std::string> storeName = SharedObjects::StoreName(name, localPath);
  if (!storeName) return Value::Null();
  const Value constructor = call.vm.GetMember(Value::Object(call.vm.Classes().global), "SharedObject");
  const Value prototype = call.vm.GetMember(constructor, "prototype");
  return store->Open(call.vm, *storeName, name,
                     prototype.Is(ValueKind::kObject) ? prototype.AsObject() : call.vm.Classes().objectPrototype);
}

Value Flush(NativeCall& call) {
  SharedObjects* store = Store(call.vm);
  if (store == nullptr || PayloadOf(call.vm, call.self) == nullptr) return {};
  return Value::Boolean(store->Flush(call.vm, call.self));
}

Value Clear(NativeCall& call) {
  if (SharedObjects* store = Store(call.vm); store != nullptr && PayloadOf(call.vm, call.self) != nullptr) {
    store->Clear(call.vm, call.self);
  }
  return {};
}

Value GetSize(NativeCall& call) {
  SharedObjects* store = Store(call.vm);
  if (store == nullptr || PayloadOf(call.vm, call.self) == nullptr) return {};
  return Value::Number(static_cast<double>(store->SizeOf(call.vm, call.self)));
}

Value Null(NativeCall&) { return Value::Null(); }
Value False(NativeCall&) { return Value::Boolean(false); }
Value Zero(NativeCall&) { return Value::Number(0); }
Value Nothing(NativeCall&) { return {}; }

}  // namespace

std::optional<std::string> SharedObjects::StoreName(std::string_view name, std::string_view localPath) {
  // The name may hold slashes, as folders of its own below the path.
  std::string store;
  std::string own;
  if (!AppendSegments(localPath, store) || !AppendSegments(name, own) || own.empty()) return std::nullopt;
  if (!store.empty()) store += '/';
  return store + own;
}

Value SharedObjects::Open(Vm& vm, const std::string& store, std::string_view name, ObjectRef prototype) {
  if (const auto found = open_.find(store); found != open_.end()) return found->second;
  const ObjectRef object = vm.NewObject(prototype);
  auto payload = std::make_unique<SharedObjectPayload>();
  payload->store = store;
  payload->name = std::string(name);
  Object* made = vm.Get(object);
  made->cls = ObjectClass::kOther;
  made->payload = std::move(payload);
  const Value shared = Value::Object(object);
  open_.emplace(store, shared);  // rooted before anything below can run script
  const ObjectRef data = vm.NewObject();
  vm.DefineValue(object, "data", Value::Object(data), property_flags::kDontDelete);
  if (read_) {
    if (const auto bytes = read_(store)) DecodeSharedObjectFile(vm, *bytes, data);
  }
  return shared;
}

bool SharedObjects::Flush(Vm& vm, const Value& sharedObject) {
  const SharedObjectPayload* payload = PayloadOf(vm, sharedObject);
  const Value data = vm.GetMember(sharedObject, "data");
  if (payload == nullptr || !data.Is(ValueKind::kObject)) return false;
  const std::string store = payload->store;  // the payload may go while getters run
  const std::vector<std::uint8_t> bytes = EncodeSharedObjectFile(vm, data.AsObject(), payload->name);
  if (bytes.size() > kMaxBytes || !write_) return false;
  return write_(store, bytes);
}

void SharedObjects::Clear(Vm& vm, const Value& sharedObject) {
  const SharedObjectPayload* payload = PayloadOf(vm, sharedObject);
  if (payload == nullptr) return;
  const std::string store = payload->store;
  const Value data = vm.GetMember(sharedObject, "data");
  if (data.Is(ValueKind::kObject)) {
    std::vector<std::string> names;
    if (Object* object = vm.Get(data.AsObject())) {
      object->properties.ForEach([&](const std::string& member, Property&) { names.push_back(member); });
    }
    for (const std::string& member : names) vm.DeleteMember(data, member);
  }
  if (write_) write_(store, {});
}

size_t SharedObjects::SizeOf(Vm& vm, const Value& sharedObject) {
  const SharedObjectPayload* payload = PayloadOf(vm, sharedObject);
  const Value data = vm.GetMember(sharedObject, "data");
  if (payload == nullptr || !data.Is(ValueKind::kObject)) return 0;
  return EncodeSharedObjectFile(vm, data.AsObject(), payload->name).size();
}

void SharedObjects::FlushAll(Vm& vm) {
  // Flushing can run getters, and they can open more objects.
  std::vector<Value> objects;
  for (const auto& [store, object] : open_) objects.push_back(object);
  for (const Value& object : objects) Flush(vm, object);
}

void SharedObjects::MarkRoots(Marker& marker) const {
  for (const auto& [store, object] : open_) marker.Mark(object);
}

void InstallSharedObject(Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  const NativeMember methods[] = {
      {"flush", Flush},   {"clear", Clear},     {"getSize", GetSize}, {"setFps", False},
      {"connect", False}, {"close", Nothing},   {"send", Nothing},
  };
  vm.DefineMembers(prototype, methods);
  const ObjectRef constructor = vm.NewClass(Nothing, Nothing, prototype);
  const NativeMember statics[] = {
      {"getLocal", GetLocal},
      {"getRemote", Null},
      {"deleteAll", Zero},
      {"getDiskUsage", Zero},
  };
  vm.DefineMembers(constructor, statics);
  vm.DefineValue(vm.Classes().global, "SharedObject", Value::Object(constructor));
}

}  // namespace swf::avm1
