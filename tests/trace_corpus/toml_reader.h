#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trace_corpus {

// A value of the TOML subset the corpus uses.
struct TomlValue {
  enum class Kind { kString, kNumber, kBool, kArray };
  Kind kind = Kind::kString;
  std::string text;
  double number = 0;
  bool boolean = false;
  std::vector<TomlValue> items;
};

// Every key by its full dotted name ("approximations.epsilon"); inline
// tables are flattened the same way, and the tables of an array of tables
// ("[[compilers]]") are numbered: "compilers.0.type".
using TomlTable = std::map<std::string, TomlValue>;

// "line N: what".
class TomlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the subset: comments, [table] and [[array]] headers, bare, quoted
// and dotted keys, basic and literal strings on one line, integers and
// floats, booleans, arrays (over several lines too) and inline tables.
// Throws TomlError for anything else, and for a key given twice.
TomlTable ReadToml(std::string_view text);

}  // namespace trace_corpus
