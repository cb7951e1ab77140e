#include "swf/text/html_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "swf/avm1/number_text.h"
#include "swf/avm1/utf16.h"

namespace swf::text {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  bool unquoted = false;  // an attribute's value without quotes
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case

  const std::string* Attribute(std::string_view key) const {
    for (const auto& [name, value] : attributes) {
      if (name == key) return &value;
    }
    return nullptr;
  }
};

// The inside of "<...>".
Tag ReadTag(std::string_view inside) {
  Tag tag;
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < inside.size() && std::isspace(static_cast<unsigned char>(inside[i]))) ++i;
  };
  skipSpace();
  if (i < inside.size() && inside[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const size_t nameStart = i;
  while (i < inside.size() && !std::isspace(static_cast<unsigned char>(inside[i])) && inside[i] != '/') ++i;
  tag.name = Lower(inside.substr(nameStart, i - nameStart));
  while (true) {
    skipSpace();
    if (i >= inside.size()) break;
    const size_t keyStart = i;
    while (i < inside.size() && inside[i] != '=' && !std::isspace(static_cast<unsigned char>(inside[i]))) ++i;
    std::string key = Lower(inside.substr(keyStart, i - keyStart));
    skipSpace();
    std::string value;
    if (i < inside.size() && inside[i] == '=') {
      ++i;
      skipSpace();
      if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
        const char quote = inside[i++];
        const size_t end = std::min(inside.find(quote, i), inside.size());
        value = std::string(inside.substr(i, end - i));
        i = end + 1;
      } else {
        tag.unquoted = true;
        const size_t start = i;
        while (i < inside.size() && !std::isspace(static_cast<unsigned char>(inside[i]))) ++i;
        value = std::string(inside.substr(start, i - start));
      }
    }
    if (key.empty() || key == "/") {
      ++i;
      continue;
    }
    tag.attributes.emplace_back(std::move(key), std::move(value));
  }
  return tag;
}

// "&lt;" and friends at the start of `text` (which begins with '&'): the
// character and how many bytes it took; nothing for an unknown one.
std::optional<std::pair<char32_t, size_t>> ReadEntity(std::string_view text) {
  const size_t end = text.find(';');
  if (end == std::string_view::npos || end > 10) return std::nullopt;
  const std::string_view name = text.substr(1, end - 1);
  static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
      {"lt", U'<'}, {"gt", U'>'}, {"amp", U'&'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U'\u00a0'}};
  for (const auto& [entity, character] : kNamed) {
    if (name == entity) return std::make_pair(character, end + 1);
  }
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty()) return std::nullopt;
    char* stop = nullptr;
    const unsigned long value = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
    if (*stop != '\0' || value > 0x10ffff) return std::nullopt;
    return std::make_pair(static_cast<char32_t>(value), end + 1);
  }
  return std::nullopt;
}

std::optional<double> NumberAttribute(const Tag& tag, std::string_view key) {
  const std::string* value = tag.Attribute(key);
  if (value == nullptr || value->empty()) return std::nullopt;
  char* stop = nullptr;
  const double number = std::strtod(value->c_str(), &stop);
  if (stop == value->c_str()) return std::nullopt;
  return number;
}

std::optional<uint32_t> ColorAttribute(const Tag& tag) {
  const std::string* value = tag.Attribute("color");
  if (value == nullptr || value->size() < 2 || (*value)[0] != '#') return std::nullopt;
  return static_cast<uint32_t>(std::strtoul(value->c_str() + 1, nullptr, 16) & 0xffffff);
}

std::optional<Align> AlignAttribute(const Tag& tag) {
  const std::string* value = tag.Attribute("align");
  if (value == nullptr) return std::nullopt;
  const std::string align = Lower(*value);
  if (align == "left") return Align::kLeft;
  if (align == "right") return Align::kRight;
  if (align == "center") return Align::kCenter;
  if (align == "justify") return Align::kJustify;
  return std::nullopt;
}

class HtmlReader {
 public:
  HtmlReader(const TextFormat& base, const HtmlOptions& options) : options_(options), text_(base) {
    stack_.push_back({"", base});
  }

