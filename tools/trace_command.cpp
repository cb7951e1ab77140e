#include "tools/trace_command.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "sys/file.h"
#include "sys/process.h"
#include "tools/input_script.h"
#include "tools/trace_host.h"

namespace tools {
namespace {

// Frames one run may ask for: a day at 120 frames a second.
constexpr long long kMaxFrames = 120LL * 60 * 60 * 24;
// Dates the movie's clock may start at: within the range a script's Date holds.
constexpr long long kMaxNowMilliseconds = 8'640'000'000'000'000LL;

struct TraceRequest {
  std::string moviePath;
  long long frames = 0;
  std::optional<std::string> inputPath;
  double startMilliseconds = 0;
  int utcOffsetMinutes = 0;
};

double SystemMilliseconds() {
  using namespace std::chrono;
  return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

// Returns an error message, or an empty string when the request is complete.
std::string ReadRequest(const Arguments& arguments, TraceRequest& request) {
  request.moviePath = arguments.positional.at(0);
  const auto frames = arguments.Value("frames");
  if (!frames) return "trace needs --frames N";
  const auto count = ParseInteger(*frames, 1, kMaxFrames);
  if (!count) return "--frames needs a whole number from 1 to " + std::to_string(kMaxFrames) + ", not \"" + *frames + "\"";
  request.frames = *count;
  request.inputPath = arguments.Value("input");
  request.startMilliseconds = SystemMilliseconds();
  if (const auto now = arguments.Value("now")) {
    const auto value = ParseInteger(*now, -kMaxNowMilliseconds, kMaxNowMilliseconds);
    if (!value) return "--now needs milliseconds since 1970-01-01 UTC as a whole number, not \"" + *now + "\"";
    request.startMilliseconds = static_cast<double>(*value);
  }
  if (const auto offset = arguments.Value("utc-offset")) {
    const auto value = ParseInteger(*offset, -24 * 60, 24 * 60);
    if (!value) return "--utc-offset needs minutes east of UTC from -1440 to 1440, not \"" + *offset + "\"";
    request.utcOffsetMinutes = static_cast<int>(*value);
  }
  return {};
}

// Runs the frames, delivering the input between them: the first frame ran
// when the player was made; the events up to a Wait come after the frame
// before it, and each Wait runs one more frame, as long as frames are left
// and the movie did not quit.
void RunFrames(swf::Player& player, TraceHost& host, long long frames, const std::vector<InputStep>& input) {
  long long framesRun = 1;
  auto finished = [&] { return framesRun == frames || host.QuitRequested(); };
  auto nextFrame = [&] {
    const double interval = player.FrameInterval();
    host.AdvanceClock(interval);
    player.Advance(interval);
    ++framesRun;
  };
  for (const InputStep& step : input) {
    if (!step.wait) {
      player.HandleInput(step.event);
      continue;
    }
    if (finished()) break;
    nextFrame();
  }
  while (!finished()) nextFrame();
  // The last frame's interval passes too: timers due within it still fire.
  if (!host.QuitRequested()) player.AdvanceClockOnly(player.FrameInterval());
}

}  // namespace

int RunTrace(const CommandContext& context) {
  TraceRequest request;
  if (const std::string problem = ReadRequest(context.arguments, request); !problem.empty()) {
    context.err << "quorvel-pack: " << problem << "\nusage: quorvel-pack trace " << kTraceUsage << "\n";
    return kExitUsage;
  }
  std::vector<InputStep> input;
  if (request.inputPath) {
    try {
      input = ReadInputScript(sys::ReadWholeFile(*request.inputPath, sys::FileAccess::kReadShareReadWrite));
    } catch (const std::exception& error) {
      return Fail(context.err, *request.inputPath + ": " + error.what());
    }
  }
  std::string file;
  try {
    file = sys::ReadWholeFile(request.moviePath, sys::FileAccess::kReadShareReadWrite);
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  // Trace lines end in LF on every system, as the movie's own text does.
  sys::UseBinaryStandardOutput();
  const std::filesystem::path folder = std::filesystem::path(request.moviePath).parent_path();
  TraceHost host(context.out, folder.empty() ? std::filesystem::path(".") : folder, request.startMilliseconds,
                 request.utcOffsetMinutes);
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  std::optional<swf::Player> player;
  try {
    player.emplace(bytes, &host);
  } catch (const swf::ParseError& error) {
    return Fail(context.err, request.moviePath + ": " + error.what());
  }
  if (player->HasUnrunAs3Code()) {
    context.err << "quorvel-pack: note: " << request.moviePath << " contains ActionScript 3 code, which is not run\n";
  }
  RunFrames(*player, host, request.frames, input);
  context.out.flush();
  return kExitSuccess;
}

}  // namespace tools
