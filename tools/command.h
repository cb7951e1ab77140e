#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sys/clock.h"

namespace tools {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the work itself failed
inline constexpr int kExitUsage = 2;    // the command line was wrong

// What a subcommand gets: its own arguments (after the subcommand's name)
// split into positional arguments and named options.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;
  bool helpRequested = false;

  bool Has(std::string_view name) const;
  std::optional<std::string> Value(std::string_view name) const;
};

// A command line that does not fit the command; the message says why.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The options a command accepts, one entry each: "force" is a flag,
// "date=" takes a value (given as "--date VALUE" or "--date=VALUE").
using OptionList = std::span<const std::string_view>;

// The option "output=" stands for the file or folder a command writes, which
// is otherwise its second positional argument: "-o OUT" (or "--output OUT")
// gives it by name, anywhere on the line, and is put back in that place.
inline constexpr std::string_view kOutputOption = "output";

// Splits the arguments by the command's option list; throws UsageError for an
// unknown option, a flag given a value, a valued option without one, or a
// valued option given twice. "--" ends the options, so that a movie named
// "--x" can still be given. "--help" or "-h" before it asks for the usage and
// leaves everything else unchecked.
Arguments ParseArguments(const std::vector<std::string>& raw, OptionList options);

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
  std::vector<std::string_view> allowedOptions;  // see OptionList
  int (*run)(const CommandContext& context);
};

// Prints "quorvel-pack: " and the message to err; returns kExitFailure.
int Fail(std::ostream& err, const std::string& message);

// "YYYY-MM-DD" to a date, nothing when it is not a real calendar date.
std::optional<sys::CalendarDate> ParseIsoDate(std::string_view text);
std::string FormatIsoDate(const sys::CalendarDate& date);

// A whole decimal number within [minimum, maximum], nothing otherwise.
std::optional<long long> ParseInteger(std::string_view text, long long minimum, long long maximum);

}  // namespace tools
