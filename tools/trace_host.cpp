#include "tools/trace_host.h"

#include <ostream>
#include <string>
#include <utility>

#include "sys/file.h"
#include "sys/file_system.h"

namespace tools {

TraceHost::TraceHost(std::ostream& out, std::filesystem::path movieFolder, double startMilliseconds,
                     int utcOffsetMinutes)
    : out_(out),
      movieFolder_(std::move(movieFolder)),
      startMilliseconds_(startMilliseconds),
      utcOffsetMinutes_(utcOffsetMinutes) {}

void TraceHost::Trace(std::string_view line) {
  // The player's log ends a line at a carriage return too.
  for (const char c : line) out_ << (c == '\r' ? '\n' : c);
  out_ << '\n';
}

void TraceHost::FsCommand(std::string_view command, std::string_view) {
  if (command == "quit" || command == "exit") quitRequested_ = true;
}

std::optional<std::vector<uint8_t>> TraceHost::LoadFile(std::string_view relativePath) {
  const auto path = PathInsideFolder(movieFolder_, relativePath);
  if (!path) return std::nullopt;
  const std::string file = path->string();
  if (!sys::FileExists(file)) return std::nullopt;
  try {
    const std::string bytes = sys::ReadWholeFile(file, sys::FileAccess::kReadShareReadWrite);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return std::nullopt;  // unreadable is the same as missing to the movie
  }
}

std::optional<std::filesystem::path> PathInsideFolder(const std::filesystem::path& folder,
                                                      std::string_view relativePath) {
  std::string text(relativePath);
  // Movies write either separator; both mean one on every system.
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  const std::filesystem::path relative(text);
  if (text.empty() || relative.has_root_name() || relative.has_root_directory()) return std::nullopt;
  const std::filesystem::path normal = relative.lexically_normal();
  if (normal.empty() || *normal.begin() == "..") return std::nullopt;
  return folder / normal;
}

}  // namespace tools
