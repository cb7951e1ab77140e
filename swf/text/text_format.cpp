#include "swf/text/text_format.h"

#include <tuple>

namespace swf::text {
namespace {

// Every field of a format, for the operations that treat them alike.
constexpr auto kFields = std::make_tuple(
    &TextFormat::font, &TextFormat::size, &TextFormat::color, &TextFormat::bold, &TextFormat::italic,
    &TextFormat::underline, &TextFormat::url, &TextFormat::target, &TextFormat::letterSpacing,
    &TextFormat::kerning, &TextFormat::align, &TextFormat::leftMargin, &TextFormat::rightMargin,
    &TextFormat::indent, &TextFormat::blockIndent, &TextFormat::leading, &TextFormat::bullet,
    &TextFormat::tabStops);

template <typename F>
void ForEachField(F&& f) {
  std::apply([&](auto... field) { (f(field), ...); }, kFields);
}

}  // namespace

void TextFormat::Apply(const TextFormat& other) {
  ForEachField([&](auto field) {
    if ((other.*field).has_value()) this->*field = other.*field;
  });
}

void TextFormat::KeepCommon(const TextFormat& other) {
  ForEachField([&](auto field) {
    if (this->*field != other.*field) (this->*field).reset();
  });
}

bool TextFormat::Complete() const {
  bool complete = true;
  ForEachField([&](auto field) { complete = complete && (this->*field).has_value(); });
  return complete;
}

TextFormat DefaultTextFormat() {
  TextFormat format;
  format.font = "Times New Roman";
  format.size = 12;
  format.color = 0;
  format.bold = false;
  format.italic = false;
  format.underline = false;
  format.url = "";
  format.target = "";
  format.letterSpacing = 0;
  format.kerning = false;
  format.align = Align::kLeft;
  format.leftMargin = 0;
  format.rightMargin = 0;
  format.indent = 0;
  format.blockIndent = 0;
  format.leading = 0;
  format.bullet = false;
  format.tabStops = std::vector<double>{};
  return format;
}

}  // namespace swf::text
