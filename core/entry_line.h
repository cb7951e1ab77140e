#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// One line of the movie list's text list: "item:thumbnail:path". The path
// may hold colons of its own (a drive letter's), so it is everything after
// the line's second colon.
struct EntryLine {
  int itemIndex = 0;
  int thumbnailIndex = 0;
  std::string path;
};

std::string FormatEntryLine(const EntryLine& entry);

// Nothing when the line has fewer than two colons or an index is not a
// decimal number.
std::optional<EntryLine> ParseEntryLine(std::string_view line);

// The text after the second colon; empty when there is no second colon.
std::string EntryLinePath(std::string_view line);

// The decimal number before the first colon, if it is one.
std::optional<int> EntryLineItemIndex(std::string_view line);

// The same line with another item index; the rest, from the first colon
// on, is kept as it stands. A line without a colon is returned unchanged.
std::string WithItemIndex(std::string_view line, int itemIndex);

// Strict decimal: an optional "-" and digits, within int's range.
std::optional<int> ParseDecimal(std::string_view text);

}  // namespace core
