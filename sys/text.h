#pragma once

namespace sys {

// Steps to the next character of a NUL-terminated byte string in the
// system's ANSI code page. On Windows a double-byte character of the code
// page (Japanese, Chinese, Korean) is stepped over whole, so its trail byte
// is never mistaken for "\" or a quote. At the terminating NUL the pointer
// stays where it is.
const char* NextChar(const char* text);

// The signature of NextChar, for code that steps text and wants to be
// tested with other code pages than the one of the running system.
using NextCharFunction = const char* (*)(const char*);

}  // namespace sys
