#include "tools/command.h"

#include <charconv>
#include <cstdio>
#include <ostream>

namespace tools {

bool Arguments::Has(std::string_view name) const {
  for (const auto& option : options) {
    if (option.first == name) return true;
  }
  return false;
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  for (const auto& option : options) {
    if (option.first == name) return option.second;
  }
  return std::nullopt;
}

Arguments ParseArguments(const std::vector<std::string>& raw) {
  Arguments arguments;
  bool optionsEnded = false;
  for (const std::string& argument : raw) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 2 && argument.starts_with("--")) {
      const std::size_t equals = argument.find('=');
      if (equals == std::string::npos) {
        arguments.options.emplace_back(argument.substr(2), std::string());
      } else {
        arguments.options.emplace_back(argument.substr(2, equals - 2), argument.substr(equals + 1));
      }
    } else {
      arguments.positional.push_back(argument);
    }
  }
  return arguments;
}

int Fail(std::ostream& err, const std::string& message) {
  err << "quorvel-pack: " << message << "\n";
  return kExitFailure;
}

std::optional<sys::CalendarDate> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  auto number = [&](std::size_t offset, std::size_t length) -> std::optional<int> {
    int value = 0;
    const char* begin = text.data() + offset;
    const auto [end, error] = std::from_chars(begin, begin + length, value);
    if (error != std::errc() || end != begin + length) return std::nullopt;
    return value;
  };
  const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
  if (!year || !month || !day || *year < 100 || *month < 1 || *month > 12 || *day < 1) {
    return std::nullopt;
  }
  static constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
  const int monthDays = *month == 2 && !leap ? 28 : kDaysInMonth[*month - 1];
  if (*day > monthDays) return std::nullopt;
  return sys::CalendarDate{*year, *month, *day};
}

std::string FormatIsoDate(const sys::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace tools
