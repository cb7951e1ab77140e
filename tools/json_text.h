#pragma once
// Pieces of JSON text for the tool's machine-readable output.

#include <string>
#include <string_view>

namespace tools {

// `text` as a JSON string, quotes included. Bytes that are not UTF-8 (a
// file name in a Windows code page) are taken as Latin-1, so that the
// result is valid JSON whatever it is given.
std::string JsonString(std::string_view text);

// A finite number in its shortest exact form ("24", "23.976").
std::string JsonNumber(double value);

}  // namespace tools
