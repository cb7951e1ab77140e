#include "sys/text.h"

#include <windows.h>

namespace sys {

const char* NextChar(const char* text) {
  // CharNextA follows the ANSI code page's lead bytes and stops at the NUL.
  return CharNextA(text);
}

}  // namespace sys
