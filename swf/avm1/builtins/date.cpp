// Date: a time in milliseconds since 1970-01-01 UTC, read and written by
// fields in local time (the host's zone) or UTC.
//
// The player's arithmetic is reproduced as its outputs show it, including
// where it is not the calendar's:
// - Fields come from the time by floating-point division; a field that no
//   longer fits 32 bits (an infinite time, a year near 2^31) comes out as
//   the smallest 32-bit integer plus the field's range, and the year is
//   not corrected when its estimate saturates. Only NaN gives NaN fields.
// - The hour is the quotient by the hour rounded toward zero before it is
//   floored, so the last millisecond of an hour near the earliest dates
//   reads as the next hour.
// - The constructor keeps any time it computes; setters and setTime clip to
//   +-8.64e15 (beyond: NaN). A setter on an invalid date leaves it invalid.
// - The arguments are cut to whole numbers, except that setMonth reads NaN
//   as 0 and setMinutes converts through a 32-bit integer (NaN and the
//   infinities become -2^31 minutes); the constructor's year goes through a
//   32-bit integer too, after 0-99 (and below) have had 1900 added.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMsPerDay = 86400000.0;
constexpr double kMsPerHour = 3600000.0;
constexpr double kMaxTime = 8.64e15;
constexpr std::int32_t kSaturated = std::numeric_limits<std::int32_t>::min();
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr const char* kWeekdayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A double to a 32-bit integer as the processor converts: truncated, and
// NaN or out of range is -2^31.
std::int32_t ToInt32Saturating(double value) {
  if (std::isnan(value) || value >= 2147483648.0 || value < -2147483648.0) return kSaturated;
  return static_cast<std::int32_t>(value);
}

double Truncate(double value) { return std::isfinite(value) ? std::trunc(value) : value; }

double FloorDivide(double a, double b) { return std::isfinite(a) ? std::floor(a / b) : a; }

// The sign of a - q * b, exactly: the product is split into two doubles
// that sum to it (Veltkamp and Dekker), so no fused multiply-add of a C
// library is needed, whose rounding differs between libraries.
int SignOfRemainder(double a, double q, double b) {
  const auto split = [](double x, double& high, double& low) {
    const double c = 134217729.0 * x;  // 2^27 + 1
    high = c - (c - x);
    low = x - high;
  };
  if (std::fabs(q) > 1e290 || std::fabs(b) > 1e290) {
    const double r = a - q * b;
    return (r > 0) - (r < 0);
  }
  double qh, ql, bh, bl;
  split(q, qh, ql);
  split(b, bh, bl);
  const double product = q * b;
  const double error = ((qh * bh - product) + qh * bl + ql * bh) + ql * bl;  // q*b = product + error
  // q is a / b rounded, so the product lies within a few units of a and
  // their difference is exact (Sterbenz); so is the sign of what is left.
  const double remainder = (a - product) - error;
  return (remainder > 0) - (remainder < 0);
}

// floor(a / b) with the quotient rounded toward zero instead of to nearest.
double FloorDivideTowardZero(double a, double b) {
  double quotient = a / b;
  if (!std::isfinite(quotient)) return quotient;
  const int remainder = SignOfRemainder(a, quotient, b);
  if ((quotient < 0 && remainder > 0) || (quotient > 0 && remainder < 0)) quotient = std::nextafter(quotient, 0.0);
  return std::floor(quotient);
}

// The field in [0, range) of the remainder, wrapped as the player wraps it.
std::int32_t Wrapped(double remainder, std::int32_t range) {
  std::int32_t value = ToInt32Saturating(remainder);
  if (value < 0) value += range;
  return value;
}

bool IsLeapYear(double year) {
  return std::fmod(year, 4) == 0 && (std::fmod(year, 100) != 0 || std::fmod(year, 400) == 0);
}

double DayFromYear(double year) {
  return 365.0 * (year - 1970) + std::floor((year - 1969) / 4) - std::floor((year - 1901) / 100) +
         std::floor((year - 1601) / 400);
}

struct Fields {
  double year, month, date, weekday, hours, minutes, seconds, milliseconds;
};

