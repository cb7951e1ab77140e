#include "support/button_movie.h"

#include <cstdint>
#include <vector>

#include "swf/swf_builder.h"

namespace testsupport {
namespace {

using swftest::Bytes;

constexpr int kTwips = 20;
constexpr swf::Rgba kWhite{255, 255, 255, 255};
constexpr swf::Rgba kRed{220, 10, 10, 255};
constexpr swf::Rgba kBlue{20, 40, 200, 255};
constexpr swf::Rgba kGreen{10, 160, 40, 255};
constexpr swf::Rgba kYellow{250, 220, 0, 255};
constexpr uint16_t kButtonId = 10;
constexpr uint16_t kMarkerId = 5;

Bytes Text(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// Action records (ending with the end record): GotoLabel(label), or Stop.
Bytes GotoLabel(const std::string& label) {
  swftest::BitWriter record;
  record.U8(0x8C);
  record.U16(static_cast<uint16_t>(label.size() + 1));
  record.String(label);
  record.U8(0);  // the end of the actions
  return record.Take();
}

// A key-press condition (code) or a transition (bits), with its actions.
struct Condition {
  uint8_t transitions;
  uint8_t keyCode;
  Bytes actions;
};

Bytes ButtonTag() {
  swftest::BitWriter records;
  const std::pair<uint8_t, uint16_t> states[] = {{0x01, 1}, {0x02, 2}, {0x04, 3}, {0x08, 4}};
  for (const auto& [state, character] : states) {
    records.U8(state);
    records.U16(character);
    records.U16(1);
    records.Matrix(swf::Matrix::Identity());
    records.ColorTransform(swf::ColorTransform::Identity(), true);
  }
  records.U8(0);
  const Bytes characters = records.Take();
  const std::vector<Condition> conditions = {
      {0x08, 0, GotoLabel("done")},  // over-down to over-up: a release
      {0, 32, GotoLabel("space")},   {0, 1, GotoLabel("left")}, {0, 2, GotoLabel("right")},
      {0, 14, GotoLabel("up")},      {0, 15, GotoLabel("down")},
  };
  swftest::BitWriter w;
  w.U16(kButtonId);
  w.U8(0);
  w.U16(static_cast<uint16_t>(2 + characters.size()));
  w.Append(characters);
  for (size_t i = 0; i < conditions.size(); ++i) {
    const Condition& condition = conditions[i];
    w.U16(i + 1 == conditions.size() ? 0 : static_cast<uint16_t>(4 + condition.actions.size()));
    w.U8(condition.transitions);
    w.U8(static_cast<uint8_t>(condition.keyCode << 1));
    w.Append(condition.actions);
  }
  return swftest::Tag(34, w.Take());
}

Bytes Place(uint16_t depth, uint16_t character, int x, int y) {
  const swf::Matrix at = swf::Matrix::Translate(x * kTwips, y * kTwips);
  swftest::Place place;
  place.depth = depth;
  place.characterId = character;
  place.matrix = &at;
  return swftest::PlaceObject2(place);
}

}  // namespace

std::string ButtonMovie() {
  const Bytes stop = swftest::Tag(12, {0x07, 0x00});
  std::vector<Bytes> tags = {
      swftest::Tag(9, {kWhite.r, kWhite.g, kWhite.b}),
      swftest::SquareShapeTag(1, kButtonSide * kTwips, kRed),
      swftest::SquareShapeTag(2, kButtonSide * kTwips, kBlue),
      swftest::SquareShapeTag(3, kButtonSide * kTwips, kGreen),
      swftest::SquareShapeTag(4, kButtonSide * kTwips, kRed),
      swftest::SquareShapeTag(kMarkerId, kMarkerSide * kTwips, kYellow),
      ButtonTag(),
      Place(1, kButtonId, kButtonLeft, kButtonTop),
      stop,
      swftest::ShowFrame(),
  };
  int frame = 1;
  for (const char* label : kButtonMovieLabels) {
    tags.push_back(swftest::Tag(43, Text(label)));
    tags.push_back(swftest::RemoveObject2(2));
    tags.push_back(Place(2, kMarkerId, kMarkerLeft, MarkerTop(frame++)));
    tags.push_back(stop);
    tags.push_back(swftest::ShowFrame());
  }
  const Bytes movie = swftest::Movie(tags, swftest::Signature::kFws, 10,
                                     swf::Rect{0, kButtonMovieWidth * kTwips, 0, kButtonMovieHeight * kTwips}, 24 << 8,
                                     static_cast<uint16_t>(frame));
  return std::string(movie.begin(), movie.end());
}

}  // namespace testsupport
