#include "corpus_case.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corpus {
namespace {

// case.json is flat apart from "checks"; a full JSON parser is not needed to
// pick numbers and one string out of it.
std::string ValueText(const std::string& json, const std::string& key, size_t from = 0, size_t to = std::string::npos) {
  const std::string quoted = "\"" + key + "\"";
  const size_t at = json.find(quoted, from);
  if (at == std::string::npos || at >= to) return {};
  size_t pos = json.find(':', at + quoted.size());
  if (pos == std::string::npos) return {};
  ++pos;
  while (pos < json.size() && (json[pos] == ' ' || json[pos] == '\n')) ++pos;
  size_t end = pos;
  if (pos < json.size() && json[pos] == '"') {
    end = json.find('"', pos + 1);
    return json.substr(pos + 1, end - pos - 1);
  }
  while (end < json.size() && json[end] != ',' && json[end] != '}' && json[end] != '\n') ++end;
  return json.substr(pos, end - pos);
}

int IntValue(const std::string& text) {
  if (text.empty() || text == "null") return 0;
  return static_cast<int>(std::strtod(text.c_str(), nullptr));
}

}  // namespace

CorpusCase LoadCase(const std::filesystem::path& folder) {
  std::ifstream in(folder / "case.json");
  if (!in) throw std::runtime_error("cannot read " + (folder / "case.json").string());
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string json = buffer.str();

  CorpusCase c;
  c.name = folder.filename().string();
  c.folder = folder;
  c.numFrames = std::max(1, IntValue(ValueText(json, "num_frames")));
  c.lowQuality = ValueText(json, "quality") == "low";
  c.imageWidth = IntValue(ValueText(json, "image_width"));
  c.imageHeight = IntValue(ValueText(json, "image_height"));
  const size_t checksAt = json.find("\"checks\"");
  if (checksAt != std::string::npos) {
    const size_t listEnd = json.find(']', checksAt);
    size_t pos = json.find('{', checksAt);
    while (pos != std::string::npos && pos < listEnd) {
      const size_t objectEnd = json.find('}', pos);
      c.checks.push_back({IntValue(ValueText(json, "tolerance", pos, objectEnd)),
                          IntValue(ValueText(json, "max_outliers", pos, objectEnd))});
      pos = json.find('{', objectEnd);
    }
  }
  if (c.checks.empty()) {
    c.checks.push_back({IntValue(ValueText(json, "tolerance")), IntValue(ValueText(json, "max_outliers"))});
  }
  if (c.imageWidth <= 0 || c.imageHeight <= 0) throw std::runtime_error(c.name + ": case.json has no image size");
  return c;
}

std::vector<std::filesystem::path> ListCaseFolders(const std::filesystem::path& root) {
  std::vector<std::filesystem::path> folders;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    if (entry.is_directory() && std::filesystem::exists(entry.path() / "case.json")) folders.push_back(entry.path());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

}  // namespace corpus
