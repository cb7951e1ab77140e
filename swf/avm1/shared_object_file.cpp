#include "swf/avm1/shared_object_file.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>

#include "swf/avm1/builtins/common.h"

namespace swf::avm1 {
namespace {

namespace marker {
constexpr std::uint8_t kNumber = 0x00;
constexpr std::uint8_t kBoolean = 0x01;
constexpr std::uint8_t kString = 0x02;
constexpr std::uint8_t kObject = 0x03;
constexpr std::uint8_t kNull = 0x05;
constexpr std::uint8_t kUndefined = 0x06;
constexpr std::uint8_t kReference = 0x07;
constexpr std::uint8_t kEcmaArray = 0x08;
constexpr std::uint8_t kObjectEnd = 0x09;
constexpr std::uint8_t kStrictArray = 0x0A;
constexpr std::uint8_t kDate = 0x0B;
constexpr std::uint8_t kLongString = 0x0C;
constexpr std::uint8_t kXml = 0x0F;
constexpr std::uint8_t kTypedObject = 0x10;
}  // namespace marker

constexpr std::uint8_t kSignature[] = {'T', 'C', 'S', 'O', 0x00, 0x04, 0x00, 0x00, 0x00, 0x00};
// Deeper nesting is written as null and refused when read, so neither
// direction can exhaust the native stack.
constexpr int kMaxDepth = 256;

class Writer {
 public:
  explicit Writer(Vm& vm) : vm_(vm) {}

  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v >> 8));
    U8(static_cast<std::uint8_t>(v));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v >> 16));
    U16(static_cast<std::uint16_t>(v));
  }
  void Double(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    U32(static_cast<std::uint32_t>(bits >> 32));
    U32(static_cast<std::uint32_t>(bits));
  }
  // Names are short strings; a longer one is cut at the 16-bit limit.
  void Name(std::string_view text) {
    const size_t size = std::min<size_t>(text.size(), 0xFFFF);
    U16(static_cast<std::uint16_t>(size));
    out_.insert(out_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
  }
  void Text(std::string_view text) {
    if (text.size() <= 0xFFFF) {
      U8(marker::kString);
      Name(text);
      return;
    }
    U8(marker::kLongString);
    U32(static_cast<std::uint32_t>(text.size()));
    out_.insert(out_.end(), text.begin(), text.end());
  }

  // Whether `value` can be kept at all (functions and clips cannot).
  bool Keepable(const Value& value) {
    if (!value.Is(ValueKind::kObject)) return !value.Is(ValueKind::kClip);
    const Object* object = vm_.Get(value.AsObject());
    return object != nullptr && !object->IsFunction() && object->cls != ObjectClass::kMovieClip &&
           object->cls != ObjectClass::kButton && object->cls != ObjectClass::kTextField;
  }

  void Members(ObjectRef ref, int depth) {
    for (const auto& [name, value] : EnumerableMembers(ref)) {
      if (!Keepable(value)) continue;
      Name(name);
      Write(value, depth + 1);
    }
  }

  // The data object's own members: each a name, a value and a byte of 0.
  void TopMembers(ObjectRef data) {
    for (const auto& [name, value] : EnumerableMembers(data)) {
      if (!Keepable(value)) continue;
      Name(name);
      Write(value, 0);
      U8(0);
    }
  }

  void Write(const Value& value, int depth) {
    switch (value.kind()) {
      case ValueKind::kNumber: U8(marker::kNumber); Double(value.AsNumber()); return;
      case ValueKind::kBoolean: U8(marker::kBoolean); U8(value.AsBoolean() ? 1 : 0); return;
      case ValueKind::kString: Text(vm_.ToStringValue(value)); return;
      case ValueKind::kNull: U8(marker::kNull); return;
      case ValueKind::kObject: WriteObject(value.AsObject(), depth); return;
      default: U8(marker::kUndefined); return;
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(out_); }

 private:
  std::vector<std::pair<std::string, Value>> EnumerableMembers(ObjectRef ref) {
    std::vector<std::pair<std::string, Value>> members;
    std::vector<std::string> names;
    if (Object* object = vm_.Get(ref)) {
      object->properties.ForEach([&](const std::string& name, Property& property) {
        if (!property.Has(property_flags::kDontEnum)) names.push_back(name);
      });
    }
    for (std::string& name : names) {
      Value value = vm_.GetMember(Value::Object(ref), name);
      members.emplace_back(std::move(name), std::move(value));
    }
    return members;
  }

  void WriteObject(ObjectRef ref, int depth) {
    const Object* object = vm_.Get(ref);
    if (object == nullptr || depth > kMaxDepth) {
      U8(marker::kNull);
      return;
    }
    if (object->cls == ObjectClass::kDate) {
      const auto* time = object->PayloadAs<PrimitivePayload>();
      U8(marker::kDate);
      Double(time != nullptr && time->value.Is(ValueKind::kNumber) ? time->value.AsNumber() : NAN);
      U16(0);
      return;
    }
    if (const auto seen = references_.find(ref.id); seen != references_.end()) {
      U8(marker::kReference);
      U16(seen->second);
      return;
    }
    if (references_.size() < 0xFFFF) references_.emplace(ref.id, static_cast<std::uint16_t>(references_.size()));
    if (object->cls == ObjectClass::kArray) {
      U8(marker::kEcmaArray);
      U32(static_cast<std::uint32_t>(builtins::LengthOf(vm_, Value::Object(ref))));
    } else {
      U8(marker::kObject);
    }
    Members(ref, depth);
    U16(0);
    U8(marker::kObjectEnd);
  }

  Vm& vm_;
  std::vector<std::uint8_t> out_;
  std::unordered_map<std::uint32_t, std::uint16_t> references_;
};

// What it has made stays rooted while it reads: setting a member can run a
// setter's script, and a collection then.
class Reader final : public RootSource {
 public:
  Reader(Vm& vm, std::span<const std::uint8_t> bytes) : vm_(vm), bytes_(bytes) { vm_.AddRoots(this); }
  ~Reader() override { vm_.RemoveRoots(this); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  void MarkRoots(Marker& marker) const override {
    for (const Value& object : objects_) marker.Mark(object);
  }

  bool AtEnd() const { return at_ >= bytes_.size(); }
  bool Has(size_t count) const { return bytes_.size() - at_ >= count; }
  std::optional<std::uint8_t> U8() {
    if (!Has(1)) return std::nullopt;
    return bytes_[at_++];
  }
  std::optional<std::uint32_t> Unsigned(size_t count) {
    if (!Has(count)) return std::nullopt;
    std::uint32_t v = 0;
    for (size_t i = 0; i < count; ++i) v = (v << 8) | bytes_[at_++];
    return v;
  }
  std::optional<double> Double() {
    const auto high = Unsigned(4);
    const auto low = Unsigned(4);
    if (!high || !low) return std::nullopt;
    return std::bit_cast<double>((static_cast<std::uint64_t>(*high) << 32) | *low);
  }
  std::optional<std::string> Bytes(size_t count) {
    if (!Has(count)) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(bytes_.data() + at_), count);
    at_ += count;
    return text;
  }
  std::optional<std::string> Name() {
    const auto size = Unsigned(2);
    return size ? Bytes(*size) : std::nullopt;
  }
  bool Skip(size_t count) {
    if (!Has(count)) return false;
    at_ += count;
    return true;
  }

  // Reads members up to the empty name and the end marker into `target`.
  bool Members(const Value& target, int depth) {
    for (;;) {
      auto name = Name();
      if (!name) return false;
      if (name->empty()) {
        const auto end = U8();
        return end && *end == marker::kObjectEnd;
      }
      auto value = Read(depth + 1);
      if (!value) return false;
      vm_.SetMember(target, *name, std::move(*value));
    }
  }

  std::optional<Value> Read(int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    const auto kind = U8();
    if (!kind) return std::nullopt;
    switch (*kind) {
      case marker::kNumber: {
        const auto v = Double();
        return v ? std::optional<Value>(Value::Number(*v)) : std::nullopt;
      }
      case marker::kBoolean: {
        const auto v = U8();
        return v ? std::optional<Value>(Value::Boolean(*v != 0)) : std::nullopt;
      }
      case marker::kString: {
        auto text = Name();
        return text ? std::optional<Value>(Value::String(std::move(*text))) : std::nullopt;
      }
      case marker::kLongString:
      case marker::kXml: {
        const auto size = Unsigned(4);
        auto text = size ? Bytes(*size) : std::nullopt;
        return text ? std::optional<Value>(Value::String(std::move(*text))) : std::nullopt;
      }
      case marker::kNull: return Value::Null();
      case marker::kUndefined: return Value();
      case marker::kReference: {
        const auto index = Unsigned(2);
        if (!index || *index >= objects_.size()) return std::nullopt;
        return objects_[*index];
      }
      case marker::kObject: return Container(vm_.NewObject(), depth);
      case marker::kTypedObject: {
        const auto alias = Name();
        if (!alias) return std::nullopt;
        const ObjectRef object = vm_.NewObject();
        // An alias this movie registered gives its class back.
        const Value constructor = vm_.RegisteredClass(*alias);
        if (constructor.Is(ValueKind::kObject)) {
          const Value prototype = vm_.GetMember(constructor, "prototype");
          if (prototype.Is(ValueKind::kObject)) vm_.Get(object)->proto = prototype.AsObject();
        }
        return Container(object, depth);
      }
      case marker::kEcmaArray: {
        if (!Skip(4)) return std::nullopt;  // the count is a hint; the members say it all
        return Container(vm_.NewArray({}), depth);
      }
      case marker::kStrictArray: {
        const auto count = Unsigned(4);
        if (!count || !Has(*count)) return std::nullopt;  // each element takes a byte at least
        const Value array = Value::Object(vm_.NewArray({}));
        objects_.push_back(array);
        for (std::uint32_t i = 0; i < *count; ++i) {
          auto element = Read(depth + 1);
          if (!element) return std::nullopt;
          vm_.SetMember(array, builtins::IndexName(i), std::move(*element));
        }
        return array;
      }
      case marker::kDate: {
        const auto time = Double();
        if (!time || !Skip(2)) return std::nullopt;
        const Value date = vm_.GetMember(Value::Object(vm_.Classes().global), "Date");
        const Value args[] = {Value::Number(*time)};
        Value made = vm_.Construct(date, args);
        objects_.push_back(made);
        return made;
      }
      default: return std::nullopt;
    }
  }

 private:
  std::optional<Value> Container(ObjectRef ref, int depth) {
    const Value container = Value::Object(ref);
    objects_.push_back(container);
    if (!Members(container, depth)) return std::nullopt;
    return container;
  }

  Vm& vm_;
  std::span<const std::uint8_t> bytes_;
  size_t at_ = 0;
  std::vector<Value> objects_;
};

}  // namespace

