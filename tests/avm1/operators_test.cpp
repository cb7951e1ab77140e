// The operators against the trace output of the script corpus: each table
// names the folder its expected results come from.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "swf/avm1/conversions.h"
#include "swf/avm1/number_text.h"
#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

// Objects as the corpus scripts define them: a name for the call log, what
// valueOf gives (nothing: the object itself, as Object.prototype.valueOf
// does) and what toString gives.
struct FakeObject {
  std::string name;
  std::optional<Value> value_of;
  std::string to_string = "[object Object]";
  bool logs_calls = false;
};

class FakeHost : public ObjectHost {
 public:
  Value Add(FakeObject object) {
    objects_.push_back(std::move(object));
    return Value::Object(ObjectRef{static_cast<std::uint32_t>(objects_.size() - 1)});
  }
  Value ToPrimitive(ObjectRef ref, PrimitiveHint) override {
    const FakeObject& object = objects_.at(ref.id);
    if (object.logs_calls) calls.push_back(object.name + ".valueOf");
    return object.value_of ? *object.value_of : Value::Object(ref);
  }
  std::string ToString(ObjectRef ref) override {
    const FakeObject& object = objects_.at(ref.id);
    if (object.logs_calls) calls.push_back(object.name + ".toString");
    return object.to_string;
  }
  bool IsFunction(ObjectRef ref) const override { return objects_.at(ref.id).name == "function"; }

  std::vector<std::string> calls;

 private:
  std::vector<FakeObject> objects_;
};

// The value as trace prints it.
std::string Shown(const Value& value) {
  switch (value.kind()) {
    case ValueKind::kUndefined: return "undefined";
    case ValueKind::kNull: return "null";
    case ValueKind::kBoolean: return value.AsBoolean() ? "true" : "false";
    case ValueKind::kNumber: return NumberToString(value.AsNumber());
    case ValueKind::kString: return value.AsString();
    default: return "<object>";
  }
}

using Operator = Value (*)(const Value&, const Value&, const Context&);

struct Case {
  const char* corpus_line;  // the line of the test's output, for failures
  Operator op;
  Value left;
  Value right;
  const char* expected;
};

Value N(double n) { return Value::Number(n); }
Value S(const char* s) { return Value::String(s); }
Value B(bool b) { return Value::Boolean(b); }
const Value kUndefined;
const Value kNull = Value::Null();
const double kInfinity = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void ExpectCases(int swf_version, const std::vector<Case>& cases) {
  FakeHost host;
  const Context context{swf_version, host};
  for (const Case& c : cases) {
    EXPECT_EQ(Shown(c.op(c.left, c.right, context)), c.expected) << "SWF " << swf_version << ": " << c.corpus_line;
  }
}

TEST(Operators, Swf4) {
  ExpectCases(4, {
      // avm1-divide_swf4
      {"3 / 0", Divide, N(3), N(0), "#ERROR#"},
      {"0 / 0", Divide, N(0), N(0), "#ERROR#"},
      {"3 / NaN", Divide, N(3), N(kNaN), "NaN"},
      {"3 / -Infinity", Divide, N(3), N(-kInfinity), "0"},
      {"Infinity / Infinity", Divide, N(kInfinity), N(kInfinity), "NaN"},
      {"3 / undefined", Divide, N(3), kUndefined, "#ERROR#"},
      {"null / 3", Divide, kNull, N(3), "0"},
      {"3 / '12.34A'", Divide, N(3), S("12.34A"), "0.243111831442464"},
      {"'12.34' / 3", Divide, S("12.34"), N(3), "4.11333333333333"},
      {"3 / 'ABC'", Divide, N(3), S("ABC"), "#ERROR#"},
      {"3 / ''", Divide, N(3), S(""), "#ERROR#"},
      // avm1-add_swf4
      {"'ab' + 'cd'", Add, S("ab"), S("cd"), "0"},
      {"'300' + '150a'", Add, S("300"), S("150a"), "450"},
      {"'300' + '0x96'", Add, S("300"), S("0x96"), "300"},
      {"'300' + undefined", Add, S("300"), kUndefined, "300"},
      {"'300' + null", Add, S("300"), kNull, "300"},
      {"'300' + NaN", Add, S("300"), N(kNaN), "NaN"},
      // avm1-equals_swf4_alt (avm1-equals_swf4 and avm1-lessthan_swf4 are
      // read whole by corpus_tables_test.cpp)
      {"'100' == '100ABC'", Equals, S("100"), S("100ABC"), "1"},
      {"'010' == '8'", Equals, S("010"), S("8"), "0"},
      {"undefined == 0", Equals, kUndefined, N(0), "1"},
      {"n == n (NaN)", Equals, N(kNaN), N(kNaN), "0"},
  });
}

