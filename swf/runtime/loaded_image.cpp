#include "swf/runtime/loaded_image.h"

#include <algorithm>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/bitmaps.h"
#include "swf/parse/parse_error.h"

namespace swf {
namespace {

constexpr uint16_t kBitmapId = 1;
constexpr uint16_t kShapeId = 2;

bool StartsWith(std::span<const uint8_t> file, std::span<const uint8_t> magic) {
  return file.size() >= magic.size() && std::equal(magic.begin(), magic.end(), file.begin());
}

bool IsImage(std::span<const uint8_t> file) {
  static constexpr uint8_t kJpeg[] = {0xFF, 0xD8};
  static constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
  static constexpr uint8_t kGif[] = {'G', 'I', 'F', '8'};
  return StartsWith(file, kJpeg) || StartsWith(file, kPng) || StartsWith(file, kGif);
}

// A rectangle of the bitmap's size filled with it, pixels unsmoothed.
ShapeDefinition PictureShape(const Bitmap& bitmap) {
  const Twips width = bitmap.width * 20;
  const Twips height = bitmap.height * 20;
  const double right = width;
  const double bottom = height;
  ShapeLayer layer;
  layer.fills.push_back(BitmapFill{kBitmapId, Matrix::Scale(20, 20), false, false});
  ShapePath path;
  path.fill1 = 1;
  path.start = Point{0, 0};
  for (const Point corner : {Point{right, 0}, Point{right, bottom}, Point{0, bottom}, Point{0, 0}}) {
    path.segments.push_back(Segment{false, {}, corner});
  }
  layer.paths.push_back(std::move(path));
  ShapeDefinition shape;
  shape.id = kShapeId;
  shape.bounds = Rect{0, width, 0, height};
  shape.layers.push_back(std::move(layer));
  return shape;
}

}  // namespace

std::unique_ptr<const ParsedMovie> MovieOfImage(std::span<const uint8_t> file, uint8_t version) {
  if (!IsImage(file)) return nullptr;
  // The image as the body of a DefineBitsJPEG2 tag, which holds any of the three.
  std::vector<uint8_t> body{kBitmapId & 0xFF, kBitmapId >> 8};
  body.insert(body.end(), file.begin(), file.end());
  auto movie = std::make_unique<ParsedMovie>();
  try {
    BitReader reader(body);
    size_t budget = kMaxMovieBitmapPixels;
    Bitmap bitmap = ParseDefineBitsJpeg(reader, 2, budget);
    bitmap.id = kBitmapId;
    movie->characters.emplace(kShapeId, PictureShape(bitmap));
    movie->header.frameSize = Rect{0, bitmap.width * 20, 0, bitmap.height * 20};
    movie->bitmaps.emplace(kBitmapId, std::move(bitmap));
  } catch (const ParseError&) {
    return nullptr;
  }
  movie->header.version = version;
  movie->header.frameCount = 1;
  movie->fileSize = file.size();
  PlaceObject place;
  place.depth = 1;
  place.characterId = kShapeId;
  movie->root.frames.emplace_back();
  movie->root.frames.back().tags.emplace_back(std::move(place));
  movie->root.declaredFrameCount = 1;
  return movie;
}

}  // namespace swf
