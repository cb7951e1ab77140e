#include "seed_movies.h"

namespace fuzz {
namespace {

using swftest::BitWriter;
using swftest::Bytes;

constexpr swf::Rgba kRed{220, 20, 20, 255};
constexpr swf::Rgba kBlue{20, 20, 220, 160};
constexpr swf::Rgba kBlack{0, 0, 0, 255};

// A DefineShape4 whose first layer has gradient fills of the three kinds and
// a LINESTYLE2 with miter joins and square caps; the records draw a curved
// outline with each gradient on one side.
Bytes GradientShapeTag(uint16_t id) {
  BitWriter w;
  w.U16(id);
  w.Rect({-400, 1400, -400, 1400});
  w.Rect({-400, 1400, -400, 1400});
  w.U8(0x04);  // non-zero winding
  w.U8(3);     // fills
  const uint8_t kinds[] = {0x10, 0x12, 0x13};
  for (const uint8_t kind : kinds) {
    w.U8(kind);
    w.Matrix({0.05, 0.01, -0.01, 0.05, 500, 500});
    w.U8(static_cast<uint8_t>((kind == 0x10 ? 0x40 : 0x80) | 3));  // spread mode, 3 stops
    for (int stop = 0; stop < 3; ++stop) {
      w.U8(static_cast<uint8_t>(stop * 120));
      w.Rgba({static_cast<uint8_t>(stop * 100), 50, static_cast<uint8_t>(255 - stop * 100), 255});
    }
    if (kind == 0x13) w.U16(static_cast<uint16_t>(0x0080));  // focal point 0.5
  }
  w.U8(1);  // lines
  w.U16(80);
  w.UB(2, 2);  // square start cap
  w.UB(2, 2);  // miter join
  w.UB(0, 1);  // no fill
  w.UB(0, 1);
  w.UB(1, 1);  // no vertical scaling
  w.UB(0, 1);
  w.UB(0, 5);
  w.UB(0, 1);
  w.UB(1, 2);  // flat end cap
  w.U16(3 << 8);  // miter limit 3
  w.Rgba(kBlack);
  w.UB(2, 4);  // fill bits
  w.UB(1, 4);  // line bits
  // Style change: move to (0, 0), fill0 1, fill1 2, line 1.
  w.UB(0, 1);
  w.UB(0b01111, 5);
  w.UB(2, 5);
  w.SB(0, 2);
  w.SB(0, 2);
  w.UB(1, 2);
  w.UB(2, 2);
  w.UB(1, 1);
  auto line = [&w](int32_t dx, int32_t dy) {
    w.UB(1, 1);
    w.UB(1, 1);
    w.UB(12 - 2, 4);
    w.UB(1, 1);
    w.SB(dx, 12);
    w.SB(dy, 12);
  };
  auto curve = [&w](int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
    w.UB(1, 1);
    w.UB(0, 1);
    w.UB(12 - 2, 4);
    w.SB(cx, 12);
    w.SB(cy, 12);
    w.SB(ax, 12);
    w.SB(ay, 12);
  };
  line(1000, 0);
  curve(400, 500, -400, 500);
  // Fill1 changes to the focal gradient halfway round.
  w.UB(0, 1);
  w.UB(0b00100, 5);
  w.UB(3, 2);
  line(-1000, 0);
  curve(-300, -500, 300, -500);
  w.UB(0, 6);  // end
  return swftest::Tag(83, w.Take());
}

// DefineBitsLossless2 of 4 x 4 pixels: format 5 (premultiplied ARGB) or
// format 3 (a two-colour table, rows padded to 4 bytes).
Bytes LosslessBitmapTag(uint16_t id, uint8_t format) {
  BitWriter w;
  w.U16(id);
  w.U8(format);
  w.U16(4);
  w.U16(4);
  Bytes pixels;
  if (format == 3) {
    w.U8(1);  // two colours
    pixels = {255, 0, 0, 255, 0, 0, 255, 128};
    for (int i = 0; i < 16; ++i) pixels.push_back(static_cast<uint8_t>((i + i / 4) % 2));
  } else {
    for (int i = 0; i < 16; ++i) {
      const uint8_t alpha = static_cast<uint8_t>(i * 16 + 15);
      pixels.insert(pixels.end(), {alpha, alpha, static_cast<uint8_t>(alpha / 2), 0});
    }
  }
  w.Append(swftest::Deflate(pixels));
  return swftest::Tag(36, w.Take());
}

// A DefineShape3 square of 800 twips filled with a bitmap, repeated (0x40)
// or clipped and unsmoothed (0x43).
Bytes BitmapSquareTag(uint16_t id, uint16_t bitmapId, uint8_t fillType) {
  BitWriter w;
  w.U16(id);
  w.Rect({0, 800, 0, 800});
  w.U8(1);
  w.U8(fillType);
  w.U16(bitmapId);
  w.Matrix({20, 0, 0, 20, 0, 0});  // a bitmap pixel is a stage pixel
  w.U8(0);     // no line styles
  w.UB(1, 4);  // fill bits
  w.UB(0, 4);
  w.UB(0, 1);
  w.UB(0b00101, 5);  // move, fill0
  w.UB(2, 5);
  w.SB(0, 2);
  w.SB(0, 2);
  w.UB(1, 1);
  for (const auto& [dx, dy] : {std::pair{800, 0}, {0, 800}, {-800, 0}, {0, -800}}) {
    w.UB(0b11, 2);  // straight edge
    w.UB(12 - 2, 4);
    w.UB(1, 1);
    w.SB(dx, 12);
    w.SB(dy, 12);
  }
  w.UB(0, 6);
  return swftest::Tag(32, w.Take());
}

Bytes PlaceObject3(uint16_t depth, uint16_t characterId) {
  BitWriter w;
  w.U8(0x02 | 0x04);                // character, matrix
  w.U8(0x20 | 0x04 | 0x02 | 0x01);  // visible, cache as bitmap, blend mode, filters
  w.U16(depth);
  w.U16(characterId);
  w.Matrix({1, 0, 0, 1, 200, 100});
  w.U8(2);  // filters: a blur and a colour matrix
  w.U8(1);
  for (int i = 0; i < 9; ++i) w.U8(static_cast<uint8_t>(i));
  w.U8(6);
  for (int i = 0; i < 80; ++i) w.U8(0);
  w.U8(3);  // blend mode: multiply
  w.U8(1);
  w.U8(1);
  return swftest::Tag(70, w.Take());
}

Bytes Label(const std::string& name) {
  BitWriter w;
  w.String(name);
  return swftest::Tag(43, w.Take());
}

Bytes ShapeWithNewStyles(int version, uint16_t id) {
  const Bytes shape = swftest::ShapeWriter(version)
                          .Solid(kRed)
                          .Line(40, kBlack)
                          .BeginRecords()
                          .Change(1, -1, 1, true, 10, 10)
                          .LineTo(600, 0)
                          .CurveTo(200, 300, -200, 300)
                          .LineTo(-600, 0)
                          .LineTo(0, -600)
                          .NewStyles({kBlue, kRed}, 2, 1)
                          .Change(-1, -1, -1, true, 300, 300)
                          .LineTo(400, 0)
                          .LineTo(0, 400)
                          .LineTo(-400, -400)
                          .End();
  return swftest::DefineShape(version, id, {0, 1000, 0, 1000}, shape);
}

std::vector<Bytes> BasicTags() {
  const swf::Matrix scaled{2, 0, 0, 0.5, 300, 400};
  static constexpr swf::Matrix kIdentity = swf::Matrix::Identity();
  const swf::ColorTransform tint{128, 256, 256, 200, 40, 0, -20, 0};
  return {swftest::Tag(69, {0x08, 0, 0, 0}),
          swftest::Tag(9, {30, 60, 90}),
          swftest::SquareShapeTag(1, 400, kRed),
          swftest::PlaceObject2({.depth = 1, .characterId = 1, .matrix = &scaled, .colorTransform = &tint}),
          Label("start"),
          swftest::ShowFrame(),
          swftest::PlaceObject2({.depth = 1, .move = true, .matrix = &kIdentity}),
          swftest::ShowFrame(),
          swftest::RemoveObject2(1),
          swftest::ShowFrame()};
}

}  // namespace

std::vector<std::pair<std::string, Bytes>> SeedMovies() {
  std::vector<std::pair<std::string, Bytes>> seeds;
  const std::vector<Bytes> basic = BasicTags();
  seeds.emplace_back("basic-fws.swf", swftest::Movie(basic, swftest::Signature::kFws, 10, {0, 4000, 0, 3000}, 24 << 8, 3));
  seeds.emplace_back("basic-cws.swf", swftest::Movie(basic, swftest::Signature::kCws, 10, {0, 4000, 0, 3000}, 24 << 8, 3));
  seeds.emplace_back("basic-zws.swf", swftest::Movie(basic, swftest::Signature::kZws, 13, {0, 4000, 0, 3000}, 24 << 8, 3));
  seeds.emplace_back("basic-zws-no-end-marker.swf",
                     swftest::Movie(basic, swftest::Signature::kZwsNoEndMarker, 13, {0, 4000, 0, 3000}, 24 << 8, 3));

  for (int version = 1; version <= 4; ++version) {
    seeds.emplace_back("shape-v" + std::to_string(version) + ".swf",
                       swftest::Movie({ShapeWithNewStyles(version, 5), swftest::PlaceObject2({.depth = 3, .characterId = 5}),
                                       swftest::ShowFrame()},
                                      swftest::Signature::kFws, static_cast<uint8_t>(version + 2)));
  }

  const swf::Matrix rotated{0.7, 0.7, -0.7, 0.7, 1500, 200};
  seeds.emplace_back("gradients-place3.swf",
                     swftest::Movie({GradientShapeTag(7), PlaceObject3(2, 7),
                                     swftest::PlaceObject2({.depth = 4, .characterId = 7, .matrix = &rotated}),
                                     swftest::ShowFrame()},
                                    swftest::Signature::kFws, 10));

  const swf::Matrix shifted{1, 0, 0, 1, 1000, 300};
  seeds.emplace_back("bitmap-fills.swf",
                     swftest::Movie({LosslessBitmapTag(20, 5), LosslessBitmapTag(21, 3), BitmapSquareTag(22, 20, 0x40),
                                     BitmapSquareTag(23, 21, 0x43), swftest::PlaceObject2({.depth = 1, .characterId = 22}),
                                     swftest::PlaceObject2({.depth = 2, .characterId = 23, .matrix = &shifted}),
                                     swftest::ShowFrame()},
                                    swftest::Signature::kCws, 10));

  // Sprites inside sprites, one placing itself, and labels to jump to.
  const swf::Matrix half{0.5, 0, 0, 0.5, 100, 100};
  const std::vector<Bytes> spriteTags = {
      swftest::SquareShapeTag(1, 300, kRed),
      swftest::DefineSprite(2, 2,
                            {swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
                             swftest::PlaceObject2({.depth = 2, .characterId = 2, .matrix = &half}), swftest::ShowFrame()}),
      swftest::DefineSprite(3, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 2, .name = "inner"}), swftest::ShowFrame()}),
      swftest::PlaceObject2({.depth = 1, .characterId = 3, .ratio = 1}),
      Label("one"),
      swftest::ShowFrame(),
      swftest::PlaceObject2({.depth = 1, .move = true, .characterId = 2}),
      swftest::PlaceObject2({.depth = 9, .characterId = 99}),
      Label("two"),
      swftest::ShowFrame(),
      swftest::Tag(12, {0x07, 0x06, 0x00}),  // DoAction: stop, play
      swftest::ShowFrame()};
  seeds.emplace_back("sprites.swf", swftest::Movie(spriteTags, swftest::Signature::kFws, 8, {0, 2000, 0, 1500}, 12 << 8, 3));
  seeds.emplace_back("sprites-cws.swf", swftest::Movie(spriteTags, swftest::Signature::kCws, 8, {0, 2000, 0, 1500}, 12 << 8, 3));
  return seeds;
}

}  // namespace fuzz
