// The built-in families called from native code, against what the player
// prints for the same calls in the script corpus (the expected texts are
// taken from its outputs).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

Value N(double n) { return Value::Number(n); }
Value S(const char* s) { return Value::String(s); }
const Value U;
const Value Null = Value::Null();

class Builtins : public ::testing::Test {
 protected:
  explicit Builtins(int version = 7) {
    vm.SetSwfVersion(version);
    InstallBuiltins(vm, BuiltinsHost{});
  }

  Value Global(const char* name) { return vm.GetMember(Value::Object(vm.Classes().global), name); }
  Value Array(std::vector<Value> elements) { return Value::Object(vm.NewArray(elements)); }
  std::string Text(const Value& value) { return vm.ToStringValue(value); }
  std::string Call(const Value& self, const char* method, std::vector<Value> args = {}) {
    return Text(vm.CallMethod(self, method, args));
  }
  std::string CallGlobal(const char* name, std::vector<Value> args) {
    return Text(vm.Call(Global(name), U, args));
  }
  // The own enumerable names, newest first, as for..in lists them.
  std::string Keys(const Value& object) {
    std::vector<std::string> names;
    vm.Get(object.AsObject())->properties.ForEach([&](const std::string& name, const Property& property) {
      if (!property.Has(property_flags::kDontEnum)) names.insert(names.begin(), name);
    });
    std::string text;
    for (const std::string& name : names) text += name + ",";
    return text;
  }

  Vm vm;
};

struct StringCase {
  int version;
  const char* text;
  const char* method;
  std::vector<Value> args;
  const char* expected;
};

TEST_F(Builtins, NativesByNumber) {
  struct Case {
    double family, index;
    std::vector<Value> args;
    const char* result;  // nullptr: ASnative gives no function
  };
  const Case cases[] = {
      {200, 0, {N(-3)}, "3"},       // Math.abs
      {200, 17, {N(2), N(10)}, "1024"},  // Math.pow
      {200, 50, {N(1)}, "NaN"},     // a Math number without a function
      {101, 5, {S("x")}, "false"},  // hasOwnProperty
      {103, 999, {}, nullptr},
      {7777, 0, {}, nullptr},
      {2, 0, {}, "false"},          // not under `new`
  };
  for (const Case& c : cases) {
    const Value native = vm.Call(Global("ASnative"), U, std::vector<Value>{N(c.family), N(c.index)});
    if (c.result == nullptr) {
      EXPECT_TRUE(native.Is(ValueKind::kUndefined)) << c.family << "," << c.index;
      continue;
    }
    EXPECT_EQ(Text(vm.Call(native, Value::Object(vm.NewObject()), c.args)), c.result) << c.family << "," << c.index;
  }
}

TEST_F(Builtins, SetNativeListsNamesWithTheirVersions) {
  const Value target = Value::Object(vm.NewObject());
  // The empty name still takes its number; "7min": from SWF 7 on.
  vm.Call(Global("ASSetNative"), U, std::vector<Value>{target, N(200), S("absolute,7min,,9pow,2x"), N(0)});
  EXPECT_EQ(Call(target, "absolute", {N(-2)}), "2");
  EXPECT_EQ(Call(target, "min", {N(4), N(3)}), "3");
  EXPECT_TRUE(vm.GetMember(target, "pow").Is(ValueKind::kUndefined)) << "hidden from SWF 7 code";
  // A digit that is no version stays in the name; the fifth name takes 4 (cos).
  EXPECT_EQ(Call(target, "2x", {N(0)}), "1");
  // Accessors take two numbers a name: getter, then setter.
  const Value accessors = Value::Object(vm.NewObject());
  vm.Call(Global("ASSetNativeAccessor"), U, std::vector<Value>{accessors, N(200), S("a,b"), N(0)});
  EXPECT_EQ(Keys(accessors), "b,a,");
  EXPECT_EQ(Text(vm.GetMember(accessors, "a")), "NaN");  // abs()
}