  StyledText Read(std::string_view html) {
    size_t i = 0;
    while (i < html.size()) {
      if (html[i] == '<') {
        const size_t end = html.find('>', i);
        if (end == std::string_view::npos) break;  // an unfinished tag ends the text
        const Tag tag = ReadTag(html.substr(i + 1, end - i - 1));
        if (tag.unquoted) break;  // so does a value without quotes
        Open(tag);
        i = end + 1;
        continue;
      }
      size_t end = std::min(html.find('<', i), html.size());
      AddText(html.substr(i, end - i));
      i = end;
    }
    // A paragraph closed last still ends with its break.
    if (pendingBreak_) AppendBreak();
    FixParagraphs();
    return std::move(text_);
  }

 private:
  TextFormat& Current() { return stack_.back().second; }

  void Push(const std::string& name, const TextFormat& format) { stack_.push_back({name, format}); }
  void Pop(const std::string& name) {
    for (size_t i = stack_.size(); i-- > 1;) {
      if (stack_[i].first == name) {
        stack_.resize(i);
        return;
      }
    }
  }

  void Break() {
    if (!options_.multiline) return;
    pendingBreak_ = false;
    Put(u"\r");
  }

  void Put(std::u16string_view text) {
    if (pendingBreak_) {
      pendingBreak_ = false;
      AppendBreak();
    }
    text_.Append(text, Current());
  }

  void StartParagraph() {
    if (pendingBreak_ || (text_.Length() > 0 && text_.Text().back() != u'\r')) {
      pendingBreak_ = false;
      AppendBreak();
    }
  }

  // A paragraph's break is formatted as the character before it.
  void AppendBreak() {
    if (!options_.multiline) return;
    text_.Append(u"\r", text_.Length() > 0 ? text_.FormatAt(text_.Length() - 1) : paragraphFormat_);
  }

  void Open(const Tag& tag) {
    const std::string& name = tag.name;
    if (tag.closing) {
      if (name == "p" || name == "li") {
        paragraphFormat_ = Current();
        pendingBreak_ = true;
      }
      Pop(name);
      return;
    }
    TextFormat format = Current();
    if (name == "br") {
      Break();
      return;
    }
    if (name == "p") {
      StartParagraph();
      if (auto align = AlignAttribute(tag)) format.align = align;
    } else if (name == "li") {
      StartParagraph();
      format.bullet = true;
    } else if (name == "b") {
      format.bold = true;
    } else if (name == "i") {
      format.italic = true;
    } else if (name == "u") {
      format.underline = true;
    } else if (name == "a") {
      if (const std::string* href = tag.Attribute("href")) format.url = *href;
      if (const std::string* target = tag.Attribute("target")) format.target = *target;
    } else if (name == "font") {
      if (const std::string* face = tag.Attribute("face")) format.font = *face;
      if (const std::string* size = tag.Attribute("size"); size != nullptr && !size->empty()) {
        const double value = std::strtod(size->c_str(), nullptr);
        const bool relative = (*size)[0] == '+' || (*size)[0] == '-';
        format.size = relative ? format.size.value_or(12) + value : value;
      }
      if (auto color = ColorAttribute(tag)) format.color = color;
      if (auto spacing = NumberAttribute(tag, "letterspacing")) format.letterSpacing = spacing;
      if (auto kerning = NumberAttribute(tag, "kerning")) format.kerning = *kerning != 0;
    } else if (name == "textformat") {
      if (auto v = NumberAttribute(tag, "leftmargin")) format.leftMargin = v;
      if (auto v = NumberAttribute(tag, "rightmargin")) format.rightMargin = v;
      if (auto v = NumberAttribute(tag, "indent")) format.indent = v;
      if (auto v = NumberAttribute(tag, "blockindent")) format.blockIndent = v;
      if (auto v = NumberAttribute(tag, "leading")) format.leading = v;
      if (const std::string* stops = tag.Attribute("tabstops")) {
        std::vector<double> values;
        for (size_t start = 0; start < stops->size();) {
          const size_t end = std::min(stops->find(',', start), stops->size());
          values.push_back(std::strtod(stops->substr(start, end - start).c_str(), nullptr));
          start = end + 1;
        }
        format.tabStops = values;
      }
    } else if (name != "span") {
      return;  // not a tag of the subset: passed over
    }
    Push(name, format);
  }

