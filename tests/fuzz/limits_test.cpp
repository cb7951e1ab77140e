// The engine's limits: each structure a movie can make arbitrarily deep or
// large either has a safe cut-off or is refused with a clear error, and the
// movie around it still plays.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <cstring>

#include "largest_allocation.h"
#include "swf/parse/bitmaps.h"
#include "swf/parse/header.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "swf/player.h"
#include "swf/action_builder.h"
#include "swf/snapshot.h"
#include "swf/swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rect kSmallStage{0, 400, 0, 400};  // 20 x 20 pixels

Rgba CentrePixel(Player& player) {
  SnapshotOptions options;
  options.width = 20;
  options.height = 20;
  options.quality = Quality::kLow;
  const Snapshot snapshot = TakeSnapshot(player, options);
  const size_t at = (10 * 20 + 10) * 4;
  return {snapshot.rgba[at], snapshot.rgba[at + 1], snapshot.rgba[at + 2], snapshot.rgba[at + 3]};
}

// Sprite k places sprite k + 1, the last one a red square over the stage;
// the root places sprite 1.
Bytes SpriteChain(int length) {
  std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 400, kRed)};
  for (int level = length; level >= 1; --level) {
    const int inner = level == length ? 1 : level + 1 + 1;  // sprite ids start at 2
    tags.push_back(swftest::DefineSprite(static_cast<uint16_t>(level + 1), 1,
                                         {swftest::PlaceObject2({.depth = 1, .characterId = inner}), swftest::ShowFrame()}));
  }
  tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 2}));
  tags.push_back(swftest::ShowFrame());
  return swftest::Movie(tags, swftest::Signature::kFws, 10, kSmallStage);
}

// Levels of running clips below `clip`, following depth 1.
int InstanceLevels(const Stage& stage, const DisplayObject& clip) {
  const DisplayObject* first = stage.ChildAt(clip, 1);
  if (first == nullptr || !first->timeline) return 0;
  return 1 + InstanceLevels(stage, *first);
}

int InstanceLevels(const Player& player) { return InstanceLevels(player.Objects(), player.Root()); }

TEST(NestingLimit, SpritesShowDownToTheLimitAndNothingBelowIt) {
  const int limit = Runtime::kMaxNesting;
  Player within(SpriteChain(limit));
  EXPECT_EQ(InstanceLevels(within), limit);
  EXPECT_EQ(CentrePixel(within), kRed);

  Player beyond(SpriteChain(limit + 1));
  EXPECT_EQ(InstanceLevels(beyond), limit);
  EXPECT_EQ(CentrePixel(beyond), kWhite);
  beyond.Tick();
  beyond.GotoFrame(0);
  EXPECT_EQ(CentrePixel(beyond), kWhite);
}

