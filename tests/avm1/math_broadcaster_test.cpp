// Math, Error, AsBroadcaster and System through the Vm, with the values the
// script corpus's outputs show (avm1-math_swf7, avm1-math_min_max,
// avm1-error, avm1-as_broadcaster_undef, the System tests).
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// valueOf of the test's operands: counts its calls in `calls`.
Value CountingValueOf(NativeCall& call) {
  const double calls = call.vm.ToNumber(call.vm.GetMember(call.self, "calls"));
  call.vm.SetMember(call.self, "calls", Value::Number(calls + 1));
  return call.vm.GetMember(call.self, "v");
}

// A listener's method: appends its arguments to the listener's `log`.
Value Recording(NativeCall& call) {
  std::string log = call.vm.ToStringValue(call.vm.GetMember(call.self, "log"));
  log += "(";
  for (const Value& arg : call.args) log += call.vm.ToStringValue(arg) + ";";
  call.vm.SetMember(call.self, "log", Value::String(log + ")"));
  return {};
}

class CoreObjectsTest : public ::testing::Test {
 protected:
  CoreObjectsTest() {
    BuiltinsHost host;
    host.version = "WIN 32,0,0,465";
    InstallBuiltins(vm_, host);
  }

  Value Global(const char* name) { return vm_.GetMember(Value::Object(vm_.Classes().global), name); }
  std::string Text(const Value& value) { return vm_.ToStringValue(value); }

  Value Counting(double v) {
    const Value object = Value::Object(vm_.NewObject());
    vm_.SetMember(object, "v", Value::Number(v));
    vm_.SetMember(object, "calls", Value::Number(0));
    vm_.SetMember(object, "valueOf", Value::Object(vm_.NewFunction(CountingValueOf)));
    return object;
  }

  Vm vm_;
};

TEST_F(CoreObjectsTest, MathFunctionsAsTheCorpusShowsThem) {
  struct MathCase {
    const char* name;
    std::vector<Value> args;
    const char* expected;
  };
  const Value one = Value::Number(1);
  const Value two = Value::Number(2);
  const MathCase cases[] = {
      {"abs", {}, "NaN"},
      {"abs", {Value::Number(-1)}, "1"},
      {"sin", {Value::Boolean(true)}, "0.841470984807897"},
      {"round", {Value::Number(-12.5)}, "-12"},
      {"round", {Value::Number(12.5)}, "13"},
      {"round", {Value::Number(-23.7)}, "-24"},
      {"ceil", {Value::Number(-12.5)}, "-12"},
      {"log", {Value::Boolean(false)}, "-Infinity"},
      {"atan", {Value::Number(-kInf)}, "-1.5707963267949"},
      {"atan2", {two}, "NaN"},
      {"pow", {Value::Boolean(true)}, "1"},  // 1 to the missing (NaN) power
      {"pow", {Value::Number(3), two}, "9"},
      {"min", {}, "Infinity"},
      {"max", {}, "-Infinity"},
      {"min", {one}, "NaN"},
      {"min", {Value::String("10"), Value::String("2")}, "2"},
      {"min", {Value::Number(3), two, one}, "2"},  // two arguments only
      {"max", {one, Value::Number(kNaN)}, "NaN"},
      {"max", {Value::Number(3), two, Value::Number(7)}, "3"},
  };
  const Value math = Global("Math");
  for (const MathCase& c : cases) {
    EXPECT_EQ(Text(vm_.CallMethod(math, c.name, c.args)), c.expected) << c.name;
  }
  EXPECT_EQ(Text(vm_.GetMember(math, "PI")), "3.14159265358979");
  EXPECT_EQ(Text(vm_.GetMember(math, "SQRT1_2")), "0.707106781186548");
}

TEST_F(CoreObjectsTest, MathReadsTheFirstTwoArgumentsWhateverItUses) {
  const Value math = Global("Math");
  for (const char* name : {"abs", "random", "min", "pow"}) {
    const std::vector<Value> args = {Counting(3), Counting(2), Counting(1)};
    vm_.CallMethod(math, name, args);
    EXPECT_EQ(Text(vm_.GetMember(args[0], "calls")), "1") << name;
    EXPECT_EQ(Text(vm_.GetMember(args[1], "calls")), "1") << name;
    EXPECT_EQ(Text(vm_.GetMember(args[2], "calls")), "0") << name;
  }
  const double random = vm_.ToNumber(vm_.CallMethod(math, "random", {}));
  EXPECT_TRUE(random >= 0 && random < 1);
}

