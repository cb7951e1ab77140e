// Date against the script corpus's recorded outputs (avm1-date): now is
// 981152406000 ms and the zone UTC+05:45. Each case builds a date, may call
// one setter, and compares what the corpus test traces: the setter's
// result, the string and every getter.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/number_text.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

BuiltinsHost CorpusHost() {
  BuiltinsHost host;
  host.nowMs = [] { return 981152406000.0; };
  host.localOffsetMs = [](double) { return 20700000.0; };
  return host;
}

class DateTest : public ::testing::Test {
 protected:
  DateTest() { InstallBuiltins(vm_, CorpusHost()); }

  Value DateClass() { return vm_.GetMember(Value::Object(vm_.Classes().global), "Date"); }

  static std::vector<Value> Numbers(const std::vector<double>& numbers) {
    std::vector<Value> values;
    for (double n : numbers) values.push_back(Value::Number(n));
    return values;
  }

  std::string Text(const Value& value) { return vm_.ToStringValue(value); }

  // The line the corpus test's traceDate prints after the date itself.
  std::string Getters(const Value& date) {
    static const char* const kNames[] = {"FullYear", "Year", "Month", "Date", "Day", "Hours", "Minutes", "Seconds",
                                         "Milliseconds", "Time", "TimezoneOffset", "UTCFullYear", "UTCYear",
                                         "UTCMonth", "UTCDate", "UTCDay", "UTCHours", "UTCMinutes", "UTCSeconds",
                                         "UTCMilliseconds"};
    std::string line;
    for (const char* name : kNames) {
      if (!line.empty()) line += ", ";
      line += std::string(name) + " = " + Text(vm_.CallMethod(date, std::string("get") + name, {}));
    }
    return line;
  }

  Vm vm_;
};

struct DateCase {
  std::vector<double> constructor;
  const char* setter;  // null: none
  std::vector<double> setterArgs;
  const char* result;  // the setter's result
  const char* text;
  const char* getters;
};

