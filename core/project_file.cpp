#include "core/project_file.h"

#include "sys/file.h"
#include "sys/replace_file.h"

namespace core {

std::string FormatProjectText(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) {
    text += path;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> ParseProjectText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    std::size_t next = end;
    if (next < text.size()) {
      if (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ++next;
      ++next;
    }
    start = next;
  }
  return lines;
}

std::vector<std::string> ReadProjectFile(const std::string& path) {
  return ParseProjectText(sys::ReadWholeFile(path, sys::FileAccess::kReadShareRead));
}

void WriteProjectFile(const std::string& path, const std::vector<std::string>& paths) {
  // A save that fails part-way must not cost the user the project they had.
  sys::ReplaceFileContents(path, FormatProjectText(paths));
}

}  // namespace core
