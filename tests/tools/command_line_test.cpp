// The console tool's parts, in the process: the option parser every command
// shares, the JSON and input-list readers of the trace command, and its host.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "../sys/temp_folder.h"
#include "tools/command.h"
#include "tools/input_script.h"
#include "tools/json_reader.h"
#include "tools/trace_host.h"

namespace tools {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

TEST(OptionParser, FormsAndMistakes) {
  static constexpr std::string_view kOptions[] = {"force", "frames=", "now=", "output="};
  struct Case {
    std::vector<std::string> raw;
    std::vector<std::string> positional;
    Options options;
    std::string error;  // empty: accepted
  };
  const Case cases[] = {
      {{"a", "--frames", "3", "b"}, {"a", "b"}, {{"frames", "3"}}, ""},
      {{"--frames=3", "a"}, {"a"}, {{"frames", "3"}}, ""},
      {{"a", "--frames="}, {"a"}, {{"frames", ""}}, ""},
      {{"--now", "-5", "a"}, {"a"}, {{"now", "-5"}}, ""},  // a value may look like an option
      {{"--force", "a"}, {"a"}, {{"force", ""}}, ""},
      {{"--force", "--force"}, {}, {{"force", ""}, {"force", ""}}, ""},
      {{"in", "-o", "out", "more"}, {"in", "out", "more"}, {}, ""},  // -o is the second argument
      {{"-o", "out", "in"}, {"in", "out"}, {}, ""},
      {{"-o", "out"}, {"out"}, {}, ""},
      {{"in", "--output=out"}, {"in", "out"}, {}, ""},
      {{"--", "--frames", "-o", "-h"}, {"--frames", "-o", "-h"}, {}, ""},
      {{"-", "-x"}, {"-", "-x"}, {}, ""},  // one dash is not an option
      {{"--fast"}, {}, {}, "unknown option --fast"},
      {{"--force=yes"}, {}, {}, "--force takes no value"},
      {{"a", "--frames"}, {}, {}, "--frames needs a value"},
      {{"-o"}, {}, {}, "-o needs a value"},
      {{"--frames", "1", "--frames=2"}, {}, {}, "--frames is given twice"},
      {{"-o", "x", "--output", "y"}, {}, {}, "--output is given twice"},
  };
  for (const Case& c : cases) {
    const std::string line = ::testing::PrintToString(c.raw);
    try {
      const Arguments arguments = ParseArguments(c.raw, kOptions);
      EXPECT_TRUE(c.error.empty()) << line << " was accepted";
      EXPECT_EQ(arguments.positional, c.positional) << line;
      EXPECT_EQ(arguments.options, c.options) << line;
      EXPECT_FALSE(arguments.helpRequested) << line;
    } catch (const UsageError& error) {
      EXPECT_EQ(error.what(), c.error) << line;
    }
  }
}

TEST(OptionParser, HelpWinsOverEverythingButComesOnlyBeforeTheEndOfOptions) {
  static constexpr std::string_view kOptions[] = {"frames="};
  for (const std::vector<std::string>& raw : {std::vector<std::string>{"--help"}, {"x", "--bogus", "-h"}, {"--frames", "--help"}}) {
    EXPECT_TRUE(ParseArguments(raw, kOptions).helpRequested) << ::testing::PrintToString(raw);
  }
  EXPECT_FALSE(ParseArguments({"--", "--help"}, kOptions).helpRequested);
}

TEST(OptionParser, WholeNumbers) {
  EXPECT_EQ(ParseInteger("12", 1, 100), 12);
  EXPECT_EQ(ParseInteger("+12", 1, 100), 12);
  EXPECT_EQ(ParseInteger("-345", -1440, 1440), -345);
  for (const char* bad : {"", "0", "101", "1.5", "12x", "+-1", " 5", "+"}) {
    EXPECT_FALSE(ParseInteger(bad, 1, 100)) << bad;
  }
}

TEST(JsonReader, ValuesAndStrictness) {
  const JsonValue value = ReadJson(
      " {\"a\": [1, -2.5e1, true, false, null], \"s\": \"t\\u00e9\\ud83d\\ude00\\n\\\"\", \"o\": {}} ");
  ASSERT_EQ(value.kind, JsonValue::Kind::kObject);
  const JsonValue& a = *value.Find("a");
  ASSERT_EQ(a.items.size(), 5u);
  EXPECT_EQ(a.items[1].number, -25);
  EXPECT_TRUE(a.items[2].boolean);
  EXPECT_EQ(a.items[4].kind, JsonValue::Kind::kNull);
  EXPECT_EQ(value.Find("s")->text, "t\xC3\xA9\xF0\x9F\x98\x80\n\"");
  EXPECT_EQ(value.Find("o")->kind, JsonValue::Kind::kObject);
  EXPECT_EQ(value.Find("missing"), nullptr);

  const std::pair<std::string, std::string> bad[] = {
      {"[1, 2,]", "line 1, column 7: expected a value"},
      {"{\"a\": 1,}", "expected a member name"},
      {"[01]", "may not start with 0"},
      {"\"a\\x\"", "unknown escape"},
      {"[\n  \"open", "line 2, column 8: unterminated string"},
      {"[1] [2]", "unexpected text after the value"},
      {"// note\n[]", "expected a value"},
      {"[tru]", "unknown word"},
      {"\"\\u12\"", "four hexadecimal digits"},
      {std::string(kMaxJsonDepth + 2, '['), "nested too deeply"},
  };
  for (const auto& [text, message] : bad) {
    try {
      ReadJson(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const JsonError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << text << " -> " << error.what();
    }
  }
}

TEST(InputScript, ReadsEveryKindOfEntry) {
  const std::vector<InputStep> steps = ReadInputScript(R"([
    {"type": "MouseMove", "pos": [10.5, 20]},
    {"type": "MouseDown", "pos": [1, 2], "btn": "Right"},
    {"type": "Wait"},
    {"type": "KeyDown", "key": "Tab"},
    {"type": "KeyUp", "key": {"Char": "a"}},
    {"type": "KeyDown", "key": {"Char": "\""}},
    {"type": "ImePreedit", "text": "", "cursor": null},
    {"type": "TextInput", "codepoint": "\ud83d\ude00"},
    {"type": "TextControl", "code": "SelectAll"},
    {"type": "SetClipboardText", "text": "abc"},
    {"type": "MouseWheel", "delta": {"Lines": -3}}
  ])");
  ASSERT_EQ(steps.size(), 10u);  // the input-method entry is left out
  EXPECT_EQ(steps[0].event.kind, swf::InputKind::kMouseMove);
  EXPECT_EQ(steps[0].event.x, 10.5);
  EXPECT_EQ(steps[1].event.button, swf::MouseButton::kRight);
  EXPECT_TRUE(steps[2].wait);
  EXPECT_EQ(steps[3].event.keyCode, 9);
  EXPECT_EQ(steps[4].event.kind, swf::InputKind::kKeyUp);
  EXPECT_EQ(steps[4].event.keyCode, 65);
  EXPECT_EQ(steps[4].event.character, U'a');
  EXPECT_EQ(steps[5].event.keyCode, 222);
  EXPECT_EQ(steps[6].event.character, U'\U0001F600');
  EXPECT_EQ(steps[7].event.command, swf::TextCommand::kSelectAll);
  EXPECT_EQ(steps[8].event.text, "abc");
  EXPECT_EQ(steps[9].event.wheelDelta, -3);
}

TEST(InputScript, KeyCodes) {
  const std::pair<const char*, int> names[] = {{"Tab", 9}, {"Enter", 13}, {"LeftShift", 16}, {"LeftControl", 17},
                                               {"CapsLock", 20}, {"Escape", 27}, {"Space", 32}, {"Nope", 0}};
  for (const auto& [name, code] : names) EXPECT_EQ(KeyCodeOfName(name), code) << name;
  const std::pair<char32_t, int> characters[] = {{U'z', 90}, {U'Q', 81}, {U'7', 55}, {U'!', 49}, {U'(', 57},
                                                 {U';', 186}, {U'/', 191}, {U'\u00e9', 0}};
  for (const auto& [character, code] : characters) EXPECT_EQ(KeyCodeOfCharacter(character), code);
}

TEST(InputScript, RefusesBadEntriesNamingThem) {
  const std::pair<const char*, const char*> bad[] = {
      {R"({"type": "Wait"})", "must be a JSON array"},
      {R"([{"type": "Wait"}, {"type": "Jump"}])", "input entry 2: unknown type \"Jump\""},
      {R"([{"pos": [1, 2]}])", "input entry 1: needs \"type\""},
      {R"([{"type": "MouseMove", "pos": [1]}])", "needs \"pos\" as [x, y]"},
      {R"([{"type": "MouseDown", "pos": [1, 2], "btn": "Fourth"}])", "unknown button \"Fourth\""},
      {R"([{"type": "KeyDown", "key": "Hyper"}])", "unknown key \"Hyper\""},
      {R"([{"type": "KeyDown", "key": {"Char": "ab"}}])", "\"Char\" must be one character"},
      {R"([{"type": "TextInput", "codepoint": ""}])", "\"codepoint\" must be one character"},
      {R"([{"type": "TextControl", "code": "Undo"}])", "unknown text command \"Undo\""},
      {R"([3])", "input entry 1: is not an object"},
      {R"([{"type": "Wait"},])", "not valid JSON: line 1, column 19"},
  };
  for (const auto& [text, message] : bad) {
    try {
      ReadInputScript(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const InputScriptError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << text << " -> " << error.what();
    }
  }
}

TEST(TraceHost, ClockFilesAndTraceLines) {
  const testing_support::TempFolder folder;
  std::filesystem::create_directory(std::filesystem::path(folder.Path()) / "sub");
  folder.Write("sub" + std::string(1, sys::PathSeparator()) + "data.txt", "inside");
  std::ostringstream out;
  TraceHost host(out, folder.Path(), 981152406000.0, 345);
  host.Trace("one");
  host.Trace("");
  EXPECT_EQ(out.str(), "one\n\n");
  EXPECT_EQ(host.NowMilliseconds(), 981152406000.0);
  host.AdvanceClock(0.5);
  host.AdvanceClock(0.25);
  EXPECT_EQ(host.NowMilliseconds(), 981152406750.0);
  EXPECT_EQ(host.UtcOffsetMinutes(0), 345);
  host.FsCommand("fullscreen", "true");
  EXPECT_FALSE(host.QuitRequested());
  host.FsCommand("quit", "");
  EXPECT_TRUE(host.QuitRequested());

  const auto read = host.LoadFile("sub/data.txt");
  ASSERT_TRUE(read);
  EXPECT_EQ(std::string(read->begin(), read->end()), "inside");
  EXPECT_TRUE(host.LoadFile("sub\\data.txt"));
  EXPECT_TRUE(host.LoadFile("sub/../sub/./data.txt"));
  for (const char* refused : {"../data.txt", "sub/../../data.txt", "/etc/hostname", "\\sub\\data.txt", "missing.txt",
                              "sub", ""}) {
    EXPECT_FALSE(host.LoadFile(refused)) << refused;
  }
#ifdef _WIN32
  EXPECT_FALSE(PathInsideFolder(folder.Path(), "C:\\Windows\\win.ini"));
  EXPECT_FALSE(PathInsideFolder(folder.Path(), "C:x.txt"));  // relative to drive C's own folder
#endif
}

}  // namespace
}  // namespace tools