TEST(NestingLimit, SpritePlacingItselfStopsAtTheLimit) {
  const Bytes movie = swftest::Movie(
      {swftest::SquareShapeTag(1, 100, kRed),
       swftest::DefineSprite(2, 2,
                             {swftest::PlaceObject2({.depth = 1, .characterId = 2}),
                              swftest::PlaceObject2({.depth = 2, .characterId = 1}), swftest::ShowFrame(),
                              swftest::RemoveObject2(1), swftest::ShowFrame()}),
       swftest::PlaceObject2({.depth = 1, .characterId = 2}), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, kSmallStage);
  Player player(movie);
  EXPECT_EQ(InstanceLevels(player), Runtime::kMaxNesting);
  EXPECT_EQ(CentrePixel(player), kWhite);  // the square sits in the corner
  for (int tick = 0; tick < 4; ++tick) player.Tick();
  EXPECT_EQ(CentrePixel(player), kWhite);
}

// Sprite definitions do not nest in the format; one inside another is
// skipped with a warning and the outer sprite keeps the rest of its frames.
TEST(NestingLimit, SpriteDefinedInsideASpriteIsSkipped) {
  const Bytes inner = swftest::DefineSprite(3, 1, {swftest::ShowFrame()});
  const Bytes movie = swftest::Movie(
      {swftest::SquareShapeTag(1, 400, kRed),
       swftest::DefineSprite(2, 1, {inner, swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()}),
       swftest::PlaceObject2({.depth = 1, .characterId = 2}), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, kSmallStage);
  Player player(movie);
  ASSERT_EQ(player.Warnings().size(), 1u);
  EXPECT_NE(player.Warnings()[0].find("inside another sprite"), std::string::npos) << player.Warnings()[0];
  EXPECT_EQ(player.Movie().FindCharacter(3), nullptr);
  EXPECT_EQ(CentrePixel(player), kRed);
}

// Every depth of one frame taken: the list holds them all and the frame
// renders.
TEST(ObjectLimit, AFrameFillingEveryDepthPlays) {
  std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 400, kRed)};
  for (uint32_t depth = 0; depth <= 0xFFFF; ++depth) {
    tags.push_back(swftest::PlaceObject2({.depth = static_cast<uint16_t>(depth), .characterId = 1}));
  }
  tags.push_back(swftest::ShowFrame());
  tags.push_back(swftest::RemoveObject2(7));
  tags.push_back(swftest::ShowFrame());
  Player player(swftest::Movie(tags, swftest::Signature::kCws, 10, kSmallStage));
  EXPECT_EQ(player.Root().children.size(), 0x10000u);
  player.Tick();
  EXPECT_EQ(player.Root().children.size(), 0xFFFFu);
  player.GotoFrame(0);
  EXPECT_EQ(player.Root().children.size(), 0x10000u);
  EXPECT_EQ(CentrePixel(player), kRed);
}

// Objects below `parent`, at every level.
size_t ObjectsBelow(const Stage& stage, const DisplayObject& parent) {
  size_t count = parent.children.size();
  for (const auto& [depth, handle] : parent.children) count += ObjectsBelow(stage, *stage.Get(handle));
  return count;
}

size_t ObjectsBelow(const Player& player) { return ObjectsBelow(player.Objects(), player.Root()); }
size_t ObjectsBelow(const Runtime& runtime) { return ObjectsBelow(runtime.Objects(), runtime.RootObject()); }

// A sprite that places itself several times would grow exponentially with
// the nesting depth (4 copies, 16 levels: 4^16 instances). The number of
// objects on all display lists together has a ceiling instead.
TEST(ObjectLimit, SelfMultiplyingSpriteStopsAtTheObjectCeiling) {
  std::vector<Bytes> spriteTags;
  for (uint16_t depth = 1; depth <= 4; ++depth) {
    spriteTags.push_back(swftest::PlaceObject2({.depth = depth, .characterId = 2}));
  }
  spriteTags.push_back(swftest::PlaceObject2({.depth = 5, .characterId = 1}));
  spriteTags.push_back(swftest::ShowFrame());
  const Bytes movie = swftest::Movie({swftest::SquareShapeTag(1, 400, kRed), swftest::DefineSprite(2, 1, spriteTags),
                                      swftest::PlaceObject2({.depth = 1, .characterId = 2}), swftest::ShowFrame()},
                                     swftest::Signature::kFws, 10, kSmallStage);
  Player player(movie);
  EXPECT_LE(ObjectsBelow(player), Runtime::kMaxDisplayObjects);
  EXPECT_GT(ObjectsBelow(player), Runtime::kMaxDisplayObjects / 2);
  EXPECT_EQ(CentrePixel(player), kRed);
  player.Tick();
  player.GotoFrame(0);
  EXPECT_LE(ObjectsBelow(player), Runtime::kMaxDisplayObjects);
}

