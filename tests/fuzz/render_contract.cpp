#include "render_contract.h"

#include <fstream>
#include <sstream>

#include "tools/command.h"
#include "tools/render_command.h"

namespace fuzz {
namespace {

bool StartsLikePng(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  char signature[8] = {};
  in.read(signature, sizeof signature);
  return in && std::string(signature, 8) == "\x89PNG\r\n\x1a\n";
}

bool IsOneLine(const std::string& text) {
  return !text.empty() && text.find('\n') == text.size() - 1;
}

bool IsOneRefusalLine(const std::string& text) {
  if (text.empty() || text.back() != '\n') return false;
  std::istringstream lines(text);
  std::string line;
  int refusals = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("quorvel-pack: ", 0) != 0) return false;
    if (line.rfind("quorvel-pack: note: ", 0) != 0) ++refusals;
  }
  return refusals == 1;
}

}  // namespace

RenderOutcome RunRenderCommand(const std::filesystem::path& movie, const std::filesystem::path& png,
                               const std::vector<std::string>& options) {
  std::filesystem::remove(png);
  std::vector<std::string> raw = {movie.string(), png.string()};
  raw.insert(raw.end(), options.begin(), options.end());
  std::ostringstream out;
  std::ostringstream err;
  const tools::Arguments arguments = tools::ParseArguments(raw, tools::kRenderOptions);
  const int exitCode = tools::RunRender({arguments, out, err});
  return {exitCode, out.str(), err.str()};
}

bool KeepsRenderContract(const RenderOutcome& outcome, const std::filesystem::path& png) {
  if (outcome.exitCode == tools::kExitSuccess) return StartsLikePng(png) && IsOneLine(outcome.out);
  return !std::filesystem::exists(png) && outcome.out.empty() && IsOneRefusalLine(outcome.err);
}

}  // namespace fuzz
