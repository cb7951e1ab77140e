#include "tools/render_command.h"

#include <charconv>
#include <exception>
#include <ostream>
#include <string>

#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf/render/png_encoder.h"
#include "swf/snapshot.h"
#include "sys/file.h"

namespace tools {
namespace {

// The options that take a value. The shared argument splitter knows only
// "--name=value"; "--name value" leaves the value among the positional
// arguments, after the two paths, where this command picks it up in order.
struct RenderRequest {
  std::string moviePath;
  std::string pngPath;
  swf::SnapshotOptions snapshot;
};

std::optional<int> ParsePositiveInt(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// Returns an error message, or an empty string when the request is complete.
std::string ReadRequest(const Arguments& arguments, RenderRequest& request) {
  if (arguments.positional.size() < 2) return "render needs a movie and an output file";
  request.moviePath = arguments.positional[0];
  request.pngPath = arguments.positional[1];
  size_t nextLoose = 2;
  for (const auto& [name, given] : arguments.options) {
    std::string value = given;
    if (value.empty()) {
      if (nextLoose >= arguments.positional.size()) return "--" + name + " needs a value";
      value = arguments.positional[nextLoose++];
    }
    if (name == "quality") {
      if (value == "low") {
        request.snapshot.quality = swf::Quality::kLow;
      } else if (value == "high") {
        request.snapshot.quality = swf::Quality::kHigh;
      } else {
        return "--quality must be low or high, not \"" + value + "\"";
      }
      continue;
    }
    const auto number = ParsePositiveInt(value);
    if (!number) return "--" + name + " needs a whole number of at least 1, not \"" + value + "\"";
    if (name == "frames") request.snapshot.frames = *number;
    if (name == "width") request.snapshot.width = *number;
    if (name == "height") request.snapshot.height = *number;
  }
  if (nextLoose != arguments.positional.size()) return "unexpected argument \"" + arguments.positional[nextLoose] + "\"";
  return {};
}

}  // namespace

int RunRender(const CommandContext& context) {
  RenderRequest request;
  if (const std::string problem = ReadRequest(context.arguments, request); !problem.empty()) {
    context.err << "quorvel-pack: " << problem << "\nusage: quorvel-pack render " << kRenderUsage << "\n";
    return kExitUsage;
  }
  const std::string file = sys::ReadWholeFile(request.moviePath, sys::FileAccess::kReadShareReadWrite);
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  std::optional<swf::Player> player;
  try {
    player.emplace(bytes);
  } catch (const swf::ParseError& error) {
    return Fail(context.err, request.moviePath + ": " + error.what());
  }
  if (player->HasUnrunAs3Code()) {
    context.err << "quorvel-pack: note: " << request.moviePath
                << " contains ActionScript 3 code, which is not run; only its timeline and shapes are shown\n";
  }
  swf::Snapshot snapshot;
  try {
    snapshot = swf::TakeSnapshot(*player, request.snapshot);
  } catch (const std::invalid_argument& error) {
    context.err << "quorvel-pack: " << error.what() << "\n";
    return kExitUsage;
  }
  const auto png = swf::EncodePngRgba(snapshot.width, snapshot.height, snapshot.rgba);
  sys::WriteWholeFile(request.pngPath, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
  context.out << request.pngPath << ": " << snapshot.width << " x " << snapshot.height << ", frame "
              << player->CurrentFrame() + 1 << " of " << player->FrameCount() << "\n";
  return kExitSuccess;
}

}  // namespace tools