Fields FieldsOf(double time) {
  const double day = FloorDivide(time, kMsPerDay);
  const double estimate = FloorDivide(day, 365.2425);
  const std::int32_t offset = ToInt32Saturating(estimate);
  double year = static_cast<double>(offset) + 1970;
  if (static_cast<double>(offset) == estimate) {
    while (DayFromYear(year) > day) --year;
    while (DayFromYear(year + 1) <= day) ++year;
  }
  std::int32_t dayOfYear = ToInt32Saturating(std::isinf(day) ? day : day - DayFromYear(year));
  const bool leap = IsLeapYear(year);
  int month = 0;
  for (int m = 11; m > 0; --m) {
    const int start = kDaysBeforeMonth[m] + (leap && m >= 2 ? 1 : 0);
    if (dayOfYear >= start) {
      month = m;
      dayOfYear -= start;
      break;
    }
  }
  Fields fields;
  fields.year = year;
  fields.month = month;
  fields.date = static_cast<double>(dayOfYear) + 1;
  fields.weekday = Wrapped(std::fmod(day + 4, 7), 7);
  fields.hours = Wrapped(std::fmod(FloorDivideTowardZero(time, kMsPerHour), 24), 24);
  fields.minutes = Wrapped(std::fmod(FloorDivide(time, 60000), 60), 60);
  fields.seconds = Wrapped(std::fmod(FloorDivide(time, 1000), 60), 60);
  fields.milliseconds = Wrapped(std::fmod(time, 1000), 1000);
  return fields;
}

double MakeDay(double year, double month, double date) {
  if (!std::isfinite(year) || !std::isfinite(month)) return kNaN;
  const double yearOfMonth = year + std::floor(month / 12);
  const double remainder = month - 12 * std::floor(month / 12);
  // A month so large that the division has no precision left names no month.
  if (!(remainder >= 0 && remainder < 12)) return kNaN;
  const int monthInYear = static_cast<int>(remainder);
  const double days = DayFromYear(yearOfMonth) + kDaysBeforeMonth[monthInYear] +
                      (monthInYear >= 2 && IsLeapYear(yearOfMonth) ? 1 : 0);
  return days + date - 1;
}

double MakeTime(double hours, double minutes, double seconds, double milliseconds) {
  return hours * kMsPerHour + minutes * 60000 + seconds * 1000 + milliseconds;
}

double MakeDate(double day, double time) { return day * kMsPerDay + time; }

double TimeClip(double time) { return std::isnan(time) || std::fabs(time) > kMaxTime ? kNaN : time; }

double LocalOffset(Vm& vm, double utc) {
  const auto& offset = vm.Host().localOffsetMs;
  return offset && std::isfinite(utc) ? offset(utc) : 0.0;
}

// The UTC time of a local one: the zone's offset is asked at the instant
// the local time stands for, found in two steps so that a date across a
// daylight-saving change takes the offset of its own side.
double LocalToUtc(Vm& vm, double local) {
  const double guess = local - LocalOffset(vm, local);
  return local - LocalOffset(vm, guess);
}

double Now(Vm& vm) {
  const auto& now = vm.Host().nowMs;
  return now ? now() : 0.0;
}

std::string FormatDate(Vm& vm, double time) {
  if (!std::isfinite(time)) return "Invalid Date";
  const double offset = LocalOffset(vm, time);
  const Fields f = FieldsOf(time + offset);
  const long offsetMinutes = std::lround(std::fabs(offset) / 60000);
  char text[128];
  std::snprintf(text, sizeof text, "%s %s %.0f %02.0f:%02.0f:%02.0f GMT%c%02ld%02ld %.0f",
                kWeekdayNames[static_cast<int>(f.weekday)], kMonthNames[static_cast<int>(f.month)], f.date, f.hours,
                f.minutes, f.seconds, offset < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60, f.year);
  return text;
}

// The time of a Date object, or null when `self` is none.
PrimitivePayload* TimeOf(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return nullptr;
  Object* object = call.vm.Get(call.self.AsObject());
  if (object == nullptr || object->cls != ObjectClass::kDate) return nullptr;
  return object->PayloadAs<PrimitivePayload>();
}

double TimeValue(const PrimitivePayload& payload) {
  return payload.value.Is(ValueKind::kNumber) ? payload.value.AsNumber() : kNaN;
}

