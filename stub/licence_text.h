#pragma once
// The licences the player carries, so that a package handed out alone still
// has them: the packager's own and the notice of every library built into
// it (LICENSE and assets/licences, embedded when the stub is built).

#include <string_view>

namespace stub {

// Plain text, lines ended by "\n".
std::string_view LicenceText();

}  // namespace stub