// A sprite that puts itself at one depth three times over: each placement
// replaces the one before, so few objects are alive at any time, while the
// placements multiply with every level of nesting (3^16 of them). A step of
// the root stops placing at its budget, and what was placed before stays.
TEST(ObjectLimit, SpriteReplacingItselfStopsAtThePlacementBudget) {
  const Bytes movie = swftest::Movie(
      {swftest::SquareShapeTag(1, 400, kRed),
       swftest::DefineSprite(2, 1,
                             {swftest::PlaceObject2({.depth = 1, .characterId = 2}),
                              swftest::PlaceObject2({.depth = 1, .characterId = 2}),
                              swftest::PlaceObject2({.depth = 1, .characterId = 2}), swftest::ShowFrame()}),
       swftest::PlaceObject2({.depth = 2, .characterId = 1}), swftest::PlaceObject2({.depth = 1, .characterId = 2}),
       swftest::ShowFrame()},
      swftest::Signature::kFws, 10, kSmallStage);
  const ParsedMovie parsed = ParseMovie(movie);
  Runtime root(parsed);
  EXPECT_EQ(root.Context().objects.madeInStep, Runtime::kMaxMadePerStep);
  EXPECT_EQ(root.Objects().LiveObjects(), ObjectsBelow(root));
  const DisplayObject* square = root.Objects().ChildAt(root.RootObject(), 2);
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(square->characterId, 1);
  root.Tick();  // nothing loops: a new step that places nothing
  EXPECT_EQ(root.Context().objects.madeInStep, 0u);
  EXPECT_EQ(root.Objects().LiveObjects(), ObjectsBelow(root));

  Player player(movie);
  EXPECT_EQ(CentrePixel(player), kRed);
}

// Squares at depths 1 .. count in the root's first frame, then `more` tags.
Bytes RootPlacingSquares(uint16_t count, const std::vector<Bytes>& more) {
  std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 400, kRed)};
  for (uint16_t depth = 1; depth <= count; ++depth) tags.push_back(swftest::PlaceObject2({.depth = depth, .characterId = 1}));
  tags.insert(tags.end(), more.begin(), more.end());
  return swftest::Movie(tags, swftest::Signature::kFws, 10, kSmallStage);
}

// Every step of the root (its first frame, a tick, a goto from outside) has
// the whole budget: going back to the first frame, a looping root makes the
// squares its earlier steps had no room for, four more each time; the
// squares still there cost nothing.
TEST(ObjectLimit, EachStepOfTheRootHasTheWholePlacementBudget) {
  const ParsedMovie parsed = ParseMovie(RootPlacingSquares(10, {swftest::ShowFrame(), swftest::ShowFrame()}));
  Runtime root(parsed, nullptr, 4);
  EXPECT_EQ(root.RootObject().children.size(), 4u);
  root.Tick();
  EXPECT_EQ(root.RootObject().children.size(), 4u);
  root.Tick();  // back to the first frame
  EXPECT_EQ(root.CurrentFrame(), 0u);
  EXPECT_EQ(root.RootObject().children.size(), 8u);
  EXPECT_EQ(root.Context().objects.madeInStep, 4u);
  root.GotoFrame(1);
  root.GotoFrame(0);
  EXPECT_EQ(root.RootObject().children.size(), 10u);
  EXPECT_EQ(root.Context().objects.madeInStep, 2u);
  EXPECT_EQ(root.Objects().LiveObjects(), 10u);
}

// A goto that a frame script makes is part of the step that runs the script,
// so scripts jumping back and forth cannot renew the budget.
TEST(ObjectLimit, ScriptGotosShareTheStepsPlacementBudget) {
  std::vector<Bytes> more = {swftest::act::DoAction({swftest::act::GotoFrame(1), swftest::act::Stop()}),
                             swftest::ShowFrame()};
  for (uint16_t depth = 5; depth <= 8; ++depth) more.push_back(swftest::PlaceObject2({.depth = depth, .characterId = 1}));
  more.push_back(swftest::ShowFrame());
  const ParsedMovie parsed = ParseMovie(RootPlacingSquares(4, more));
  Runtime root(parsed, nullptr, 6);
  EXPECT_EQ(root.CurrentFrame(), 1u);
  EXPECT_FALSE(root.IsPlaying());
  EXPECT_EQ(root.RootObject().children.size(), 6u);
}

