#include "movie_exercise.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "swf/movie_report.h"
#include "swf/parse/movie.h"
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

// Decodes the action blocks of a movie at every offset, as jumps into the
// middle of records would, up to a number of offsets per input so that large
// movies stay quick. Each operation must lie inside its block.
class ActionExercise {
 public:
  void Movie(const swf::ParsedMovie& movie) {
    Timeline(movie.root);
    for (const auto& [id, character] : movie.characters) {
      if (const auto* sprite = std::get_if<swf::SpriteDefinition>(&character)) Timeline(sprite->timeline);
      if (const auto* button = std::get_if<swf::ButtonDefinition>(&character)) {
        for (const swf::ButtonCondAction& action : button->actions) Block(action.actions);
      }
    }
  }

 private:
  void Timeline(const swf::TimelineDefinition& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
      for (const swf::ActionBlock& block : frame.actions) Block(block);
      for (const swf::InitActionBlock& init : frame.initActions) Block(init.block);
      for (const swf::ControlTag& tag : frame.tags) {
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
          for (const swf::ClipActionRecord& record : place->clipActions.records) Block(record.actions);
        }
      }
    }
  }

  void Block(const swf::ActionBlock& block) {
    for (size_t offset = 0; offset < block.code.size() && budget_ > 0; ++offset, --budget_) {
      const swf::Operation& op = block.At(offset);
      Check(op.offset == offset && op.length > 0 && op.Next() <= block.code.size());
      Check(&block.At(offset) == &op);  // decoded once, kept
    }
  }

  size_t budget_ = size_t{1} << 16;
};

// The mouse over a grid of the stage, pressed and released at every point,
// then the keys that buttons listen for: hit tests, button states and their
// actions.
void UseMouseAndKeys(swf::Player& player) {
  constexpr int kSteps = 4;
  for (int row = 0; row < kSteps; ++row) {
    for (int column = 0; column < kSteps; ++column) {
      swf::InputEvent event;
      event.x = player.StageWidth() * (column + 0.5) / kSteps;
      event.y = player.StageHeight() * (row + 0.5) / kSteps;
      event.button = swf::MouseButton::kLeft;
      for (const swf::InputKind kind : {swf::InputKind::kMouseMove, swf::InputKind::kMouseDown, swf::InputKind::kMouseUp}) {
        event.kind = kind;
        player.HandleInput(event);
        CheckFrame(player);
      }
    }
  }
  for (const int key : {13, 32, 37, 40}) {
    swf::InputEvent event;
    event.kind = swf::InputKind::kKeyDown;
    event.keyCode = key;
    player.HandleInput(event);
    CheckFrame(player);
  }
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
  ActionExercise().Movie(player->Movie());
  SmallPicture picture;
  picture.Render(*player);
  for (int tick = 0; tick < 3; ++tick) {
    player->Tick();
    CheckFrame(*player);
    picture.Render(*player);
  }
  UseMouseAndKeys(*player);
  picture.Render(*player);
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