TEST_F(Builtins, StringMethodsByVersion) {
  const std::vector<StringCase> cases = {
      {5, "foo+foo", "charAt", {N(4294967297)}, "o"},
      {5, "foo+foo", "charAt", {N(-100)}, ""},
      {5, "foo+foo", "charCodeAt", {N(9)}, "0"},
      {7, "foo+foo", "charCodeAt", {N(9)}, "NaN"},
      {5, "foo+foo", "charCodeAt", {N(-1)}, "NaN"},
      {5, "foo+foo", "charCodeAt", {N(NAN)}, "102"},
      {7, "\xF0\x9F\x98\x8B", "charCodeAt", {N(1)}, "56843"},
      {7, "\xF0\x9F\x98\x8B", "charAt", {N(0)}, "\xEF\xBF\xBD"},
      {5, "foo", "concat", {Null, S("foo"), U, N(0), Value::Boolean(true)}, "foonullfoo0true"},
      {7, "foo", "concat", {Null, S("foo"), U, N(0)}, "foonullfooundefined0"},
      {5, "aaatestFOOtestaaanull", "indexOf", {S("a"), N(13)}, "14"},
      {5, "aaatestFOOtestaaanull", "indexOf", {S("test"), N(4294967300)}, "10"},
      {5, "aaatestFOOtestaaanull", "indexOf", {S(""), N(100)}, "-1"},
      {7, "aaatestFOOtestaaanull", "indexOf", {}, "undefined"},
      {5, "aaatestFOOtestaaanull", "indexOf", {U}, "0"},
      {7, "hello undefined hi", "indexOf", {U}, "6"},
      {5, "aaatestFOOtestaaanull", "lastIndexOf", {S("a"), N(13)}, "2"},
      {5, "aaatestFOOtestaaanull", "lastIndexOf", {S("test"), Null}, "-1"},
      {5, "aaatestFOOtestaaanull", "lastIndexOf", {S("test"), U}, "10"},
      {7, "aaatestFOOtestaaanull", "lastIndexOf", {S("test"), N(4294967300)}, "3"},
      {5, "Hello1234", "slice", {N(-3), N(-1)}, "23"},
      {7, "Hello1234", "slice", {}, "undefined"},
      {5, "Hello1234", "slice", {Null, Null}, ""},
      {5, "Hello1234", "slice", {U, U}, "Hello1234"},
      {5, "HELLOhello", "substr", {N(-5)}, "hello"},
      {5, "HELLOhello", "substr", {N(4294967296), N(-4294967294)}, "HE"},
      {7, "hello world", "substr", {N(3), N(-4)}, "lo worl"},
      {7, "hello world", "substr", {N(3), N(-3)}, ""},
      {7, "abcd", "substr", {N(-3), N(-3)}, "b"},
      {7, "abcd", "substr", {N(-5), N(-1)}, "abc"},
      {7, "abcd", "substr", {N(2), N(-2)}, ""},
      {5, "HELLO1hello", "substring", {N(6), N(3)}, "LO1"},
      {5, "HELLO1hello", "substring", {N(3), Null}, "HEL"},
      {5, "HELLO1hello", "substring", {N(-5)}, "HELLO1hello"},
      {5, "A,,b,undefined0,c,", "split", {S(","), N(2)}, "A,"},
      {5, "A,,b,undefined0,c,", "split", {S(","), Null}, ""},
      {5, "A,,b,undefined0,c,", "split", {S("")}, "A,,b,undefined0,c,"},
      {7, "ab,c", "split", {S("")}, "a,b,,,c"},
      {7, "ab,c", "split", {U, N(0)}, "ab,c"},
      {7, "teST\xC3\xA9", "toUpperCase", {}, "TEST\xC3\x89"},
      {5, "teST\xC3\xA9", "toUpperCase", {}, "TEST\xC3\xA9"},
  };
  for (const StringCase& c : cases) {
    vm.SetSwfVersion(c.version);
    EXPECT_EQ(Call(S(c.text), c.method, c.args), c.expected) << c.version << " \"" << c.text << "\"." << c.method;
  }
  // Counted in UTF-16 units.
  EXPECT_EQ(Text(vm.GetMember(S("\xF0\x9F\x98\x8B" "ab"), "length")), "4");
  vm.SetSwfVersion(5);
  const Value fromCharCode = vm.GetMember(Global("String"), "fromCharCode");
  EXPECT_EQ(Text(vm.Call(fromCharCode, U, std::vector<Value>{N(-65456), N(81)})), "PQ");
  EXPECT_EQ(Text(vm.Call(fromCharCode, U, std::vector<Value>{N(80), N(0), N(82)})), "P");
}

