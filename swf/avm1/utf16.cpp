#include "swf/avm1/utf16.h"

#include <cstdint>

namespace swf::avm1 {
namespace {

// Decodes the code point at `i`, advancing it; invalid sequences give the
// first byte as a Latin-1 character.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int extra = 0;
  char32_t point = lead;
  if (lead >= 0xF0 && lead < 0xF5) {
    extra = 3;
    point = lead & 0x07;
  } else if (lead >= 0xE0) {
    extra = 2;
    point = lead & 0x0F;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    extra = 1;
    point = lead & 0x1F;
  }
  if (extra == 0 || text.size() - i - 1 < static_cast<size_t>(extra)) {
    ++i;
    return lead;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return lead;
    }
    point = (point << 6) | (next & 0x3F);
  }
  const bool overlong = (extra == 2 && point < 0x800) || (extra == 3 && point < 0x10000);
  if (overlong || point > 0x10FFFF) {
    ++i;
    return lead;
  }
  i += static_cast<size_t>(extra) + 1;
  return point;
}


}  // namespace

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

std::u16string ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t point = NextCodePoint(utf8, i);
    if (point >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
  }
  return out;
}

std::string FromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit < 0xE000) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

size_t Utf16Length(std::string_view utf8) {
  size_t length = 0;
  for (size_t i = 0; i < utf8.size();) length += NextCodePoint(utf8, i) >= 0x10000 ? 2 : 1;
  return length;
}

std::string CodeUnitToUtf8(char16_t unit) {
  std::string out;
  AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  return out;
}

}  // namespace swf::avm1
