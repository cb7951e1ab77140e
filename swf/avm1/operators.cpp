#include "swf/avm1/operators.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "swf/avm1/conversions.h"

namespace swf::avm1 {
namespace {

// What a SWF 4 action pushes for a truth value.
Value Truth(bool truth, const Context& context) {
  if (context.swf_version < 5) return Value::Number(truth ? 1 : 0);
  return Value::Boolean(truth);
}

bool IsObjectLike(const Value& value) { return value.Is(ValueKind::kObject) || value.Is(ValueKind::kClip); }

// The operand's primitive, or the operand itself when valueOf gave an
// object: the later ToNumber or ToString then asks the operand again (its
// valueOf or toString runs a second time, as in the player).
Value PrimitiveOrSelf(const Value& operand, const Context& context, PrimitiveHint hint) {
  Value primitive = ToPrimitive(operand, context, hint);
  if (IsObjectLike(primitive)) return operand;
  return primitive;
}

bool SameKindEqual(const Value& a, const Value& b) {
  switch (a.kind()) {
    case ValueKind::kUndefined:
    case ValueKind::kNull: return true;
    case ValueKind::kBoolean: return a.AsBoolean() == b.AsBoolean();
    // Unlike IEEE comparison, NaN equals NaN when two numbers meet; a string
    // read as NaN still equals nothing (see LooselyEqual).
    case ValueKind::kNumber:
      return a.AsNumber() == b.AsNumber() || (std::isnan(a.AsNumber()) && std::isnan(b.AsNumber()));
    case ValueKind::kString: return a.AsString() == b.AsString();
    case ValueKind::kObject: return a.AsObject() == b.AsObject();
    case ValueKind::kClip: return a.AsClip() == b.AsClip();
  }
  return false;
}

// Loose equality once conversions are due; `depth` bounds the rounds (an
// object is converted once, a boolean once, then the kinds settle).
bool LooselyEqual(const Value& left, const Value& right, const Context& context, int depth) {
  if (left.kind() == right.kind()) {
    // Before SWF 6 two objects meet through their primitives when both have
    // one (two Number objects of 1 are equal); otherwise by identity.
    if (context.swf_version < 6 && left.Is(ValueKind::kObject) && left.AsObject() != right.AsObject() && depth == 0) {
      const Value a = ToPrimitive(left, context);
      const Value b = ToPrimitive(right, context);
      if (!IsObjectLike(a) && !IsObjectLike(b)) return LooselyEqual(a, b, context, depth + 1);
      return false;
    }
    return SameKindEqual(left, right);
  }
  if (left.IsUndefinedOrNull() && right.IsUndefinedOrNull()) return true;
  if (depth > 4) return false;
  // An object meets a primitive through its valueOf, even against undefined:
  // an object without valueOf is then undefined and equals it. The right
  // operand is converted first, as the player does.
  if (right.Is(ValueKind::kObject) && !IsObjectLike(left)) {
    const Value primitive = ToPrimitive(right, context);
    if (IsObjectLike(primitive)) return false;
    return LooselyEqual(left, primitive, context, depth + 1);
  }
  if (left.Is(ValueKind::kObject) && !IsObjectLike(right)) {
    const Value primitive = ToPrimitive(left, context);
    if (IsObjectLike(primitive)) return false;
    return LooselyEqual(primitive, right, context, depth + 1);
  }
  if (left.IsUndefinedOrNull() || right.IsUndefinedOrNull() || IsObjectLike(left) || IsObjectLike(right)) {
    return false;
  }
  // Left are booleans, numbers and strings of different kinds: all meet as
  // numbers, compared as IEEE numbers ("NaN" == NaN is false).
  return ToNumber(left, context) == ToNumber(right, context);
}

Value Compare(double left, double right) {
  if (std::isnan(left) || std::isnan(right)) return Value::Undefined();
  return Value::Boolean(left < right);
}

// Less2 with the operands given in comparison order and converted in
// evaluation order.
Value LessThan(const Value& smaller, const Value& larger, bool smaller_first, const Context& context) {
  // An object whose valueOf gives an object compares false at once; the
  // other operand is then not converted.
  const auto primitive = [&](const Value& operand, Value& out) {
    out = PrimitiveOrSelf(operand, context, PrimitiveHint::kNumber);
    return !(operand.Is(ValueKind::kObject) && out.Is(ValueKind::kObject));
  };
  Value a, b;
  if (smaller_first) {
    if (!primitive(smaller, a) || !primitive(larger, b)) return Value::Boolean(false);
  } else {
    if (!primitive(larger, b) || !primitive(smaller, a)) return Value::Boolean(false);
  }
  if (a.Is(ValueKind::kString) && b.Is(ValueKind::kString)) return Value::Boolean(a.AsString() < b.AsString());
  const double na = ToNumber(a, context);
  const double nb = ToNumber(b, context);
  return Compare(na, nb);
}

template <typename Operation>
Value BitOperation(const Value& left, const Value& right, const Context& context, Operation operation) {
  const std::int32_t a = ToInt32(left, context);
  const std::int32_t b = ToInt32(right, context);
  return Value::Number(static_cast<double>(operation(a, b)));
}

}  // namespace

Value Add(const Value& left, const Value& right, const Context& context) {
  const double a = ToNumber(left, context);
  return Value::Number(a + ToNumber(right, context));
}

Value Subtract(const Value& left, const Value& right, const Context& context) {
  const double b = ToNumber(right, context);
  return Value::Number(ToNumber(left, context) - b);
}

Value Multiply(const Value& left, const Value& right, const Context& context) {
  const double a = ToNumber(left, context);
  return Value::Number(a * ToNumber(right, context));
}

Value Divide(const Value& left, const Value& right, const Context& context) {
  const double b = ToNumber(right, context);
  const double a = ToNumber(left, context);
  if (b == 0 && context.swf_version < 5) return Value::String("#ERROR#");
  return Value::Number(a / b);
}

Value Modulo(const Value& left, const Value& right, const Context& context) {
  const double b = ToNumber(right, context);
  return Value::Number(std::fmod(ToNumber(left, context), b));
}

Value Increment(const Value& operand, const Context& context) {
  return Value::Number(ToNumber(operand, context) + 1);
}

Value Decrement(const Value& operand, const Context& context) {
  return Value::Number(ToNumber(operand, context) - 1);
}

Value Add2(const Value& left, const Value& right, const Context& context) {
  const Value b = PrimitiveOrSelf(right, context, PrimitiveHint::kDefault);
  const Value a = PrimitiveOrSelf(left, context, PrimitiveHint::kDefault);
  if (a.Is(ValueKind::kString) || b.Is(ValueKind::kString)) {
    std::string text = ToString(a, context);
    return Value::String(text + ToString(b, context));
  }
  const double nb = ToNumber(b, context);
  return Value::Number(ToNumber(a, context) + nb);
}

Value Equals(const Value& left, const Value& right, const Context& context) {
  const double b = ToNumber(right, context);
  const double a = ToNumber(left, context);
  return Truth(a == b, context);
}

Value Equals2(const Value& left, const Value& right, const Context& context) {
  // A SWF 4 movie's Equals2 answers 1 or 0 like its Equals (corpus: swf4_function_calls).
  return Truth(LooselyEqual(left, right, context, 0), context);
}

Value StrictEquals(const Value& left, const Value& right, const Context&) {
  return Value::Boolean(left.kind() == right.kind() && SameKindEqual(left, right));
}

Value Less(const Value& left, const Value& right, const Context& context) {
  const double a = ToNumber(left, context);
  const double b = ToNumber(right, context);
  return Truth(a < b, context);
}

Value Less2(const Value& left, const Value& right, const Context& context) {
  return LessThan(left, right, true, context);
}

Value Greater(const Value& left, const Value& right, const Context& context) {
  return LessThan(right, left, false, context);
}

Value StringEquals(const Value& left, const Value& right, const Context& context) {
  const std::string b = ToString(right, context);
  return Truth(ToString(left, context) == b, context);
}

Value StringLess(const Value& left, const Value& right, const Context& context) {
  const std::string b = ToString(right, context);
  return Truth(ToString(left, context) < b, context);
}

Value StringGreater(const Value& left, const Value& right, const Context& context) {
  const std::string b = ToString(right, context);
  return Truth(ToString(left, context) > b, context);
}

Value BitAnd(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) { return a & b; });
}

Value BitOr(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) { return a | b; });
}

Value BitXor(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) { return a ^ b; });
}

Value BitLShift(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (b & 31));
  });
}

Value BitRShift(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) { return a >> (b & 31); });
}

Value BitURShift(const Value& left, const Value& right, const Context& context) {
  return BitOperation(left, right, context, [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) >> (b & 31));
  });
}

Value Not(const Value& operand, const Context& context) {
  return Truth(!ToBoolean(operand, context), context);
}

Value TypeOfValue(const Value& operand, const Context& context) {
  return Value::String(TypeOf(operand, context));
}

}  // namespace swf::avm1
