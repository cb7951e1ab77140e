#include "tools/render_command.h"

#include <charconv>
#include <exception>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf/render/png_encoder.h"
#include "swf/snapshot.h"
#include "sys/file.h"
#include "sys/fonts.h"

namespace tools {
namespace {

struct RenderRequest {
  std::string moviePath;
  std::string pngPath;
  swf::SnapshotOptions snapshot;
  std::optional<swf::Rgba> background;
};

std::optional<int> ParsePositiveInt(std::string_view text) {
  const auto value = ParseInteger(text, 1, std::numeric_limits<int>::max());
  if (!value) return std::nullopt;
  return static_cast<int>(*value);
}

// "#rrggbb" (the '#' may be left out) to an opaque colour.
std::optional<swf::Rgba> ParseColour(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  uint8_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const char* begin = text.data() + 2 * i;
    const auto [end, error] = std::from_chars(begin, begin + 2, channels[i], 16);
    if (error != std::errc() || end != begin + 2) return std::nullopt;
  }
  return swf::Rgba{channels[0], channels[1], channels[2], 255};
}

// Returns an error message, or an empty string when the request is complete.
std::string ReadRequest(const Arguments& arguments, RenderRequest& request) {
  if (arguments.positional.size() != 2) return "render needs a movie and an output file";
  request.moviePath = arguments.positional[0];
  request.pngPath = arguments.positional[1];
  for (const auto& [name, value] : arguments.options) {
    if (name == "quality") {
      if (value == "low") {
        request.snapshot.quality = swf::Quality::kLow;
      } else if (value == "high") {
        request.snapshot.quality = swf::Quality::kHigh;
      } else {
        return "--quality must be low or high, not \"" + value + "\"";
      }
    } else if (name == "background") {
      request.background = ParseColour(value);
      if (!request.background) return "--background wants a colour as #rrggbb, not \"" + value + "\"";
    } else if (name == "size") {
      if (arguments.Has("width") || arguments.Has("height")) return "--size stands for --width and --height; give one or the other";
      const std::size_t x = value.find_first_of("xX");
      const auto width = x == std::string::npos ? std::nullopt : ParsePositiveInt(std::string_view(value).substr(0, x));
      const auto height = x == std::string::npos ? std::nullopt : ParsePositiveInt(std::string_view(value).substr(x + 1));
      if (!width || !height) return "--size wants WIDTHxHEIGHT in whole pixels, not \"" + value + "\"";
      request.snapshot.width = *width;
      request.snapshot.height = *height;
    } else {
      const auto number = ParsePositiveInt(value);
      if (!number) return "--" + name + " needs a whole number of at least 1, not \"" + value + "\"";
      if (name == "frames") request.snapshot.frames = *number;
      if (name == "width") request.snapshot.width = *number;
      if (name == "height") request.snapshot.height = *number;
    }
  }
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
  // Text in device fonts is drawn with the system's fonts.
  struct FontHost : swf::HostServices {
    std::unique_ptr<swf::text::FontSource> fonts = sys::CreateFontSource();
    swf::text::FontSource* Fonts() override { return fonts.get(); }
  } host;
  std::optional<swf::Player> player;
  try {
    player.emplace(bytes, &host);
  } catch (const swf::ParseError& error) {
    return Fail(context.err, request.moviePath + ": " + error.what());
  }
  if (request.background) player->SetBackgroundOverride(request.background);
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
