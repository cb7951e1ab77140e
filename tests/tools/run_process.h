#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
  int exitCode = -1;
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Starts the program with the arguments (each passed as one argument, no
// shell in between), waits for it and collects what it printed. The output
// goes through files in `scratchFolder`.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder);

}  // namespace testing_support
