#include "toml_reader.h"

#include <cctype>
#include <cstdlib>

namespace trace_corpus {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  TomlTable Document() {
    std::string prefix;
    for (;;) {
      SkipBlank(true);
      if (AtEnd()) return table_;
      if (Peek() == '[') {
        prefix = Header();
      } else {
        const std::string key = prefix + Key();
        SkipBlank(false);
        Expect('=');
        SkipBlank(false);
        if (Peek() == '{') {
          InlineTable(key);
        } else {
          Store(key, Value());
        }
      }
      EndOfLine();
    }
  }

 private:
  [[noreturn]] void Error(const std::string& what) const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == '\n';
    throw TomlError("line " + std::to_string(line) + ": " + what);
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  // Spaces and comments; with `newlines`, line ends too.
  void SkipBlank(bool newlines) {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == ' ' || c == '\t' || (newlines && (c == '\n' || c == '\r'))) {
        ++pos_;
      } else if (c == '#') {
        while (!AtEnd() && Peek() != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  void EndOfLine() {
    SkipBlank(false);
    if (Peek() == '\r') ++pos_;
    if (!AtEnd() && Peek() != '\n') Error("unexpected text after the value");
  }

  void Expect(char c) {
    if (Peek() != c) Error(std::string("expected '") + c + "'");
    ++pos_;
  }

  void Store(const std::string& key, TomlValue value) {
    if (!table_.emplace(key, std::move(value)).second) Error("\"" + key + "\" is given twice");
  }

  std::string Header() {
    Expect('[');
    const bool arrayOfTables = Peek() == '[';
    if (arrayOfTables) ++pos_;
    SkipBlank(false);
    std::string name = Key();
    SkipBlank(false);
    Expect(']');
    if (arrayOfTables) {
      Expect(']');
      const int index = arrayCounts_[name]++;
      name.push_back('.');
      name += std::to_string(index);
    }
    name.push_back('.');
    return name;
  }

  // A dotted key: bare or quoted parts joined with '.'.
  std::string Key() {
    std::string key;
    for (;;) {
      SkipBlank(false);
      if (Peek() == '"') {
        key += BasicString();
      } else if (Peek() == '\'') {
        key += LiteralString();
      } else {
        const std::size_t start = pos_;
        while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_' || Peek() == '-')) ++pos_;
        if (pos_ == start) Error("expected a key");
        key += text_.substr(start, pos_ - start);
      }
      SkipBlank(false);
      if (Peek() != '.') return key;
      ++pos_;
      key += '.';
    }
  }

  std::string BasicString() {
    Expect('"');
    std::string out;
    for (;;) {
      if (AtEnd() || Peek() == '\n') Error("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      const char escape = Peek();
      ++pos_;
      switch (escape) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        default: Error(std::string("unknown escape \\") + escape);
      }
    }
  }

  std::string LiteralString() {
    Expect('\'');
    const std::size_t end = text_.find('\'', pos_);
    const std::size_t lineEnd = text_.find('\n', pos_);
    if (end == std::string_view::npos || end > lineEnd) Error("unterminated string");
    std::string out(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return out;
  }

  TomlValue Value() {
    TomlValue value;
    const char c = Peek();
    if (c == '"') {
      value.text = BasicString();
    } else if (c == '\'') {
      value.text = LiteralString();
    } else if (c == '[') {
      value.kind = TomlValue::Kind::kArray;
      ++pos_;
      for (;;) {
        SkipBlank(true);
        if (Peek() == ']') break;
        value.items.push_back(Value());
        SkipBlank(true);
        if (Peek() != ',') break;
        ++pos_;
      }
      Expect(']');
    } else if (c == '{') {
      Error("an inline table is only allowed as a key's whole value");
    } else if (text_.substr(pos_, 4) == "true") {
      value.kind = TomlValue::Kind::kBool;
      value.boolean = true;
      pos_ += 4;
    } else if (text_.substr(pos_, 5) == "false") {
      value.kind = TomlValue::Kind::kBool;
      pos_ += 5;
    } else {
      value.kind = TomlValue::Kind::kNumber;
      value.number = Number();
    }
    return value;
  }

  double Number() {
    std::string digits;
    while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '+' || Peek() == '-' ||
                        Peek() == '.' || Peek() == '_')) {
      if (Peek() != '_') digits.push_back(Peek());
      ++pos_;
    }
    if (digits.empty()) Error("expected a value");
    char* end = nullptr;
    const double number = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || digits == "inf" || digits == "nan" ||
        digits.find_first_of("xX") != std::string::npos) {
      Error("\"" + digits + "\" is not a number");
    }
    return number;
  }

  // An inline table's members are stored under the key they belong to.
  void InlineTable(const std::string& key) {
    Expect('{');
    SkipBlank(false);
    if (Peek() == '}') {
      ++pos_;
      return;
    }
    for (;;) {
      SkipBlank(false);
      const std::string member = key + "." + Key();
      SkipBlank(false);
      Expect('=');
      SkipBlank(false);
      if (Peek() == '{') {
        InlineTable(member);
      } else {
        Store(member, Value());
      }
      SkipBlank(false);
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      Expect('}');
      return;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  TomlTable table_;
  std::map<std::string, int> arrayCounts_;
};

}  // namespace

TomlTable ReadToml(std::string_view text) { return Reader(text).Document(); }

}  // namespace trace_corpus
