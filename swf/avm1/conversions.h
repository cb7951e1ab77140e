// The conversions between value kinds, as a movie of a given SWF version
// sees them.
#pragma once

#include <cstdint>
#include <string>

#include "swf/avm1/value.h"

namespace swf::avm1 {

// An object's primitive by its host (valueOf); other values are already
// primitive, a clip included (a clip's valueOf is the clip itself).
Value ToPrimitive(const Value& value, const Context& context, PrimitiveHint hint = PrimitiveHint::kNumber);

// undefined and null are 0 before SWF 7 and NaN from SWF 7; booleans 1 and
// 0; strings by StringToNumber; an object by its primitive (NaN when that is
// still an object); a clip NaN. In a SWF 4 movie whatever is not a number
// and comes out NaN is 0.
double ToNumber(const Value& value, const Context& context);

// undefined is "" before SWF 7 and "undefined" from SWF 7; numbers by
// NumberToString; an object by its host; a clip by its target path.
std::string ToString(const Value& value, const Context& context);

// A string is true when its number is neither 0 nor NaN before SWF 7, and
// when it is not empty from SWF 7. Objects and clips are true.
bool ToBoolean(const Value& value, const Context& context);

// The number wrapped to 32 bits, for the integer and bit operators; NaN and
// the infinities are 0.
std::int32_t ToInt32(const Value& value, const Context& context);
std::uint32_t ToUint32(const Value& value, const Context& context);
std::int32_t DoubleToInt32(double number);

// What typeof answers: "undefined", "null", "boolean", "number", "string",
// "object", "function" or "movieclip".
std::string TypeOf(const Value& value, const Context& context);

}  // namespace swf::avm1
