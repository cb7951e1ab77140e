#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corpus {

// One (tolerance, max outliers) pair; a case may demand several.
struct ComparisonCheck {
  int tolerance = 0;
  int maxOutliers = 0;
};

// What the harness needs from a case folder's case.json.
struct CorpusCase {
  std::string name;
  std::filesystem::path folder;
  int numFrames = 1;
  bool lowQuality = false;
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<ComparisonCheck> checks;
};

// Reads case.json of `folder`; throws std::runtime_error if it is unusable.
CorpusCase LoadCase(const std::filesystem::path& folder);

// Every case folder (one holding case.json) under `root`, sorted by name.
std::vector<std::filesystem::path> ListCaseFolders(const std::filesystem::path& root);

}  // namespace corpus