TEST_F(CoreObjectsTest, ErrorKeepsItsMessageAsGiven) {
  const Value error = Global("Error");
  const Value plain = vm_.Construct(error, {});
  EXPECT_EQ(Text(vm_.CallMethod(plain, "toString", {})), "Error");
  EXPECT_EQ(Text(vm_.GetMember(plain, "name")), "Error");
  EXPECT_EQ(Text(vm_.CallMethod(plain, "hasOwnProperty", std::vector<Value>{Value::String("message")})), "false");
  const Value withNull = vm_.Construct(error, std::vector<Value>{Value::Null()});
  EXPECT_EQ(Text(vm_.CallMethod(withNull, "toString", {})), "null");
  const Value withUndefined = vm_.Construct(error, std::vector<Value>{Value()});
  EXPECT_EQ(Text(vm_.GetMember(withUndefined, "message")), "Error");
  const Value message = Value::Object(vm_.NewObject());
  const Value withObject = vm_.Construct(error, std::vector<Value>{message});
  EXPECT_TRUE(vm_.CallMethod(withObject, "toString", {}).Is(ValueKind::kObject));
  const std::vector<Value> text = {Value::String("text")};
  EXPECT_TRUE(vm_.Call(error, Value::Object(vm_.NewObject()), text).Is(ValueKind::kUndefined));
  const Value subclassed =
      Value::Object(vm_.NewObject(vm_.NewObject(vm_.GetMember(error, "prototype").AsObject())));
  vm_.Call(error, subclassed, text);  // super("text")
  EXPECT_EQ(Text(vm_.CallMethod(subclassed, "toString", {})), "text");
}

TEST_F(CoreObjectsTest, BroadcasterComparesListenersLoosely) {
  const Value broadcaster = Value::Object(vm_.NewObject());
  vm_.CallMethod(Global("AsBroadcaster"), "initialize", std::vector<Value>{broadcaster});
  const Value listeners = vm_.GetMember(broadcaster, "_listeners");
  auto add = [&](const Value& v) { return Text(vm_.CallMethod(broadcaster, "addListener", std::vector<Value>{v})); };
  auto remove = [&](const Value& v) {
    return Text(vm_.CallMethod(broadcaster, "removeListener", std::vector<Value>{v}));
  };
  EXPECT_EQ(add(Value()), "true");
  EXPECT_EQ(add(Value::Null()), "true");  // replaces the equal undefined
  EXPECT_EQ(Text(listeners), "null");
  EXPECT_EQ(add(Value::Boolean(false)), "true");
  EXPECT_EQ(Text(listeners), "null,false");
  EXPECT_EQ(remove(Value::Boolean(false)), "true");
  EXPECT_EQ(remove(Value::Boolean(false)), "false");
  EXPECT_EQ(remove(Value()), "true");
  EXPECT_EQ(Text(vm_.GetMember(listeners, "length")), "0");

  const Value listener = Value::Object(vm_.NewObject());
  vm_.SetMember(listener, "log", Value::String(""));
  vm_.SetMember(listener, "onX", Value::Object(vm_.NewFunction(Recording)));
  add(listener);
  const std::vector<Value> message = {Value::String("onX"), Value::String("A"), Value::Number(2)};
  EXPECT_EQ(Text(vm_.CallMethod(broadcaster, "broadcastMessage", message)), "true");
  EXPECT_EQ(Text(vm_.CallMethod(broadcaster, "broadcastMessage", {})), "undefined");
  EXPECT_EQ(Text(vm_.GetMember(listener, "log")), "(A;2;)");
}

TEST_F(CoreObjectsTest, ListenerObjectsShareTheBroadcastersMethods) {
  const Value addListener = vm_.GetMember(Global("AsBroadcaster"), "addListener");
  for (const char* name : {"Key", "Mouse", "Stage", "Selection"}) {
    EXPECT_EQ(vm_.GetMember(Global(name), "addListener").AsObject(), addListener.AsObject()) << name;
    EXPECT_EQ(Text(vm_.GetMember(vm_.GetMember(Global(name), "_listeners"), "length")), "0") << name;
  }
  const Value ime = vm_.GetMember(Global("System"), "IME");
  EXPECT_EQ(vm_.GetMember(ime, "addListener").AsObject(), addListener.AsObject());
  EXPECT_EQ(Text(vm_.GetMember(Global("Key"), "PGDN")), "34");
}

TEST_F(CoreObjectsTest, SystemDescribesAWindowsDesktopPlayer) {
  const Value system = Global("System");
  const Value capabilities = vm_.GetMember(system, "capabilities");
  EXPECT_EQ(Text(vm_.GetMember(capabilities, "version")), "WIN 32,0,0,465");
  EXPECT_EQ(Text(vm_.Call(Global("getVersion"), Value(), {})), "WIN 32,0,0,465");
  EXPECT_EQ(Text(vm_.GetMember(capabilities, "screenResolutionX")), "1536");
  EXPECT_EQ(Text(vm_.GetMember(capabilities, "screenResolutionY")), "864");
  EXPECT_TRUE(vm_.GetMember(capabilities, "pixelAspectRatio").Is(ValueKind::kNumber));
  EXPECT_TRUE(vm_.GetMember(capabilities, "hasIME").Is(ValueKind::kBoolean));
  const Value security = vm_.GetMember(system, "security");
  EXPECT_EQ(Text(vm_.GetMember(security, "sandboxType")), "localWithFile");
  EXPECT_EQ(Text(vm_.CallMethod(security, "allowDomain", {})), "false");
  EXPECT_EQ(Text(vm_.CallMethod(security, "allowDomain", std::vector<Value>{Value()})), "true");
  EXPECT_TRUE(vm_.GetMember(system, "exactSettings").Is(ValueKind::kBoolean));
  vm_.SetSwfVersion(5);
  EXPECT_TRUE(vm_.GetMember(system, "exactSettings").Is(ValueKind::kUndefined));
}

}  // namespace
}  // namespace swf::avm1
