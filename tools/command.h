#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sys/clock.h"

namespace tools {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the work itself failed
inline constexpr int kExitUsage = 2;    // the command line was wrong

// What a subcommand gets: its own arguments (after the subcommand's name)
// split into positional arguments and "--name" / "--name=value" options.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;

  bool Has(std::string_view name) const;
  std::optional<std::string> Value(std::string_view name) const;
};

// Splits the arguments; "--" ends the options, so a movie named "--x" can
// still be given.
Arguments ParseArguments(const std::vector<std::string>& raw);

struct CommandContext {
  const Arguments& arguments;
  std::ostream& out;
  std::ostream& err;
};

// One entry of the tool's dispatch table.
struct Command {
  std::string_view name;
  std::string_view usage;    // the arguments, after "quorvel-pack <name> "
  std::string_view summary;  // one line for the overall help
  std::vector<std::string_view> allowedOptions;
  int (*run)(const CommandContext& context);
};

// Prints "quorvel-pack: " and the message to err; returns kExitFailure.
int Fail(std::ostream& err, const std::string& message);

// "YYYY-MM-DD" to a date, nothing when it is not a real calendar date.
std::optional<sys::CalendarDate> ParseIsoDate(std::string_view text);
std::string FormatIsoDate(const sys::CalendarDate& date);

}  // namespace tools
