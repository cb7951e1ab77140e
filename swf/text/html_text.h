#pragma once

// The HTML subset text fields take: <p align>, <br>, <b>, <i>, <u>,
// <font face size color letterSpacing kerning>, <a href target>, <li>,
// <textformat leftmargin rightmargin indent blockindent leading tabstops>,
// <span class> (kept as text without a style sheet) and the character
// entities. Anything else is passed over; unknown entities stay as written.

#include <string>
#include <string_view>

#include "swf/text/styled_text.h"

namespace swf::text {

struct HtmlOptions {
  bool multiline = true;      // without it, paragraph breaks are dropped
  bool condenseWhite = false; // runs of white space become one space
};

// The styled text `html` (UTF-8) stands for, starting from `base`
// (complete).
StyledText ParseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options);

// The HTML the text reads back as (htmlText), UTF-8: nothing for no text,
// and no paragraph for what follows a final break.
std::string WriteHtml(const StyledText& text);

// A colour as "#RRGGBB".
std::string ColorText(uint32_t color);

}  // namespace swf::text