TEST(Operators, Swf5) {
  ExpectCases(5, {
      // avm1-equals_swf5 and avm1-lessthan_swf5 (the SWF 4 actions)
      {"'0x10' == '16'", Equals, S("0x10"), S("16"), "false"},
      {"'010' == '8'", Equals, S("010"), S("8"), "false"},
      {"null == 0", Equals, kNull, N(0), "true"},
      {"'Infinity' == Infinity", Equals, S("Infinity"), N(kInfinity), "false"},
      {"undefined < 1", Less, kUndefined, N(1), "true"},
      {"'100' < '101ABC'", Less, S("100"), S("101ABC"), "false"},
      {"n < NaN", Less, N(kNaN), N(kNaN), "false"},
  });
}

// Equals2, Less2, Greater and StrictEquals on primitives are checked
// against the corpus tables themselves (corpus_tables_test.cpp).
TEST(Operators, Swf7AndLater) {
  ExpectCases(7, {
      // from_gnash-actionscript.all-Number-v7
      {"'0' + -1", Add2, S("0"), N(-1), "0-1"},
      {"0 + \"string\"", Add2, N(0), S("string"), "0string"},
      {"'00' == 0", Equals2, S("00"), N(0), "true"},
      {"\"0Xff000000\" != 0xFF000000", Equals2, S("0Xff000000"), N(4278190080.0), "false"},
      {"2 / undefined", Divide, N(2), kUndefined, "NaN"},
      {"450 - undefined", Subtract, N(450), kUndefined, "NaN"},
      {"\"18\" < \"7\"", Less2, S("18"), S("7"), "true"},
      {"\"18\" < 7", Less2, S("18"), N(7), "false"},
      // avm1-bitand, avm1-bitor, avm1-bitxor
      {"\"-1.0\" & true", BitAnd, S("-1.0"), B(true), "1"},
      {"Infinity & true", BitAnd, N(kInfinity), B(true), "0"},
      {"\"0xFF1306\" | true", BitOr, S("0xFF1306"), B(true), "16716551"},
      {"-1.0 | true", BitOr, N(-1), B(true), "-1"},
      {"NaN | true", BitOr, N(kNaN), B(true), "1"},
      {"-1.0 ^ true", BitXor, N(-1), B(true), "-2"},
      {"\"str\" ^ true", BitXor, S("str"), B(true), "1"},
  });
  ExpectCases(8, {
      // avm1-biturshift_swf8
      {"3 >>> 1", BitURShift, N(3), N(1), "1"},
      {"3 >>> 32", BitURShift, N(3), N(32), "3"},
      {"4294967295 >>> 0", BitURShift, N(4294967295.0), N(0), "-1"},
      {"-3 >>> 1", BitURShift, N(-3), N(1), "2147483646"},
      {"-3 >>> 0", BitURShift, N(-3), N(0), "-3"},
      // avm1-add2
      {"true + 1", Add2, B(true), N(1), "2"},
      {"Infinity + -Infinity", Add2, N(kInfinity), N(-kInfinity), "NaN"},
      {"1 + abc", Add2, N(1), S("abc"), "1abc"},
      {"false + abc", Add2, B(false), S("abc"), "falseabc"},
      {"500 + 1", Add2, S("500"), N(1), "5001"},
      {"undefined + 1", Add2, kUndefined, N(1), "NaN"},
      {"abc + undefined", Add2, S("abc"), kUndefined, "abcundefined"},
      {"null + abc", Add2, kNull, S("abc"), "nullabc"},
      {"null + false", Add2, kNull, B(false), "NaN"},
      {"_level0 + true", Add2, Value::Clip({"_level0"}), B(true), "NaN"},
      {"abc + _level0", Add2, S("abc"), Value::Clip({"_level0"}), "abc_level0"},
  });
}

