#pragma once

#include <stdexcept>
#include <string>

namespace swf {

// Anything wrong with the bytes of a movie. The message says what and, where
// known, at which offset, so that a broken file can be diagnosed from it.
class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace swf
