#include "tools/command.h"

#include <algorithm>
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

namespace {

struct OptionKind {
  bool known = false;
  bool takesValue = false;
};

OptionKind FindOption(OptionList options, std::string_view name) {
  for (std::string_view entry : options) {
    const bool valued = entry.ends_with('=');
    if (valued) entry.remove_suffix(1);
    if (entry == name) return {true, valued};
  }
  return {};
}

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& raw, OptionList options) {
  Arguments arguments;
  for (const std::string& argument : raw) {
    if (argument == "--") break;
    if (IsHelp(argument)) {
      arguments.helpRequested = true;
      return arguments;
    }
  }
  bool optionsEnded = false;
  bool outputGiven = false;
  std::string output;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const std::string& argument = raw[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
      continue;
    }
    const bool shortOutput = argument == "-o";
    if (optionsEnded || (!shortOutput && !(argument.size() > 2 && argument.starts_with("--")))) {
      arguments.positional.push_back(argument);
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = shortOutput ? std::string(kOutputOption) : argument.substr(2, equals - 2);
    const std::string shown = shortOutput ? "-o" : "--" + name;
    const OptionKind kind = FindOption(options, name);
    if (!kind.known) throw UsageError("unknown option " + shown);
    std::string value;
    if (!kind.takesValue) {
      if (equals != std::string::npos) throw UsageError(shown + " takes no value");
    } else if (equals != std::string::npos && !shortOutput) {
      value = argument.substr(equals + 1);
    } else {
      // The next argument is the value, whatever it looks like ("--now -5").
      if (i + 1 >= raw.size()) throw UsageError(shown + " needs a value");
      value = raw[++i];
    }
    if (kind.takesValue && arguments.Has(name)) throw UsageError(shown + " is given twice");
    if (name == kOutputOption) {
      if (outputGiven) throw UsageError(shown + " is given twice");
      outputGiven = true;
      output = value;
      continue;
    }
    arguments.options.emplace_back(name, value);
  }
  if (outputGiven) {
    const std::size_t at = std::min<std::size_t>(1, arguments.positional.size());
    arguments.positional.insert(arguments.positional.begin() + static_cast<std::ptrdiff_t>(at), output);
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

std::optional<long long> ParseInteger(std::string_view text, long long minimum, long long maximum) {
  long long value = 0;
  const char* begin = text.data();
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') ++begin;
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

std::string FormatIsoDate(const sys::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace tools
