#pragma once

// Action records for frame scripts, written byte by byte.
#include <cstdint>
#include <string>
#include <vector>

#include "swf_builder.h"

namespace swftest::act {

Bytes Simple(uint8_t code);  // a record without payload
Bytes WithPayload(uint8_t code, const Bytes& payload);

inline Bytes Stop() { return Simple(0x07); }
inline Bytes Play() { return Simple(0x06); }
inline Bytes NextFrame() { return Simple(0x04); }
inline Bytes PrevFrame() { return Simple(0x05); }
Bytes GotoFrame(uint16_t frame);  // 0-based
Bytes GotoLabel(const std::string& label);
Bytes SetTarget(const std::string& path);
Bytes PushString(const std::string& text);
Bytes PushInteger(int32_t value);
Bytes PushConstant(uint8_t index);
Bytes ConstantPool(const std::vector<std::string>& strings);
Bytes GotoFrame2(bool play);
Bytes Jump(int16_t offset);
Bytes If(int16_t offset);

// DoAction tag around `records` (the end record is appended).
Bytes DoAction(const std::vector<Bytes>& records);
Bytes DoInitAction(uint16_t spriteId, const std::vector<Bytes>& records);

}  // namespace swftest::act
