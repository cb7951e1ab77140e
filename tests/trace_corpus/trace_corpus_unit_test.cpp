// The corpus harness's own parts: the TOML reader, the approximate
// comparison of trace output, and reading a test folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../sys/temp_folder.h"
#include "trace_case.h"
#include "trace_compare.h"
#include "toml_reader.h"

namespace trace_corpus {
namespace {

TEST(TomlReader, ReadsTheSubsetTheCorpusUses) {
  const TomlTable toml = ReadToml(
      "num_ticks = 300 # runs until fscommand\n"
      "\n"
      "[approximations]\n"
      "number_patterns = [\"angle=([\\\\d.]+)\", 'raw\\d']\n"
      "epsilon = 1e-14\n"
      "bare_numbers = true\n"
      "[[compilers]]\n"
      "scripts = [\n  \"a.as\",\n  \"b.as\",\n]\n"
      "[[compilers]]\n"
      "type = \"second\"\n"
      "[player_options]\n"
      "viewport_dimensions = { width = 25, height = 1_000, nested = { on = false } }\n"
      "image_comparisons.\"output.06b\".trigger = -3\n");
  EXPECT_EQ(toml.at("num_ticks").number, 300);
  EXPECT_EQ(toml.at("approximations.number_patterns").items.at(0).text, "angle=([\\d.]+)");
  EXPECT_EQ(toml.at("approximations.number_patterns").items.at(1).text, "raw\\d");
  EXPECT_DOUBLE_EQ(toml.at("approximations.epsilon").number, 1e-14);
  EXPECT_TRUE(toml.at("approximations.bare_numbers").boolean);
  EXPECT_EQ(toml.at("compilers.0.scripts").items.size(), 2u);
  EXPECT_EQ(toml.at("compilers.1.type").text, "second");
  EXPECT_EQ(toml.at("player_options.viewport_dimensions.height").number, 1000);
  EXPECT_EQ(toml.at("player_options.viewport_dimensions.nested.on").kind, TomlValue::Kind::kBool);
  EXPECT_EQ(toml.at("player_options.image_comparisons.output.06b.trigger").number, -3);
}

TEST(TomlReader, RefusesWhatItDoesNotKnowWithTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"a = 1\na = 2\n", "line 2: \"a\" is given twice"},
      {"a = \"open\n", "line 1: unterminated string"},
      {"a = 1 2\n", "line 1: unexpected text after the value"},
      {"\n\na = yes\n", "line 3: \"yes\" is not a number"},
      {"[table\n", "line 1: expected ']'"},
      {"a = \"\\q\"\n", "line 1: unknown escape \\q"},
      {"= 3\n", "line 1: expected a key"},
      {"a = [1, 2\n", "line 2: expected ']'"},
      {"a = 0x10\n", "\"0x10\" is not a number"},
  };
  for (const Case& c : cases) {
    try {
      ReadToml(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const TomlError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.text << " -> " << error.what();
    }
  }
}

Approximations Limits(std::optional<double> epsilon, std::optional<double> relative, bool bare,
                      std::vector<std::string> patterns = {}) {
  Approximations limits{epsilon, relative, {}, bare};
  for (const std::string& pattern : patterns) limits.numberPatterns.emplace_back(pattern);
  return limits;
}

TEST(TraceComparison, ExactAndApproximateLines) {
  struct Case {
    const char* expected;
    const char* actual;
    std::optional<Approximations> limits;
    bool match;
  };
  const Case cases[] = {
      {"a\nb\n", "a\nb\n", std::nullopt, true},
      {"a\nb\n", "a\nb", std::nullopt, false},  // the last line end counts
      {"1.5\n", "1.5000001\n", std::nullopt, false},
      {"1.5\n", "1.5000001\n", Limits(1e-6, {}, true), true},
      {"1.5\n", "1.6\n", Limits(1e-6, {}, true), false},
      {"1.5\n", "1.5000001\n", Limits(1e-6, {}, false), false},  // bare numbers not asked for
      {"1000\n", "1001\n", Limits({}, 0.01, true), true},          // relative
      {"1000\n", "1011\n", Limits({}, 0.01, true), false},
      {"NaN\n", "NaN\n", Limits(0.1, {}, true), true},
      {"x 1.5\n", "x 1.5000001\n", Limits(1e-6, {}, true), false},  // not a bare number
      {"angle=45.0001 ok\n", "angle=45.0002 ok\n", Limits(0.001, {}, false, {"angle=([\\d.]+)"}), true},
      {"angle=45.0001 ok\n", "angle=45.0002 no\n", Limits(0.001, {}, false, {"angle=([\\d.]+)"}), false},
      {"angle=45 angle=1\n", "angle=45 angle=2\n", Limits(0.001, {}, false, {"angle=([\\d.]+)"}), false},
      {"v 0.30000000000000004 w\n", "v 0.3 w\n", Limits(1e-14, {}, false, {"(\\d+\\.\\d+)"}), true},
      {"v 7 w\n", "v 8 w\n", Limits(5.0, {}, false, {"(\\d+\\.\\d+)"}), false},  // integers not captured
      {"1\n2\n", "1\n", Limits(1.0, {}, true), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareTrace(c.expected, c.actual, c.limits).match, c.match) << c.expected << " vs " << c.actual;
  }
  EXPECT_EQ(CompareTrace("a\nb\nc\n", "a\nB\nc\n", std::nullopt).difference, "line 2: expected \"b\", got \"B\"");
}

TEST(TraceCase, ReadsFramesAndApproximationsAndRefusesBadFolders) {
  const testing_support::TempFolder root;
  auto makeCase = [&](const std::string& name, const std::string& toml) {
    const std::filesystem::path folder = std::filesystem::path(root.Path()) / name;
    std::filesystem::create_directory(folder);
    std::ofstream(folder / "test.toml") << toml;
    return folder;
  };
  const TraceCase ticks = LoadTraceCase(makeCase("ticks", "num_ticks = 12\n[approximations]\nepsilon = 0.5\n"));
  EXPECT_EQ(ticks.frames, 12);
  ASSERT_TRUE(ticks.approximations);
  EXPECT_EQ(ticks.approximations->epsilon, 0.5);
  const TraceCase plain = LoadTraceCase(makeCase("plain", "num_frames = 3\n"));
  EXPECT_EQ(plain.frames, 3);
  EXPECT_FALSE(plain.approximations);
  EXPECT_FALSE(plain.hasInput);

  const std::pair<const char*, const char*> bad[] = {
      {"# nothing but a comment\n", "neither num_frames nor num_ticks"},
      {"num_frames = 0", "whole number of at least 1"},
      {"num_frames = \"2\"", "whole number of at least 1"},
      {"num_frames = 1\n[approximations]\nnumber_patterns = [\"(\"]", "is no regular expression"},
      {"num_frames = 1\n[approximations]\nepsilon = \"small\"", "must be a number"},
  };
  int index = 0;
  for (const auto& [toml, message] : bad) {
    const std::string name = "bad" + std::to_string(index++);
    try {
      LoadTraceCase(makeCase(name, toml));
      ADD_FAILURE() << "accepted: " << toml;
    } catch (const std::runtime_error& error) {
      const std::string what = error.what();
      EXPECT_EQ(what.rfind(name + ": ", 0), 0u) << what;
      EXPECT_NE(what.find(message), std::string::npos) << what;
    }
  }
  EXPECT_EQ(ListTraceCases(root.Path()).size(), 2u + index);
}

}  // namespace
}  // namespace trace_corpus