// The arguments of the constructor and Date.UTC after the year and month:
// date (1 when missing), hours, minutes, seconds, milliseconds (0).
double TimeFromArguments(NativeCall& call) {
  double parts[7] = {0, 0, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < call.args.size() && i < 7; ++i) parts[i] = call.vm.ToNumber(call.args[i]);
  double year = parts[0];
  if (year < 100) year += 1900;
  year = ToInt32Saturating(year);
  for (int i = 1; i < 7; ++i) parts[i] = Truncate(parts[i]);
  return MakeDate(MakeDay(year, parts[1], parts[2]), MakeTime(parts[3], parts[4], parts[5], parts[6]));
}

Value ConstructDate(NativeCall& call) {
  Vm& vm = call.vm;
  double time;
  if (call.args.empty()) {
    time = Now(vm);
  } else if (call.args.size() == 1) {
    time = vm.ToNumber(call.args[0]);
  } else {
    time = LocalToUtc(vm, TimeFromArguments(call));
  }
  if (call.self.Is(ValueKind::kObject)) {
    if (Object* object = vm.Get(call.self.AsObject())) {
      object->cls = ObjectClass::kDate;
      object->payload = std::make_unique<PrimitivePayload>(Value::Number(time));
    }
  }
  return call.self;
}

bool InheritsFromDate(Vm& vm, const Value& value) {
  const Object* object = value.Is(ValueKind::kObject) ? vm.Get(value.AsObject()) : nullptr;
  if (object == nullptr || object->cls != ObjectClass::kObject) return false;
  ObjectRef walk = object->proto;
  for (int steps = 0; steps < 256 && walk.id != 0; ++steps) {
    if (walk == vm.Classes().datePrototype) return true;
    const Object* next = vm.Get(walk);
    walk = next != nullptr ? next->proto : ObjectRef{};
  }
  return false;
}

// Date() without new: the string of now, whatever the arguments. A
// subclass's constructor calling super(...) makes its object a date instead.
Value CallDate(NativeCall& call) {
  if (InheritsFromDate(call.vm, call.self)) return ConstructDate(call);
  return Value::String(FormatDate(call.vm, Now(call.vm)));
}

Value Utc(NativeCall& call) {
  if (call.args.size() < 2) return {};
  return Value::Number(TimeFromArguments(call));
}

// Getters.
enum class Field { kYear, kShortYear, kMonth, kDate, kWeekday, kHours, kMinutes, kSeconds, kMilliseconds };

template <Field F, bool Local>
Value GetField(NativeCall& call) {
  const PrimitivePayload* payload = TimeOf(call);
  if (payload == nullptr) return {};
  const double time = TimeValue(*payload);
  if (std::isnan(time)) return Value::Number(kNaN);
  const Fields f = FieldsOf(Local ? time + LocalOffset(call.vm, time) : time);
  switch (F) {
    case Field::kYear: return Value::Number(f.year);
    case Field::kShortYear: return Value::Number(f.year - 1900);
    case Field::kMonth: return Value::Number(f.month);
    case Field::kDate: return Value::Number(f.date);
    case Field::kWeekday: return Value::Number(f.weekday);
    case Field::kHours: return Value::Number(f.hours);
    case Field::kMinutes: return Value::Number(f.minutes);
    case Field::kSeconds: return Value::Number(f.seconds);
    case Field::kMilliseconds: return Value::Number(f.milliseconds);
  }
  return {};
}

Value GetTime(NativeCall& call) {
  const PrimitivePayload* payload = TimeOf(call);
  return payload != nullptr ? Value::Number(TimeValue(*payload)) : Value();
}

// Minutes: the offset as the player computes it, through local time, so
// that rounding shows at times far from now.
Value GetTimezoneOffset(NativeCall& call) {
  const PrimitivePayload* payload = TimeOf(call);
  if (payload == nullptr) return {};
  const double time = TimeValue(*payload);
  return Value::Number((time - (time + LocalOffset(call.vm, time))) / 60000);
}

Value ToStringMethod(NativeCall& call) {
  const PrimitivePayload* payload = TimeOf(call);
  if (payload == nullptr) return Value::String("[object Object]");
  return Value::String(FormatDate(call.vm, TimeValue(*payload)));
}

