#pragma once

// Fixtures for gradient and bitmap fills, bitmap tags and masks, written
// with swf_builder's BitWriter.
#include <cstdint>
#include <vector>

#include "swf/player.h"
#include "swf_builder.h"

namespace swftest {

struct Stop {
  uint8_t ratio;
  swf::Rgba color;
};

// FILLSTYLE records (RGBA colours, as in DefineShape3/4).
Bytes SolidFillStyle(swf::Rgba color);
// type 0x10 linear, 0x12 radial, 0x13 focal (then `focal` is written).
Bytes GradientFillStyle(uint8_t type, const swf::Matrix& matrix, const std::vector<Stop>& stops, uint8_t spread = 0,
                        uint8_t interpolation = 0, double focal = 0);
// type 0x40 repeat, 0x41 clipped, 0x42 repeat unsmoothed, 0x43 clipped unsmoothed.
Bytes BitmapFillStyle(uint8_t type, uint16_t bitmapId, const swf::Matrix& matrix);

// DefineShape4 tag of one rectangle (twips) filled with `fillStyle`.
Bytes RectangleShapeTag(uint16_t id, swf::Rect rect, const Bytes& fillStyle);

// PlaceObject2 of a new character, optionally a mask up to `clipDepth`.
Bytes PlaceTag(uint16_t depth, uint16_t characterId, const swf::Matrix* matrix = nullptr, uint16_t clipDepth = 0,
               const swf::ColorTransform* colorTransform = nullptr);

// DefineBitsLossless (version 1) or Lossless2 (2): format 3 takes the colour
// table (3 or 4 bytes an entry) before the pixel rows, all as given.
Bytes LosslessTag(int version, uint16_t id, uint8_t format, uint16_t width, uint16_t height, const Bytes& data,
                  int colorCount = 0);

// Encoders for bitmap payloads. `rgb` / `rgba` rows top to bottom.
Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality = 100);
Bytes EncodePng(int width, int height, const Bytes& rgba);
// A GIF of palette indices, with `transparentIndex` (-1 none).
Bytes EncodeGif(int width, int height, const std::vector<swf::Rgba>& palette, const Bytes& indices,
                int transparentIndex = -1);

// A picture of the stage (800 x 600 twips) rendered at 40 x 30 pixels.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  swf::Rgba At(int x, int y) const;
};
Picture RenderTags(const std::vector<Bytes>& tags, swf::Quality quality, int width = 40, int height = 30,
                   swf::Rect stage = {0, 800, 0, 600});

}  // namespace swftest
