#include "code_page_932.h"

namespace testing_support {

const char* NextCharCodePage932(const char* text) {
  const unsigned char lead = static_cast<unsigned char>(*text);
  if (lead == 0) return text;
  const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (isLead && text[1] != '\0') return text + 2;
  return text + 1;
}

}  // namespace testing_support
