#include "trace_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace trace_corpus {
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<double> WholeNumber(std::string_view text) {
  const std::string copy(text);
  if (copy.empty() || std::isspace(static_cast<unsigned char>(copy.front()))) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return value;
}

bool TextsClose(std::string_view expected, std::string_view actual, const Approximations& limits) {
  if (expected == actual) return true;
  const auto e = WholeNumber(expected), a = WholeNumber(actual);
  return e && a && NumbersClose(*e, *a, limits);
}

// The line with every captured group of the pattern cut out, and the groups.
struct Split {
  std::string skeleton;
  std::vector<std::string> captures;
};

Split SplitByPattern(const std::string& line, const std::regex& pattern) {
  Split split;
  std::size_t copied = 0;
  for (auto it = std::sregex_iterator(line.begin(), line.end(), pattern); it != std::sregex_iterator(); ++it) {
    const std::smatch& match = *it;
    for (std::size_t group = 1; group < match.size(); ++group) {
      if (!match[group].matched) continue;
      const auto at = static_cast<std::size_t>(match.position(group));
      if (at < copied) continue;  // nested in a group already cut
      split.skeleton.append(line, copied, at - copied);
      split.skeleton.push_back('\x01');
      split.captures.push_back(match.str(group));
      copied = at + static_cast<std::size_t>(match.length(group));
    }
  }
  split.skeleton.append(line, copied);
  return split;
}

bool LinesClose(std::string_view expected, std::string_view actual, const Approximations& limits) {
  if (expected == actual) return true;
  if (limits.bareNumbers && TextsClose(expected, actual, limits)) return true;
  const std::string e(expected), a(actual);
  for (const std::regex& pattern : limits.numberPatterns) {
    const Split left = SplitByPattern(e, pattern), right = SplitByPattern(a, pattern);
    if (left.captures.empty() || left.skeleton != right.skeleton || left.captures.size() != right.captures.size()) {
      continue;
    }
    bool close = true;
    for (std::size_t i = 0; i < left.captures.size() && close; ++i) {
      close = TextsClose(left.captures[i], right.captures[i], limits);
    }
    if (close) return true;
  }
  return false;
}

std::string Shorten(std::string_view line) {
  constexpr std::size_t kShown = 160;
  return line.size() <= kShown ? std::string(line) : std::string(line.substr(0, kShown)) + "...";
}

std::optional<double> NumberEntry(const TomlTable& toml, const std::string& key) {
  const auto found = toml.find(key);
  if (found == toml.end()) return std::nullopt;
  if (found->second.kind != TomlValue::Kind::kNumber) throw std::runtime_error(key + " must be a number");
  return found->second.number;
}

}  // namespace

std::optional<Approximations> ReadApproximations(const TomlTable& toml) {
  const bool present = std::any_of(toml.begin(), toml.end(),
                                   [](const auto& entry) { return entry.first.starts_with("approximations."); });
  if (!present) return std::nullopt;
  Approximations limits;
  limits.epsilon = NumberEntry(toml, "approximations.epsilon");
  limits.maxRelative = NumberEntry(toml, "approximations.max_relative");
  if (const auto bare = toml.find("approximations.bare_numbers"); bare != toml.end()) {
    if (bare->second.kind != TomlValue::Kind::kBool) throw std::runtime_error("approximations.bare_numbers must be true or false");
    limits.bareNumbers = bare->second.boolean;
  }
  if (const auto patterns = toml.find("approximations.number_patterns"); patterns != toml.end()) {
    if (patterns->second.kind != TomlValue::Kind::kArray) throw std::runtime_error("approximations.number_patterns must be a list");
    for (const TomlValue& pattern : patterns->second.items) {
      if (pattern.kind != TomlValue::Kind::kString) throw std::runtime_error("approximations.number_patterns holds a non-string");
      try {
        limits.numberPatterns.emplace_back(pattern.text, std::regex::ECMAScript);
      } catch (const std::regex_error& error) {
        throw std::runtime_error("number pattern \"" + pattern.text + "\" is no regular expression: " + error.what());
      }
    }
  }
  return limits;
}

bool NumbersClose(double expected, double actual, const Approximations& limits) {
  if (expected == actual || (std::isnan(expected) && std::isnan(actual))) return true;
  const double difference = std::fabs(expected - actual);
  if (limits.epsilon && difference <= *limits.epsilon) return true;
  const double scale = std::max(std::fabs(expected), std::fabs(actual));
  return limits.maxRelative && difference <= *limits.maxRelative * scale;
}

Comparison CompareTrace(std::string_view expected, std::string_view actual,
                        const std::optional<Approximations>& approximations) {
  if (expected == actual) return {true, {}};
  const auto expectedLines = SplitLines(expected), actualLines = SplitLines(actual);
  const std::size_t common = std::min(expectedLines.size(), actualLines.size());
  for (std::size_t i = 0; i < common; ++i) {
    const bool same = approximations ? LinesClose(expectedLines[i], actualLines[i], *approximations)
                                     : expectedLines[i] == actualLines[i];
    if (!same) {
      return {false, "line " + std::to_string(i + 1) + ": expected \"" + Shorten(expectedLines[i]) + "\", got \"" +
                         Shorten(actualLines[i]) + "\""};
    }
  }
  if (expectedLines.size() != actualLines.size()) {
    return {false, "expected " + std::to_string(expectedLines.size()) + " lines, got " +
                       std::to_string(actualLines.size())};
  }
  return {true, {}};
}

}  // namespace trace_corpus