// How a setter's arguments become whole numbers.
enum class Conversion { kTruncate, kMonth, kInt32, kShortYear };

double ConvertArgument(double value, Conversion conversion, bool firstArgument) {
  switch (conversion) {
    case Conversion::kTruncate: return Truncate(value);
    case Conversion::kMonth: return firstArgument && std::isnan(value) ? 0.0 : Truncate(value);
    case Conversion::kInt32: return ToInt32Saturating(value);
    case Conversion::kShortYear:
      if (firstArgument && value >= 0 && value < 100) value += 1900;
      return Truncate(value);
  }
  return value;
}

Value StoreTime(PrimitivePayload& payload, double time) {
  payload.value = Value::Number(time);
  return payload.value;
}

// A setter: its first argument sets field `First` (0 year, 1 month, 2 date,
// 3 hours, 4 minutes, 5 seconds, 6 milliseconds) and up to `Count` - 1 more
// arguments set the fields after it; the others keep their values.
template <int First, int Count, Conversion C, bool Local>
Value SetFields(NativeCall& call) {
  PrimitivePayload* payload = TimeOf(call);
  if (payload == nullptr) return {};
  const double time = TimeValue(*payload);
  if (!std::isfinite(time)) return StoreTime(*payload, kNaN);
  const double offset = Local ? LocalOffset(call.vm, time) : 0.0;
  const double local = time + offset;
  const Fields f = FieldsOf(local);
  double values[7] = {f.year, f.month, f.date, f.hours, f.minutes, f.seconds, f.milliseconds};
  const size_t given = std::max<size_t>(1, std::min<size_t>(call.args.size(), Count));
  for (size_t i = 0; i < given; ++i) {
    const double argument = i < call.args.size() ? call.vm.ToNumber(call.args[i]) : kNaN;
    values[First + i] = ConvertArgument(argument, C, i == 0);
  }
  const double day = std::floor(local / kMsPerDay);
  const double result = First < 3 ? MakeDate(MakeDay(values[0], values[1], values[2]), local - day * kMsPerDay)
                                  : MakeDate(day, MakeTime(values[3], values[4], values[5], values[6]));
  return StoreTime(*payload, TimeClip(Local ? LocalToUtc(call.vm, result) : result));
}

Value SetTime(NativeCall& call) {
  PrimitivePayload* payload = TimeOf(call);
  if (payload == nullptr) return {};
  const double time = call.args.empty() ? kNaN : call.vm.ToNumber(call.args[0]);
  return StoreTime(*payload, TimeClip(Truncate(time)));
}

constexpr NativeMember kPrototypeMembers[] = {
    {"getFullYear", GetField<Field::kYear, true>},
    {"getYear", GetField<Field::kShortYear, true>},
    {"getMonth", GetField<Field::kMonth, true>},
    {"getDate", GetField<Field::kDate, true>},
    {"getDay", GetField<Field::kWeekday, true>},
    {"getHours", GetField<Field::kHours, true>},
    {"getMinutes", GetField<Field::kMinutes, true>},
    {"getSeconds", GetField<Field::kSeconds, true>},
    {"getMilliseconds", GetField<Field::kMilliseconds, true>},
    {"getUTCFullYear", GetField<Field::kYear, false>},
    {"getUTCYear", GetField<Field::kShortYear, false>},
    {"getUTCMonth", GetField<Field::kMonth, false>},
    {"getUTCDate", GetField<Field::kDate, false>},
    {"getUTCDay", GetField<Field::kWeekday, false>},
    {"getUTCHours", GetField<Field::kHours, false>},
    {"getUTCMinutes", GetField<Field::kMinutes, false>},
    {"getUTCSeconds", GetField<Field::kSeconds, false>},
    {"getUTCMilliseconds", GetField<Field::kMilliseconds, false>},
    {"getTimezoneOffset", GetTimezoneOffset},
    {"setFullYear", SetFields<0, 3, Conversion::kTruncate, true>},
    {"setYear", SetFields<0, 3, Conversion::kShortYear, true>},
    {"setMonth", SetFields<1, 2, Conversion::kMonth, true>},
    {"setDate", SetFields<2, 1, Conversion::kTruncate, true>},
    {"setHours", SetFields<3, 4, Conversion::kTruncate, true>},
    {"setMinutes", SetFields<4, 3, Conversion::kInt32, true>},
    {"setSeconds", SetFields<5, 2, Conversion::kTruncate, true>},
    {"setMilliseconds", SetFields<6, 1, Conversion::kTruncate, true>},
    {"setUTCFullYear", SetFields<0, 3, Conversion::kTruncate, false>},
    {"setUTCMonth", SetFields<1, 2, Conversion::kMonth, false>},
    {"setUTCDate", SetFields<2, 1, Conversion::kTruncate, false>},
    {"setUTCHours", SetFields<3, 4, Conversion::kTruncate, false>},
    {"setUTCMinutes", SetFields<4, 3, Conversion::kInt32, false>},
    {"setUTCSeconds", SetFields<5, 2, Conversion::kTruncate, false>},
    {"setUTCMilliseconds", SetFields<6, 1, Conversion::kTruncate, false>},
    {"setTime", SetTime},
    {"toString", ToStringMethod},
};

