#include "action_builder.h"

namespace swftest::act {
namespace {

Bytes StringBytes(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Concat(const std::vector<Bytes>& records) {
  Bytes all;
  for (const Bytes& record : records) all.insert(all.end(), record.begin(), record.end());
  all.push_back(0);
  return all;
}

}  // namespace

Bytes Simple(uint8_t code) { return {code}; }

Bytes WithPayload(uint8_t code, const Bytes& payload) {
  // Written through BitWriter: appending to a three-byte vector makes GCC 12
  // report a false -Warray-bounds once inlined.
  BitWriter w;
  w.U8(code);
  w.U16(static_cast<uint16_t>(payload.size()));
  w.Append(payload);
  return w.Take();
}

Bytes GotoFrame(uint16_t frame) {
  return WithPayload(0x81, {static_cast<uint8_t>(frame & 0xFF), static_cast<uint8_t>(frame >> 8)});
}
Bytes GotoLabel(const std::string& label) { return WithPayload(0x8C, StringBytes(label)); }
Bytes SetTarget(const std::string& path) { return WithPayload(0x8B, StringBytes(path)); }

Bytes PushString(const std::string& text) {
  Bytes payload{0};
  const Bytes s = StringBytes(text);
  payload.insert(payload.end(), s.begin(), s.end());
  return WithPayload(0x96, payload);
}

Bytes PushInteger(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return WithPayload(0x96, {7, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 24)});
}

Bytes PushConstant(uint8_t index) { return WithPayload(0x96, {8, index}); }

Bytes ConstantPool(const std::vector<std::string>& strings) {
  Bytes payload{static_cast<uint8_t>(strings.size()), 0};
  for (const std::string& s : strings) {
    const Bytes bytes = StringBytes(s);
    payload.insert(payload.end(), bytes.begin(), bytes.end());
  }
  return WithPayload(0x88, payload);
}

Bytes GotoFrame2(bool play) { return WithPayload(0x9F, {static_cast<uint8_t>(play ? 1 : 0)}); }

Bytes Jump(int16_t offset) {
  const auto v = static_cast<uint16_t>(offset);
  return WithPayload(0x99, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
}

Bytes If(int16_t offset) {
  const auto v = static_cast<uint16_t>(offset);
  return WithPayload(0x9D, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
}

Bytes DoAction(const std::vector<Bytes>& records) { return Tag(12, Concat(records)); }

Bytes DoInitAction(uint16_t spriteId, const std::vector<Bytes>& records) {
  Bytes body{static_cast<uint8_t>(spriteId & 0xFF), static_cast<uint8_t>(spriteId >> 8)};
  const Bytes code = Concat(records);
  body.insert(body.end(), code.begin(), code.end());
  return Tag(59, body);
}

}  // namespace swftest::act