// The SWF 4 truth of a string is that of its number until SWF 7.
TEST(Operators, NotByVersion) {
  FakeHost host;
  struct NotCase {
    int swf_version;
    Value operand;
    const char* expected;
  };
  const NotCase cases[] = {
      // avm1-logical_ops_swf4
      {4, B(false), "1"},
      {4, N(-123), "0"},
      {4, N(kNaN), "1"},
      {4, S(""), "1"},
      {4, S("blah"), "1"},
      {4, S("true"), "1"},
      {4, S("123"), "0"},
      {4, S("0"), "1"},
      // avm1-swf4_actions_coercion_order (an object is true, unasked)
      {8, host.Add({"obj", std::nullopt, "", true}), "false"},
      {7, S("0"), "false"},
      {7, S(""), "true"},
      {6, S("0"), "true"},
  };
  for (const NotCase& c : cases) {
    const Context context{c.swf_version, host};
    EXPECT_EQ(Shown(Not(c.operand, context)), c.expected) << "SWF " << c.swf_version << " !" << Shown(c.operand);
  }
  EXPECT_TRUE(host.calls.empty());
}

// The order in which operands are converted shows in what their valueOf and
// toString trace (avm1-swf4_actions_coercion_order, avm1-add2, avm1-equals,
// avm1-lessthan).
TEST(Operators, ConvertOperandsInThePlayersOrder) {
  FakeHost host;
  const Value one = host.Add({"obj_1", Value::Number(1), "1", true});
  const Value two = host.Add({"obj_2", Value::String("2"), "2", true});
  const Value self = host.Add({"obj_3", std::nullopt, "[type Object]", true});
  const Context context{8, host};
  struct OrderCase {
    const char* name;
    Operator op;
    Value left;
    Value right;
    std::vector<std::string> calls;
    const char* expected;
  };
  const OrderCase cases[] = {
      {"Add", Add, one, two, {"obj_1.valueOf", "obj_2.valueOf"}, "3"},
      {"Subtract", Subtract, one, two, {"obj_2.valueOf", "obj_1.valueOf"}, "-1"},
      {"Multiply", Multiply, one, two, {"obj_1.valueOf", "obj_2.valueOf"}, "2"},
      {"Divide", Divide, one, two, {"obj_2.valueOf", "obj_1.valueOf"}, "0.5"},
      {"Equals", Equals, one, two, {"obj_2.valueOf", "obj_1.valueOf"}, "false"},
      {"Less", Less, one, two, {"obj_1.valueOf", "obj_2.valueOf"}, "true"},
      {"StringEquals", StringEquals, one, two, {"obj_2.toString", "obj_1.toString"}, "false"},
      {"StringLess", StringLess, one, two, {"obj_2.toString", "obj_1.toString"}, "true"},
      {"Add2", Add2, one, two, {"obj_2.valueOf", "obj_1.valueOf"}, "12"},
      {"Less2", Less2, one, two, {"obj_1.valueOf", "obj_2.valueOf"}, "true"},
      {"Equals2", Equals2, one, N(1), {"obj_1.valueOf"}, "true"},
      // valueOf gives an object: the operand is asked again (avm1-add2)
      {"Add2 numeric", Add2, one, self, {"obj_3.valueOf", "obj_1.valueOf", "obj_3.valueOf"}, "NaN"},
      {"Add2 string", Add2, two, self, {"obj_3.valueOf", "obj_2.valueOf", "obj_3.toString"}, "2[type Object]"},
  };
  for (const OrderCase& c : cases) {
    host.calls.clear();
    EXPECT_EQ(Shown(c.op(c.left, c.right, context)), c.expected) << c.name;
    EXPECT_EQ(host.calls, c.calls) << c.name;
  }
}

