#pragma once

// Decoding of action records (AVM1 bytecode) into operations.
//
// An action block is a run of records: one byte of code, and for codes of
// 0x80 and above a UI16 payload length and that many bytes. Branches, function
// bodies, With and Try bodies are counted in bytes, and obfuscated movies jump
// into the middle of records on purpose, so a block cannot be decoded once
// from its start: an operation is decoded where execution reaches it.
//
//   DecodeAction(code, offset)   decodes the record that starts at `offset` of
//                                the block, whatever came before it;
//   ActionCache                  keeps every decoded operation by its offset,
//                                so that each offset is decoded once;
//   ActionBlock::At(offset)      (actions.h) the same through the block's own
//                                cache, made on first use.
//
// What a runtime does with the result:
//   - Run from offset 0: op = block.At(pc); execute; pc = op.Next(), or the
//     branch's `target` for a Jump or a taken If.
//   - `op.code == action::kEnd` ends the block (a 0 byte, or pc at the end).
//   - `Malformed` operands: the record is cut off by the end of the block, or
//     its payload is shorter than its operands need; `length` still says how
//     far the record claims to reach (to the block's end when its header is
//     cut off). Whether that ends the block is the runtime's choice.
//   - Constant pools are not applied here: a Push of a pool entry keeps the
//     index (PushConstant), and ConstantPool carries its strings. The runtime
//     keeps "the current pool" while it runs, since a block may define a new
//     pool at any point and a branch may reach a Push under either pool.
//     The strings of a cached ConstantPool stay where they are for as long as
//     the cache lives, so the current pool can be held by pointer.
//   - Bodies follow their record: DefineFunction's body is the `bodyLength`
//     bytes from op.Next(), With's the `size` bytes from op.Next(), Try's
//     try, catch and finally bodies one after another from op.Next(). Sizes
//     are as stored and may reach past the block; the runtime checks them.
//   - Strings are the bytes as stored (code page before version 6, UTF-8
//     after), without their terminating 0.
//
// Decoding needs no movie version: version-dependent behaviour belongs to the
// runtime.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace swf {