// ASnative(103, n): the methods in the order the player numbers them;
// the UTC ones from 128.
constexpr NativeFunction kNativeOrder[] = {
    GetField<Field::kYear, true>, GetField<Field::kShortYear, true>, GetField<Field::kMonth, true>,
    GetField<Field::kDate, true>, GetField<Field::kWeekday, true>, GetField<Field::kHours, true>,
    GetField<Field::kMinutes, true>, GetField<Field::kSeconds, true>, GetField<Field::kMilliseconds, true>,
    SetFields<0, 3, Conversion::kTruncate, true>, SetFields<1, 2, Conversion::kMonth, true>,
    SetFields<2, 1, Conversion::kTruncate, true>, SetFields<3, 4, Conversion::kTruncate, true>,
    SetFields<4, 3, Conversion::kInt32, true>, SetFields<5, 2, Conversion::kTruncate, true>,
    SetFields<6, 1, Conversion::kTruncate, true>, GetTime, SetTime, GetTimezoneOffset, ToStringMethod,
    SetFields<0, 3, Conversion::kShortYear, true>,
};
constexpr NativeFunction kNativeUtcOrder[] = {
    GetField<Field::kYear, false>, GetField<Field::kShortYear, false>, GetField<Field::kMonth, false>,
    GetField<Field::kDate, false>, GetField<Field::kWeekday, false>, GetField<Field::kHours, false>,
    GetField<Field::kMinutes, false>, GetField<Field::kSeconds, false>, GetField<Field::kMilliseconds, false>,
    SetFields<0, 3, Conversion::kTruncate, false>, SetFields<1, 2, Conversion::kMonth, false>,
    SetFields<2, 1, Conversion::kTruncate, false>, SetFields<3, 4, Conversion::kTruncate, false>,
    SetFields<4, 3, Conversion::kInt32, false>, SetFields<5, 2, Conversion::kTruncate, false>,
    SetFields<6, 1, Conversion::kTruncate, false>,
};

constexpr NativeMember kStaticMembers[] = {
    {"UTC", Utc},
};

}  // namespace

NativeFunction DateNative(int index) {
  if (index >= 0 && static_cast<size_t>(index) < std::size(kNativeOrder)) return kNativeOrder[index];
  if (index >= 128 && static_cast<size_t>(index - 128) < std::size(kNativeUtcOrder)) return kNativeUtcOrder[index - 128];
  if (index == 256) return CallDate;
  if (index == 257) return Utc;
  return nullptr;
}

void InstallDate(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  if (classes.datePrototype.id == 0) classes.datePrototype = vm.NewObject();
  const ObjectRef prototype = classes.datePrototype;
  vm.DefineMembers(prototype, kPrototypeMembers);
  // valueOf is getTime itself.
  const ObjectRef getTime = vm.NewFunction(GetTime);
  vm.DefineValue(prototype, "getTime", Value::Object(getTime));
  vm.DefineValue(prototype, "valueOf", Value::Object(getTime));
  const ObjectRef constructor = vm.NewClass(CallDate, ConstructDate, prototype);
  vm.DefineMembers(constructor, kStaticMembers);
  vm.DefineValue(vm.Classes().global, "Date", Value::Object(constructor));
}

}  // namespace swf::avm1
