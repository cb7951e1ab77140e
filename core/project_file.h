#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// A project file holds one movie path per line, every line ended by CR LF,
// with nothing else: no header, no byte-order mark, no quoting.
std::string FormatProjectText(const std::vector<std::string>& paths);

// Reading is more forgiving than writing: CR LF, a lone CR or a lone LF
// ends a line; text after the last line end is one more line; a NUL ends
// the text. Empty lines name no movie and are left out; everything else is
// kept as it stands, duplicates and surrounding blanks included.
std::vector<std::string> ParseProjectText(std::string_view text);

// Reads the file with others allowed to read it but not to write it
// ("Cannot open file %s" on failure).
std::vector<std::string> ReadProjectFile(const std::string& path);

// Writes the file through a temporary one held exclusively while it is
// written, so that a failure leaves a former project as it was ("Cannot
// create file %s", "Stream write error"; see sys::ReplaceFileContents).
void WriteProjectFile(const std::string& path, const std::vector<std::string>& paths);

}  // namespace core