  void AddText(std::string_view raw) {
    std::string decoded;
    decoded.reserve(raw.size());
    for (size_t i = 0; i < raw.size();) {
      if (raw[i] == '&') {
        if (auto entity = ReadEntity(raw.substr(i))) {
          AppendUtf8(decoded, entity->first);
          i += entity->second;
          continue;
        }
      }
      decoded += raw[i++];
    }
    std::u16string units = avm1::ToUtf16(decoded);
    if (options_.condenseWhite) {
      std::u16string condensed;
      for (char16_t c : units) {
        const bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
        if (space) {
          // Nor does a paragraph start with one.
          const bool lineStart =
              (pendingBreak_ && options_.multiline) || text_.Length() == 0 || text_.Text().back() == u'\r' || lastWasSpace_;
          const bool afterSpace = condensed.empty() ? lineStart : condensed.back() == u' ';
          if (!afterSpace) condensed += u' ';
        } else {
          condensed += c;
        }
      }
      units = std::move(condensed);
    } else {
      // Line ends in the source are paragraph breaks, multiline or not.
      std::u16string lines;
      for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') continue;
        if (units[i] == u'\n' || units[i] == u'\r') {
          lines += u'\r';
          continue;
        }
        lines += units[i];
      }
      units = std::move(lines);
    }
    if (units.empty()) return;
    lastWasSpace_ = units.back() == u' ';
    Put(units);
  }

  static void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xe0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      out += static_cast<char>(0xf0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }

  // A paragraph takes the paragraph fields of the format its break carries
  // (or its last character's): they hold for all of its characters.
  void FixParagraphs() {
    const std::u16string& units = text_.Text();
    size_t start = 0;
    while (start < units.size()) {
      const size_t end = text_.ParagraphEnd(start);
      const size_t last = end < units.size() ? end : end - 1;
      TextFormat paragraph;
      const TextFormat& source = text_.FormatAt(last);
      paragraph.align = source.align;
      paragraph.leftMargin = source.leftMargin;
      paragraph.rightMargin = source.rightMargin;
      paragraph.indent = source.indent;
      paragraph.blockIndent = source.blockIndent;
      paragraph.leading = source.leading;
      paragraph.bullet = source.bullet;
      paragraph.tabStops = source.tabStops;
      text_.ApplyFormat(start, std::min(end + 1, units.size()), paragraph);
      start = end + 1;
    }
  }

  HtmlOptions options_;
  StyledText text_;
  std::vector<std::pair<std::string, TextFormat>> stack_;
  TextFormat paragraphFormat_;
  bool pendingBreak_ = false;
  bool lastWasSpace_ = false;
};

std::string NumberText(double value) { return avm1::NumberToString(value); }

std::string Escaped(std::u16string_view units) {
  std::string out;
  for (char16_t c : units) {
    switch (c) {
      case u'<': out += "&lt;"; break;
      case u'>': out += "&gt;"; break;
      case u'&': out += "&amp;"; break;
      case u'"': out += "&quot;"; break;
      case u'\'': out += "&apos;"; break;
      default: out += avm1::FromUtf16(std::u16string_view(&c, 1));
    }
  }
  return out;
}

const char* AlignName(Align align) {
  switch (align) {
    case Align::kRight: return "RIGHT";
    case Align::kCenter: return "CENTER";
    case Align::kJustify: return "JUSTIFY";
    case Align::kLeft: break;
  }
  return "LEFT";
}

