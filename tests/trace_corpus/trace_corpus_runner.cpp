// Runs every test of the script corpus through "quorvel-pack trace", each as
// its own process with a time limit, and compares what it printed with the
// test's output.txt. Tests listed in the baseline must pass (one that stops
// passing fails the run); the others are run and counted, and those that pass
// now are named so that the baseline can be raised.
//
// trace_corpus_runner --corpus DIR --baseline FILE [--tool PATH] [--jobs N]
//     [--time-limit SECONDS] [--only NAME,NAME...] [--results FILE]
// The tool defaults to the quorvel-pack beside this program.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../sys/temp_folder.h"
#include "../tools/run_process.h"
#include "sys/process.h"
#include "trace_case.h"

namespace trace_corpus {
namespace {

// The environment the expected outputs were recorded in.
constexpr const char* kNowMilliseconds = "981152406000";
constexpr const char* kUtcOffsetMinutes = "345";

struct Settings {
  std::string tool;
  std::filesystem::path corpus;
  std::filesystem::path baseline;
  std::filesystem::path results;
  unsigned jobs = 2;
  unsigned timeLimitSeconds = 30;
  std::vector<std::string> only;
};

struct Outcome {
  bool pass = false;
  std::string detail;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

Outcome RunCase(const std::filesystem::path& folder, const Settings& settings, const std::string& scratch) {
  TraceCase c;
  try {
    c = LoadTraceCase(folder);
  } catch (const std::exception& error) {
    return {false, error.what()};
  }
  std::vector<std::string> arguments = {"trace",        (folder / "test.swf").string(),
                                        "--frames",     std::to_string(c.frames),
                                        "--now",        kNowMilliseconds,
                                        "--utc-offset", kUtcOffsetMinutes};
  if (c.hasInput) {
    arguments.push_back("--input");
    arguments.push_back((folder / "input.json").string());
  }
  const testing_support::ProcessResult run =
      testing_support::RunProcess(settings.tool, arguments, scratch, settings.timeLimitSeconds * 1000);
  if (run.timedOut) return {false, "still running after " + std::to_string(settings.timeLimitSeconds) + " s"};
  if (run.exitCode != 0) {
    std::string firstError = run.errors.substr(0, run.errors.find('\n'));
    return {false, "exit code " + std::to_string(run.exitCode) + (firstError.empty() ? "" : ": " + firstError)};
  }
  // A log never holds a carriage return (the player ends a line there), so
  // one in an expected output is only a stored file's CRLF line end.
  std::string expected = ReadFile(folder / "output.txt");
  std::erase(expected, '\r');
  const Comparison comparison = CompareTrace(expected, run.output, c.approximations);
  return {comparison.match, comparison.difference};
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

bool ReadSettings(int argc, char** argv, Settings& settings) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--tool") {
      settings.tool = value;
    } else if (name == "--corpus") {
      settings.corpus = value;
    } else if (name == "--baseline") {
      settings.baseline = value;
    } else if (name == "--results") {
      settings.results = value;
    } else if (name == "--jobs") {
      settings.jobs = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
    } else if (name == "--time-limit") {
      settings.timeLimitSeconds = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
    } else if (name == "--only") {
      settings.only = SplitCommas(value);
    } else {
      std::cerr << "unknown option " << name << "\n";
      return false;
    }
  }
  if (settings.tool.empty()) {
#ifdef _WIN32
    settings.tool = sys::ExecutableFolder() + "quorvel-pack.exe";
#else
    settings.tool = sys::ExecutableFolder() + "quorvel-pack";
#endif
  }
  return argc % 2 == 1 && !settings.corpus.empty() && !settings.baseline.empty();
}

int Run(const Settings& settings) {
  const std::vector<std::string> baselineList = ReadNameList(settings.baseline);
  const std::set<std::string> baseline(baselineList.begin(), baselineList.end());
  std::vector<std::filesystem::path> folders;
  if (settings.only.empty()) {
    folders = ListTraceCases(settings.corpus);
  } else {
    for (const std::string& name : settings.only) folders.push_back(settings.corpus / name);
  }
  int problems = 0;
  // A baseline entry without a test would silently stop guarding anything.
  for (const std::string& name : baseline) {
    if (!std::filesystem::exists(settings.corpus / name / "test.toml")) {
      std::cout << "[ NO TEST  ] " << name << " is in the baseline but not in the corpus\n";
      ++problems;
    }
  }

  std::vector<Outcome> outcomes(folders.size());
  std::atomic<std::size_t> next{0};
  std::mutex printing;
  auto worker = [&] {
    const testing_support::TempFolder scratch;
    for (std::size_t i = next++; i < folders.size(); i = next++) {
      outcomes[i] = RunCase(folders[i], settings, scratch.Path());
      const std::string name = folders[i].filename().string();
      if (baseline.count(name) != 0 && !outcomes[i].pass) {
        const std::lock_guard lock(printing);
        std::cout << "[ REGRESSED] " << name << ": " << outcomes[i].detail << "\n" << std::flush;
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned j = 0; j < std::max(1u, settings.jobs); ++j) workers.emplace_back(worker);
  for (std::thread& thread : workers) thread.join();

  std::size_t passing = 0;
  std::vector<std::string> newlyPassing;
  std::ofstream results;
  if (!settings.results.empty()) results.open(settings.results);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::string name = folders[i].filename().string();
    const bool listed = baseline.count(name) != 0;
    if (outcomes[i].pass) ++passing;
    if (outcomes[i].pass && !listed) newlyPassing.push_back(name);
    if (listed && !outcomes[i].pass) ++problems;
    if (results) results << (outcomes[i].pass ? "PASS " : "FAIL ") << name << (outcomes[i].detail.empty() ? "" : ": ") << outcomes[i].detail << "\n";
  }
  for (const std::string& name : newlyPassing) {
    std::cout << "[ NEW PASS ] " << name << " passes now; add it to the baseline\n";
  }
  std::cout << passing << " of " << folders.size() << " pass (baseline " << baseline.size() << ")\n";
  if (!settings.results.empty()) std::cout << "every result: " << settings.results.string() << "\n";
  return problems == 0 ? 0 : 1;
}

}  // namespace
}  // namespace trace_corpus

int main(int argc, char** argv) {
  trace_corpus::Settings settings;
  if (!trace_corpus::ReadSettings(argc, argv, settings)) {
    std::cerr << "usage: trace_corpus_runner --corpus DIR --baseline FILE [--tool PATH] [--jobs N] "
                 "[--time-limit SECONDS] [--only NAME,...] [--results FILE]\n";
    return 2;
  }
  try {
    return trace_corpus::Run(settings);
  } catch (const std::exception& error) {
    std::cerr << "trace_corpus_runner: " << error.what() << "\n";
    return 1;
  }
}
