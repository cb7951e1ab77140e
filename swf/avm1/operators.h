// The operators of the action language as functions over values, one per
// action, for the interpreter's dispatch loop to call with the two values it
// popped (left is the one pushed first).
//
// Where an operator converts objects, the order matters: the conversions may
// run valueOf and toString, which may trace. The player converts the left
// operand first for Add, Multiply, the Less actions and Greater, the right
// first for Add2, Subtract, Divide, Modulo, the Equals actions and the
// string comparisons; each function keeps that order.
//
// The SWF 4 actions (Add, Equals, Less, Not, the string comparisons) give 1
// or 0 in a SWF 4 movie and booleans from SWF 5.
#pragma once

#include "swf/avm1/value.h"

namespace swf::avm1 {

// Arithmetic: both operands as numbers.
Value Add(const Value& left, const Value& right, const Context& context);
Value Subtract(const Value& left, const Value& right, const Context& context);
Value Multiply(const Value& left, const Value& right, const Context& context);
// Dividing by zero in a SWF 4 movie gives the string "#ERROR#".
Value Divide(const Value& left, const Value& right, const Context& context);
Value Modulo(const Value& left, const Value& right, const Context& context);
Value Increment(const Value& operand, const Context& context);
Value Decrement(const Value& operand, const Context& context);

// Add2: concatenation when either primitive is a string, else the sum.
Value Add2(const Value& left, const Value& right, const Context& context);

// Equals (SWF 4): numeric equality, NaN equal to nothing. Equals2: the
// loose equality of SWF 5, where two numbers that are both NaN are equal.
Value Equals(const Value& left, const Value& right, const Context& context);
Value Equals2(const Value& left, const Value& right, const Context& context);
// StrictEquals: same kind and same value (NaN equal to NaN), without
// conversion (the context
// is unused; every binary operator has the same signature, so that the
// interpreter can keep them in one table).
Value StrictEquals(const Value& left, const Value& right, const Context& context);

// Less (SWF 4): numeric, false when either is NaN. Less2 and Greater: strings
// compared as strings when both are, else numbers; undefined when either is
// NaN.
Value Less(const Value& left, const Value& right, const Context& context);
Value Less2(const Value& left, const Value& right, const Context& context);
Value Greater(const Value& left, const Value& right, const Context& context);

// String comparisons by bytes.
Value StringEquals(const Value& left, const Value& right, const Context& context);
Value StringLess(const Value& left, const Value& right, const Context& context);
Value StringGreater(const Value& left, const Value& right, const Context& context);

// Bit operators on ToInt32 of both operands; the shift count is taken
// modulo 32. URShift's unsigned result is read back as a signed integer.
Value BitAnd(const Value& left, const Value& right, const Context& context);
Value BitOr(const Value& left, const Value& right, const Context& context);
Value BitXor(const Value& left, const Value& right, const Context& context);
Value BitLShift(const Value& left, const Value& right, const Context& context);
Value BitRShift(const Value& left, const Value& right, const Context& context);
Value BitURShift(const Value& left, const Value& right, const Context& context);

Value Not(const Value& operand, const Context& context);
Value TypeOfValue(const Value& operand, const Context& context);

}  // namespace swf::avm1