std::string FontAttributes(const TextFormat& format, const TextFormat* outer) {
  std::string out;
  if (outer == nullptr || format.font != outer->font) out += " FACE=\"" + format.font.value_or("") + "\"";
  if (outer == nullptr || format.size != outer->size) out += " SIZE=\"" + NumberText(format.size.value_or(12)) + "\"";
  if (outer == nullptr || format.color != outer->color) out += " COLOR=\"" + ColorText(format.color.value_or(0)) + "\"";
  if (outer == nullptr || format.letterSpacing != outer->letterSpacing) {
    out += " LETTERSPACING=\"" + NumberText(format.letterSpacing.value_or(0)) + "\"";
  }
  if (outer == nullptr || format.kerning != outer->kerning) {
    out += std::string(" KERNING=\"") + (format.kerning.value_or(false) ? "1" : "0") + "\"";
  }
  return out;
}

}  // namespace

std::string ColorText(uint32_t color) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%06X", color & 0xffffffu);
  return buffer;
}

StyledText ParseHtml(std::string_view html, const TextFormat& base, const HtmlOptions& options) {
  return HtmlReader(base, options).Read(html);
}

std::string WriteHtml(const StyledText& text) {
  const std::u16string& units = text.Text();
  std::string out;
  if (units.empty()) return out;
  size_t start = 0;
  do {
    const size_t end = text.ParagraphEnd(start);
    const TextFormat& first = text.FormatAt(start);
    std::string block;
    auto number = [&](const char* name, const std::optional<double>& value) {
      if (value.value_or(0) != 0) block += std::string(" ") + name + "=\"" + NumberText(*value) + "\"";
    };
    number("LEFTMARGIN", first.leftMargin);
    number("RIGHTMARGIN", first.rightMargin);
    number("INDENT", first.indent);
    number("BLOCKINDENT", first.blockIndent);
    number("LEADING", first.leading);
    if (first.tabStops && !first.tabStops->empty()) {
      block += " TABSTOPS=\"";
      for (size_t i = 0; i < first.tabStops->size(); ++i) {
        block += (i > 0 ? "," : "") + NumberText((*first.tabStops)[i]);
      }
      block += "\"";
    }
    if (!block.empty()) out += "<TEXTFORMAT" + block + ">";
    const bool bullet = first.bullet.value_or(false);
    out += bullet ? std::string("<LI>") : std::string("<P ALIGN=\"") + AlignName(first.align.value_or(Align::kLeft)) + "\">";
    out += "<FONT" + FontAttributes(first, nullptr) + ">";
    // The runs of the paragraph: a run whose font differs from every open
    // <FONT> opens one more inside the last (with what differs from it); a
    // run back at an open one's font closes those inside it.
    std::vector<TextFormat> fonts{first};
    size_t position = start;
    size_t runStart = 0;
    for (const FormatRun& run : text.Runs()) {
      const size_t from = std::max(runStart, position);
      const size_t to = std::min(run.end, end);
      runStart = run.end;
      if (from >= to) continue;
      const TextFormat& format = run.format;
      std::string open;
      std::string close;
      size_t level = fonts.size();
      while (level > 0 && !FontAttributes(format, &fonts[level - 1]).empty()) --level;
      if (level > 0) {
        for (; fonts.size() > level; fonts.pop_back()) out += "</FONT>";
      } else {
        open += "<FONT" + FontAttributes(format, &fonts.back()) + ">";
        fonts.push_back(format);
      }
      if (!format.url.value_or("").empty()) {
        open += "<A HREF=\"" + *format.url + "\" TARGET=\"" + format.target.value_or("") + "\">";
        close = "</A>" + close;
      }
      if (format.bold.value_or(false)) {
        open += "<B>";
        close = "</B>" + close;
      }
      if (format.italic.value_or(false)) {
        open += "<I>";
        close = "</I>" + close;
      }
      if (format.underline.value_or(false)) {
        open += "<U>";
        close = "</U>" + close;
      }
      out += open + Escaped(std::u16string_view(units).substr(from, to - from)) + close;
      position = to;
    }
    for (; fonts.size() > 1; fonts.pop_back()) out += "</FONT>";
    out += "</FONT>";
    out += bullet ? "</LI>" : "</P>";
    if (!block.empty()) out += "</TEXTFORMAT>";
    start = end + 1;
  } while (start < units.size());
  return out;
}

}  // namespace swf::text
