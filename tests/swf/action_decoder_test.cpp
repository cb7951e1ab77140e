// The action decoder: every operand form, records reached from the middle of
// others, constant pools applied only when they run, and records cut off.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "action_builder.h"
#include "swf/parse/action_decoder.h"
#include "swf/parse/actions.h"
#include "swf/parse/movie.h"

namespace swf {
namespace {

using swftest::Bytes;
namespace act = swftest::act;

Bytes Str(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Cat(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes DoubleBytes(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Bytes out;
  for (int shift : {32, 40, 48, 56, 0, 8, 16, 24}) out.push_back(static_cast<uint8_t>(bits >> shift));
  return out;
}

struct OperandCase {
  const char* name;
  Bytes record;
  uint8_t code;
  Operands expected;
};

void PrintTo(const OperandCase& c, std::ostream* os) { *os << c.name; }

std::vector<OperandCase> OperandCases() {
  const Bytes pushPayload = Cat({{0}, Str("a"), {1, 0x00, 0x00, 0xC0, 0x3F}, {2}, {3}, {4, 3}, {5, 1}, {6},
                                 DoubleBytes(2.5), {7, 0xF9, 0xFF, 0xFF, 0xFF}, {8, 4}, {9, 0x2C, 0x01}});
  FunctionOperands function;
  function.name = "f";
  function.params = {{0, "a"}, {0, "b"}};
  function.bodyLength = 5;
  FunctionOperands function2;
  function2.version2 = true;
  function2.name = "g";
  function2.params = {{1, "p"}, {0, "q"}};
  function2.registerCount = 4;
  function2.flags = function_flag::kPreloadParent | function_flag::kPreloadArguments | function_flag::kPreloadThis |
                    function_flag::kPreloadGlobal;
  TryOperands namedCatch;
  namedCatch.hasCatch = true;
  namedCatch.hasFinally = true;
  namedCatch.trySize = 1;
  namedCatch.catchSize = 2;
  namedCatch.finallySize = 3;
  namedCatch.catchName = "e";
  TryOperands registerCatch;
  registerCatch.hasCatch = true;
  registerCatch.catchInRegister = true;
  registerCatch.trySize = 4;
  registerCatch.catchRegister = 3;
  return {
      {"Stop", act::Stop(), action::kStop, NoOperands{}},
      {"Call", act::WithPayload(action::kCall, {}), action::kCall, NoOperands{}},
      {"PushEveryType", act::WithPayload(action::kPush, pushPayload), action::kPush,
       PushOperands{{PushString{"a"}, PushFloat{1.5f}, PushNull{}, PushUndefined{}, PushRegister{3}, PushBool{true},
                     PushDouble{2.5}, PushInteger{-7}, PushConstant{4}, PushConstant{300}}}},
      {"JumpBack", act::Jump(-5), action::kJump, BranchOperands{-5, 0}},
      {"IfForward", act::If(2), action::kIf, BranchOperands{2, 7}},
      {"GotoFrame", act::GotoFrame(7), action::kGotoFrame, GotoFrameOperands{7}},
      {"GetUrl", act::WithPayload(action::kGetUrl, Cat({Str("u"), Str("t")})), action::kGetUrl,
       GetUrlOperands{"u", "t"}},
      {"GetUrl2", act::WithPayload(action::kGetUrl2, {0xC2}), action::kGetUrl2, GetUrl2Operands{2, true, true}},
      {"GetUrl2VariablesIntoLevel", act::WithPayload(action::kGetUrl2, {0x81}), action::kGetUrl2,
       GetUrl2Operands{1, false, true}},
      {"WaitForFrame", act::WithPayload(action::kWaitForFrame, {9, 0, 2}), action::kWaitForFrame,
       WaitForFrameOperands{9, 2}},
      {"WaitForFrame2", act::WithPayload(action::kWaitForFrame2, {4}), action::kWaitForFrame2,
       WaitForFrameOperands{0, 4}},
      {"SetTarget", act::SetTarget("clip"), action::kSetTarget, TextOperands{"clip"}},
      {"GotoLabel", act::GotoLabel("lbl"), action::kGotoLabel, TextOperands{"lbl"}},
      {"GotoFrame2PlayWithBias", act::WithPayload(action::kGotoFrame2, {0x03, 10, 0}), action::kGotoFrame2,
       GotoFrame2Operands{true, 10}},
      {"GotoFrame2Stop", act::WithPayload(action::kGotoFrame2, {0x00}), action::kGotoFrame2,
       GotoFrame2Operands{false, 0}},
      {"StoreRegister", act::WithPayload(action::kStoreRegister, {2}), action::kStoreRegister, RegisterOperands{2}},
      {"ConstantPool", act::ConstantPool({"x", "y"}), action::kConstantPool, ConstantPoolOperands{{"x", "y"}}},
      {"With", act::WithPayload(action::kWith, {12, 0}), action::kWith, WithOperands{12}},
      {"DefineFunction", act::WithPayload(action::kDefineFunction, Cat({Str("f"), {2, 0}, Str("a"), Str("b"), {5, 0}})),
       action::kDefineFunction, function},
      {"DefineFunction2",
       act::WithPayload(action::kDefineFunction2,
                        Cat({Str("g"), {2, 0, 4, 0x85, 0x01}, {1}, Str("p"), {0}, Str("q"), {0, 0}})),
       action::kDefineFunction2, function2},
      {"TryWithNamedCatch", act::WithPayload(action::kTry, Cat({{0x03, 1, 0, 2, 0, 3, 0}, Str("e")})), action::kTry,
       namedCatch},
      {"TryCatchInRegister", act::WithPayload(action::kTry, {0x05, 4, 0, 0, 0, 0, 0, 3}), action::kTry, registerCatch},
      {"UnknownCodeKeepsItsPayload", act::WithPayload(0xC0, {1, 2}), 0xC0, UnknownOperands{}},
  };
}

class OperandFormTest : public testing::TestWithParam<OperandCase> {};

TEST_P(OperandFormTest, DecodesCodeLengthAndOperands) {
  const OperandCase& c = GetParam();
  const Bytes block = Cat({c.record, {0}});
  const Operation op = DecodeAction(block, 0);
  EXPECT_EQ(op.code, c.code);
  EXPECT_EQ(op.offset, 0u);
  EXPECT_EQ(op.length, c.record.size());
  if (const auto* unknown = std::get_if<UnknownOperands>(&op.operands)) {
    EXPECT_EQ(Bytes(unknown->payload.begin(), unknown->payload.end()), Bytes(c.record.begin() + 3, c.record.end()));
  } else {
    EXPECT_TRUE(op.operands == c.expected) << "operands differ";
  }
  // The record after it is the block's end.
  EXPECT_TRUE(DecodeAction(block, op.Next()).IsEnd());
  EXPECT_EQ(DecodeAction(block, op.Next()).length, 1u);
}

INSTANTIATE_TEST_SUITE_P(Actions, OperandFormTest, testing::ValuesIn(OperandCases()),
                         [](const auto& c) { return std::string(c.param.name); });

struct BrokenCase {
  const char* name;
  Bytes block;
  size_t length;  // what the record claims
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class BrokenRecordTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenRecordTest, IsMalformedWithTheLengthItClaims) {
  const Operation op = DecodeAction(GetParam().block, 0);
  EXPECT_TRUE(op.IsMalformed());
  EXPECT_FALSE(op.IsEnd());
  EXPECT_EQ(op.length, GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, BrokenRecordTest,
    testing::Values(BrokenCase{"HeaderCutOff", {0x96, 0x05}, 2}, BrokenCase{"LengthPastTheBlock", {0x96, 5, 0, 0, 'a'}, 5},
                    BrokenCase{"GotoFrameShortPayload", {0x81, 1, 0, 7, 0}, 4},
                    BrokenCase{"PushStringWithoutZero", {0x96, 2, 0, 0, 'a', 0x07}, 5},
                    BrokenCase{"PushUnknownType", {0x96, 1, 0, 10}, 4},
                    BrokenCase{"PushDoubleCutOff", {0x96, 5, 0, 6, 1, 2, 3, 4}, 8},
                    BrokenCase{"ConstantPoolCountsMoreStrings", {0x88, 4, 0, 3, 0, 'x', 0}, 7},
                    BrokenCase{"FunctionParamsPastPayload", {0x9B, 4, 0, 0, 0xFF, 0xFF, 0}, 7},
                    BrokenCase{"TryWithoutCatchName", {0x8F, 7, 0, 0x01, 1, 0, 1, 0, 0, 0}, 10},
                    BrokenCase{"JumpWithoutOffset", {0x99, 1, 0, 4}, 4}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(ActionDecoderTest, OffsetAtOrPastTheEndIsTheEnd) {
  const Bytes block = act::Stop();
  for (size_t offset : {size_t{1}, size_t{2}, size_t{1000}}) {
    const Operation op = DecodeAction(block, offset);
    EXPECT_TRUE(op.IsEnd());
    EXPECT_EQ(op.length, 0u);
  }
  ActionCache cache(block);
  EXPECT_TRUE(cache.At(5).IsEnd());
  EXPECT_EQ(cache.DecodedCount(), 0u);
}

// Follows a block as a runtime would: jumps taken, If never, with the
// constant pool applied as each ConstantPool runs. Returns the offsets run
// and the strings pushed.
struct Walk {
  std::vector<size_t> offsets;
  std::vector<std::string> pushed;
};

Walk RunStraight(const ActionBlock& block, size_t maxSteps) {
  Walk walk;
  const std::vector<std::string>* pool = nullptr;
  size_t pc = 0;
  for (size_t step = 0; step < maxSteps; ++step) {
    const Operation& op = block.At(pc);
    if (op.IsEnd() || op.IsMalformed()) break;
    walk.offsets.push_back(pc);
    pc = op.Next();
    if (const auto* constants = std::get_if<ConstantPoolOperands>(&op.operands)) pool = &constants->constants;
    if (const auto* push = std::get_if<PushOperands>(&op.operands)) {
      for (const PushValue& value : push->values) {
        if (const auto* constant = std::get_if<PushConstant>(&value)) {
          walk.pushed.push_back(pool != nullptr && constant->index < pool->size() ? (*pool)[constant->index] : "?");
        }
      }
    }
    if (op.code == action::kJump) pc = static_cast<size_t>(std::get<BranchOperands>(op.operands).target);
  }
  return walk;
}

TEST(ActionDecoderTest, AJumpIntoTheMiddleOfARecordDecodesFromThere) {
  // 0: Jump +4 (to 9); 5: Push integer whose bytes 06 07 are Play, Stop;
  // 11: End inside the integer too.
  const Bytes code = Cat({act::Jump(4), act::WithPayload(action::kPush, {7, 0x06, 0x07, 0x00, 0x00})});
  ActionBlock block{code, 0};
  const Walk walk = RunStraight(block, 10);
  EXPECT_EQ(walk.offsets, (std::vector<size_t>{0, 9, 10}));
  EXPECT_EQ(block.At(9).code, action::kPlay);
  EXPECT_EQ(block.At(10).code, action::kStop);
  EXPECT_TRUE(block.At(11).IsEnd());
  // The record that was jumped over reads as a whole from its own start.
  const Operation& push = block.At(5);
  EXPECT_EQ(push.length, 8u);
  EXPECT_TRUE(push.operands == Operands(PushOperands{{PushInteger{0x0706}}}));
}

TEST(ActionDecoderTest, APoolRedefinedWithinABlockAppliesFromWhereItRuns) {
  // pool [a, b]; push #0; pool [c]; push #0; jump back to the first push,
  // which pushes #0 again, now under the second pool.
  const Bytes first = act::ConstantPool({"a", "b"});
  const Bytes push = act::PushConstant(0);
  const Bytes second = act::ConstantPool({"c"});
  const size_t pushAt = first.size();
  const size_t jumpAt = first.size() + push.size() + second.size() + push.size();
  const Bytes code =
      Cat({first, push, second, push, act::Jump(static_cast<int16_t>(pushAt - (jumpAt + 5))), {0}});
  ActionBlock block{code, 0};
  const Walk walk = RunStraight(block, 7);
  EXPECT_EQ(walk.pushed, (std::vector<std::string>{"a", "c", "c"}));
  // Each offset was decoded once, however often it ran.
  EXPECT_EQ(block.cache->DecodedCount(), 5u);
  EXPECT_EQ(&block.At(pushAt), &block.At(pushAt));
  // Copies of the block share what was decoded.
  const ActionBlock copy = block;
  EXPECT_EQ(&copy.At(pushAt), &block.At(pushAt));
}

TEST(ActionDecoderTest, DoActionBlocksOfAMovieDecodeThroughTheirFrames) {
  const Bytes file = swftest::Movie({act::DoAction({act::GotoLabel("x"), act::Stop()}), swftest::ShowFrame()});
  const ParsedMovie movie = ParseMovie(file);
  ASSERT_EQ(movie.root.frames.at(0).actions.size(), 1u);
  const ActionBlock& block = movie.root.frames[0].actions[0];
  const Operation& label = block.At(0);
  EXPECT_TRUE(label.operands == Operands(TextOperands{"x"}));
  EXPECT_EQ(block.At(label.Next()).code, action::kStop);
  EXPECT_TRUE(block.At(block.At(label.Next()).Next()).IsEnd());
}

}  // namespace
}  // namespace swf