// shift, unshift and reverse move elements by deleting and making them
// again (they go to the end of the order), except where ASSetPropFlags
// forbids deleting or writing.
TEST_F(Builtins, ArrayMovesFollowPropertyFlags) {
  struct Case {
    const char* method;
    int flags;
    const char* element;
    const char* after;
    const char* keys;
  };
  const Case cases[] = {
      {"shift", 0, nullptr, "2,3", "1,0,"},
      {"shift", 1, "0", "2,3", "1,0,"},
      {"shift", 2, "1", "2,3", "0,1,"},
      {"shift", 2, "2", "2,3", "1,0,2,"},
      {"shift", 6, "0", "1,3", "1,0,"},
      {"shift", 7, "1", "2,2", "0,"},
      {"unshift", 0, nullptr, "42,43,44,1,2,3", "2,1,0,3,4,5,"},
      {"unshift", 2, "0", "42,43,44,1,2,3", "2,1,3,4,5,0,"},
      {"unshift", 6, "1", "42,2,44,1,2,3", "2,0,3,4,5,1,"},
      {"reverse", 0, nullptr, "3,2,1", "2,0,1,"},
      {"reverse", 2, "0", "3,2,1", "2,1,0,"},
      {"reverse", 6, "2", "3,2,3", "0,2,1,"},
  };
  for (const Case& c : cases) {
    const Value array = Array({N(1), N(2), N(3)});
    if (c.element != nullptr) vm.Call(Global("ASSetPropFlags"), U, std::vector<Value>{array, S(c.element), N(c.flags), N(0)});
    const std::vector<Value> args =
        std::string(c.method) == "unshift" ? std::vector<Value>{N(42), N(43), N(44)} : std::vector<Value>{};
    vm.CallMethod(array, c.method, args);
    EXPECT_EQ(Text(array), c.after) << c.method << " " << c.flags << " " << (c.element ? c.element : "");
    EXPECT_EQ(Keys(array), c.keys) << c.method << " " << c.flags << " " << (c.element ? c.element : "");
  }
  // Holes are made into elements when reversed.
  const Value sparse = Array({});
  vm.SetMember(sparse, "6", N(4));
  vm.CallMethod(sparse, "reverse", {});
  EXPECT_EQ(Keys(sparse), "4,2,5,1,6,0,");
}

TEST_F(Builtins, ArraySpliceSliceAndConstructor) {
  struct Case {
    std::vector<Value> args;
    const char* after;
    const char* returned;
  };
  const std::vector<Case> cases = {
      {{}, "a,b,c,d,e", "undefined"},
      {{U}, "a,b,c,d,e", "undefined"},
      {{Null}, "", "a,b,c,d,e"},
      {{N(6)}, "a,b,c,d,e", ""},
      {{N(2), U}, "a,b,c,d,e", "undefined"},
      {{N(2), N(-2)}, "a,b,c,d,e", "undefined"},
      {{N(1), N(3), S("deleted")}, "a,deleted,e", "b,c,d"},
      {{N(1), N(2), S("x"), S("y"), S("z")}, "a,x,y,z,d,e", "b,c"},
      {{N(-9), N(0), S("w")}, "w,a,b,c,d,e", ""},
  };
  for (const Case& c : cases) {
    const Value array = Array({S("a"), S("b"), S("c"), S("d"), S("e")});
    EXPECT_EQ(Call(array, "splice", c.args), c.returned);
    EXPECT_EQ(Text(array), c.after);
  }
  const Value numbers = Array({N(1), N(2), N(3), N(4), N(5)});
  EXPECT_EQ(Call(numbers, "slice", {N(1), S("3")}), "2,3");
  EXPECT_EQ(Call(numbers, "slice", {N(1), Null}), "");
  EXPECT_EQ(Call(numbers, "slice", {N(-2), N(4)}), "4");

  const Value constructor = Global("Array");
  EXPECT_EQ(Text(vm.GetMember(vm.Construct(constructor, std::vector<Value>{N(-1)}), "length")), "-1");
  EXPECT_EQ(Text(vm.Construct(constructor, std::vector<Value>{N(3)})), "undefined,undefined,undefined");
  EXPECT_EQ(Text(vm.Construct(constructor, std::vector<Value>{S("3")})), "3");
}

