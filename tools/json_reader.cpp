#include "tools/json_reader.h"

#include <cstdlib>
#include <string>

namespace tools {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  JsonValue Document() {
    SkipSpace();
    JsonValue value = Value(0);
    SkipSpace();
    if (pos_ != text_.size()) Error("unexpected text after the value");
    return value;
  }

 private:
  [[noreturn]] void Error(const std::string& what) const {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    throw JsonError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what);
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
  }

  void Expect(char c) {
    if (Peek() != c) Error(std::string("expected '") + c + "'");
    ++pos_;
  }

  void Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) Error("unknown word");
    pos_ += word.size();
  }

  JsonValue Value(int depth) {
    if (depth > kMaxJsonDepth) Error("nested too deeply");
    JsonValue value;
    switch (Peek()) {
      case '{':
        value.kind = JsonValue::Kind::kObject;
        Object(value, depth);
        break;
      case '[':
        value.kind = JsonValue::Kind::kArray;
        Array(value, depth);
        break;
      case '"':
        value.kind = JsonValue::Kind::kString;
        value.text = String();
        break;
      case 't':
        Word("true");
        value.kind = JsonValue::Kind::kBool;
        value.boolean = true;
        break;
      case 'f':
        Word("false");
        value.kind = JsonValue::Kind::kBool;
        break;
      case 'n':
        Word("null");
        break;
      default:
        value.kind = JsonValue::Kind::kNumber;
        value.number = Number();
    }
    return value;
  }

  void Object(JsonValue& value, int depth) {
    Expect('{');
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
      return;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') Error("expected a member name in quotes");
      std::string name = String();
      SkipSpace();
      Expect(':');
      SkipSpace();
      value.members.emplace_back(std::move(name), Value(depth + 1));
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      Expect('}');
      return;
    }
  }

  void Array(JsonValue& value, int depth) {
    Expect('[');
    SkipSpace();
    if (Peek() == ']') {
      ++pos_;
      return;
    }
    for (;;) {
      SkipSpace();
      value.items.push_back(Value(depth + 1));
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      Expect(']');
      return;
    }
  }

  unsigned Hex4() {
    unsigned code = 0;
    for (int i = 0; i < 4; ++i, ++pos_) {
      const char c = Peek();
      code <<= 4;
      if (c >= '0' && c <= '9') {
        code |= static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        code |= static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        code |= static_cast<unsigned>(c - 'A' + 10);
      } else {
        Error("\\u needs four hexadecimal digits");
      }
    }
    return code;
  }

  std::string String() {
    Expect('"');
    std::string out;
    for (;;) {
      if (AtEnd()) Error("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) {
        --pos_;
        Error("control character in a string");
      }
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      const char escape = Peek();
      ++pos_;
      switch (escape) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u': {
          char32_t code = Hex4();
          if (code >= 0xD800 && code <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
            const std::size_t mark = pos_;
            pos_ += 2;
            const unsigned low = Hex4();
            if (low >= 0xDC00 && low <= 0xDFFF) {
              code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else {
              pos_ = mark;  // a lone high surrogate; the next escape stands alone
            }
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          pos_ -= 2;
          Error("unknown escape in a string");
      }
    }
  }

  double Number() {
    const std::size_t start = pos_;
    if (Peek() == '-') ++pos_;
    auto digits = [&] {
      const std::size_t from = pos_;
      while (Peek() >= '0' && Peek() <= '9') ++pos_;
      return pos_ - from;
    };
    const std::size_t intStart = pos_;
    const std::size_t intDigits = digits();
    if (intDigits == 0) {
      pos_ = start;
      Error("expected a value");
    }
    if (intDigits > 1 && text_[intStart] == '0') Error("a number may not start with 0");
    if (Peek() == '.') {
      ++pos_;
      if (digits() == 0) Error("expected digits after '.'");
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (digits() == 0) Error("expected digits in the exponent");
    }
    const std::string number(text_.substr(start, pos_ - start));
    return std::strtod(number.c_str(), nullptr);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view name) const {
  for (const auto& [key, value] : members) {
    if (key == name) return &value;
  }
  return nullptr;
}

JsonValue ReadJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace tools
