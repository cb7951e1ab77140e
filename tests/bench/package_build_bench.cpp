// Whole package builds with the console tool, timed against raw zlib.
//
// For each size and kind of movie data it writes the movie and a stub into a
// temporary folder, runs `quorvel-pack build` as a child process, and takes
// the child's wall time and peak resident memory (wait4). It then compresses
// the same bytes in this process with zlib alone (level 9, window bits 15,
// memory level 8, default strategy) and prints the ratio of the two times:
// the build should cost little more than its compression (target <= 1.10).
//
// The peak is held against the plan of a writer that keeps everything in
// memory: while compressing, the payload U and the compressed block Z; while
// writing, the compressed block and an output buffer (stub S plus block).
// The limit column is the larger of the two plus 16 MiB.
//
// Not run by CTest: a full run takes about a minute and wants a quiet
// machine, and a Release build: cmake --preset bench, then
// cmake --build --preset bench --target package_build_bench. QUORVEL_PACK names another tool to measure (an older build).
// Usage: package_build_bench [SIZE_MB...] [incompressible|compressible|mixed...]
// (default: sizes 1 50 200, all three kinds; "mixed" is one package of half
// incompressible and half compressible movies)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <ctime>
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
  double cpuSeconds = 0;  // user and system time
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
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Starts the measured children from a process forked at the very start,
// while the benchmark is still small: Linux counts the resident pages that a
// child had before exec (a copy of its parent's) into its peak, so children
// forked from a parent holding the movies would show the movies' size as
// their own peak.
class Launcher {
 public:
  Launcher() {
    int requests[2], results[2];
    if (::pipe(requests) != 0 || ::pipe(results) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      ::close(requests[1]);
      ::close(results[0]);
      Serve(requests[0], results[1]);
      std::_Exit(0);
    }
    ::close(requests[0]);
    ::close(results[1]);
    requests_ = requests[1];
    results_ = results[0];
  }
  ~Launcher() {
    ::close(requests_);
    ::close(results_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  ChildRun Run(const std::vector<std::string>& arguments) {
    std::string request;
    for (const std::string& argument : arguments) request += argument + '\0';
    const std::uint32_t size = static_cast<std::uint32_t>(request.size());
    if (!WriteExactly(requests_, &size, sizeof size) || !WriteExactly(requests_, request.data(), size)) {
      throw std::runtime_error("the launcher has gone");
    }
    ChildRun run;
    if (!ReadExactly(results_, &run, sizeof run)) throw std::runtime_error("the launcher has gone");
    return run;
  }

 private:
  static bool ReadExactly(int fd, void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
      const ssize_t got = ::read(fd, bytes, size);
      if (got <= 0) return false;
      bytes += got;
      size -= static_cast<std::size_t>(got);
    }
    return true;
  }
  static bool WriteExactly(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t put = ::write(fd, bytes, size);
      if (put <= 0) return false;
      bytes += put;
      size -= static_cast<std::size_t>(put);
    }
    return true;
  }
  // Runs one child per request until the benchmark closes the pipe.
  static void Serve(int requests, int results) {
    std::uint32_t size = 0;
    while (ReadExactly(requests, &size, sizeof size)) {
      std::string request(size, '\0');
      if (!ReadExactly(requests, request.data(), size)) return;
      std::vector<std::string> arguments;
      for (std::size_t start = 0; start < request.size();) {
        const std::size_t end = request.find('\0', start);
        arguments.push_back(request.substr(start, end - start));
        start = end + 1;
      }
      ChildRun run;
      try {
        run = RunChild(arguments);
      } catch (const std::exception&) {
        run.exitCode = -1;
      }
      if (!WriteExactly(results, &run, sizeof run)) return;
    }
  }

  pid_t pid_ = -1;
  int requests_ = -1;
  int results_ = -1;
};

// The tool under test: the one built beside this benchmark, or another one
// named by QUORVEL_PACK (an older build, to compare).
std::string ToolPath() {
  const char* other = std::getenv("QUORVEL_PACK");
  return other && *other ? other : QUORVEL_PACK_PATH;
}

double ProcessCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct ZlibRun {
  double seconds = 0;
  double cpuSeconds = 0;
};

