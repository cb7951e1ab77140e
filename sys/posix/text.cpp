#include "sys/text.h"

namespace sys {

// The POSIX build works on single-byte text (UTF-8 names pass through
// byte by byte, and no byte of a UTF-8 sequence is below 0x80 except ASCII).
const char* NextChar(const char* text) { return *text != '\0' ? text + 1 : text; }

}  // namespace sys