// Action codes. Codes from 0x80 carry a payload.
namespace action {
inline constexpr uint8_t kEnd = 0x00;
inline constexpr uint8_t kNextFrame = 0x04;
inline constexpr uint8_t kPrevFrame = 0x05;
inline constexpr uint8_t kPlay = 0x06;
inline constexpr uint8_t kStop = 0x07;
inline constexpr uint8_t kToggleQuality = 0x08;
inline constexpr uint8_t kStopSounds = 0x09;
inline constexpr uint8_t kAdd = 0x0A;
inline constexpr uint8_t kSubtract = 0x0B;
inline constexpr uint8_t kMultiply = 0x0C;
inline constexpr uint8_t kDivide = 0x0D;
inline constexpr uint8_t kEquals = 0x0E;
inline constexpr uint8_t kLess = 0x0F;
inline constexpr uint8_t kAnd = 0x10;
inline constexpr uint8_t kOr = 0x11;
inline constexpr uint8_t kNot = 0x12;
inline constexpr uint8_t kStringEquals = 0x13;
inline constexpr uint8_t kStringLength = 0x14;
inline constexpr uint8_t kStringExtract = 0x15;
inline constexpr uint8_t kPop = 0x17;
inline constexpr uint8_t kToInteger = 0x18;
inline constexpr uint8_t kGetVariable = 0x1C;
inline constexpr uint8_t kSetVariable = 0x1D;
inline constexpr uint8_t kSetTarget2 = 0x20;
inline constexpr uint8_t kStringAdd = 0x21;
inline constexpr uint8_t kGetProperty = 0x22;
inline constexpr uint8_t kSetProperty = 0x23;
inline constexpr uint8_t kCloneSprite = 0x24;
inline constexpr uint8_t kRemoveSprite = 0x25;
inline constexpr uint8_t kTrace = 0x26;
inline constexpr uint8_t kStartDrag = 0x27;
inline constexpr uint8_t kEndDrag = 0x28;
inline constexpr uint8_t kStringLess = 0x29;
inline constexpr uint8_t kThrow = 0x2A;
inline constexpr uint8_t kCastOp = 0x2B;
inline constexpr uint8_t kImplementsOp = 0x2C;
inline constexpr uint8_t kRandomNumber = 0x30;
inline constexpr uint8_t kMBStringLength = 0x31;
inline constexpr uint8_t kCharToAscii = 0x32;
inline constexpr uint8_t kAsciiToChar = 0x33;
inline constexpr uint8_t kGetTime = 0x34;
inline constexpr uint8_t kMBStringExtract = 0x35;
inline constexpr uint8_t kMBCharToAscii = 0x36;
inline constexpr uint8_t kMBAsciiToChar = 0x37;
inline constexpr uint8_t kDelete = 0x3A;
inline constexpr uint8_t kDelete2 = 0x3B;
inline constexpr uint8_t kDefineLocal = 0x3C;
inline constexpr uint8_t kCallFunction = 0x3D;
inline constexpr uint8_t kReturn = 0x3E;
inline constexpr uint8_t kModulo = 0x3F;
inline constexpr uint8_t kNewObject = 0x40;
inline constexpr uint8_t kDefineLocal2 = 0x41;
inline constexpr uint8_t kInitArray = 0x42;
inline constexpr uint8_t kInitObject = 0x43;
inline constexpr uint8_t kTypeOf = 0x44;
inline constexpr uint8_t kTargetPath = 0x45;
inline constexpr uint8_t kEnumerate = 0x46;
inline constexpr uint8_t kAdd2 = 0x47;
inline constexpr uint8_t kLess2 = 0x48;
inline constexpr uint8_t kEquals2 = 0x49;
inline constexpr uint8_t kToNumber = 0x4A;
inline constexpr uint8_t kToString = 0x4B;
inline constexpr uint8_t kPushDuplicate = 0x4C;
inline constexpr uint8_t kStackSwap = 0x4D;
inline constexpr uint8_t kGetMember = 0x4E;
inline constexpr uint8_t kSetMember = 0x4F;
inline constexpr uint8_t kIncrement = 0x50;
inline constexpr uint8_t kDecrement = 0x51;
inline constexpr uint8_t kCallMethod = 0x52;
inline constexpr uint8_t kNewMethod = 0x53;
inline constexpr uint8_t kInstanceOf = 0x54;
inline constexpr uint8_t kEnumerate2 = 0x55;
inline constexpr uint8_t kBitAnd = 0x60;
inline constexpr uint8_t kBitOr = 0x61;
inline constexpr uint8_t kBitXor = 0x62;
inline constexpr uint8_t kBitLShift = 0x63;
inline constexpr uint8_t kBitRShift = 0x64;
inline constexpr uint8_t kBitURShift = 0x65;
inline constexpr uint8_t kStrictEquals = 0x66;
inline constexpr uint8_t kGreater = 0x67;
inline constexpr uint8_t kStringGreater = 0x68;
inline constexpr uint8_t kExtends = 0x69;
inline constexpr uint8_t kGotoFrame = 0x81;
inline constexpr uint8_t kGetUrl = 0x83;
inline constexpr uint8_t kStoreRegister = 0x87;
inline constexpr uint8_t kConstantPool = 0x88;
inline constexpr uint8_t kWaitForFrame = 0x8A;
inline constexpr uint8_t kSetTarget = 0x8B;
inline constexpr uint8_t kGotoLabel = 0x8C;
inline constexpr uint8_t kWaitForFrame2 = 0x8D;
inline constexpr uint8_t kDefineFunction2 = 0x8E;
inline constexpr uint8_t kTry = 0x8F;
inline constexpr uint8_t kWith = 0x94;
inline constexpr uint8_t kPush = 0x96;
inline constexpr uint8_t kJump = 0x99;
inline constexpr uint8_t kGetUrl2 = 0x9A;
inline constexpr uint8_t kDefineFunction = 0x9B;
inline constexpr uint8_t kIf = 0x9D;
inline constexpr uint8_t kCall = 0x9E;
inline constexpr uint8_t kGotoFrame2 = 0x9F;
}  // namespace action

// Values of a Push, one alternative per stored type (0 to 9).
struct PushString { std::string text; bool operator==(const PushString&) const = default; };
struct PushFloat { float value = 0; bool operator==(const PushFloat&) const = default; };
struct PushNull { bool operator==(const PushNull&) const = default; };
struct PushUndefined { bool operator==(const PushUndefined&) const = default; };
struct PushRegister { uint8_t number = 0; bool operator==(const PushRegister&) const = default; };
struct PushBool { bool value = false; bool operator==(const PushBool&) const = default; };
struct PushDouble { double value = 0; bool operator==(const PushDouble&) const = default; };
struct PushInteger { int32_t value = 0; bool operator==(const PushInteger&) const = default; };
// An entry of the constant pool that is current when the Push runs (types 8
// and 9 both land here).
struct PushConstant { uint16_t index = 0; bool operator==(const PushConstant&) const = default; };
using PushValue = std::variant<PushString, PushFloat, PushNull, PushUndefined, PushRegister, PushBool, PushDouble,
                               PushInteger, PushConstant>;

