#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tools {

// A JSON value as read: objects keep their members in file order.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // kString, UTF-8
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  // The member's value, nullptr when there is none (or this is no object).
  const JsonValue* Find(std::string_view name) const;
};

// Where and why a JSON text is malformed: "line L, column C: what".
class JsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads one JSON document (RFC 8259, nothing more: no comments, no trailing
// commas). Strings are decoded to UTF-8, surrogate pairs joined. Nesting is
// limited to kMaxJsonDepth. Throws JsonError.
inline constexpr int kMaxJsonDepth = 64;
JsonValue ReadJson(std::string_view text);

}  // namespace tools
