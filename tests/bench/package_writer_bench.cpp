// Package writer throughput on a few megabytes of movie data: the
// compression of the whole payload dominates a build.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "core/package_reader.h"
#include "core/package_writer.h"
#include "sys/temp_folder.h"

namespace {

constexpr std::size_t kMovieBytes = 4 << 20;

// Movies are mostly zlib-compressed SWF files already: random bytes stand
// for them. Uncompressed movies hold repetitive tag data: text stands for it.
std::string IncompressibleMovie() { return testing_support::PseudoRandomBytes(kMovieBytes, 1); }

std::string TextLikeMovie() {
  std::mt19937 random(2);
  std::string text;
  static const char* const kWords[] = {"DefineShape ", "PlaceObject2 ", "ShowFrame ", "frame ",
                                       "gotoAndPlay ", "_root.", "stop();\n", "0x3F "};
  while (text.size() < kMovieBytes) text += kWords[random() % 8];
  text.resize(kMovieBytes);
  return text;
}

void WriteFromMemory(benchmark::State& state, const std::string& movie) {
  for (auto _ : state) {
    core::PackageWriter writer;
    writer.AddMovieBytes("movie.swf", movie);
    std::string block = writer.Finish(true, 36526.0);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(movie.size()));
}

void BM_WriterIncompressible(benchmark::State& state) { WriteFromMemory(state, IncompressibleMovie()); }
void BM_WriterTextLike(benchmark::State& state) { WriteFromMemory(state, TextLikeMovie()); }

// The whole road from movie files to the package file on disk.
void BM_BuildPackageFileFromDisk(benchmark::State& state) {
  testing_support::TempFolder folder;
  const std::string stub = folder.Write("player.dat", std::string(200 << 10, 'S'));
  const std::vector<std::string> movies = {folder.Write("a.swf", IncompressibleMovie()),
                                           folder.Write("b.swf", TextLikeMovie())};
  const std::string target = folder / "out.exe";
  for (auto _ : state) core::BuildPackageFile(stub, movies, false, 36526.0, target);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * kMovieBytes);
}

void BM_ReadPackage(benchmark::State& state) {
  core::PackageWriter writer;
  writer.AddMovieBytes("a.swf", IncompressibleMovie());
  const std::string file = "STUB" + writer.Finish(true, 36526.0);
  for (auto _ : state) {
    core::Package package = core::ReadPackage(file);
    benchmark::DoNotOptimize(package.payload.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMovieBytes);
}

BENCHMARK(BM_WriterIncompressible)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriterTextLike)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPackageFileFromDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPackage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
