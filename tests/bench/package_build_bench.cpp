// Whole package builds with the console tool, timed against raw zlib.
//
// For each size and kind of movie data it writes the movie and a stub into a
// temporary folder, runs `quorvel-pack build` as a child process, and takes
// the child's wall time and peak resident memory (wait4). It then compresses
// the same bytes in this process with zlib alone (level 9, window bits 15,
// memory level 8, default strategy) and prints the ratio of the two times:
// the build should cost little more than its compression (target <= 1.10).
//
// The expected peak follows the writer's memory plan: while compressing,
// the payload U and the compressed block Z are both held; while writing,
// the compressed block and the output buffer (stub S plus block) are.
//
// Not run by CTest: a full run takes about a minute and wants a quiet
// machine. Usage: package_build_bench [SIZE_MB...]   (default 1 50 200)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kStubBytes = 256 * 1024;
// Small builds are repeated and the median kept; large ones run once.
constexpr int kSmallRuns = 5;
constexpr std::size_t kSmallLimit = 8 * kMiB;

// Movies are mostly compressed SWF files already: random bytes stand for them.
std::string IncompressibleBytes(std::size_t size) {
  std::mt19937_64 random(20261207);
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; i += 8) {
    const std::uint64_t word = random();
    for (std::size_t k = 0; k < 8 && i + k < size; ++k) bytes[i + k] = static_cast<char>(word >> (8 * k));
  }
  return bytes;
}

// Uncompressed movies hold repetitive tag and script data: text stands for it.
std::string CompressibleBytes(std::size_t size) {
  static const char* const kWords[] = {"DefineShape ", "PlaceObject2 ", "ShowFrame ", "frame ",
                                       "gotoAndPlay(", "_root.", "stop();\n", "0x3F ",
                                       "depth=", "RemoveObject ", "var i = ", "12 ", "345 "};
  constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
  std::mt19937 random(7);
  std::string text;
  text.reserve(size + 32);
  while (text.size() < size) text += kWords[random() % kWordCount];
  text.resize(size);
  return text;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

struct ChildRun {
  double seconds = 0;
  double peakMiB = 0;
  int exitCode = -1;
};

// Runs the program with its arguments, output discarded, and measures it.
ChildRun RunChild(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  std::fflush(nullptr);  // or the child would print what this process has buffered
  const Clock::time_point start = Clock::now();
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) ::dup2(quiet, STDOUT_FILENO);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child) throw std::runtime_error("wait4 failed");
  ChildRun run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Raw zlib with the writer's parameters, into one buffer large enough for
// the whole stream, so that only the compression itself is timed.
double ZlibSeconds(const std::string& input, std::size_t& compressedSize) {
  const Clock::time_point start = Clock::now();
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string output(deflateBound(&stream, static_cast<uLong>(input.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = reinterpret_cast<Bytef*>(output.data());
  stream.avail_out = static_cast<uInt>(output.size());
  const int result = deflate(&stream, Z_FINISH);
  compressedSize = stream.total_out;
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double LoadAverage() {
  double load[1] = {0};
  return ::getloadavg(load, 1) == 1 ? load[0] : -1;
}

void BenchOne(const fs::path& folder, const fs::path& stub, std::size_t sizeMiB, bool compressible) {
  const std::string movie =
      compressible ? CompressibleBytes(sizeMiB * kMiB) : IncompressibleBytes(sizeMiB * kMiB);
  const fs::path moviePath = folder / "movie.swf";
  const fs::path target = folder / "package.exe";
  WriteFile(moviePath, movie);

  const int runs = sizeMiB * kMiB <= kSmallLimit ? kSmallRuns : 1;
  const double loadBefore = LoadAverage();
  std::vector<double> buildTimes, zlibTimes;
  double peakMiB = 0;
  std::size_t compressedSize = 0;
  for (int run = 0; run < runs; ++run) {
    fs::remove(target);
    const ChildRun build = RunChild({QUORVEL_PACK_PATH, "build", stub.string(), target.string(),
                                     moviePath.string(), "--date=2026-12-07"});
    if (build.exitCode != 0) throw std::runtime_error("quorvel-pack build failed");
    buildTimes.push_back(build.seconds);
    peakMiB = std::max(peakMiB, build.peakMiB);
    zlibTimes.push_back(ZlibSeconds(movie, compressedSize));
  }
  // The package must be sound, or the timing means nothing.
  if (RunChild({QUORVEL_PACK_PATH, "verify", target.string()}).exitCode != 0) {
    throw std::runtime_error("quorvel-pack verify refused the package");
  }

  const double stubMiB = static_cast<double>(kStubBytes) / kMiB;
  // Z: the block without its 8-byte trailer; U: movie, its directory line and the 14-byte trailer.
  const double zMiB = static_cast<double>(fs::file_size(target) - kStubBytes - 8) / kMiB;
  const std::string directoryLine = "movie.swf:" + std::to_string(movie.size()) + "\r\n";
  const double uMiB = static_cast<double>(movie.size() + directoryLine.size() + 14) / kMiB;
  const double buildSeconds = Median(buildTimes);
  const double zlibSeconds = Median(zlibTimes);
  std::printf("%5zu MiB  %-14s %4d  %8.3f  %8.3f  %6.3f  %8.1f  %8.1f  %8.1f  %5.2f\n", sizeMiB,
              compressible ? "compressible" : "incompressible", runs, buildSeconds, zlibSeconds,
              buildSeconds / zlibSeconds, peakMiB, uMiB + zMiB, 2 * zMiB + stubMiB, loadBefore);
  std::fflush(stdout);
  fs::remove(target);
  fs::remove(moviePath);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1, 50, 200};

  char pattern[] = "/tmp/quorvel-build-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path folder = pattern;
  int exitCode = 0;
  try {
    const fs::path stub = folder / "player.dat";
    WriteFile(stub, std::string(kStubBytes, 'S'));
    const ChildRun idle = RunChild({QUORVEL_PACK_PATH, "--help"});
    std::printf("quorvel-pack: %s\nstub %zu KiB; tool's resident floor (--help) %.1f MiB\n",
                QUORVEL_PACK_PATH, kStubBytes / 1024, idle.peakMiB);
    std::printf("ratio = build seconds / zlib seconds (target <= 1.10); "
                "U+Z and 2Z+S are the writer's planned peaks\n\n");
    std::printf("%-9s  %-14s %4s  %8s  %8s  %6s  %8s  %8s  %8s  %5s\n", "size", "data", "runs",
                "build s", "zlib s", "ratio", "peak MiB", "U+Z MiB", "2Z+S MiB", "load");
    for (std::size_t size : sizes) {
      BenchOne(folder, stub, size, false);
      BenchOne(folder, stub, size, true);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "package_build_bench: %s\n", error.what());
    exitCode = 1;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return exitCode;
}
