#include "swf/avm1/builtins/xml_text.h"

#include <cstdint>
#include <cstdlib>

#include "swf/avm1/utf16.h"

namespace swf::avm1::xml {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool AllSpace(std::string_view text) {
  for (char c : text) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

// Reads a document left to right, keeping the elements still open on a stack.
class Parser {
 public:
  Parser(std::string_view text, bool ignoreWhite) : text_(text), ignoreWhite_(ignoreWhite) {}

  ParsedDocument Run() {
    while (pos_ < text_.size() && document_.status == kOk) {
      if (text_[pos_] == '<') {
        Markup();
      } else {
        const size_t end = text_.find('<', pos_);
        const std::string_view raw = text_.substr(pos_, end == std::string_view::npos ? end : end - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end;
        AddText(DecodeEntities(raw));
      }
    }
    if (document_.status == kOk && !open_.empty()) document_.status = kMissingEndTag;
    // Elements left open still belong to the tree.
    while (!open_.empty()) CloseTop();
    return std::move(document_);
  }

 private:
  std::vector<ParsedNode>& Siblings() { return open_.empty() ? document_.children : open_.back().children; }

  void AddText(std::string value) {
    if (ignoreWhite_ && AllSpace(value)) return;
    ParsedNode node;
    node.type = kTextNode;
    node.value = std::move(value);
    Siblings().push_back(std::move(node));
  }

  void CloseTop() {
    ParsedNode node = std::move(open_.back());
    open_.pop_back();
    Siblings().push_back(std::move(node));
  }

  bool StartsWith(std::string_view prefix) const { return text_.substr(pos_, prefix.size()) == prefix; }

  // The text from here to the end of `terminator` (inclusive), or fails with `status`.
  std::optional<std::string_view> Through(std::string_view terminator, int status) {
    const size_t end = text_.find(terminator, pos_);
    if (end == std::string_view::npos) {
      document_.status = status;
      pos_ = text_.size();
      return std::nullopt;
    }
    const std::string_view whole = text_.substr(pos_, end + terminator.size() - pos_);
    pos_ = end + terminator.size();
    return whole;
  }

  void Markup() {
    if (StartsWith("<!--")) {
      Through("-->", kCommentNotTerminated);
    } else if (StartsWith("<![CDATA[")) {
      if (const auto whole = Through("]]>", kCdataNotTerminated)) {
        ParsedNode node;
        node.type = kTextNode;
        node.value = std::string(whole->substr(9, whole->size() - 12));
        Siblings().push_back(std::move(node));
      }
    } else if (StartsWith("<?")) {
      if (const auto whole = Through("?>", kDeclarationNotTerminated)) {
        document_.xmlDecl = document_.xmlDecl.value_or("") + std::string(*whole);
      }
    } else if (StartsWith("<!")) {
      if (const auto whole = Through(">", kDoctypeNotTerminated)) document_.docTypeDecl = std::string(*whole);
    } else if (StartsWith("</")) {
      EndTag();
    } else {
      StartTag();
    }
  }

  std::string_view Name() {
    const size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '>' && text_[pos_] != '/' &&
           text_[pos_] != '=' && text_[pos_] != '<') {
      ++pos_;
    }
    return text_.substr(start, pos_ - start);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  void EndTag() {
    pos_ += 2;
    const std::string_view name = Name();
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != '>') {
      document_.status = kMalformedElement;
      return;
    }
    ++pos_;
    if (open_.empty() || open_.back().name != name) {
      document_.status = kMissingStartTag;
      return;
    }
    CloseTop();
  }

  void StartTag() {
    ++pos_;
    ParsedNode node;
    node.name = std::string(Name());
    if (node.name.empty()) {
      document_.status = kMalformedElement;
      return;
    }
    while (true) {
      SkipSpace();
      if (pos_ >= text_.size()) {
        document_.status = kMalformedElement;
        return;
      }
      if (text_[pos_] == '>') {
        ++pos_;
        open_.push_back(std::move(node));
        return;
      }
      if (StartsWith("/>")) {
        pos_ += 2;
        Siblings().push_back(std::move(node));
        return;
      }
      const std::string_view name = Name();
      SkipSpace();
      if (name.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
        document_.status = kMalformedElement;
        return;
      }
      ++pos_;
      SkipSpace();
      if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
        document_.status = kMalformedElement;
        return;
      }
      const char quote = text_[pos_++];
      const size_t end = text_.find(quote, pos_);
      if (end == std::string_view::npos) {
        document_.status = kAttributeNotTerminated;
        pos_ = text_.size();
        return;
      }
      std::string value = DecodeEntities(text_.substr(pos_, end - pos_));
      pos_ = end + 1;
      bool seen = false;
      for (const auto& attribute : node.attributes) seen = seen || attribute.first == name;
      if (!seen) node.attributes.emplace_back(std::string(name), std::move(value));
    }
  }

  std::string_view text_;
  bool ignoreWhite_;
  size_t pos_ = 0;
  ParsedDocument document_;
  std::vector<ParsedNode> open_;
};

}  // namespace

ParsedDocument Parse(std::string_view text, bool ignoreWhite) { return Parser(text, ignoreWhite).Run(); }

std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] != '&') {
      out += text[i++];
      continue;
    }
    bool replaced = false;
    for (const auto& [entity, character] : kNamed) {
      if (text.substr(i, entity.size()) == entity) {
        out += character;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced && text.substr(i, 2) == "&#") {
      const size_t end = text.find(';', i);
      if (end != std::string_view::npos && end > i + 2) {
        const bool hex = text[i + 2] == 'x' || text[i + 2] == 'X';
        const std::string digits(text.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)));
        char* stop = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (!digits.empty() && stop != nullptr && *stop == '\0' && code > 0 && code <= 0x10FFFF) {
          AppendUtf8(out, static_cast<char32_t>(code));
          i = end + 1;
          replaced = true;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace swf::avm1::xml