// Replacing an object's character with a sprite starts a clip without a new
// placement; each such start counts against the step's budget as well.
TEST(ObjectLimit, ClipsStartedByReplacingCountAgainstTheBudget) {
  auto replaceWith = [](uint16_t character) {
    return swftest::PlaceObject2({.depth = 1, .move = true, .characterId = character});
  };
  const ParsedMovie parsed = ParseMovie(swftest::Movie(
      {swftest::SquareShapeTag(1, 400, kRed), swftest::DefineSprite(2, 1, {swftest::ShowFrame()}),
       swftest::DefineSprite(3, 1, {swftest::ShowFrame()}), swftest::PlaceObject2({.depth = 1, .characterId = 1}),
       replaceWith(2), replaceWith(3), replaceWith(2), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, kSmallStage));
  for (const size_t budgetSize : {4u, 3u}) {
    Runtime root(parsed, nullptr, budgetSize);
    ASSERT_EQ(root.RootObject().children.size(), 1u);
    const DisplayObject& object = *root.Objects().ChildAt(root.RootObject(), 1);
    EXPECT_EQ(object.characterId, 2);
    EXPECT_EQ(object.kind, ObjectKind::kMovieClip);
    EXPECT_EQ(object.timeline.has_value(), budgetSize == 4) << budgetSize;  // the square, then three clips
    EXPECT_EQ(root.Context().objects.madeInStep, budgetSize);
  }
}

// Scripts: thousands of clips each run an endless loop in every frame. The
// scripts of one step share the time limit (one second here, by the movie's
// ScriptLimits), so the tick ends and the root moves on.
TEST(ActionLimit, EndlessLoopsInThousandsOfClipsEndWithinTheTick) {
  const Bytes endlessLoop = swftest::Tag(12, {0x99, 0x02, 0x00, 0xFB, 0xFF, 0x00});  // DoAction: Jump -5
  const Bytes oneSecondLimit = swftest::Tag(65, {0x00, 0x01, 0x01, 0x00});  // recursion 256, 1 s
  std::vector<Bytes> tags = {oneSecondLimit, swftest::DefineSprite(
      2, 2, {endlessLoop, swftest::ShowFrame(), endlessLoop, swftest::ShowFrame()})};
  for (uint16_t depth = 1; depth <= 5000; ++depth) {
    tags.push_back(swftest::PlaceObject2({.depth = depth, .characterId = 2}));
  }
  for (int frame = 0; frame < 3; ++frame) {
    tags.push_back(endlessLoop);
    tags.push_back(swftest::ShowFrame());
  }
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, kSmallStage));
  EXPECT_EQ(player.CurrentFrame(), 0u);
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 1u);
  player.Tick();
  EXPECT_EQ(player.CurrentFrame(), 2u);
}

// Gradient stops: the count is a 4-bit field, so 15 at most; none or one
// stop must not trouble the renderer either.
Bytes GradientSquare(uint16_t id, unsigned stops) {
  swftest::BitWriter w;
  w.U16(id);
  w.Rect({0, 400, 0, 400});
  w.U8(1);
  w.U8(0x10);  // linear gradient
  w.Matrix({0.02, 0, 0, 0.02, 200, 200});
  w.U8(static_cast<uint8_t>(stops));
  for (unsigned i = 0; i < stops; ++i) {
    w.U8(static_cast<uint8_t>(i * 17));
    w.Rgba({static_cast<uint8_t>(i * 17), 0, 0, 255});
  }
  w.U8(0);     // no line styles
  w.UB(1, 4);  // fill bits
  w.UB(0, 4);
  w.UB(0, 1);
  w.UB(0b00101, 5);  // move, fill0
  w.UB(2, 5);
  w.SB(0, 2);
  w.SB(0, 2);
  w.UB(1, 1);
  for (const auto& [dx, dy] : {std::pair{400, 0}, {0, 400}, {-400, 0}, {0, -400}}) {
    w.UB(0b11, 2);  // straight edge
    w.UB(11 - 2, 4);
    w.UB(1, 1);
    w.SB(dx, 11);
    w.SB(dy, 11);
  }
  w.UB(0, 6);
  return swftest::Tag(32, w.Take());
}

