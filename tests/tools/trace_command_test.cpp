// "quorvel-pack trace" as a real process on movies built in code, and the
// --help of every command the tool lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "../swf/action_builder.h"
#include "../swf/swf_builder.h"
#include "../sys/temp_folder.h"
#include "run_process.h"
#include "sys/process.h"

namespace {

using testing_support::ProcessResult;
using testing_support::QuorvelPackPath;
using testing_support::TempFolder;
namespace act = swftest::act;

class TraceCommandTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& arguments) {
    ProcessResult result = testing_support::RunProcess(QuorvelPackPath(), arguments, scratch_.Path());
    std::erase(result.errors, '\r');
    return result;
  }

  std::string WriteMovie(const std::string& name, const swftest::Bytes& bytes) {
    return work_.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  // Three frames, each tracing its own name; the movie loops.
  std::string ThreeFrameMovie() {
    std::vector<swftest::Bytes> tags;
    for (const char* text : {"first", "second", "third"}) {
      tags.push_back(act::DoAction({act::PushString(text), act::Simple(0x26)}));
      tags.push_back(swftest::ShowFrame());
    }
    return WriteMovie("three.swf", swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 4000, 0, 3000}, 24 << 8, 3));
  }

  TempFolder scratch_;
  TempFolder work_;
};

TEST_F(TraceCommandTest, PrintsOneLinePerTraceForTheFramesAsked) {
  const std::string movie = ThreeFrameMovie();
  const std::pair<std::string, std::string> cases[] = {
      {"1", "first\n"},
      {"2", "first\nsecond\n"},
      {"5", "first\nsecond\nthird\nfirst\nsecond\n"},  // the root loops
  };
  for (const auto& [frames, expected] : cases) {
    const ProcessResult result = Run({"trace", movie, "--frames", frames, "--now", "981152406000", "--utc-offset=345"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, expected) << "--frames " << frames;  // LF alone, on Windows too
  }
}

TEST_F(TraceCommandTest, WaitsInTheInputListRunFramesUpToTheCount) {
  const std::string movie = ThreeFrameMovie();
  const std::string fewWaits = work_.Write("few.json", R"([{"type": "MouseMove", "pos": [1, 2]}, {"type": "Wait"}])");
  const std::string manyWaits = work_.Write(
      "many.json", R"([{"type": "Wait"}, {"type": "KeyDown", "key": "Tab"}, {"type": "Wait"}, {"type": "Wait"}])");
  // Frames still due after the list ends run as usual; Waits beyond the count run none.
  EXPECT_EQ(Run({"trace", movie, "--frames", "3", "--input", fewWaits}).output, "first\nsecond\nthird\n");
  EXPECT_EQ(Run({"trace", movie, "--frames", "2", "--input", manyWaits}).output, "first\nsecond\n");
}

TEST_F(TraceCommandTest, MistakesAreReportedClearly) {
  const std::string movie = ThreeFrameMovie();
  const std::string missing = work_ / "missing.swf";
  const ProcessResult noMovie = Run({"trace", missing, "--frames", "2"});
  EXPECT_EQ(noMovie.exitCode, 1);
  EXPECT_NE(noMovie.errors.find("Cannot open file " + missing), std::string::npos) << noMovie.errors;
  EXPECT_TRUE(noMovie.output.empty());

  const ProcessResult notAMovie = Run({"trace", work_.Write("text.swf", "hello world"), "--frames", "1"});
  EXPECT_EQ(notAMovie.exitCode, 1);
  EXPECT_NE(notAMovie.errors.find("text.swf: "), std::string::npos) << notAMovie.errors;

  const std::string badInput = work_.Write("bad.json", R"([{"type": "Wait"}, {"type": "Teleport"}])");
  const ProcessResult input = Run({"trace", movie, "--frames", "2", "--input", badInput});
  EXPECT_EQ(input.exitCode, 1);
  EXPECT_NE(input.errors.find("bad.json: input entry 2: unknown type \"Teleport\""), std::string::npos) << input.errors;
  EXPECT_TRUE(input.output.empty());

  const std::pair<std::vector<std::string>, std::string> usage[] = {
      {{"trace", movie}, "trace needs --frames N"},
      {{"trace", movie, "--frames", "0"}, "--frames needs a whole number from 1"},
      {{"trace", movie, "--frames"}, "--frames needs a value"},
      {{"trace", movie, "--frames", "2", "--utc-offset", "5000"}, "--utc-offset needs minutes"},
      {{"trace", movie, "--frames", "2", "--now", "soon"}, "--now needs milliseconds"},
      {{"trace", movie, movie, "--frames", "2"}, "wrong number of arguments"},
      {{"trace", movie, "--frames", "2", "-o", "x"}, "unknown option -o"},
  };
  for (const auto& [arguments, message] : usage) {
    const ProcessResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, 2) << message;
    EXPECT_NE(result.errors.find(message), std::string::npos) << result.errors;
    EXPECT_NE(result.errors.find("usage: quorvel-pack trace"), std::string::npos) << result.errors;
  }
}

// Every command the overall help lists answers --help with its own usage on
// standard output and exit code 0, whatever else is on the line.
TEST_F(TraceCommandTest, HelpOnEveryCommand) {
  const ProcessResult overall = Run({"--help"});
  ASSERT_EQ(overall.exitCode, 0);
  std::vector<std::string> commands;
  std::istringstream lines(overall.output.substr(overall.output.find("commands:")));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("  ") && !line.starts_with("   ")) commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  for (const char* expected : {"build", "list", "verify", "extract", "render", "trace"}) {
    EXPECT_NE(std::find(commands.begin(), commands.end(), expected), commands.end()) << expected;
  }
  for (const std::string& command : commands) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{command, "--help"}, {command, "-h", "extra", "--no-such-option"}}) {
      const ProcessResult result = Run(arguments);
      EXPECT_EQ(result.exitCode, 0) << command << ": " << result.errors;
      EXPECT_EQ(result.output.rfind("usage: quorvel-pack " + command + " ", 0), 0u) << result.output;
      EXPECT_TRUE(result.errors.empty()) << result.errors;
    }
  }
}

}  // namespace

namespace {

// The corpus harness runs each test with a time limit, so that one hanging
// movie fails alone.
#ifndef _WIN32
TEST(RunProcessTimeLimit, EndsAProgramStillRunningAfterTheLimit) {
  const TempFolder scratch;
  const ProcessResult hung = testing_support::RunProcess("/bin/sleep", {"60"}, scratch.Path(), 200);
  EXPECT_TRUE(hung.timedOut);
  EXPECT_EQ(hung.exitCode, -1);
  const ProcessResult quick = testing_support::RunProcess("/bin/sh", {"-c", "echo done; exit 3"}, scratch.Path(), 60000);
  EXPECT_FALSE(quick.timedOut);
  EXPECT_EQ(quick.exitCode, 3);
  EXPECT_EQ(quick.output, "done\n");
}
#endif

}  // namespace
