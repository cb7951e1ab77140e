#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

// What the render command owes its caller for any movie file: exit 0 with a
// PNG file and one line on stdout, or a non-zero exit code, no PNG and one
// refusal line on stderr (notes about the movie may come before it).
struct RenderOutcome {
  int exitCode = 0;
  std::string out;
  std::string err;
};

RenderOutcome RunRenderCommand(const std::filesystem::path& movie, const std::filesystem::path& png,
                               const std::vector<std::string>& options);

// True when the outcome keeps the contract above (`png` as passed to the run).
bool KeepsRenderContract(const RenderOutcome& outcome, const std::filesystem::path& png);

}  // namespace fuzz