TEST(GradientLimit, NoneOneAndFifteenStopsParseAndRender) {
  for (const unsigned stops : {0u, 1u, 15u}) {
    SCOPED_TRACE(stops);
    Player player(swftest::Movie(
        {GradientSquare(1, stops), swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()},
        swftest::Signature::kFws, 10, kSmallStage));
    ASSERT_TRUE(player.Warnings().empty()) << player.Warnings().front();
    const auto& shape = std::get<ShapeDefinition>(*player.Movie().FindCharacter(1));
    EXPECT_EQ(std::get<GradientFill>(shape.layers.at(0).fills.at(0)).stops.size(), stops);
    CentrePixel(player);
    SnapshotOptions high;
    high.width = 20;
    TakeSnapshot(player, high);
  }
}

// Shape records: a shape with many edges loads and draws; a shape beyond the
// ceiling of one shape, or beyond what the movie's shapes may hold together,
// is refused with a warning and the rest of the movie still plays.
TEST(ShapeRecordLimit, ShapeWithManyEdgesDraws) {
  swftest::ShapeWriter writer(3);
  writer.Solid(kRed).BeginRecords().Change(-1, 1, -1, true, 0, 0);
  constexpr int kZigzags = 50000;
  for (int i = 0; i < kZigzags; ++i) writer.LineTo(0, 400).LineTo(0, -400);
  writer.LineTo(400, 0).LineTo(0, 400).LineTo(-400, 0).LineTo(0, -400);
  const Bytes movie = swftest::Movie({swftest::DefineShape(3, 1, {0, 400, 0, 400}, writer.End()),
                                      swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()},
                                     swftest::Signature::kCws, 10, kSmallStage);
  Player player(movie);
  ASSERT_TRUE(player.Warnings().empty()) << player.Warnings().front();
  EXPECT_EQ(CentrePixel(player), kRed);
}

// A DefineShape3 of `edges` edges (plus its style change and end record)
// that zigzags along the left side of the stage.
Bytes ZigzagShape(uint16_t id, size_t edges) {
  swftest::ShapeWriter writer(3);
  writer.Solid(kRed).BeginRecords().Change(-1, 1, -1, true, 0, 0);
  for (size_t i = 0; i < edges; ++i) writer.LineTo(i % 2 ? -40 : 40, 1);
  return swftest::DefineShape(3, id, {0, 400, 0, 400}, writer.End());
}

std::vector<Bytes> WithPlacedSquare(std::vector<Bytes> tags) {
  tags.push_back(swftest::SquareShapeTag(100, 400, kRed));
  tags.push_back(swftest::PlaceObject2({.depth = 1, .characterId = 100}));
  tags.push_back(swftest::ShowFrame());
  return tags;
}

TEST(ShapeRecordLimit, ShapeBeyondItsCeilingIsRefused) {
  // The style change and the end record count too.
  Player within(
      swftest::Movie(WithPlacedSquare({ZigzagShape(1, kMaxShapeRecords - 2)}), swftest::Signature::kCws, 10, kSmallStage));
  EXPECT_TRUE(within.Warnings().empty());
  EXPECT_NE(within.Movie().FindCharacter(1), nullptr);

  Player beyond(
      swftest::Movie(WithPlacedSquare({ZigzagShape(1, kMaxShapeRecords - 1)}), swftest::Signature::kCws, 10, kSmallStage));
  ASSERT_EQ(beyond.Warnings().size(), 1u);
  EXPECT_NE(beyond.Warnings()[0].find("more than " + std::to_string(kMaxShapeRecords) + " records"), std::string::npos)
      << beyond.Warnings()[0];
  EXPECT_EQ(beyond.Movie().FindCharacter(1), nullptr);
  EXPECT_EQ(CentrePixel(beyond), kRed);
}

