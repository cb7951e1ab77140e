#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "trace_compare.h"

namespace trace_corpus {

// What the harness needs from a test folder.
struct TraceCase {
  std::string name;
  std::filesystem::path folder;
  long long frames = 1;  // num_frames or num_ticks: a tick is one frame
  bool hasInput = false;
  std::optional<Approximations> approximations;
};

// Reads `folder`/test.toml; throws std::runtime_error naming the test.
TraceCase LoadTraceCase(const std::filesystem::path& folder);

// Every test folder (one holding test.toml) under `root`, sorted by name.
std::vector<std::filesystem::path> ListTraceCases(const std::filesystem::path& root);

// Names, one a line; '#' starts a comment.
std::vector<std::string> ReadNameList(const std::filesystem::path& file);

}  // namespace trace_corpus
