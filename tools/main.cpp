// quorvel-pack: builds, lists, verifies and extracts packages from the
// command line. Each subcommand is one row of the dispatch table below.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/info_command.h"
#include "tools/package_commands.h"
#include "tools/render_command.h"

namespace tools {
namespace {

struct CommandRow {
  Command command;
  std::size_t minPositional;
  std::size_t maxPositional;  // kNoLimit for "any number"
};

constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

const std::vector<CommandRow>& CommandTable() {
  static const std::vector<CommandRow> table = {
      {{"build", "<stub> <target> <movie>... [--release] [--force] [--date=YYYY-MM-DD]",
        "write a package: the stub followed by the compressed movies",
        {"release", "force", "date"}, RunBuild},
       3, kNoLimit},
      {{"list", "<package>", "show the movies, the release flag and the date", {}, RunList},
       1, 1},
      {{"verify", "<package>", "check that a package is well formed", {}, RunVerify}, 1, 1},
      {{"extract", "<package> <folder> [--force]",
        "write the movies into a folder, if the package allows it", {"force"}, RunExtract},
       2, 2},
      {{"render", kRenderUsage, "write the frame a movie shows after N frames as a PNG picture",
        {"frames", "width", "height", "quality"}, RunRender},
       2, 6},
      {{"info", kInfoUsage, "show a movie's figures and what in it is not run or drawn", {"json"}, RunInfo}, 1, 1},
  };
  return table;
}

void PrintUsage(std::ostream& to) {
  to << "usage: quorvel-pack <command> [arguments]\n\ncommands:\n";
  for (const CommandRow& row : CommandTable()) {
    to << "  " << row.command.name << " " << row.command.usage << "\n      "
       << row.command.summary << "\n";
  }
}

int UsageError(const Command& command, const std::string& problem) {
  std::cerr << "quorvel-pack: " << problem << "\nusage: quorvel-pack " << command.name << " "
            << command.usage << "\n";
  return kExitUsage;
}

int Dispatch(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
    PrintUsage(argv.empty() ? std::cerr : std::cout);
    return argv.empty() ? kExitUsage : kExitSuccess;
  }
  const auto& table = CommandTable();
  const auto row = std::find_if(table.begin(), table.end(),
                                [&](const CommandRow& r) { return r.command.name == argv[0]; });
  if (row == table.end()) {
    std::cerr << "quorvel-pack: unknown command \"" << argv[0] << "\"\n";
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  const Command& command = row->command;
  const Arguments arguments = ParseArguments({argv.begin() + 1, argv.end()});
  for (const auto& option : arguments.options) {
    const auto& allowed = command.allowedOptions;
    if (std::find(allowed.begin(), allowed.end(), option.first) == allowed.end()) {
      return UsageError(command, "unknown option --" + option.first);
    }
  }
  const std::size_t count = arguments.positional.size();
  if (count < row->minPositional || count > row->maxPositional) {
    return UsageError(command, "wrong number of arguments");
  }
  return command.run({arguments, std::cout, std::cerr});
}

}  // namespace
}  // namespace tools

int main(int argc, char** argv) {
  try {
    return tools::Dispatch(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::cerr << "quorvel-pack: " << error.what() << "\n";
    return tools::kExitFailure;
  }
}