std::vector<std::uint8_t> EncodeSharedObjectFile(Vm& vm, ObjectRef data, std::string_view name) {
  Writer body(vm);
  for (std::uint8_t byte : kSignature) body.U8(byte);
  body.Name(name);
  body.U32(0);  // AMF0
  body.TopMembers(data);
  const std::vector<std::uint8_t> rest = body.Take();
  // The header: a version, then the length of all that follows.
  Writer file(vm);
  file.U16(0x00BF);
  file.U32(static_cast<std::uint32_t>(rest.size()));
  std::vector<std::uint8_t> out = file.Take();
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

bool DecodeSharedObjectFile(Vm& vm, std::span<const std::uint8_t> bytes, ObjectRef data) {
  Reader reader(vm, bytes);
  const auto version = reader.Unsigned(2);
  const auto length = reader.Unsigned(4);
  if (!version || *version != 0x00BF || !length || *length != bytes.size() - 6) return false;
  const auto signature = reader.Bytes(sizeof kSignature);
  if (!signature || std::memcmp(signature->data(), kSignature, sizeof kSignature) != 0) return false;
  if (!reader.Name()) return false;
  const auto encoding = reader.Unsigned(4);
  if (!encoding || *encoding != 0) return false;
  // Read everything before setting anything, so a damaged file sets nothing.
  std::vector<std::pair<std::string, Value>> members;
  while (!reader.AtEnd()) {
    auto name = reader.Name();
    if (!name) return false;
    auto value = reader.Read(0);
    if (!value || !reader.Skip(1)) return false;
    members.emplace_back(std::move(*name), std::move(*value));
  }
  for (auto& [name, value] : members) vm.SetMember(Value::Object(data), name, std::move(value));
  return true;
}

}  // namespace swf::avm1
