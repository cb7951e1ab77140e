// libFuzzer target for the console tool's render command: the fuzzer's bytes
// are written to a movie file and rendered to a small PNG in both qualities;
// every run must keep the command's contract (render_contract.h).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "render_contract.h"

namespace {

const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("quorvel-render-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto movie = WorkFolder() / "movie.swf";
  const auto png = WorkFolder() / "out.png";
  std::ofstream(movie, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  for (const char* quality : {"--quality=high", "--quality=low"}) {
    const auto outcome = fuzz::RunRenderCommand(movie, png, {"--width=64", "--frames=3", quality});
    if (!fuzz::KeepsRenderContract(outcome, png)) std::abort();
  }
  return 0;
}
