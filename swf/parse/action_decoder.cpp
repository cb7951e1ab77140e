#include "swf/parse/action_decoder.h"

#include <cstring>

#include "swf/parse/bit_reader.h"
#include "swf/parse/parse_error.h"

namespace swf {
namespace {

PushValue ReadPushValue(BitReader& reader) {
  const uint8_t type = reader.U8();
  switch (type) {
    case 0: return PushString{reader.String()};
    case 1: return PushFloat{reader.Float()};
    case 2: return PushNull{};
    case 3: return PushUndefined{};
    case 4: return PushRegister{reader.U8()};
    case 5: return PushBool{reader.U8() != 0};
    case 6: {
      // The high word comes first, each word little-endian.
      const uint64_t high = reader.U32();
      const uint64_t low = reader.U32();
      const uint64_t bits = (high << 32) | low;
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return PushDouble{value};
    }
    case 7: return PushInteger{reader.S32()};
    case 8: return PushConstant{reader.U8()};
    case 9: return PushConstant{reader.U16()};
    default: throw ParseError("unknown push type " + std::to_string(type));
  }
}

FunctionOperands ReadFunction(BitReader& reader) {
  FunctionOperands function;
  function.name = reader.String();
  const unsigned count = reader.U16();
  // Every parameter takes at least a byte, so reading stops at the payload's end.
  for (unsigned i = 0; i < count; ++i) function.params.push_back({0, reader.String()});
  function.bodyLength = reader.U16();
  return function;
}

FunctionOperands ReadFunction2(BitReader& reader) {
  FunctionOperands function;
  function.version2 = true;
  function.name = reader.String();
  const unsigned count = reader.U16();
  function.registerCount = reader.U8();
  const uint8_t first = reader.U8();
  const uint8_t second = reader.U8();
  function.flags = static_cast<uint16_t>(first | ((second & 0x01) << 8));
  for (unsigned i = 0; i < count; ++i) {
    FunctionParam param;
    param.registerNumber = reader.U8();
    param.name = reader.String();
    function.params.push_back(std::move(param));
  }
  function.bodyLength = reader.U16();
  return function;
}

TryOperands ReadTry(BitReader& reader) {
  TryOperands operands;
  const uint8_t flags = reader.U8();
  operands.catchInRegister = (flags & 0x04) != 0;
  operands.hasFinally = (flags & 0x02) != 0;
  operands.hasCatch = (flags & 0x01) != 0;
  operands.trySize = reader.U16();
  operands.catchSize = reader.U16();
  operands.finallySize = reader.U16();
  if (operands.catchInRegister) {
    operands.catchRegister = reader.U8();
  } else {
    operands.catchName = reader.String();
  }
  return operands;
}

Operands ReadOperands(uint8_t code, std::span<const uint8_t> payload, size_t next) {
  BitReader reader(payload);
  switch (code) {
    case action::kGotoFrame: return GotoFrameOperands{reader.U16()};
    case action::kGetUrl: {
      GetUrlOperands operands;
      operands.url = reader.String();
      operands.target = reader.String();
      return operands;
    }
    case action::kStoreRegister: return RegisterOperands{reader.U8()};
    case action::kConstantPool: {
      ConstantPoolOperands pool;
      const unsigned count = reader.U16();
      for (unsigned i = 0; i < count; ++i) pool.constants.push_back(reader.String());
      return pool;
    }
    case action::kWaitForFrame: {
      WaitForFrameOperands operands;
      operands.frame = reader.U16();
      operands.skipCount = reader.U8();
      return operands;
    }
    case action::kWaitForFrame2: return WaitForFrameOperands{0, reader.U8()};
    case action::kSetTarget:
    case action::kGotoLabel: return TextOperands{reader.String()};
    case action::kDefineFunction2: return ReadFunction2(reader);
    case action::kDefineFunction: return ReadFunction(reader);
    case action::kTry: return ReadTry(reader);
    case action::kWith: return WithOperands{reader.U16()};
    case action::kPush: {
      PushOperands push;
      while (!reader.AtEnd()) push.values.push_back(ReadPushValue(reader));
      return push;
    }
    case action::kJump:
    case action::kIf: {
      const int16_t offset = reader.S16();
      return BranchOperands{offset, static_cast<int64_t>(next) + offset};
    }
    case action::kGetUrl2: {
      // Movies set the flags from the top: 0x80 loads variables, 0x40 loads
      // into a clip, and the low two bits are the method.
      const uint8_t flags = reader.U8();
      return GetUrl2Operands{static_cast<uint8_t>(flags & 0x03), (flags & 0x40) != 0, (flags & 0x80) != 0};
    }
    case action::kGotoFrame2: {
      const uint8_t flags = reader.U8();
      GotoFrame2Operands operands;
      operands.play = (flags & 0x01) != 0;
      if ((flags & 0x02) != 0) operands.sceneBias = reader.U16();
      return operands;
    }
    case action::kCall: return NoOperands{};
    default: return UnknownOperands{payload};
  }
}

}  // namespace

Operation DecodeAction(std::span<const uint8_t> code, size_t offset) {
  Operation op;
  op.offset = offset;
  if (offset >= code.size()) return op;  // End, length 0
  op.code = code[offset];
  if (op.code < 0x80) {
    op.length = 1;
    return op;
  }
  const size_t left = code.size() - offset;
  if (left < 3) {
    op.length = left;
    op.operands = Malformed{"record header cut off by the end of the block"};
    return op;
  }
  const size_t payloadLength = code[offset + 1] | (code[offset + 2] << 8);
  if (payloadLength > left - 3) {
    op.length = left;
    op.operands = Malformed{"payload of " + std::to_string(payloadLength) + " bytes cut off by the end of the block"};
    return op;
  }
  op.length = 3 + payloadLength;
  try {
    op.operands = ReadOperands(op.code, code.subspan(offset + 3, payloadLength), op.Next());
  } catch (const ParseError& error) {
    op.operands = Malformed{error.what()};
  }
  return op;
}

const Operation& ActionCache::At(size_t offset) {
  if (offset >= code_.size()) {
    end_.offset = code_.size();
    return end_;
  }
  if (byOffset_.empty()) byOffset_.assign(code_.size(), nullptr);
  if (const Operation* known = byOffset_[offset]) return *known;
  auto found = operations_.find(offset);
  if (found == operations_.end()) found = operations_.emplace(offset, DecodeAction(code_, offset)).first;
  byOffset_[offset] = &found->second;
  return found->second;
}

}  // namespace swf