TEST_F(DateTest, MatchesTheCorpusOutputs) {
  const DateCase cases[] = {
      {{}, nullptr, {}, nullptr, "Sat Feb 3 04:05:06 GMT+0545 2001",
       "FullYear = 2001, Year = 101, Month = 1, Date = 3, Day = 6, Hours = 4, Minutes = 5, Seconds = 6, "
       "Milliseconds = 0, Time = 981152406000, TimezoneOffset = -345, UTCFullYear = 2001, UTCYear = 101, "
       "UTCMonth = 1, UTCDate = 2, UTCDay = 5, UTCHours = 22, UTCMinutes = 20, UTCSeconds = 6, UTCMilliseconds = 0"},
      {{-500}, nullptr, {}, nullptr, "Thu Jan 1 05:44:59 GMT+0545 1970",
       "FullYear = 1970, Year = 70, Month = 0, Date = 1, Day = 4, Hours = 5, Minutes = 44, Seconds = 59, "
       "Milliseconds = 500, Time = -500, TimezoneOffset = -345, UTCFullYear = 1969, UTCYear = 69, UTCMonth = 11, "
       "UTCDate = 31, UTCDay = 3, UTCHours = 23, UTCMinutes = 59, UTCSeconds = 59, UTCMilliseconds = 500"},
      {{kInf}, nullptr, {}, nullptr, "Invalid Date",
       "FullYear = -2147481678, Year = -2147483578, Month = 0, Date = -2147483647, Day = -2147483641, Hours = "
       "-2147483624, Minutes = -2147483588, Seconds = -2147483588, Milliseconds = -2147482648, Time = Infinity, "
       "TimezoneOffset = NaN, UTCFullYear = -2147481678, UTCYear = -2147483578, UTCMonth = 0, UTCDate = "
       "-2147483647, UTCDay = -2147483641, UTCHours = -2147483624, UTCMinutes = -2147483588, UTCSeconds = "
       "-2147483588, UTCMilliseconds = -2147482648"},
      {{kNaN, 0, 0, 0, 0, 0, 0}, nullptr, {}, nullptr, "Mon Jan -719528 00:00:00 GMT+0545 -2147481678",
       "FullYear = -2147481678, Year = -2147483578, Month = 0, Date = -719528, Day = 1, Hours = 0, Minutes = 0, "
       "Seconds = 0, Milliseconds = 952, Time = -6.77681005680783e+19, TimezoneOffset = -345.019733333333, "
       "UTCFullYear = -2147481678, UTCYear = -2147483578, UTCMonth = 0, UTCDate = -719529, UTCDay = 0, UTCHours = "
       "18, UTCMinutes = 15, UTCSeconds = 56, UTCMilliseconds = 768"},
      {{7002.5, 13.5, 32.5, 24.5, 60.5, 60.5, 1000.5}, nullptr, {}, nullptr, "Sat Mar 5 01:01:01 GMT+0545 7003",
       "FullYear = 7003, Year = 5103, Month = 2, Date = 5, Day = 6, Hours = 1, Minutes = 1, Seconds = 1, "
       "Milliseconds = 0, Time = 158831522161000, TimezoneOffset = -345, UTCFullYear = 7003, UTCYear = 5103, "
       "UTCMonth = 2, UTCDate = 4, UTCDay = 5, UTCHours = 19, UTCMinutes = 16, UTCSeconds = 1, UTCMilliseconds = 0"},
      {{-1, -2, -3, -4, -5, -6, -7}, nullptr, {}, nullptr, "Thu Oct 27 19:54:53 GMT+0545 1898",
       "FullYear = 1898, Year = -2, Month = 9, Date = 27, Day = 4, Hours = 19, Minutes = 54, Seconds = 53, "
       "Milliseconds = 993, Time = -2246176206007, TimezoneOffset = -345, UTCFullYear = 1898, UTCYear = -2, "
       "UTCMonth = 9, UTCDate = 27, UTCDay = 4, UTCHours = 14, UTCMinutes = 9, UTCSeconds = 53, UTCMilliseconds = "
       "993"},
      {{123456789, 123, 456, 789, 123, 456, 2000}, nullptr, {}, nullptr,
       "Mon Jul 31 23:10:38 GMT+0545 123456800",
       "FullYear = 123456800, Year = 123454900, Month = 6, Date = 31, Day = 1, Hours = 23, Minutes = 10, Seconds = "
       "38, Milliseconds = 80, Time = 3.89585816283394e+18, TimezoneOffset = -345.002666666667, UTCFullYear = "
       "123456800, UTCYear = 123454900, UTCMonth = 6, UTCDate = 31, UTCDay = 1, UTCHours = 17, UTCMinutes = 25, "
       "UTCSeconds = 38, UTCMilliseconds = 920"},
      // The last millisecond of an hour near the earliest date reads as the next hour.
      {{-8.64e15 - 1}, "setHours", {23}, "-8.6399999352e+15", "Tue Apr 20 23:44:59 GMT+0545 -271821",
       "FullYear = -271821, Year = -273721, Month = 3, Date = 20, Day = 2, Hours = 23, Minutes = 44, Seconds = 59, "
       "Milliseconds = 999, Time = -8.6399999352e+15, TimezoneOffset = -345, UTCFullYear = -271821, UTCYear = "
       "-273721, UTCMonth = 3, UTCDate = 20, UTCDay = 2, UTCHours = 18, UTCMinutes = 59, UTCSeconds = 59, "
       "UTCMilliseconds = 999"},
      // Date setters keep the time of day itself, not its rounded fields.
      {{-8.64e15 - 1}, "setYear", {2000}, "956188799999", "Thu Apr 20 05:44:59 GMT+0545 2000",
       "FullYear = 2000, Year = 100, Month = 3, Date = 20, Day = 4, Hours = 5, Minutes = 44, Seconds = 59, "
       "Milliseconds = 999, Time = 956188799999, TimezoneOffset = -345, UTCFullYear = 2000, UTCYear = 100, "
       "UTCMonth = 3, UTCDate = 19, UTCDay = 3, UTCHours = 23, UTCMinutes = 59, UTCSeconds = 59, UTCMilliseconds = "
       "999"},
  };
  for (const DateCase& c : cases) {
    const Value date = vm_.Construct(DateClass(), Numbers(c.constructor));
    if (c.setter != nullptr) {
      EXPECT_EQ(Text(vm_.CallMethod(date, c.setter, Numbers(c.setterArgs))), c.result) << c.setter;
    }
    EXPECT_EQ(Text(vm_.CallMethod(date, "toString", {})), c.text);
    EXPECT_EQ(Getters(date), c.getters) << c.text;
  }
}

