#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
  int exitCode = -1;
  std::string output;  // standard output
  std::string errors;  // standard error
  bool timedOut = false;  // ended by the time limit (exitCode is then -1)
};

// No time limit.
inline constexpr unsigned kNoTimeLimit = 0;

// Starts the program with the arguments (each passed as one argument, no
// shell in between), waits for it and collects what it printed. The output
// goes through files in `scratchFolder`. A program still running after
// `timeLimitMs` is ended.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, unsigned timeLimitMs = kNoTimeLimit);

// The quorvel-pack program, built into the same folder as this test program.
std::string QuorvelPackPath();

}  // namespace testing_support
