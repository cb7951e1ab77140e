// The engine on the reference corpus: frames per second (one tick and one
// render of the whole stage at 550 x 400, high quality) for every movie, as
// played and as a first drawing with nothing kept from before, and the time
// to load the largest movie.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/player.h"
#include "swf/render/renderer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 550;
constexpr int kHeight = 400;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> CorpusMovies() {
  std::vector<fs::path> movies;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(QUORVEL_RENDER_CORPUS, error)) {
    if (fs::exists(entry.path() / "movie.swf")) movies.push_back(entry.path() / "movie.swf");
  }
  std::sort(movies.begin(), movies.end());
  return movies;
}

void PlayAndRender(benchmark::State& state, const fs::path& moviePath) {
  const std::vector<uint8_t> bytes = ReadFile(moviePath);
  swf::Player player(bytes);
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  const swf::RenderTarget target{pixels.data(), kWidth, kHeight, kWidth * 4, swf::PixelFormat::kBgra32};
  for (auto _ : state) {
    player.Tick();
    player.Render(target, swf::Quality::kHigh);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The same frame drawn with nothing kept from earlier drawings (no reused
// memory, no kept fill cells): what the first frame of a scene costs.
void RenderUncached(benchmark::State& state, const fs::path& moviePath) {
  const std::vector<uint8_t> bytes = ReadFile(moviePath);
  swf::Player player(bytes);
  player.Tick();
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  const swf::RenderTarget target{pixels.data(), kWidth, kHeight, kWidth * 4, swf::PixelFormat::kBgra32};
  swf::RenderOptions options;
  options.view = swf::ShowAllTransform(player.StageRect(), kWidth, kHeight);
  options.background = player.BackgroundColor();
  options.bitmaps = &player.Movie().bitmaps;
  for (auto _ : state) {
    swf::RenderStage(player.Objects(), target, options);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void LoadLargest(benchmark::State& state, const fs::path& moviePath) {
  const std::vector<uint8_t> bytes = ReadFile(moviePath);
  for (auto _ : state) {
    swf::Player player(bytes);
    benchmark::DoNotOptimize(&player);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// One benchmark per corpus movie (several cases share a movie: each is run once).
const bool kRegistered = [] {
  const std::vector<fs::path> movies = CorpusMovies();
  if (movies.empty()) std::cerr << "no movies in " << QUORVEL_RENDER_CORPUS << "\n";
  std::vector<std::string> seen;
  fs::path largest;
  uintmax_t largestSize = 0;
  for (const fs::path& movie : movies) {
    const uintmax_t size = fs::file_size(movie);
    if (size > largestSize) {
      largestSize = size;
      largest = movie;
    }
    std::string name = movie.parent_path().filename().string();
    name = name.substr(0, name.find("__"));
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
    seen.push_back(name);
    benchmark::RegisterBenchmark(("BM_PlayAndRender/" + name).c_str(), PlayAndRender, movie)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_RenderUncached/" + name).c_str(), RenderUncached, movie)
        ->Unit(benchmark::kMillisecond);
  }
  if (!largest.empty()) {
    benchmark::RegisterBenchmark(("BM_LoadLargest/" + largest.parent_path().filename().string()).c_str(),
                                 LoadLargest, largest)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
