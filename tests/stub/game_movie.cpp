#include "game_movie.h"

#include <cstdint>
#include <initializer_list>
#include <variant>
#include <vector>

#include "swf/swf_builder.h"

namespace stubtest {
namespace {

using swftest::Bytes;

constexpr int kTwips = 20;
constexpr uint16_t kHeroShape = 1, kHeroClip = 2, kButtonShape = 3, kButton = 4, kBarShape = 5, kBarClip = 6;
constexpr int kPropertyX = 0, kPropertyY = 1, kPropertyXScale = 2;

namespace op {
constexpr uint8_t kPlay = 0x06, kStop = 0x07, kSubtract = 0x0B, kMultiply = 0x0C, kNot = 0x12, kPop = 0x17;
constexpr uint8_t kGetVariable = 0x1C, kSetVariable = 0x1D, kGetProperty = 0x22, kSetProperty = 0x23;
constexpr uint8_t kAdd2 = 0x47, kEquals2 = 0x49, kGetMember = 0x4E, kSetMember = 0x4F, kIncrement = 0x50;
constexpr uint8_t kCallMethod = 0x52, kGreater = 0x67;
constexpr uint8_t kGotoFrame = 0x81, kPush = 0x96, kJump = 0x99, kIf = 0x9D;
}  // namespace op

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes Op(uint8_t code) { return {code}; }

Bytes Record(uint8_t code, const Bytes& payload) {
  Bytes out = {code, static_cast<uint8_t>(payload.size()), static_cast<uint8_t>(payload.size() >> 8)};
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

using Pushed = std::variant<const char*, int>;
Bytes Push(std::initializer_list<Pushed> values) {
  Bytes payload;
  for (const Pushed& value : values) {
    if (const auto* text = std::get_if<const char*>(&value)) {
      payload.push_back(0);
      for (const char* p = *text; *p != '\0'; ++p) payload.push_back(static_cast<uint8_t>(*p));
      payload.push_back(0);
    } else {
      const auto number = static_cast<uint32_t>(std::get<int>(value));
      payload.push_back(7);
      for (int shift = 0; shift < 32; shift += 8) payload.push_back(static_cast<uint8_t>(number >> shift));
    }
  }
  return Record(op::kPush, payload);
}

Bytes Branch(uint8_t code, size_t offset) {
  return Record(code, {static_cast<uint8_t>(offset), static_cast<uint8_t>(offset >> 8)});
}

// if (condition) { body }
Bytes When(const Bytes& condition, const Bytes& body) {
  return Join({condition, Op(op::kNot), Branch(op::kIf, body.size()), body});
}

// if (condition) { then } else { otherwise }
Bytes Choose(const Bytes& condition, const Bytes& then, const Bytes& otherwise) {
  const Bytes jump = Branch(op::kJump, otherwise.size());
  return Join({condition, Op(op::kNot), Branch(op::kIf, then.size() + jump.size()), then, jump, otherwise});
}

Bytes Variable(const char* name) { return Join({Push({name}), Op(op::kGetVariable)}); }
// so.data
Bytes StoreData() { return Join({Variable("so"), Push({"data"}), Op(op::kGetMember)}); }
Bytes HighScore() { return Join({StoreData(), Push({"high"}), Op(op::kGetMember)}); }
// target.method(argument...), its result on the stack.
Bytes CallMethod(const Bytes& target, const char* method, std::initializer_list<Pushed> arguments = {}) {
  Bytes args;
  for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) args = Join({args, Push({*it})});
  return Join({args, Push({static_cast<int>(arguments.size())}), target, Push({method}), Op(op::kCallMethod)});
}
Bytes KeyDown(int code) { return CallMethod(Variable("Key"), "isDown", {code}); }
Bytes SetProperty(const char* clip, int property, const Bytes& value) {
  return Join({Push({clip, property}), value, Op(op::kSetProperty)});
}
Bytes Property(const char* clip, int property) { return Join({Push({clip, property}), Op(op::kGetProperty)}); }

Bytes DoAction(const Bytes& actions) { return swftest::Tag(12, Join({actions, Bytes{0}})); }

// Frame 1: wait for the whole movie, then set the game up and start it.
Bytes Preloader() {
  const Bytes loaded = CallMethod(Variable("_root"), "getBytesLoaded");
  const Bytes total = CallMethod(Variable("_root"), "getBytesTotal");
  const Bytes start = Join({
      Push({"so", kGameStore, 1}), Variable("SharedObject"), Push({"getLocal"}), Op(op::kCallMethod),
      Op(op::kSetVariable),
      When(Join({HighScore(), Push({"undefined"}), Op(op::kGetVariable), Op(op::kEquals2)}),
           Join({StoreData(), Push({"high", 0}), Op(op::kSetMember)})),
      Push({"score", 0}), Op(op::kSetVariable),
      Record(op::kGotoFrame, {1, 0}), Op(op::kPlay),
  });
  // Not all there yet: this frame again.
  const Bytes wait = Join({Record(op::kGotoFrame, {0, 0}), Op(op::kPlay)});
  const Bytes allThere = Join({loaded, total, Op(op::kEquals2), total, Push({0}), Op(op::kGreater),
                               Op(0x10)});  // logical and
  return Choose(allThere, start, wait);
}

// Frame 2, run on every pass of the loop: the keys move the hero, and the
// bar shows the high score.
Bytes GameLoop() {
  return Join({
      When(KeyDown(39), SetProperty("hero", kPropertyX, Join({Property("hero", kPropertyX), Push({kHeroStep}),
                                                              Op(op::kAdd2)}))),
      When(KeyDown(37), SetProperty("hero", kPropertyX, Join({Property("hero", kPropertyX), Push({kHeroStep}),
                                                              Op(op::kSubtract)}))),
      Choose(KeyDown(32), SetProperty("hero", kPropertyY, Push({kHeroJumpY})),
             SetProperty("hero", kPropertyY, Push({kHeroGroundY}))),
      SetProperty("bar", kPropertyXScale, Join({HighScore(), Push({100}), Op(op::kMultiply)})),
  });
}

// The button's release: a point, and a new high score kept at once.
Bytes Score() {
  return Join({
      Push({"score"}), Variable("score"), Op(op::kIncrement), Op(op::kSetVariable),
      When(Join({Variable("score"), HighScore(), Op(op::kGreater)}),
           Join({StoreData(), Push({"high"}), Variable("score"), Op(op::kSetMember),
                 CallMethod(Variable("so"), "flush"), Op(op::kPop)})),
  });
}

Bytes ButtonTag() {
  swftest::BitWriter records;
  records.U8(0x0F);  // up, over, down and hit: one square
  records.U16(kButtonShape);
  records.U16(1);
  records.Matrix(swf::Matrix::Identity());
  records.ColorTransform(swf::ColorTransform::Identity(), true);
  records.U8(0);
  const Bytes characters = records.Take();
  const Bytes actions = Join({Score(), Bytes{0}});
  swftest::BitWriter w;
  w.U16(kButton);
  w.U8(0);
  w.U16(static_cast<uint16_t>(2 + characters.size()));
  w.Append(characters);
  w.U16(0);     // the only condition
  w.U8(0x08);   // over-down to over-up: a release
  w.U8(0);
  w.Append(actions);
  return swftest::Tag(34, w.Take());
}

Bytes Place(uint16_t depth, uint16_t character, int x, int y, const char* name) {
  const swf::Matrix at = swf::Matrix::Translate(x * kTwips, y * kTwips);
  swftest::Place place;
  place.depth = depth;
  place.characterId = character;
  place.matrix = &at;
  if (name != nullptr) place.name = name;
  return swftest::PlaceObject2(place);
}

Bytes ClipOf(uint16_t id, uint16_t shape) {
  return swftest::DefineSprite(id, 1, {Place(1, shape, 0, 0, nullptr), swftest::ShowFrame()});
}

}  // namespace

std::string GameMovie() {
  const std::vector<Bytes> tags = {
      swftest::Tag(9, {255, 255, 255}),
      swftest::SquareShapeTag(kHeroShape, kHeroSide * kTwips, swf::Rgba{220, 10, 10, 255}),
      ClipOf(kHeroClip, kHeroShape),
      swftest::SquareShapeTag(kButtonShape, kGameButtonSide * kTwips, swf::Rgba{10, 160, 40, 255}),
      ButtonTag(),
      swftest::SquareShapeTag(kBarShape, kBarUnit * kTwips, swf::Rgba{20, 40, 200, 255}),
      ClipOf(kBarClip, kBarShape),
      Place(1, kHeroClip, kHeroStartX, kHeroGroundY, "hero"),
      Place(2, kButton, kGameButtonX, kGameButtonY, nullptr),
      Place(3, kBarClip, kBarX, kBarY, "bar"),
      DoAction(Preloader()),
      swftest::ShowFrame(),
      DoAction(GameLoop()),
      swftest::ShowFrame(),
      DoAction(Join({Record(op::kGotoFrame, {1, 0}), Op(op::kPlay)})),
      swftest::ShowFrame(),
  };
  const Bytes movie = swftest::Movie(tags, swftest::Signature::kFws, 6,
                                     swf::Rect{0, kGameWidth * kTwips, 0, kGameHeight * kTwips}, 30 << 8, 3);
  return std::string(movie.begin(), movie.end());
}

}  // namespace stubtest