TEST(ShapeRecordLimit, ShapesBeyondTheMovieCeilingAreRefused) {
  // Four shapes just under the ceiling of one shape fill the movie's share
  // but for a few records; a fifth small shape no longer fits.
  const size_t perShape = kMaxShapeRecords - 20;
  ASSERT_LT(4 * (perShape + 3), kMaxMovieShapeRecords);
  ASSERT_GT(4 * (perShape + 3) + 103, kMaxMovieShapeRecords);
  const Bytes big = ZigzagShape(1, perShape);
  std::vector<Bytes> tags;
  for (uint16_t id = 1; id <= 4; ++id) {
    Bytes shape = big;
    shape[6] = static_cast<uint8_t>(id);  // the id after the long tag header
    tags.push_back(std::move(shape));
  }
  tags.push_back(ZigzagShape(5, 100));
  Player player(swftest::Movie(WithPlacedSquare(tags), swftest::Signature::kCws, 10, kSmallStage));
  ASSERT_EQ(player.Warnings().size(), 1u);
  EXPECT_NE(player.Warnings()[0].find("shapes hold more than"), std::string::npos) << player.Warnings()[0];
  for (uint16_t id = 1; id <= 4; ++id) EXPECT_NE(player.Movie().FindCharacter(id), nullptr) << id;
  EXPECT_EQ(player.Movie().FindCharacter(5), nullptr);
  EXPECT_EQ(CentrePixel(player), kRed);
}

// Coordinates: three nested sprites, each magnifying 16000 times about the
// stage's centre, put a square's corners some 1e13 pixels away. Far beyond
// the picture the rasterizers see clamped coordinates (they work in ints),
// so the square still covers the whole picture.
TEST(CoordinateLimit, HugeMagnificationStillCoversThePicture) {
  constexpr double kScale = 16000;
  const Matrix magnify{kScale, 0, 0, kScale, 200 - 200 * kScale, 200 - 200 * kScale};
  const Bytes stroked = swftest::ShapeWriter(3)
                            .Solid(kRed)
                            .Line(40, {0, 0, 255, 255})
                            .BeginRecords()
                            .Change(-1, 1, 1, true, 0, 0)
                            .LineTo(400, 0)
                            .LineTo(0, 400)
                            .LineTo(-400, 0)
                            .LineTo(0, -400)
                            .End();
  const Bytes movie = swftest::Movie(
      {swftest::DefineShape(3, 1, {0, 400, 0, 400}, stroked),
       swftest::DefineSprite(2, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &magnify}), swftest::ShowFrame()}),
       swftest::DefineSprite(3, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 2, .matrix = &magnify}), swftest::ShowFrame()}),
       swftest::PlaceObject2({.depth = 1, .characterId = 3, .matrix = &magnify}), swftest::ShowFrame()},
      swftest::Signature::kFws, 10, kSmallStage);
  Player player(movie);
  for (const Quality quality : {Quality::kLow, Quality::kHigh}) {
    SnapshotOptions options;
    options.width = 20;
    options.height = 20;
    options.quality = quality;
    const Snapshot snapshot = TakeSnapshot(player, options);
    for (const size_t pixel : {size_t{0}, size_t{210}, size_t{399}}) {
      EXPECT_EQ(snapshot.rgba[pixel * 4], 255) << "pixel " << pixel;
      EXPECT_EQ(snapshot.rgba[pixel * 4 + 2], 0) << "pixel " << pixel;
    }
  }
}

// Tags: a parsed tag takes up to a few hundred bytes and a compressed movie
// of kilobytes can hold millions of them, so a movie's tags have a ceiling
// (the rest of the movie is ignored), and so have its warnings.
TEST(TagLimit, TagsBeyondTheCeilingAreIgnored) {
  std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 400, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1})};
  Bytes frames;
  for (size_t i = 0; i < kMaxTags; ++i) {
    frames.push_back(0x40);  // ShowFrame
    frames.push_back(0x00);
  }
  tags.push_back(std::move(frames));
  Player player(swftest::Movie(tags, swftest::Signature::kCws, 10, kSmallStage));
  EXPECT_EQ(player.FrameCount(), kMaxTags - 2);
  ASSERT_EQ(player.Warnings().size(), 1u);
  EXPECT_NE(player.Warnings()[0].find("more than " + std::to_string(kMaxTags) + " tags"), std::string::npos)
      << player.Warnings()[0];
  EXPECT_EQ(CentrePixel(player), kRed);
}

