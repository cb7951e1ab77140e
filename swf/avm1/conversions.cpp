#include "swf/avm1/conversions.h"

#include <cmath>
#include <limits>

#include "swf/avm1/number_text.h"

namespace swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double ConvertToNumber(const Value& value, const Context& context) {
  const int version = context.swf_version;
  switch (value.kind()) {
    case ValueKind::kUndefined:
    case ValueKind::kNull: return version < 7 ? 0.0 : kNaN;
    case ValueKind::kBoolean: return value.AsBoolean() ? 1.0 : 0.0;
    case ValueKind::kNumber: return value.AsNumber();
    case ValueKind::kString: return StringToNumber(value.AsString(), version);
    case ValueKind::kObject: {
      const Value primitive = context.objects.ToPrimitive(value.AsObject(), PrimitiveHint::kNumber);
      if (primitive.Is(ValueKind::kObject) || primitive.Is(ValueKind::kClip)) return kNaN;
      return ConvertToNumber(primitive, context);
    }
    case ValueKind::kClip: return kNaN;
  }
  return kNaN;
}

}  // namespace

Value ToPrimitive(const Value& value, const Context& context, PrimitiveHint hint) {
  if (!value.Is(ValueKind::kObject)) return value;
  return context.objects.ToPrimitive(value.AsObject(), hint);
}

double ToNumber(const Value& value, const Context& context) {
  const double number = ConvertToNumber(value, context);
  // SWF 4 has no NaN of its own making: a failed conversion is 0.
  if (context.swf_version < 5 && std::isnan(number) && !value.Is(ValueKind::kNumber)) return 0.0;
  return number;
}

std::string ToString(const Value& value, const Context& context) {
  switch (value.kind()) {
    case ValueKind::kUndefined: return context.swf_version < 7 ? "" : "undefined";
    case ValueKind::kNull: return "null";
    case ValueKind::kBoolean: return value.AsBoolean() ? "true" : "false";
    case ValueKind::kNumber: return NumberToString(value.AsNumber());
    case ValueKind::kString: return value.AsString();
    case ValueKind::kObject: return context.objects.ToString(value.AsObject());
    case ValueKind::kClip: return context.objects.ClipPath(value.AsClip());
  }
  return {};
}

bool ToBoolean(const Value& value, const Context& context) {
  switch (value.kind()) {
    case ValueKind::kUndefined:
    case ValueKind::kNull: return false;
    case ValueKind::kBoolean: return value.AsBoolean();
    case ValueKind::kNumber: return value.AsNumber() != 0 && !std::isnan(value.AsNumber());
    case ValueKind::kString: {
      if (context.swf_version >= 7) return !value.AsString().empty();
      const double number = StringToNumber(value.AsString(), context.swf_version);
      return number != 0 && !std::isnan(number);
    }
    case ValueKind::kObject:
    case ValueKind::kClip: return true;
  }
  return false;
}

std::int32_t DoubleToInt32(double number) {
  if (!std::isfinite(number)) return 0;
  // Whole part modulo 2^32, then read as two's complement.
  const double wrapped = std::fmod(std::trunc(number), 4294967296.0);
  const double positive = wrapped < 0 ? wrapped + 4294967296.0 : wrapped;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(positive));
}

std::int32_t ToInt32(const Value& value, const Context& context) {
  return DoubleToInt32(ToNumber(value, context));
}

std::uint32_t ToUint32(const Value& value, const Context& context) {
  return static_cast<std::uint32_t>(ToInt32(value, context));
}

std::string TypeOf(const Value& value, const Context& context) {
  switch (value.kind()) {
    case ValueKind::kUndefined: return "undefined";
    case ValueKind::kNull: return "null";
    case ValueKind::kBoolean: return "boolean";
    case ValueKind::kNumber: return "number";
    case ValueKind::kString: return "string";
    case ValueKind::kObject: return context.objects.IsFunction(value.AsObject()) ? "function" : "object";
    case ValueKind::kClip: return "movieclip";
  }
  return "undefined";
}

}  // namespace swf::avm1
