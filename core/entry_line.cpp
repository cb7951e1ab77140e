#include "core/entry_line.h"

#include <charconv>

namespace core {

std::optional<int> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string FormatEntryLine(const EntryLine& entry) {
  return std::to_string(entry.itemIndex) + ":" + std::to_string(entry.thumbnailIndex) + ":" +
         entry.path;
}

std::optional<EntryLine> ParseEntryLine(std::string_view line) {
  const std::size_t first = line.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = line.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::optional<int> item = ParseDecimal(line.substr(0, first));
  const std::optional<int> thumbnail = ParseDecimal(line.substr(first + 1, second - first - 1));
  if (!item || !thumbnail) return std::nullopt;
  return EntryLine{*item, *thumbnail, std::string(line.substr(second + 1))};
}

std::string EntryLinePath(std::string_view line) {
  const std::size_t first = line.find(':');
  if (first == std::string_view::npos) return {};
  const std::size_t second = line.find(':', first + 1);
  if (second == std::string_view::npos) return {};
  return std::string(line.substr(second + 1));
}

std::optional<int> EntryLineItemIndex(std::string_view line) {
  return ParseDecimal(line.substr(0, line.find(':')));
}

std::string WithItemIndex(std::string_view line, int itemIndex) {
  const std::size_t first = line.find(':');
  if (first == std::string_view::npos) return std::string(line);
  return std::to_string(itemIndex) + std::string(line.substr(first));
}

}  // namespace core
