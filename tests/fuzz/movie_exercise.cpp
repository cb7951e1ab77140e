#include "movie_exercise.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "swf/movie_report.h"
#include "swf/parse/parse_error.h"
#include "swf/player.h"

namespace fuzz {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Broken invariants abort, which libFuzzer and CTest both report as a crash.
void Check(bool condition) {
  if (!condition) std::abort();
}

class SmallPicture {
 public:
  SmallPicture() : pixels_(size_t{kWidth} * kHeight * 4) {}

  void Render(const swf::Player& player) {
    player.Render({pixels_.data(), kWidth, kHeight, kWidth * 4, swf::PixelFormat::kRgba32}, swf::Quality::kHigh);
    player.Render({pixels_.data(), kWidth, kHeight, kWidth * 4, swf::PixelFormat::kRgba32}, swf::Quality::kLow);
    // Bottom-up rows, as the Windows side hands its DIBs over.
    player.Render({pixels_.data(), kWidth, kHeight, -kWidth * 4, swf::PixelFormat::kBgra32}, swf::Quality::kHigh);
  }

 private:
  std::vector<uint8_t> pixels_;
};

void CheckFrame(const swf::Player& player) {
  Check(player.FrameCount() == 0 ? player.CurrentFrame() == 0 : player.CurrentFrame() < player.FrameCount());
}

}  // namespace

void ExerciseMovie(std::span<const uint8_t> bytes) {
  std::optional<swf::Player> player;
  try {
    player.emplace(bytes);
  } catch (const swf::ParseError&) {
    return;
  }
  // The report walks every timeline and action block of what was parsed.
  const swf::MovieReport report = swf::ReportMovie(player->Movie());
  Check(report.frameCount == player->FrameCount());
  Check(swf::NoticeLine(report).empty() == report.unsupported.empty());
  SmallPicture picture;
  picture.Render(*player);
  for (int tick = 0; tick < 3; ++tick) {
    player->Tick();
    CheckFrame(*player);
    picture.Render(*player);
  }
  const size_t frames = player->FrameCount();
  if (frames == 0) return;
  for (const size_t frame : {frames - 1, size_t{0}, frames / 2, frames - 1, frames / 3, frames + 7}) {
    player->GotoFrame(frame);
    CheckFrame(*player);
    picture.Render(*player);
    player->Tick();
  }
  for (const auto& [label, frame] : player->Movie().root.labels) {
    Check(player->GotoLabel(label));
    CheckFrame(*player);
  }
  picture.Render(*player);
}

}  // namespace fuzz
