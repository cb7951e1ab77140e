#pragma once

#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "toml_reader.h"

namespace trace_corpus {

// How far numbers in a test's output may stray from the expected ones.
struct Approximations {
  std::optional<double> epsilon;      // largest absolute difference
  std::optional<double> maxRelative;  // largest difference relative to the larger magnitude
  std::vector<std::regex> numberPatterns;  // capture groups are numbers compared so
  bool bareNumbers = false;                // a line that is only a number is compared so
};

// The [approximations] table of a test.toml, nothing when there is none.
// Throws std::runtime_error for a value of the wrong kind or a pattern that
// is no regular expression.
std::optional<Approximations> ReadApproximations(const TomlTable& toml);

// True when the numbers are equal (NaN equals NaN) or within a limit.
bool NumbersClose(double expected, double actual, const Approximations& limits);

struct Comparison {
  bool match = false;
  std::string difference;  // where and how they differ, for a person
};

// Exact comparison without approximations; with them, line by line, where a
// differing line still matches when its numbers (bare or captured) are close
// and everything else on it is the same.
Comparison CompareTrace(std::string_view expected, std::string_view actual,
                        const std::optional<Approximations>& approximations);

}  // namespace trace_corpus
