#pragma once

#include <string>
#include <vector>

#include "sys/text.h"

namespace core {

// Splits a Windows command-line text the way the packager reads its own:
// runs of characters up to 0x20 separate arguments; a double quote opens a
// run, ended by the next quote or the end of the text, inside which white
// space belongs to the argument; the quotes are dropped and a quoted run
// joins the text around it. Pairs of quotes where an argument would start
// are skipped, so "" alone is no argument. There are no backslash escapes.
// Element 0 is the program name; the arguments follow.
std::vector<std::string> SplitCommandLine(const char* commandLine,
                                          sys::NextCharFunction next = sys::NextChar);

}  // namespace core
