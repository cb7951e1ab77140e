#pragma once

#include <string>
#include <string_view>

#include "sys/text.h"

namespace core {

// Turns a movie name from a package directory into a plain file name that
// is safe to create inside one chosen folder on Windows and POSIX alike.
// A package may come from anywhere, so its names are not trusted:
// separators, drive colons and characters that Windows forbids become "_";
// leading and trailing dots and blanks go (Windows drops the trailing ones,
// which would otherwise turn ".." or "a. " into something else); reserved
// device names (CON, NUL, COM1, ...) get a leading "_"; a name with nothing
// left becomes "movie<number>.swf" with the movie's 1-based position.
// Double-byte characters are kept whole.
std::string NeutralizeMovieName(std::string_view name, std::size_t position,
                                sys::NextCharFunction next = sys::NextChar);

}  // namespace core
