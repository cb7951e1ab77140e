// What the flash.geom classes share with the display side (a clip's
// `transform` reads and sets its colour transform through them).
#pragma once

#include <array>

#include "swf/avm1/object.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {

// A ColorTransform object's numbers: red, green, blue, alpha multipliers,
// then the four offsets in the same order.
struct ColorTransformPayload : Payload {
  std::array<double, 8> values{1, 1, 1, 1, 0, 0, 0, 0};
};

// A new flash.geom.ColorTransform holding `values`.
Value NewColorTransform(Vm& vm, const std::array<double, 8>& values);
// The numbers of a ColorTransform object; null for anything else.
const ColorTransformPayload* ColorTransformOf(Vm& vm, const Value& value);

}  // namespace swf::avm1
