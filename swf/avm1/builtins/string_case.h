// One UTF-16 unit in the other case, as the player's string methods map it
// (units it does not map come back unchanged).
#pragma once

namespace swf::avm1 {

char16_t ToLowerUnit(char16_t unit);
char16_t ToUpperUnit(char16_t unit);

}  // namespace swf::avm1
