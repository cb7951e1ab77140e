// Math: the constants and the functions.
//
// Every Math function converts its first two arguments to numbers, in order,
// whatever it uses (the player's natives of this family share one argument
// reader), so a valueOf that traces runs twice for Math.abs(a, b) and a
// throwing one stops before the second. A missing argument is NaN in every
// version; an explicit undefined converts by the movie's version.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "swf/avm1/builtins/install.h"

namespace swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Operands {
  std::array<double, 2> value{kNaN, kNaN};
  size_t count = 0;
};

Operands ReadOperands(NativeCall& call) {
  Operands operands;
  operands.count = std::min<size_t>(call.args.size(), 2);
  for (size_t i = 0; i < operands.count; ++i) operands.value[i] = call.vm.ToNumber(call.args[i]);
  return operands;
}

template <double (*F)(double)>
Value Unary(NativeCall& call) {
  return Value::Number(F(ReadOperands(call).value[0]));
}

template <double (*F)(double, double)>
Value Binary(NativeCall& call) {
  const Operands operands = ReadOperands(call);
  return Value::Number(F(operands.value[0], operands.value[1]));
}

double Abs(double x) { return std::fabs(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Exp(double x) { return std::exp(x); }
double Log(double x) { return std::log(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Atan(double x) { return std::atan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
// Halves go up, also below zero: round(-12.5) is -12.
double Round(double x) { return std::floor(x + 0.5); }
double Atan2(double y, double x) { return std::atan2(y, x); }
double Pow(double x, double y) { return std::pow(x, y); }

// min and max look at two arguments only; none gives the identity of the
// comparison, one compares with the missing (NaN) second.
Value Min(NativeCall& call) {
  const Operands operands = ReadOperands(call);
  if (operands.count == 0) return Value::Number(kInfinity);
  const double a = operands.value[0];
  const double b = operands.value[1];
  if (std::isnan(a) || std::isnan(b)) return Value::Number(kNaN);
  return Value::Number(b < a ? b : a);
}

Value Max(NativeCall& call) {
  const Operands operands = ReadOperands(call);
  if (operands.count == 0) return Value::Number(-kInfinity);
  const double a = operands.value[0];
  const double b = operands.value[1];
  if (std::isnan(a) || std::isnan(b)) return Value::Number(kNaN);
  return Value::Number(b > a ? b : a);
}

Value Random(NativeCall& call) {
  ReadOperands(call);
  return Value::Number(call.vm.NextRandom());
}

// The player's native numbers of the family (ASnative(200, n)), in order.
constexpr NativeMember kMembers[] = {
    {"abs", Unary<Abs>},     {"min", Min},          {"max", Max},           {"sin", Unary<Sin>},
    {"cos", Unary<Cos>},     {"atan2", Binary<Atan2>}, {"tan", Unary<Tan>}, {"exp", Unary<Exp>},
    {"log", Unary<Log>},     {"sqrt", Unary<Sqrt>}, {"round", Unary<Round>}, {"random", Random},
    {"floor", Unary<Floor>}, {"ceil", Unary<Ceil>}, {"atan", Unary<Atan>},  {"asin", Unary<Asin>},
    {"acos", Unary<Acos>},   {"pow", Binary<Pow>},
};

// A number the family does not have still reads its arguments.
Value Unknown(NativeCall& call) {
  ReadOperands(call);
  return Value::Number(kNaN);
}

struct Constant {
  const char* name;
  double value;
};

constexpr Constant kConstants[] = {
    {"E", 2.718281828459045},         {"LN10", 2.302585092994046}, {"LN2", 0.6931471805599453},
    {"LOG10E", 0.4342944819032518},   {"LOG2E", 1.442695040888963387}, {"PI", 3.141592653589793},
    {"SQRT1_2", 0.7071067811865476},  {"SQRT2", 1.4142135623730951},
};

}  // namespace

NativeFunction MathNative(int index) {
  if (index < 0 || static_cast<size_t>(index) >= std::size(kMembers)) return Unknown;
  return kMembers[index].function;
}

void InstallMath(Vm& vm) {
  const ObjectRef math = vm.NewObject();
  vm.DefineMembers(math, kMembers);
  constexpr std::uint32_t kFixed =
      property_flags::kDontEnum | property_flags::kDontDelete | property_flags::kReadOnly;
  for (const Constant& constant : kConstants) vm.DefineValue(math, constant.name, Value::Number(constant.value), kFixed);
  vm.DefineValue(vm.Classes().global, "Math", Value::Object(math));
}

}  // namespace swf::avm1
