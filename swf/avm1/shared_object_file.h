// The file a local shared object is kept in: a header naming the object,
// then its data's members as AMF0 values (numbers, booleans, strings, null,
// undefined, objects, arrays, dates, with references for an object met
// again), the layout other players read too.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "swf/avm1/vm.h"

namespace swf::avm1 {

// The enumerable members of `data`, oldest first; functions and clips are
// left out, as they cannot be kept.
std::vector<std::uint8_t> EncodeSharedObjectFile(Vm& vm, ObjectRef data, std::string_view name);

// Reads a file made by EncodeSharedObjectFile (or another player) into
// `data`'s members; false, with nothing set, when the bytes are not such a
// file.
bool DecodeSharedObjectFile(Vm& vm, std::span<const std::uint8_t> bytes, ObjectRef data);

}  // namespace swf::avm1