TEST(TagLimit, WarningsStopAtTheirCeiling) {
  std::vector<Bytes> tags = {swftest::SquareShapeTag(1, 400, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1})};
  for (int i = 0; i < 500; ++i) tags.push_back(swftest::Tag(26, {}));  // a PlaceObject2 without a body
  tags.push_back(swftest::ShowFrame());
  Player player(swftest::Movie(tags, swftest::Signature::kFws, 10, kSmallStage));
  ASSERT_EQ(player.Warnings().size(), kMaxWarnings + 1);
  EXPECT_NE(player.Warnings().front().find("tag 26"), std::string::npos) << player.Warnings().front();
  EXPECT_EQ(player.Warnings().back(), "further warnings left out");
  EXPECT_EQ(CentrePixel(player), kRed);
}

// Bitmaps: a side beyond kMaxBitmapSide or more pixels than kMaxBitmapPixels
// are refused before anything is decoded, and all of a movie's bitmaps
// together have a ceiling too; a refused bitmap costs only its own tag.
Bytes LosslessTag(uint16_t id, uint16_t width, uint16_t height) {
  swftest::BitWriter w;
  w.U16(id);
  w.U8(5);  // 32-bit pixels
  w.U16(width);
  w.U16(height);
  const std::vector<uint8_t> pixels(size_t{width} * height * 4, 0);
  uLongf size = compressBound(static_cast<uLong>(pixels.size()));
  Bytes compressed(size);
  EXPECT_EQ(compress2(compressed.data(), &size, pixels.data(), static_cast<uLong>(pixels.size()), 1), Z_OK);
  compressed.resize(size);
  w.Append(compressed);
  return swftest::Tag(36, w.Take());  // DefineBitsLossless2
}

TEST(BitmapLimit, SidesAndPixelsBeyondTheCeilingsAreRefused) {
  const auto side = static_cast<uint16_t>(kMaxBitmapSide);
  const auto overSide = static_cast<uint16_t>(kMaxBitmapSide + 1);
  const auto squareSide = static_cast<uint16_t>(std::sqrt(static_cast<double>(kMaxBitmapPixels)));
  ASSERT_EQ(size_t{squareSide} * squareSide, kMaxBitmapPixels);
  const Bytes movie = swftest::Movie(
      WithPlacedSquare({LosslessTag(1, side, 1), LosslessTag(2, overSide, 1), LosslessTag(3, 1, overSide),
                        LosslessTag(4, squareSide + 1, squareSide), LosslessTag(5, 0, 7)}),
      swftest::Signature::kFws, 10, kSmallStage);
  fuzz::LargestAllocation::Reset();
  Player player(movie);
  if (const auto largest = fuzz::LargestAllocation::Largest()) {
    EXPECT_LT(*largest, size_t{16} << 20);
  }
  EXPECT_EQ(player.Movie().bitmaps.count(1), 1u);
  for (const uint16_t id : {2, 3, 4, 5}) EXPECT_EQ(player.Movie().bitmaps.count(id), 0u) << id;
  ASSERT_EQ(player.Warnings().size(), 4u);
  EXPECT_NE(player.Warnings()[0].find("8193 x 1 pixels is out of range"), std::string::npos) << player.Warnings()[0];
  EXPECT_EQ(CentrePixel(player), kRed);
}