// Operands, by the codes that carry them.
struct NoOperands {  // codes below 0x80, End and Call
  bool operator==(const NoOperands&) const = default;
};
struct PushOperands {  // Push
  std::vector<PushValue> values;
  bool operator==(const PushOperands&) const = default;
};
struct BranchOperands {  // Jump, If
  int16_t offset = 0;  // from the end of the record
  int64_t target = 0;  // offset in the block it leads to; may lie outside the block
  bool operator==(const BranchOperands&) const = default;
};
struct GotoFrameOperands {  // GotoFrame
  uint16_t frame = 0;  // 0-based
  bool operator==(const GotoFrameOperands&) const = default;
};
struct TextOperands {  // GotoLabel, SetTarget
  std::string text;
  bool operator==(const TextOperands&) const = default;
};
struct GetUrlOperands {  // GetUrl
  std::string url;
  std::string target;
  bool operator==(const GetUrlOperands&) const = default;
};
struct GetUrl2Operands {  // GetUrl2
  uint8_t sendMethod = 0;  // 0 none, 1 GET, 2 POST
  bool loadTarget = false;     // the target is a clip
  bool loadVariables = false;
  bool operator==(const GetUrl2Operands&) const = default;
};
struct WaitForFrameOperands {  // WaitForFrame (frame used), WaitForFrame2 (frame popped)
  uint16_t frame = 0;
  uint8_t skipCount = 0;
  bool operator==(const WaitForFrameOperands&) const = default;
};
struct GotoFrame2Operands {  // GotoFrame2
  bool play = false;
  uint16_t sceneBias = 0;  // 0 without the flag
  bool operator==(const GotoFrame2Operands&) const = default;
};
struct RegisterOperands {  // StoreRegister
  uint8_t number = 0;
  bool operator==(const RegisterOperands&) const = default;
};
struct ConstantPoolOperands {  // ConstantPool
  std::vector<std::string> constants;
  bool operator==(const ConstantPoolOperands&) const = default;
};
struct WithOperands {  // With
  uint16_t size = 0;
  bool operator==(const WithOperands&) const = default;
};

// DefineFunction2 flag bits (DefineFunction has none of them set).
namespace function_flag {
inline constexpr uint16_t kPreloadThis = 0x0001;
inline constexpr uint16_t kSuppressThis = 0x0002;
inline constexpr uint16_t kPreloadArguments = 0x0004;
inline constexpr uint16_t kSuppressArguments = 0x0008;
inline constexpr uint16_t kPreloadSuper = 0x0010;
inline constexpr uint16_t kSuppressSuper = 0x0020;
inline constexpr uint16_t kPreloadRoot = 0x0040;
inline constexpr uint16_t kPreloadParent = 0x0080;
inline constexpr uint16_t kPreloadGlobal = 0x0100;
}  // namespace function_flag

struct FunctionParam {
  uint8_t registerNumber = 0;  // 0: an ordinary local variable (always 0 in DefineFunction)
  std::string name;
  bool operator==(const FunctionParam&) const = default;
};
struct FunctionOperands {  // DefineFunction, DefineFunction2
  bool version2 = false;
  std::string name;  // empty: anonymous, the function is pushed
  std::vector<FunctionParam> params;
  uint8_t registerCount = 0;  // DefineFunction2
  uint16_t flags = 0;         // function_flag bits
  uint16_t bodyLength = 0;    // bytes right after the record
  bool operator==(const FunctionOperands&) const = default;
};
struct TryOperands {  // Try
  bool hasCatch = false;
  bool hasFinally = false;
  bool catchInRegister = false;
  uint16_t trySize = 0;
  uint16_t catchSize = 0;
  uint16_t finallySize = 0;
  std::string catchName;      // when not in a register
  uint8_t catchRegister = 0;  // when in a register
  bool operator==(const TryOperands&) const = default;
};
struct UnknownOperands {  // a code from 0x80 that is not listed above
  std::span<const uint8_t> payload;
  bool operator==(const UnknownOperands& other) const {
    return std::equal(payload.begin(), payload.end(), other.payload.begin(), other.payload.end());
  }
};
struct Malformed {
  std::string reason;
  bool operator==(const Malformed&) const = default;
};

using Operands = std::variant<NoOperands, PushOperands, BranchOperands, GotoFrameOperands, TextOperands,
                              GetUrlOperands, GetUrl2Operands, WaitForFrameOperands, GotoFrame2Operands,
                              RegisterOperands, ConstantPoolOperands, WithOperands, FunctionOperands, TryOperands,
                              UnknownOperands, Malformed>;

struct Operation {
  uint8_t code = action::kEnd;
  size_t offset = 0;  // of the record in its block
  size_t length = 0;  // of the whole record: 1, or 3 + payload; 0 at the block's end
  Operands operands;

  size_t Next() const { return offset + length; }
  bool IsEnd() const { return code == action::kEnd; }
  bool IsMalformed() const { return std::holds_alternative<Malformed>(operands); }
};

// Decodes the record at `offset` of `code`. Never throws: an offset at or past
// the end gives End with length 0, a broken record gives Malformed operands.
Operation DecodeAction(std::span<const uint8_t> code, size_t offset);

// The operations of one block, each decoded the first time it is asked for.
// References stay valid as long as the cache. Not thread-safe: a movie's
// scripts run on one thread. Holds at most one entry per byte of the block.
class ActionCache {
 public:
  explicit ActionCache(std::span<const uint8_t> code) : code_(code) {}

  const Operation& At(size_t offset);
  size_t DecodedCount() const { return operations_.size(); }
  std::span<const uint8_t> Code() const { return code_; }

 private:
  std::span<const uint8_t> code_;
  std::unordered_map<size_t, Operation> operations_;
  // The decoded operation at each byte offset, for a lookup without
  // hashing (elements of the map stay where they are); made on first use.
  std::vector<const Operation*> byOffset_;
  Operation end_;  // shared by every offset at or past the end
};

}  // namespace swf
