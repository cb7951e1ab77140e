// Strings are UTF-8 in values, but the player counts and indexes them in
// UTF-16 code units: "😋".length is 2 and charAt(0) is half of it. The
// string methods convert to UTF-16, work there, and convert back; a lone
// surrogate left by such a cut becomes U+FFFD on the way back, which is
// also how the player prints it.
#pragma once

#include <string>
#include <string_view>

namespace swf::avm1 {

// Bytes that are not valid UTF-8 are read as the Latin-1 character of the
// same value, so every byte string has a reading.
std::u16string ToUtf16(std::string_view utf8);
std::string FromUtf16(std::u16string_view utf16);
// The length the player reports: UTF-16 code units.
size_t Utf16Length(std::string_view utf8);
// One code point (at most U+10FFFF) added as UTF-8.
void AppendUtf8(std::string& out, char32_t point);
// One code unit as UTF-8 (a surrogate on its own is U+FFFD).
std::string CodeUnitToUtf8(char16_t unit);

}  // namespace swf::avm1