TEST(Operators, ObjectsCompareByIdentityAndByValueOf) {
  FakeHost host;
  const Context context{6, host};
  const Value plain = host.Add({"plain", std::nullopt});
  const Value other = host.Add({"other", std::nullopt});
  const Value bare = host.Add({"bare", Value()});  // no valueOf: undefined
  const Value boxed_true = host.Add({"boxed", Value::Boolean(true)});
  // avm1-equals2_swf6
  EXPECT_EQ(Shown(Equals2(plain, plain, context)), "true");
  EXPECT_EQ(Shown(Equals2(plain, other, context)), "false");
  EXPECT_EQ(Shown(Equals2(bare, kUndefined, context)), "true");
  EXPECT_EQ(Shown(Equals2(N(1), boxed_true, context)), "true");
  EXPECT_EQ(Shown(Equals2(Value::Clip({"_level0"}), kUndefined, context)), "false");
  // avm1-add2: an object without a primitive adds to NaN, joins as text.
  EXPECT_EQ(Shown(Add2(plain, N(1), context)), "NaN");
  EXPECT_EQ(Shown(Add2(plain, S("abc"), context)), "[object Object]abc");
}

// avm1-equals2_swf5 / _swf6 and avm1-lessthan2_swf*: two objects with
// primitives meet by value only before SWF 6; an object that has no
// primitive makes a comparison false before the other operand is asked.
TEST(Operators, ObjectOperandsByVersion) {
  FakeHost host;
  const Value one_a = host.Add({"a", N(1), "1", true});
  const Value one_b = host.Add({"b", N(1), "1", true});
  const Value plain = host.Add({"plain", std::nullopt, "[object Object]", true});
  struct ObjectCase {
    int version;
    Operator op;
    Value left, right;
    const char* expected;
    std::vector<std::string> calls;
  };
  const ObjectCase cases[] = {
      {5, Equals2, one_a, one_b, "true", {"a.valueOf", "b.valueOf"}},
      {6, Equals2, one_a, one_b, "false", {}},
      {5, Equals2, one_a, one_a, "true", {}},
      {7, Less2, plain, one_a, "false", {"plain.valueOf"}},
      {7, Less2, one_a, plain, "false", {"a.valueOf", "plain.valueOf"}},
      {7, Greater, plain, N(0), "false", {"plain.valueOf"}},
      {7, Less2, N(0), one_a, "true", {"a.valueOf"}},
  };
  for (const ObjectCase& c : cases) {
    host.calls.clear();
    const Context context{c.version, host};
    EXPECT_EQ(Shown(c.op(c.left, c.right, context)), c.expected) << c.version << " " << c.expected;
    EXPECT_EQ(host.calls, c.calls) << c.version << " " << c.expected;
  }
}

TEST(Conversions, ByVersion) {
  FakeHost host;
  const Value function = host.Add({"function", std::nullopt});
  const Context swf6{6, host};
  const Context swf7{7, host};
  // avm1-undefined_to_string_swf6 joins undefined as nothing; SWF 7 names it.
  EXPECT_EQ(ToString(kUndefined, swf6), "");
  EXPECT_EQ(ToString(kUndefined, swf7), "undefined");
  EXPECT_EQ(ToInt32(N(4294967296.0 + 5), swf7), 5);
  EXPECT_EQ(ToInt32(N(-2147483649.0), swf7), 2147483647);
  EXPECT_EQ(ToUint32(N(-1), swf7), 4294967295u);
  EXPECT_EQ(TypeOf(function, swf7), "function");
  EXPECT_EQ(TypeOf(kNull, swf7), "null");
  EXPECT_EQ(TypeOf(Value::Clip({"_level0"}), swf7), "movieclip");
}

}  // namespace
}  // namespace swf::avm1