// An element index wraps to 32 bits, and so does the length it makes.
TEST_F(Builtins, ArrayLengthWrapsAsThePlayersDoes) {
  const Value array = Array({});
  const struct {
    const char* index;
    const char* length;
  } steps[] = {
      {"3", "4"},           {"-5", "4"},          {"2147483648", "4"}, {"2147483647", "-2147483648"},
      {"2147483648", "-2147483647"}, {"4294967295", "0"}, {"4294967296", "1"},
      {"302231454903659441160191", "-2147483648"},
  };
  for (const auto& step : steps) {
    vm.SetMember(array, step.index, S("foo"));
    EXPECT_EQ(Text(vm.GetMember(array, "length")), step.length) << step.index;
  }
  // Growing past 2^31 dropped the elements below the old length.
  EXPECT_TRUE(vm.GetMember(array, "3").Is(ValueKind::kUndefined));
}

Value CompareByLength(NativeCall& call) {
  return Value::Number(call.vm.ToStringValue(call.Arg(0)).size() - double(call.vm.ToStringValue(call.Arg(1)).size()));
}

TEST_F(Builtins, SortAndSortOnOptions) {
  struct Case {
    int flags;
    const char* sorted;
  };
  const Case cases[] = {
      {0, "10,9,B,a,b"},  {1, "10,9,a,b,B"}, {2, "b,a,B,9,10"},  {16, "9,10,B,a,b"},
      {18, "b,a,B,10,9"}, {8, "2,3,4,1,0"},  {4, "10,9,B,a,b"},
  };
  for (const Case& c : cases) {
    const Value array = Array({S("b"), S("a"), N(10), N(9), S("B")});
    const Value result = vm.CallMethod(array, "sort", std::vector<Value>{N(c.flags)});
    EXPECT_EQ(Text(result), c.sorted) << c.flags;
  }
  const Value same = Array({S("x"), S("y"), S("x")});
  EXPECT_EQ(Call(same, "sort", {N(4)}), "0");
  EXPECT_EQ(Text(same), "x,y,x");

  const Value words = Array({S("ccc"), S("a"), S("bb")});
  EXPECT_EQ(Call(words, "sort", {Value::Object(vm.NewFunction(CompareByLength)), N(2)}), "ccc,bb,a");

  std::vector<Value> people;
  const struct {
    const char* name;
    double age;
  } rows[] = {{"bob", 30}, {"al", 4}, {"Cy", 30}};
  for (const auto& row : rows) {
    const Value person = Value::Object(vm.NewObject());
    vm.SetMember(person, "name", S(row.name));
    vm.SetMember(person, "age", N(row.age));
    people.push_back(person);
  }
  const Value list = Array(people);
  vm.CallMethod(list, "sortOn", std::vector<Value>{Array({S("age"), S("name")}), Array({N(16 | 2), N(1)})});
  std::string order;
  for (int i = 0; i < 3; ++i) order += Text(vm.GetMember(vm.GetMember(list, std::to_string(i)), "name")) + " ";
  EXPECT_EQ(order, "bob Cy al ");
}

TEST_F(Builtins, VersionBitsHidePropertiesByVersion) {
  // The masks of the bits that hide a property from each version.
  const struct {
    int version;
    std::uint32_t hidingBits;
  } versions[] = {{6, 29952}, {7, 28672}, {8, 24576}, {9, 16384}};
  for (const auto& v : versions) {
    vm.SetSwfVersion(v.version);
    const Value object = Value::Object(vm.NewObject());
    vm.SetMember(object, "prop", N(1));
    for (std::uint32_t i = 0; i <= 8191; ++i) {
      const std::uint32_t bits = i << 3;
      vm.Call(Global("ASSetPropFlags"), U, std::vector<Value>{object, S("prop"), N(0), N(65535)});
      vm.Call(Global("ASSetPropFlags"), U, std::vector<Value>{object, S("prop"), N(bits), N(0)});
      const bool hidden = vm.GetMember(object, "prop").Is(ValueKind::kUndefined);
      ASSERT_EQ(hidden, (bits & v.hidingBits) != 0) << "version " << v.version << " bits " << bits;
    }
  }
}