// Each setter's argument conversion, on 2020-07-16 02:04:47.653 local.
TEST_F(DateTest, SettersConvertTheirArgumentsAsThePlayerDoes) {
  struct SetterCase {
    const char* setter;
    std::vector<double> args;
    const char* result;
  };
  const SetterCase cases[] = {
      {"setMonth", {kNaN}, "1579119587653"},      // NaN month is January
      {"setMonth", {kNaN, 0}, "1577737187653"},
      {"setMonth", {0, kNaN}, "NaN"},
      {"setMinutes", {kNaN}, "-127254174732347"}, // through a 32-bit integer
      {"setMinutes", {0, kInf}, "-552639547347"},
      {"setMinutes", {0, 0, kNaN}, "1592696616352"},
      {"setHours", {kNaN}, "NaN"},
      {"setFullYear", {123456789}, "NaN"},         // beyond the clip
      {"setFullYear", {7002.5}, "158811481187653"},
      {"setYear", {-1}, "-62181834012347"},
      {"setUTCMinutes", {kNaN}, "-127254175632347"},
      {"setTime", {5.5}, "5"},
      {"setTime", {8.64e15 + 1}, "NaN"},
  };
  for (const SetterCase& c : cases) {
    const Value date = vm_.Construct(DateClass(), Numbers({1594844387653}));
    EXPECT_EQ(Text(vm_.CallMethod(date, c.setter, Numbers(c.args))), c.result) << c.setter;
  }
}

TEST_F(DateTest, UtcAndCallsWithoutNew) {
  const Value date = DateClass();
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({1}))), "undefined");
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({1, 2}))), "-2172355200000");
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({2000, 11, 31, 23, 59, 59, 999}))), "978307199999");
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({kNaN, 0, 0, 0, 0, 0, 0}))), "-6.77681005680576e+19");
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({0, 0, kInf, 0, 0, 0, 0}))), "Infinity");
  EXPECT_EQ(Text(vm_.CallMethod(date, "UTC", Numbers({0, kInf, 0, 0, 0, 0, 0}))), "NaN");
  const Value called = vm_.Call(date, Value(), Numbers({0}));
  EXPECT_EQ(Text(called), "Sat Feb 3 04:05:06 GMT+0545 2001");
  // super(...) in a subclass calls Date on the new object: it becomes a date.
  const ObjectRef subclassPrototype = vm_.NewObject(vm_.Classes().datePrototype);
  const Value instance = Value::Object(vm_.NewObject(subclassPrototype));
  const Value superResult = vm_.Call(date, instance, Numbers({123456}));
  EXPECT_EQ(Text(superResult), "Thu Jan 1 05:47:03 GMT+0545 1970");
  EXPECT_EQ(Text(vm_.CallMethod(instance, "getTime", {})), "123456");
  // valueOf is getTime, so a date compares and adds as its time.
  const Value made = vm_.Construct(date, Numbers({123456}));
  EXPECT_EQ(vm_.ToNumber(made), 123456);
}

}  // namespace
}  // namespace swf::avm1