// Raw zlib with the writer's parameters, into one buffer large enough for
// the whole stream, so that only the compression itself is timed.
ZlibRun RunZlib(const std::string& input, std::size_t& compressedSize) {
  const double cpuStart = ProcessCpuSeconds();
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
  return {std::chrono::duration<double>(Clock::now() - start).count(), ProcessCpuSeconds() - cpuStart};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double LoadAverage() {
  double load[1] = {0};
  return ::getloadavg(load, 1) == 1 ? load[0] : -1;
}

// One package of the given movies: the build against zlib over the same
// movie bytes, one after another.
void BenchOne(Launcher& launcher, const fs::path& folder, const fs::path& stub, std::size_t sizeMiB, const char* kind,
              const std::vector<std::string>& movies) {
  std::vector<std::string> arguments = {ToolPath(), "build", stub.string(), "", "--date=2026-12-07"};
  const fs::path target = folder / "package.exe";
  arguments[3] = target.string();
  std::string allMovies;
  std::uint64_t uBytes = 14;  // the payload trailer
  for (std::size_t i = 0; i < movies.size(); ++i) {
    const std::string name = "movie" + std::to_string(i) + ".swf";
    WriteFile(folder / name, movies[i]);
    arguments.push_back((folder / name).string());
    allMovies += movies[i];
    uBytes += movies[i].size() + (name + ":" + std::to_string(movies[i].size()) + "\r\n").size();
  }

  const int runs = sizeMiB * kMiB <= kSmallLimit ? kSmallRuns : 1;
  const double loadBefore = LoadAverage();
  std::vector<double> buildTimes, zlibTimes, buildCpuTimes, zlibCpuTimes;
  double peakMiB = 0;
  std::size_t compressedSize = 0;
  for (int run = 0; run < runs; ++run) {
    fs::remove(target);
    const ChildRun build = launcher.Run(arguments);
    if (build.exitCode != 0) throw std::runtime_error("quorvel-pack build failed");
    buildTimes.push_back(build.seconds);
    buildCpuTimes.push_back(build.cpuSeconds);
    peakMiB = std::max(peakMiB, build.peakMiB);
    const ZlibRun zlib = RunZlib(allMovies, compressedSize);
    zlibTimes.push_back(zlib.seconds);
    zlibCpuTimes.push_back(zlib.cpuSeconds);
  }
  // The package must be sound, or the timing means nothing.
  if (launcher.Run({ToolPath(), "verify", target.string()}).exitCode != 0) {
    throw std::runtime_error("quorvel-pack verify refused the package");
  }

  const double stubMiB = static_cast<double>(kStubBytes) / kMiB;
  // Z: the block without its 8-byte trailer; U: movies, their directory lines and the 14-byte trailer.
  const double zMiB = static_cast<double>(fs::file_size(target) - kStubBytes - 8) / kMiB;
  const double uMiB = static_cast<double>(uBytes) / kMiB;
  const double buildSeconds = Median(buildTimes);
  const double zlibSeconds = Median(zlibTimes);
  const double cpuRatio = Median(buildCpuTimes) / Median(zlibCpuTimes);
  std::printf("%5zu MiB  %-14s %4d  %8.3f  %8.3f  %6.3f  %6.3f  %8.1f  %8.1f  %8.1f  %8.1f  %5.2f\n", sizeMiB,
              kind, runs, buildSeconds, zlibSeconds, buildSeconds / zlibSeconds, cpuRatio, peakMiB, uMiB + zMiB,
              2 * zMiB + stubMiB, std::max(uMiB + zMiB, 2 * zMiB + stubMiB) + 16, loadBefore);
  std::fflush(stdout);
  fs::remove(target);
  for (std::size_t i = 0; i < movies.size(); ++i) fs::remove(folder / ("movie" + std::to_string(i) + ".swf"));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  std::vector<std::string> kinds;
  for (int i = 1; i < argc; ++i) {
    if (std::isdigit(static_cast<unsigned char>(argv[i][0]))) {
      sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    } else {
      kinds.push_back(argv[i]);
    }
  }
  if (sizes.empty()) sizes = {1, 50, 200};
  if (kinds.empty()) kinds = {"incompressible", "compressible", "mixed"};
  const auto wanted = [&](const char* kind) { return std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); };

  char pattern[] = "/tmp/quorvel-build-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path folder = pattern;
  int exitCode = 0;
  try {
    Launcher launcher;
    const fs::path stub = folder / "player.dat";
    WriteFile(stub, std::string(kStubBytes, 'S'));
    const ChildRun idle = launcher.Run({ToolPath(), "--help"});
    std::printf("quorvel-pack: %s\nstub %zu KiB; tool's resident floor (--help) %.1f MiB\n",
                ToolPath().c_str(), kStubBytes / 1024, idle.peakMiB);
    std::printf("ratio = build seconds / zlib seconds (target <= 1.10); cpu = the same for processor time, "
                "steadier on a busy machine;\nU+Z and 2Z+S are the peaks of a writer that holds everything in "
                "memory, limit the larger plus 16 MiB\n\n");
    std::printf("%-9s  %-14s %4s  %8s  %8s  %6s  %6s  %8s  %8s  %8s  %8s  %5s\n", "size", "data", "runs",
                "build s", "zlib s", "ratio", "cpu", "peak MiB", "U+Z MiB", "2Z+S MiB", "limit", "load");
    for (std::size_t size : sizes) {
      if (wanted("incompressible")) {
        BenchOne(launcher, folder, stub, size, "incompressible", {IncompressibleBytes(size * kMiB)});
      }
      if (wanted("compressible")) {
        BenchOne(launcher, folder, stub, size, "compressible", {CompressibleBytes(size * kMiB)});
      }
      // The usual project: packed movies beside uncompressed ones, half of each.
      if (wanted("mixed")) {
        BenchOne(launcher, folder, stub, size, "mixed",
                 {IncompressibleBytes(size * kMiB / 2), CompressibleBytes(size * kMiB / 2)});
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "package_build_bench: %s\n", error.what());
    exitCode = 1;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return exitCode;
}