TEST_F(Builtins, TextFunctions) {
  const struct {
    const char* text;
    const char* parsed;
  } floats[] = {
      {"012345.67890", "12345.6789"}, {"-22222222222222222", "-2.22222222222222e+16"},
      {"1.2345.678", "1.2345678"},    {"1.2345.6e50", "1.23456"},
      {".2E20E1", "2e+19"},           {"1e4294967297", "10"},
      {"10e-", "10"},                 {"e10", "NaN"},
      {"Infinity", "NaN"},            {"10101010e-20.0", "1.010101e-13"},
      {"    99999.99999   ", "99999.99999"},
  };
  for (const auto& f : floats) EXPECT_EQ(CallGlobal("parseFloat", {S(f.text)}), f.parsed) << f.text;
  EXPECT_EQ(ParseFloatText(".1499999"), 0.14999990000000005);
  EXPECT_EQ(CallGlobal("parseFloat", {}), "undefined");

  const struct {
    std::vector<Value> args;
    const char* parsed;
  } ints[] = {
      {{S("0x1F")}, "31"}, {{S("017")}, "15"}, {{S("  -42abc")}, "-42"}, {{S("z"), N(36)}, "35"},
      {{S("12"), N(1)}, "NaN"}, {{S("0xff"), N(16)}, "255"}, {{S("abc")}, "NaN"},
  };
  for (const auto& i : ints) EXPECT_EQ(CallGlobal("parseInt", i.args), i.parsed);

  EXPECT_EQ(EscapeText("@*_+-./ "), "%40%2A%5F%2B%2D%2E%2F%20");
  EXPECT_EQ(EscapeText("\xC4\x80z"), "%C4%80z");
  const struct {
    const char* escaped;
    const char* text;
  } unescapes[] = {
      {"%40%2a", "@*"}, {"Hello+World", "Hello World"}, {"One%20+mo%2+re", "One  moe"},
      {"%u0100", "0100"}, {"aaa%zz", "aaaz"}, {"aaa%4zz", "aaaz"}, {"%_a%@b%.c", "abc"}, {"aaa%4", "aaa"},
  };
  for (const auto& u : unescapes) EXPECT_EQ(UnescapeText(u.escaped), u.text) << u.escaped;
}

// A watcher that sets its own property again, and a getter that reads its
// own: both nest 65 deep, then the stored value is used.
Value RecursiveWatcher(NativeCall& call) {
  const double calls = call.vm.ToNumber(call.vm.GetMember(call.self, "calls"));
  call.vm.SetMember(call.self, "calls", Value::Number(calls + 1));
  call.vm.SetMember(call.self, "prop", Value::String("inner"));
  return call.Arg(2);
}
Value RecursiveGetter(NativeCall& call) {
  const double calls = call.vm.ToNumber(call.vm.GetMember(call.self, "calls"));
  call.vm.SetMember(call.self, "calls", Value::Number(calls + 1));
  return call.vm.GetMember(call.self, "prop");
}

TEST_F(Builtins, WatchersAndGettersNestAtMost65Deep) {
  const Value watched = Value::Object(vm.NewObject());
  vm.SetMember(watched, "calls", N(0));
  EXPECT_EQ(Call(watched, "watch", {S("prop"), Value::Object(vm.NewFunction(RecursiveWatcher))}), "true");
  vm.SetMember(watched, "prop", S("outer"));
  EXPECT_EQ(Text(vm.GetMember(watched, "calls")), "65");
  EXPECT_EQ(Text(vm.GetMember(watched, "prop")), "outer");
  EXPECT_EQ(Call(watched, "unwatch", {S("prop")}), "true");
  EXPECT_EQ(Call(watched, "unwatch", {S("prop")}), "false");

  const Value virtualProperty = Value::Object(vm.NewObject());
  vm.SetMember(virtualProperty, "calls", N(0));
  vm.SetMember(virtualProperty, "prop", S("stored"));
  Call(virtualProperty, "addProperty", {S("prop"), Value::Object(vm.NewFunction(RecursiveGetter)), Null});
  EXPECT_EQ(Text(vm.GetMember(virtualProperty, "prop")), "stored");
  EXPECT_EQ(Text(vm.GetMember(virtualProperty, "calls")), "65");
}

Value ResolveByName(NativeCall& call) { return Value::String("resolved " + call.vm.ToStringValue(call.Arg(0))); }
Value ReturnTen(NativeCall&) { return Value::Number(10); }

