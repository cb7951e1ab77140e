// quorvel-pack: builds, lists, verifies and extracts packages, renders and
// traces movies, from the command line. Each subcommand is one row of the
// dispatch table below; its option list says which options take a value.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/audio_command.h"
#include "tools/command.h"
#include "tools/info_command.h"
#include "tools/package_commands.h"
#include "tools/render_command.h"
#include "tools/trace_command.h"

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
      {{"build", "<stub> <target> <movie>... [--release] [--force] [--date YYYY-MM-DD] (-o <target> may stand for <target>)",
        "write a package: the stub followed by the compressed movies",
        {"release", "force", "date=", "output="}, RunBuild},
       3, kNoLimit},
      {{"list", "<package>", "show the movies, the release flag and the date", {}, RunList},
       1, 1},
      {{"verify", "<package>", "check that a package is well formed", {}, RunVerify}, 1, 1},
      {{"extract", "<package> <folder> [--force] (-o <folder> may stand for <folder>)",
        "write the movies into a folder, if the package allows it", {"force", "output="}, RunExtract},
       2, 2},
      {{"render", kRenderUsage, "write the frame a movie shows after N frames as a PNG picture",
        {kRenderOptions.begin(), kRenderOptions.end()}, RunRender},
       2, 2},
      {{"trace", kTraceUsage, "run a movie for N frames without a picture and print its trace output",
        {kTraceOptions.begin(), kTraceOptions.end()}, RunTrace},
       1, 1},
      {{"audio", kAudioUsage, "write the sound of a movie's first N frames as a WAV file",
        {kAudioOptions.begin(), kAudioOptions.end()}, RunAudio},
       2, 2},
      {{"info", kInfoUsage, "show a movie's figures and what in it is not run or drawn", {"json"}, RunInfo}, 1, 1},
  };
  return table;
}

void PrintUsage(std::ostream& to) {
  to << "usage: quorvel-pack <command> [arguments]\n"
        "  options: --name VALUE or --name=VALUE; -o OUT names the output where a command writes one;\n"
        "  quorvel-pack <command> --help shows one command's usage\n\ncommands:\n";
  for (const CommandRow& row : CommandTable()) {
    to << "  " << row.command.name << " " << row.command.usage << "\n      "
       << row.command.summary << "\n";
  }
}

void PrintCommandUsage(std::ostream& to, const Command& command) {
  to << "usage: quorvel-pack " << command.name << " " << command.usage << "\n";
}

int ReportUsageError(const Command& command, const std::string& problem) {
  std::cerr << "quorvel-pack: " << problem << "\n";
  PrintCommandUsage(std::cerr, command);
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
  Arguments arguments;
  try {
    arguments = ParseArguments({argv.begin() + 1, argv.end()}, command.allowedOptions);
  } catch (const UsageError& error) {
    return ReportUsageError(command, error.what());
  }
  if (arguments.helpRequested) {
    PrintCommandUsage(std::cout, command);
    std::cout << "  " << command.summary << "\n";
    return kExitSuccess;
  }
  const std::size_t count = arguments.positional.size();
  if (count < row->minPositional || count > row->maxPositional) {
    return ReportUsageError(command, "wrong number of arguments");
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
