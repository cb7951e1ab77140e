#pragma once

namespace testing_support {

// Steps text as Windows does in the Japanese code page 932, whatever the
// running system's code page is: a lead byte (0x81-0x9F, 0xE0-0xFC) takes
// the next byte with it, which may be 0x5C ("\") or 0x7C ("|").
const char* NextCharCodePage932(const char* text);

}  // namespace testing_support
