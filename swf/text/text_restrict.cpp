#include "swf/text/text_restrict.h"

#include <algorithm>

namespace swf::text {

CharacterRestriction::CharacterRestriction(std::u16string_view restrict) {
  allowAllByDefault_ = !restrict.empty() && restrict.front() == u'^';
  bool refusing = false;
  bool rangeOpen = false;  // a "-" (or a run of them) waits for its end
  char16_t last = 0;       // where a range starts: the character before, 0 after a range
  for (size_t i = 0; i < restrict.size(); ++i) {
    char16_t c = restrict[i];
    if (c == u'^') {
      refusing = !refusing;
      continue;
    }
    if (c == u'-') {
      rangeOpen = true;
      continue;
    }
    if (c == u'\\') {
      if (++i == restrict.size()) break;  // a "\" at the end is nothing
      c = restrict[i];
    }
    std::vector<Range>& into = refusing ? refused_ : allowed_;
    if (rangeOpen) {
      if (last <= c) into.emplace_back(last, c);
      rangeOpen = false;
      last = 0;
    } else {
      into.emplace_back(c, c);
      last = c;
    }
  }
}

bool CharacterRestriction::Allows(char16_t c) const {
  auto in = [c](const std::vector<Range>& ranges) {
    return std::any_of(ranges.begin(), ranges.end(), [c](const Range& r) { return r.first <= c && c <= r.second; });
  };
  return (allowAllByDefault_ || in(allowed_)) && !in(refused_);
}

std::optional<char16_t> CharacterRestriction::Admit(char16_t c) const {
  if (Allows(c)) return c;
  char16_t other = c;
  if (c >= u'a' && c <= u'z') other = static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'A' && c <= u'Z') other = static_cast<char16_t>(c - u'A' + u'a');
  if (other != c && Allows(other)) return other;
  return std::nullopt;
}

}  // namespace swf::text
