// Objects drawn alone into groups: blend modes over what is below, layer,
// alpha and erase inside a group, filters growing their group and scaling
// with the view, the groups' memory ceiling, and kept pictures of cached
// objects (the same bytes with and without them).
#include <gtest/gtest.h>

#include <optional>

#include "fill_builder.h"
#include "swf/render/renderer.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGrey{128, 128, 128, 255};
constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};

// The 40 x 30 pixel stage is 800 x 600 twips.
Bytes Rectangle(uint16_t id, Rect rect, Rgba color) {
  return swftest::RectangleShapeTag(id, rect, swftest::SolidFillStyle(color));
}

struct Place3 {
  uint16_t depth = 1;
  int characterId = -1;
  bool move = false;
  std::optional<Matrix> matrix = std::nullopt;
  std::optional<ColorTransform> color = std::nullopt;
  Bytes filters = {};  // a FILTERLIST, count first
  int blend = -1;
  bool cacheAsBitmap = false;
};

Bytes PlaceObject3(const Place3& p) {
  swftest::BitWriter w;
  w.U8(static_cast<uint8_t>((p.move ? 0x01 : 0) | (p.characterId >= 0 ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                            (p.color ? 0x08 : 0)));
  w.U8(static_cast<uint8_t>((p.filters.empty() ? 0 : 0x01) | (p.blend >= 0 ? 0x02 : 0) | (p.cacheAsBitmap ? 0x04 : 0)));
  w.U16(p.depth);
  if (p.characterId >= 0) w.U16(static_cast<uint16_t>(p.characterId));
  if (p.matrix) w.Matrix(*p.matrix);
  if (p.color) w.ColorTransform(*p.color, true);
  w.Append(p.filters);
  if (p.blend >= 0) w.U8(static_cast<uint8_t>(p.blend));
  if (p.cacheAsBitmap) w.U8(1);
  return swftest::Tag(70, w.Take());
}

void Fixed(swftest::BitWriter& w, double value) { w.U32(static_cast<uint32_t>(static_cast<int32_t>(value * 65536))); }

// One drop shadow, no blur, `distance` pixels to the right.
Bytes DropShadowList(Rgba color, double distance, double blur = 0) {
  swftest::BitWriter w;
  w.U8(1);
  w.U8(0);
  w.Rgba(color);
  Fixed(w, blur);
  Fixed(w, blur);
  Fixed(w, 0);  // angle
  Fixed(w, distance);
  w.U16(0x0100);  // strength 1
  w.U8(0x20 | 1);  // composite the object, one pass
  return w.Take();
}

Matrix Pixels(double x, double y) { return Matrix::Translate(x * 20, y * 20); }

// A movie of the 40 x 30 pixel stage.
Bytes MovieOf(const std::vector<Bytes>& tags) { return swftest::Movie(tags, swftest::Signature::kFws, 10, {0, 800, 0, 600}); }

swftest::Picture Render(const std::vector<Bytes>& tags, int width = 40, int height = 30) {
  return swftest::RenderTags(tags, Quality::kLow, width, height);
}

// Red on the left half below a grey square over the middle, drawn with a
// blend mode: (15, 15) shows it over red, (25, 15) over white.
std::vector<Bytes> GreyOverRed(int blend) {
  return {Rectangle(1, {0, 400, 0, 600}, kRed), Rectangle(2, {200, 600, 0, 600}, kGrey),
          swftest::PlaceTag(1, 1), PlaceObject3({.depth = 2, .characterId = 2, .blend = blend})};
}

TEST(BlendSceneTest, EachModeOverRedAndOverWhite) {
  struct Case {
    const char* what;
    int blend;
    Rgba overRed;
    Rgba overWhite;
  };
  const Case cases[] = {
      {"normal", 1, kGrey, kGrey},
      {"layer", 2, kGrey, kGrey},
      {"multiply", 3, {128, 0, 0, 255}, kGrey},
      {"screen", 4, {255, 128, 128, 255}, kWhite},
      {"lighten", 5, {255, 128, 128, 255}, kWhite},
      {"darken", 6, {128, 0, 0, 255}, kGrey},
      {"difference", 7, {127, 128, 128, 255}, {127, 127, 127, 255}},
      {"add", 8, {255, 128, 128, 255}, kWhite},
      {"subtract", 9, {127, 0, 0, 255}, {127, 127, 127, 255}},
      {"invert", 10, {0, 255, 255, 255}, kBlack},
      {"alpha, with no group to act on", 11, kRed, kWhite},
      {"erase, with no group to act on", 12, kRed, kWhite},
      {"overlay", 13, kRed, kWhite},
      {"hardlight", 14, {255, 1, 1, 255}, kWhite},
      {"reserved values draw as normal", 200, kGrey, kGrey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto p = Render(GreyOverRed(c.blend));
    EXPECT_EQ(p.At(15, 15), c.overRed);
    EXPECT_EQ(p.At(25, 15), c.overWhite);
    EXPECT_EQ(p.At(5, 15), kRed);  // beside the square
  }
}

// A clip of a red square (the stage's left half) with, above it, a square
// over its top half drawn with `childBlend`; the clip drawn with
// `clipBlend`.
swftest::Picture ClipWithBlendedChild(int clipBlend, int childBlend, int32_t childAlpha) {
  ColorTransform alpha;
  alpha.alphaMult = childAlpha;
  const Bytes sprite = swftest::DefineSprite(
      10, 1,
      {swftest::PlaceTag(1, 1), PlaceObject3({.depth = 2, .characterId = 2, .color = alpha, .blend = childBlend}),
       swftest::ShowFrame()});
  return Render({Rectangle(1, {0, 400, 0, 600}, kRed), Rectangle(2, {0, 400, 0, 300}, kBlack), sprite,
                 PlaceObject3({.depth = 1, .characterId = 10, .blend = clipBlend})});
}

TEST(BlendSceneTest, AlphaAndEraseActOnTheGroupTheyAreDrawnIn) {
  // Alpha keeps the group where its object is opaque, by its opacity.
  const auto halfAlpha = ClipWithBlendedChild(2, 11, 128);
  EXPECT_EQ(halfAlpha.At(10, 5).r, 255);
  EXPECT_NEAR(halfAlpha.At(10, 5).g, 128, 1);  // half the red over white
  EXPECT_EQ(halfAlpha.At(10, 25), kRed);        // below the alpha object
  // Erase takes the group away where its object is.
  const auto erased = ClipWithBlendedChild(2, 12, 256);
  EXPECT_EQ(erased.At(10, 5), kWhite);
  EXPECT_EQ(erased.At(10, 25), kRed);
  // Any blend mode of the clip makes it a group, not only layer.
  EXPECT_EQ(ClipWithBlendedChild(3, 12, 256).At(10, 5), kWhite);
  // Without a group around them they show nothing.
  EXPECT_EQ(ClipWithBlendedChild(1, 12, 256).At(10, 5), kRed);
  EXPECT_EQ(ClipWithBlendedChild(1, 11, 128).At(10, 5), kRed);
}

// A black square from (10, 10) to (20, 20) with a green shadow moved
// `distance` pixels right.
std::vector<Bytes> ShadowedSquare(double distance) {
  return {Rectangle(1, {200, 400, 200, 400}, kBlack),
          PlaceObject3({.depth = 1, .characterId = 1, .filters = DropShadowList(kGreen, distance)})};
}

TEST(FilterSceneTest, AShadowReachesBeyondItsObjectsBoundsAndScalesWithTheView) {
  const auto p = Render(ShadowedSquare(4));
  EXPECT_EQ(p.At(15, 15), kBlack);
  EXPECT_EQ(p.At(21, 15), kGreen);
  EXPECT_EQ(p.At(23, 15), kGreen);  // beyond the square's bounds and the group's own pixel of margin
  EXPECT_EQ(p.At(24, 15), kWhite);
  EXPECT_EQ(p.At(15, 21), kWhite);
  // The stage shown twice as large: the shadow moves 8 pixels.
  const auto large = Render(ShadowedSquare(4), 80, 60);
  EXPECT_EQ(large.At(46, 30), kGreen);
  EXPECT_EQ(large.At(47, 30), kGreen);
  EXPECT_EQ(large.At(48, 30), kWhite);
}

// Renders the player's stage at 40 x 30 with the given options changed.
std::vector<uint8_t> RenderWith(const Player& player, RenderScratch& scratch, const RenderOptions& base) {
  std::vector<uint8_t> pixels(40 * 30 * 4, 0);
  RenderOptions options = base;
  options.view = ShowAllTransform(player.StageRect(), 40, 30);
  options.background = kWhite;
  options.quality = Quality::kLow;
  RenderStage(player.Objects(), {pixels.data(), 40, 30, 160, PixelFormat::kRgba32}, options, scratch);
  return pixels;
}

Rgba At(const std::vector<uint8_t>& pixels, int x, int y) {
  const uint8_t* p = &pixels[(static_cast<size_t>(y) * 40 + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

TEST(GroupMemoryTest, AGroupTakesItsObjectsBoundsAndBeyondTheCeilingIsNotOpened) {
  std::vector<Bytes> tags = GreyOverRed(3);
  tags.insert(tags.begin(), swftest::Tag(9, {255, 255, 255}));
  tags.push_back(swftest::ShowFrame());
  const Player player(MovieOf(tags));
  RenderScratch scratch;
  // The grey square's group (22 x 30 pixels with its margin, cut at the
  // stage's edges) fits where a group of the whole target (40 x 30) would not.
  const uint64_t squareGroup = 22 * 30 * 4;
  RenderOptions options;
  options.maxGroupBytes = squareGroup;
  EXPECT_EQ(At(RenderWith(player, scratch, options), 15, 15), (Rgba{128, 0, 0, 255}));
  options.maxGroupBytes = squareGroup - 1;  // drawn as normal
  EXPECT_EQ(At(RenderWith(player, scratch, options), 15, 15), kGrey);
}

TEST(GroupMemoryTest, NestedGroupsShareTheCeiling) {
  // A clip drawn in multiply holding the grey square drawn in invert: with
  // room for the clip's group alone, the inner one is drawn as normal.
  const Bytes sprite =
      swftest::DefineSprite(10, 1, {PlaceObject3({.depth = 1, .characterId = 2, .blend = 10}), swftest::ShowFrame()});
  const std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255}), Rectangle(1, {0, 400, 0, 600}, kRed),
                                   Rectangle(2, {200, 600, 0, 600}, kGrey), sprite, swftest::PlaceTag(1, 1),
                                   PlaceObject3({.depth = 2, .characterId = 10, .blend = 3}), swftest::ShowFrame()};
  const Player player(MovieOf(tags));
  RenderScratch scratch;
  const uint64_t group = 22 * 30 * 4;
  RenderOptions options;
  options.maxGroupBytes = 2 * group;
  // Inverted grey over nothing inside the clip's group stays empty, so the
  // clip multiplies nothing onto the red: the red shows.
  EXPECT_EQ(At(RenderWith(player, scratch, options), 15, 15), kRed);
  options.maxGroupBytes = group;  // the inner grey drawn as normal, then multiplied
  EXPECT_EQ(At(RenderWith(player, scratch, options), 15, 15), (Rgba{128, 0, 0, 255}));
}

TEST(GroupMemoryTest, EraseWithoutRoomForItsGroupShowsNothing) {
  // A clip (layer) of a red square with a black square erasing its top half.
  const Bytes sprite = swftest::DefineSprite(
      10, 1, {swftest::PlaceTag(1, 1), PlaceObject3({.depth = 2, .characterId = 2, .blend = 12}), swftest::ShowFrame()});
  const std::vector<Bytes> tags = {swftest::Tag(9, {255, 255, 255}), Rectangle(1, {0, 400, 0, 600}, kRed),
                                   Rectangle(2, {0, 400, 0, 300}, kBlack), sprite,
                                   PlaceObject3({.depth = 1, .characterId = 10, .blend = 2}), swftest::ShowFrame()};
  const Player player(MovieOf(tags));
  RenderScratch scratch;
  const uint64_t clipGroup = 21 * 30 * 4;   // the red square and a pixel of margin, cut at the stage
  const uint64_t eraseGroup = 21 * 16 * 4;  // its top half
  RenderOptions options;
  options.maxGroupBytes = clipGroup + eraseGroup;
  EXPECT_EQ(At(RenderWith(player, scratch, options), 10, 5), kWhite);
  options.maxGroupBytes = clipGroup;  // the black square is not painted instead
  EXPECT_EQ(At(RenderWith(player, scratch, options), 10, 5), kRed);
  EXPECT_EQ(At(RenderWith(player, scratch, options), 10, 25), kRed);
}

// Frames of a clip with a shadow and a cached clip: both move by whole and
// by fractions of pixels, stay, change colour, and change inside.
std::vector<Bytes> CachedFrames() {
  ColorTransform darker;
  darker.redMult = 128;
  const Bytes changing = swftest::DefineSprite(11, 2,
                                               {swftest::PlaceTag(1, 1), swftest::ShowFrame(),
                                                swftest::RemoveObject2(1), swftest::PlaceTag(1, 2), swftest::ShowFrame()});
  const Bytes still = swftest::DefineSprite(10, 1, {swftest::PlaceTag(1, 1), swftest::ShowFrame()});
  auto move = [](uint16_t depth, Matrix m, std::optional<ColorTransform> color = std::nullopt) {
    return PlaceObject3({.depth = depth, .move = true, .matrix = m, .color = color});
  };
  return {swftest::Tag(9, {255, 255, 255}),
          Rectangle(1, {0, 100, 0, 100}, kRed),
          Rectangle(2, {0, 100, 0, 60}, kGrey),
          still,
          changing,
          PlaceObject3({.depth = 1, .characterId = 10, .matrix = Pixels(2, 2), .filters = DropShadowList(kBlack, 3, 2)}),
          PlaceObject3({.depth = 2, .characterId = 11, .matrix = Pixels(20, 2), .cacheAsBitmap = true}),
          swftest::ShowFrame(),
          move(1, Pixels(5, 4)),  // whole pixels
          swftest::ShowFrame(),
          move(1, Pixels(5.5, 4.25)),  // a fraction
          swftest::ShowFrame(),
          swftest::ShowFrame(),  // still
          move(1, Pixels(5.5, 4.25), darker),
          move(2, Matrix{1.5, 0, 0, 1, 400, 40}),  // scaled
          swftest::ShowFrame(),
          swftest::ShowFrame()};
}

TEST(CachedPictureTest, KeptPicturesDrawTheSameBytesAsDrawingAnew) {
  const Bytes movie = MovieOf(CachedFrames());
  Player kept(movie);
  Player fresh(movie);
  RenderScratch keptScratch;
  RenderScratch freshScratch;
  RenderOptions reuse;
  RenderOptions noReuse;
  noReuse.reuseCachedPictures = false;
  for (int frame = 0; frame < 6; ++frame) {
    SCOPED_TRACE(frame);
    const std::vector<uint8_t> a = RenderWith(kept, keptScratch, reuse);
    const std::vector<uint8_t> b = RenderWith(fresh, freshScratch, noReuse);
    EXPECT_TRUE(a == b);
    kept.Tick();
    fresh.Tick();
  }
  EXPECT_GT(keptScratch.PictureReuses(), 0u);
  EXPECT_EQ(freshScratch.PictureReuses(), 0u);
}

TEST(CachedPictureTest, APictureIsUsedAgainOnlyWhileNothingInItChanges) {
  const Bytes movie = MovieOf(CachedFrames());
  Player player(movie);
  RenderScratch scratch;
  const RenderOptions options;
  std::vector<size_t> reuses;
  for (int frame = 0; frame < 6; ++frame) {
    RenderWith(player, scratch, options);
    reuses.push_back(scratch.PictureReuses());
    player.Tick();
  }
  EXPECT_EQ(scratch.KeptPictures(), 2u);
  // Frame 1 draws both. The cached clip changes inside on every frame (its
  // two frames take turns) and is never used again. The shadowed clip's
  // picture is used again when it moves by whole pixels (frame 2), by a
  // fraction (3: it is put on whole pixels), and when still (4), not when
  // its colour changes (5), and again after that (6).
  const std::vector<size_t> expected{0, 1, 2, 3, 3, 4};
  EXPECT_EQ(reuses, expected);
}

}  // namespace
}  // namespace swf
