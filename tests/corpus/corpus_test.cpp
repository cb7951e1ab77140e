// Renders every case of the reference corpus at its frame count and compares
// the picture with the case's expected.png under its tolerance. Cases listed
// in baseline.txt must match (a regression fails the test); the others are
// run and reported, so that a newly matching case shows up. For every
// mismatch, actual and diff pictures are written to the build folder.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <string>

#include "corpus_case.h"
#include "image_compare.h"
#include "swf/player.h"
#include "swf/render/png_encoder.h"
#include "swf/snapshot.h"

namespace corpus {
namespace {

const std::filesystem::path kCorpusRoot = QUORVEL_RENDER_CORPUS;
const std::filesystem::path kBaselineFile = QUORVEL_CORPUS_BASELINE;
const std::filesystem::path kFailureFolder = QUORVEL_CORPUS_OUTPUT;

std::set<std::string> ReadBaseline() {
  std::set<std::string> names;
  std::ifstream in(kBaselineFile);
  std::string line;
  while (std::getline(in, line)) {
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) names.insert(line);
  }
  return names;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WritePng(const std::filesystem::path& path, const RgbaImage& image) {
  const auto png = swf::EncodePngRgba(image.width, image.height, image.pixels);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
}

struct Outcome {
  bool match = false;
  std::string detail;
};

Outcome RunCase(const CorpusCase& c) {
  const std::vector<uint8_t> movie = ReadBytes(c.folder / "movie.swf");
  swf::Player player(movie);
  swf::SnapshotOptions options;
  options.frames = c.numFrames;
  // A picture of the stage's own size shows it 1:1 (a fractional stage cut
  // at its last whole pixel); any other size is a viewport the stage is
  // scaled into.
  const bool stageSized = c.imageWidth == static_cast<int>(std::floor(player.StageWidth())) &&
                          c.imageHeight == static_cast<int>(std::floor(player.StageHeight()));
  if (!stageSized) {
    options.width = c.imageWidth;
    options.height = c.imageHeight;
  }
  options.quality = c.lowQuality ? swf::Quality::kLow : swf::Quality::kHigh;
  const swf::Snapshot snapshot = swf::TakeSnapshot(player, options);
  const RgbaImage actual{snapshot.width, snapshot.height, snapshot.rgba};
  const RgbaImage expected = ReadPng(c.folder / "expected.png");
  if (expected.width != actual.width || expected.height != actual.height) {
    return {false, "size differs from expected.png"};
  }
  const std::vector<int> differences = PixelDifferences(actual, expected);
  Outcome outcome{true, {}};
  for (const ComparisonCheck& check : c.checks) {
    const int outliers = CountOutliers(differences, check.tolerance);
    outcome.detail += "tolerance " + std::to_string(check.tolerance) + ": " + std::to_string(outliers) +
                      " outliers (allowed " + std::to_string(check.maxOutliers) + "); ";
    if (outliers > check.maxOutliers) outcome.match = false;
  }
  if (!outcome.match) {
    std::filesystem::create_directories(kFailureFolder);
    WritePng(kFailureFolder / (c.name + ".actual.png"), actual);
    WritePng(kFailureFolder / (c.name + ".diff.png"), DiffPicture(expected, differences, c.checks.front().tolerance));
  }
  return outcome;
}

class RenderCorpus : public testing::TestWithParam<std::filesystem::path> {};

TEST_P(RenderCorpus, MatchesReferenceWhenInBaseline) {
  const CorpusCase c = LoadCase(GetParam());
  const bool inBaseline = ReadBaseline().count(c.name) > 0;
  Outcome outcome;
  try {
    outcome = RunCase(c);
  } catch (const std::exception& error) {
    outcome = {false, std::string("error: ") + error.what()};
  }
  if (inBaseline) {
    if (outcome.match) std::cout << "[ MATCH    ] " << c.name << ": " << outcome.detail << "\n";
    EXPECT_TRUE(outcome.match) << c.name << " no longer matches its reference: " << outcome.detail
                               << " (pictures in " << kFailureFolder.string() << ")";
  } else if (outcome.match) {
    std::cout << "[ NEW MATCH] " << c.name << " matches now; add it to baseline.txt\n";
  } else {
    std::cout << "[ NOT YET  ] " << c.name << ": " << outcome.detail << "\n";
  }
}

std::string CaseTestName(const testing::TestParamInfo<std::filesystem::path>& info) {
  std::string name = info.param.filename().string();
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Dev, RenderCorpus, testing::ValuesIn(ListCaseFolders(kCorpusRoot)), CaseTestName);

// A baseline entry without a case folder would silently stop guarding anything.
TEST(RenderCorpusBaseline, EveryEntryNamesACase) {
  const auto baseline = ReadBaseline();
  EXPECT_FALSE(baseline.empty());
  for (const std::string& name : baseline) {
    EXPECT_TRUE(std::filesystem::exists(kCorpusRoot / name / "case.json")) << name << " is not a corpus case";
  }
}

}  // namespace
}  // namespace corpus
