// Replays every input a fuzzer has ever flagged (tests/fuzz/regressions/)
// and the built-in seed movies through the routine the fuzzer runs, and
// through the render command. The native build runs this under ASan and
// UBSan, so an input whose fault comes back fails here, not only in a fuzzing
// session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "largest_allocation.h"
#include "movie_exercise.h"
#include "render_contract.h"
#include "seed_movies.h"
#include "swf/parse/header.h"
#include "swf/player.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressionFolder = QUORVEL_FUZZ_REGRESSIONS;

struct Input {
  std::string name;
  std::vector<uint8_t> bytes;
};

std::vector<Input> RegressionInputs() {
  std::vector<Input> inputs;
  for (const auto& entry : fs::directory_iterator(kRegressionFolder)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".swf") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    inputs.push_back({entry.path().filename().string(),
                      std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
  }
  std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.name < b.name; });
  return inputs;
}

std::vector<Input> SeedInputs() {
  std::vector<Input> inputs;
  for (auto& [name, bytes] : SeedMovies()) inputs.push_back({name, std::move(bytes)});
  return inputs;
}

std::string TestName(const testing::TestParamInfo<Input>& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

class FuzzInput : public testing::TestWithParam<Input> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("quorvel-fuzz-replay-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "-" +
               TestName({GetParam(), 0}));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

// No single block may outgrow the engine's own limit on a decoded movie:
// the inputs are a few kilobytes, whatever sizes they claim.
TEST_P(FuzzInput, PlaysAndRendersWithBoundedAllocations) {
  LargestAllocation::Reset();
  ExerciseMovie(GetParam().bytes);
  if (const auto largest = LargestAllocation::Largest()) {
    EXPECT_LE(*largest, swf::kMaxDecodedSize);
  }
}

TEST_P(FuzzInput, RenderCommandRendersOrRefusesInOneLine) {
  const fs::path movie = folder_ / "movie.swf";
  const fs::path png = folder_ / "out.png";
  std::ofstream(movie, std::ios::binary)
      .write(reinterpret_cast<const char*>(GetParam().bytes.data()), static_cast<std::streamsize>(GetParam().bytes.size()));
  for (const char* quality : {"--quality=high", "--quality=low"}) {
    const RenderOutcome outcome = RunRenderCommand(movie, png, {"--width=64", "--frames=3", quality});
    EXPECT_TRUE(KeepsRenderContract(outcome, png))
        << "exit " << outcome.exitCode << "\nstdout: " << outcome.out << "\nstderr: " << outcome.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Regressions, FuzzInput, testing::ValuesIn(RegressionInputs()), TestName);
INSTANTIATE_TEST_SUITE_P(Seeds, FuzzInput, testing::ValuesIn(SeedInputs()), TestName);

// The seeds are only worth their place if the engine takes them as movies.
TEST(SeedMovies, AllLoadWithoutWarnings) {
  for (const auto& [name, bytes] : SeedMovies()) {
    SCOPED_TRACE(name);
    swf::Player player(bytes);
    EXPECT_TRUE(player.Warnings().empty()) << player.Warnings().front();
    EXPECT_GE(player.FrameCount(), 1u);
    EXPECT_FALSE(player.Root().children.empty());
  }
}

}  // namespace
}  // namespace fuzz
