// Helpers the built-in families share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "swf/avm1/vm.h"

namespace swf::avm1::builtins {

// The object `value` is as an object: itself, or for a primitive a new
// String, Number or Boolean wrapper; undefined and null give a new Object.
Value ToObject(Vm& vm, const Value& value);

// The primitive a String, Number or Boolean wrapper holds, or null.
const Value* WrappedPrimitive(Vm& vm, const Value& value, ObjectClass cls);

// Whether `value` is a function object.
bool IsCallable(Vm& vm, const Value& value);

// A number as the member name it is written as ("3", "1.5").
std::string IndexName(double index);

// Reads `length` of an object as Array's methods do (a non-negative whole
// number; anything else is 0).
std::int64_t LengthOf(Vm& vm, const Value& object);

}  // namespace swf::avm1::builtins
