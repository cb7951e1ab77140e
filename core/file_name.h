#pragma once

#include <string>

#include "sys/text.h"

namespace core {

// The file-name part of a path: the text after its last "\" or ":" (and,
// on platforms whose separator is "/", after the last "/" too). The path is
// stepped by characters, so the trail byte 0x5C of a double-byte character
// is never taken for a backslash.
std::string FileNamePart(const std::string& path, sys::NextCharFunction next = sys::NextChar);

}  // namespace core