TEST(BitmapLimit, MovieBitmapsBeyondTheirCeilingAreRefused) {
  // Four bitmaps at the ceiling of one bitmap do not fit the movie's
  // ceiling together; whatever the engine keeps (smaller copies included)
  // stays within it, and the refused ones are named in warnings.
  const auto side = static_cast<uint16_t>(std::sqrt(static_cast<double>(kMaxBitmapPixels)));
  ASSERT_GT(4 * kMaxBitmapPixels, kMaxMovieBitmapPixels);
  const Bytes full = LosslessTag(1, side, side);
  std::vector<Bytes> tags;
  for (uint8_t id = 1; id <= 4; ++id) {
    Bytes tag = full;
    tag[6] = id;  // the id after the long tag header
    tags.push_back(std::move(tag));
  }
  Player player(swftest::Movie(WithPlacedSquare(tags), swftest::Signature::kCws, 10, kSmallStage));
  const BitmapLibrary& bitmaps = player.Movie().bitmaps;
  EXPECT_EQ(bitmaps.count(1), 1u);
  EXPECT_LT(bitmaps.size(), 4u);
  size_t pixels = 0;
  for (const auto& [id, bitmap] : bitmaps) {
    pixels += bitmap.pixels.size() / 4;
    for (const BitmapReduction& reduction : bitmap.reductions) pixels += reduction.pixels.size() / 4;
  }
  EXPECT_LE(pixels, kMaxMovieBitmapPixels);
  ASSERT_EQ(player.Warnings().size(), 4 - bitmaps.size());
  EXPECT_NE(player.Warnings()[0].find("tag 36"), std::string::npos) << player.Warnings()[0];
  EXPECT_EQ(CentrePixel(player), kRed);
}

// A PNG inside DefineBitsJPEG2 whose header claims 100000 x 100000 pixels is
// refused from its header, before its pixels are allocated.
TEST(BitmapLimit, ImageHeaderClaimingHugePicturesIsRefusedUnallocated) {
  auto chunk = [](const char* type, const Bytes& data) {
    Bytes out;
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(data.size() >> shift));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    const uLong crc = crc32(0, typed.data(), static_cast<uInt>(typed.size()));
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
    return out;
  };
  const Bytes header = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0};  // 100000 x 100000, RGBA
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (const Bytes& part : {chunk("IHDR", header), chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}),
                            chunk("IEND", {})}) {
    png.insert(png.end(), part.begin(), part.end());
  }
  Bytes body = {7, 0};  // character id 7
  body.insert(body.end(), png.begin(), png.end());
  const Bytes movie = swftest::Movie(WithPlacedSquare({swftest::Tag(21, body)}), swftest::Signature::kFws, 10, kSmallStage);
  fuzz::LargestAllocation::Reset();
  Player player(movie);
  if (const auto largest = fuzz::LargestAllocation::Largest()) {
    EXPECT_LT(*largest, size_t{16} << 20);
  }
  EXPECT_EQ(player.Movie().bitmaps.count(7), 0u);
  ASSERT_EQ(player.Warnings().size(), 1u);
  EXPECT_NE(player.Warnings()[0].find("PNG"), std::string::npos) << player.Warnings()[0];
  EXPECT_EQ(CentrePixel(player), kRed);
}

// The LZMA properties may claim a 4 GiB dictionary, which the decoder would
// allocate at once; the engine gives it only the movie's own length.
TEST(DecompressionLimit, LzmaDictionaryIsBoundedByTheMovieLength) {
  Bytes movie = swftest::Movie({swftest::SquareShapeTag(1, 400, kRed), swftest::PlaceObject2({.depth = 1, .characterId = 1}),
                                swftest::ShowFrame()},
                               swftest::Signature::kZws, 13, kSmallStage);
  const uint32_t claimed = 0xFFFFFFFF;
  std::memcpy(&movie[13], &claimed, 4);  // dictionary size after the properties byte at 12
  fuzz::LargestAllocation::Reset();
  Player player(movie);
  if (const auto largest = fuzz::LargestAllocation::Largest()) {
    EXPECT_LT(*largest, size_t{16} << 20);
  }
  EXPECT_TRUE(player.Warnings().empty());
  EXPECT_EQ(CentrePixel(player), kRed);
}

}  // namespace
}  // namespace swf
