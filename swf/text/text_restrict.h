#pragma once

// A field's `restrict`: the characters typing and pasting may put in it.
// The text lists characters and ranges ("a-z"); each "^" switches between
// listing allowed and refused ones; "\" takes the next character as it is.
// A list that begins with "^" allows everything it does not refuse. A
// letter of the ASCII range that is not allowed goes in as its other case
// when that one is.

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::text {

class CharacterRestriction {
 public:
  explicit CharacterRestriction(std::u16string_view restrict);

  // The character to insert for `c`; none when it is refused.
  std::optional<char16_t> Admit(char16_t c) const;

 private:
  bool Allows(char16_t c) const;

  using Range = std::pair<char16_t, char16_t>;
  bool allowAllByDefault_ = false;
  std::vector<Range> allowed_;
  std::vector<Range> refused_;
};

}  // namespace swf::text
