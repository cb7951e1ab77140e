#include "trace_case.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace trace_corpus {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace

TraceCase LoadTraceCase(const std::filesystem::path& folder) {
  TraceCase c;
  c.name = folder.filename().string();
  c.folder = folder;
  c.hasInput = std::filesystem::exists(folder / "input.json");
  try {
    const TomlTable toml = ReadToml(ReadText(folder / "test.toml"));
    auto frames = toml.find("num_frames");
    if (frames == toml.end()) frames = toml.find("num_ticks");
    if (frames == toml.end()) throw std::runtime_error("test.toml has neither num_frames nor num_ticks");
    const double count = frames->second.number;
    if (frames->second.kind != TomlValue::Kind::kNumber || !(count >= 1) || count != std::floor(count)) {
      throw std::runtime_error(frames->first + " must be a whole number of at least 1");
    }
    c.frames = static_cast<long long>(count);
    c.approximations = ReadApproximations(toml);
  } catch (const std::exception& error) {
    throw std::runtime_error(c.name + ": " + error.what());
  }
  return c;
}

std::vector<std::filesystem::path> ListTraceCases(const std::filesystem::path& root) {
  std::vector<std::filesystem::path> folders;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    if (entry.is_directory() && std::filesystem::exists(entry.path() / "test.toml")) folders.push_back(entry.path());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

std::vector<std::string> ReadNameList(const std::filesystem::path& file) {
  std::vector<std::string> names;
  std::istringstream in(ReadText(file));
  std::string line;
  while (std::getline(in, line)) {
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) line.pop_back();
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

}  // namespace trace_corpus