TEST_F(Builtins, LookupsAndConversionsAtTheEdges) {
  // __resolve: the nearest one holding an object answers; a primitive is
  // passed over; conversions never ask it.
  const Value proto = Value::Object(vm.NewObject());
  vm.SetMember(proto, "__resolve", Value::Object(vm.NewFunction(ResolveByName)));
  const Value object = Value::Object(vm.NewObject(proto.AsObject()));
  vm.SetMember(object, "__resolve", N(42));
  EXPECT_EQ(Text(vm.GetMember(object, "missing")), "resolved missing");
  vm.SetMember(object, "__resolve", Value::Object(vm.NewObject()));
  EXPECT_TRUE(vm.GetMember(object, "missing").Is(ValueKind::kUndefined));
  const Value bare = Value::Object(vm.GetHeap().New(ObjectClass::kObject, {}));
  vm.SetMember(bare, "__resolve", Value::Object(vm.NewFunction(ResolveByName)));
  EXPECT_TRUE(ToPrimitive(bare, vm.Conversions()).Is(ValueKind::kUndefined));

  // _global has no prototype, so nothing inherited shows through it.
  EXPECT_TRUE(vm.GetMember(Value::Object(vm.Classes().global), "hasOwnProperty").Is(ValueKind::kUndefined));

  // An Array's methods keep their own length, whatever a getter answers.
  const Value array = vm.Construct(Global("Array"), std::vector<Value>{N(3)});
  EXPECT_EQ(Call(array, "addProperty", {S("length"), Value::Object(vm.NewFunction(ReturnTen)), Null}), "true");
  EXPECT_EQ(Text(vm.GetMember(array, "length")), "10");
  EXPECT_EQ(Call(array, "push", {N(1)}), "4");
}

TEST_F(Builtins, ObjectNumberAndBooleanMethods) {
  const Value object = Value::Object(vm.NewObject());
  vm.SetMember(object, "a", N(1));
  EXPECT_EQ(Call(object, "hasOwnProperty", {S("a")}), "true");
  EXPECT_EQ(Call(object, "hasOwnProperty", {S("toString")}), "false");
  EXPECT_EQ(Call(object, "isPropertyEnumerable", {S("a")}), "true");
  EXPECT_EQ(Call(Value::Object(vm.Classes().objectPrototype), "isPrototypeOf", {object}), "true");
  EXPECT_EQ(Text(object), "[object Object]");
  EXPECT_EQ(Call(object, "addProperty", {S("x"), S("not a function"), Null}), "false");
  EXPECT_EQ(Call(object, "addProperty", {S("len"), vm.GetMember(object, "valueOf"), Null}), "true");
  EXPECT_EQ(Text(vm.GetMember(object, "len")), "[object Object]");

  // Object() without new and without a value has no prototype.
  EXPECT_EQ(Text(vm.Call(Global("Object"), U, std::vector<Value>{})), "[type Object]");
  const Value wrapped = vm.Construct(Global("Object"), std::vector<Value>{S("hello")});
  EXPECT_EQ(TypeOf(wrapped, vm.Conversions()), "object");
  EXPECT_EQ(Text(wrapped), "hello");

  const struct {
    double number;
    double radix;
    const char* text;
  } radixes[] = {{10, 2, "1010"}, {6, -2, "6"}, {6, 0, "6"}, {6, 5, "11"}, {-5, 2, "-101"}, {-11, 16, "-b"},
                 {5.4e-6, 10, "5.4e-6"}};
  for (const auto& r : radixes) EXPECT_EQ(Call(N(r.number), "toString", {N(r.radix)}), r.text);
  EXPECT_EQ(Text(vm.GetMember(Global("Number"), "MIN_VALUE")), "4.94065645841247e-324");
  EXPECT_EQ(Call(vm.Construct(Global("Boolean"), std::vector<Value>{N(1)}), "toString"), "true");

  // Function.prototype.apply with an array of arguments.
  EXPECT_EQ(Text(vm.CallMethod(vm.GetMember(S("a-b-c"), "split"), "apply", std::vector<Value>{S("x-y"), Array({S("-")})})),
            "x,y");
}

}  // namespace
}  // namespace swf::avm1
