// Bitmap characters decoded from tags built in code (every lossless format,
// JPEG with and without tables, alpha planes, PNG and GIF payloads, damaged
// data), and bitmap fills drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "fill_builder.h"
#include "swf/parse/image_decoders.h"
#include "swf/parse/parse_error.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kNothing{0, 0, 0, 0};

ParsedMovie ParseTags(const std::vector<Bytes>& tags) {
  std::vector<Bytes> all = tags;
  all.push_back(swftest::ShowFrame());
  return ParseMovie(swftest::Movie(all));
}

Rgba PixelOf(const Bitmap& bitmap, int x, int y) {
  const uint8_t* p = &bitmap.pixels[(static_cast<size_t>(y) * bitmap.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

const Bitmap& Only(const ParsedMovie& movie, uint16_t id) {
  const auto found = movie.bitmaps.find(id);
  if (found == movie.bitmaps.end()) {
    std::string warnings;
    for (const auto& w : movie.warnings) warnings += w + "; ";
    ADD_FAILURE() << "bitmap " << id << " missing; warnings: " << warnings;
    static const Bitmap kEmpty = [] {
      Bitmap empty;
      empty.width = empty.height = 1;
      empty.pixels.assign(4, 0);
      return empty;
    }();
    return kEmpty;
  }
  return found->second;
}

bool Near(Rgba a, Rgba b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance &&
         std::abs(a.a - b.a) <= tolerance;
}

TEST(LosslessBitmap, ColourMappedRowsArePaddedAndOutOfRangeIndicesTransparent) {
  // 3 x 2 pixels: rows of 3 indices padded to 4 bytes.
  const Bytes data = {255, 0, 0, 0, 255, 0, 0, 0, 255,  // colour table
                      0,   1, 2, 99,                     // first row and its padding
                      2,   7, 0, 99};
  const ParsedMovie v1 = ParseTags({swftest::LosslessTag(1, 5, 3, 3, 2, data, 3)});
  const Bitmap& a = Only(v1, 5);
  ASSERT_EQ(a.width, 3);
  ASSERT_EQ(a.height, 2);
  EXPECT_EQ(PixelOf(a, 0, 0), kRed);
  EXPECT_EQ(PixelOf(a, 1, 0), kGreen);
  EXPECT_EQ(PixelOf(a, 2, 0), kBlue);
  EXPECT_EQ(PixelOf(a, 0, 1), kBlue);
  EXPECT_EQ(PixelOf(a, 1, 1), kNothing);
  EXPECT_EQ(PixelOf(a, 2, 1), kRed);

  // Lossless2: RGBA table entries, premultiplied; a colour above its alpha is clamped.
  const Bytes rgbaData = {255, 0, 0, 255, 200, 100, 0, 128, /* row */ 1, 0, 0, 0};
  const ParsedMovie v2 = ParseTags({swftest::LosslessTag(2, 6, 3, 2, 1, rgbaData, 2)});
  EXPECT_EQ(PixelOf(Only(v2, 6), 0, 0), (Rgba{128, 100, 0, 128}));
  EXPECT_EQ(PixelOf(Only(v2, 6), 1, 0), kRed);
}

TEST(LosslessBitmap, FifteenBitPixelsAreBigEndianFields) {
  // 0x7C00 red, 0x03E0 green, then 0x0010: blue 16 of 31. Rows of 3 pixels
  // take 6 bytes, padded to 8.
  const Bytes data = {0x7C, 0x00, 0x03, 0xE0, 0x00, 0x10, 0, 0};
  const ParsedMovie bMovie = ParseTags({swftest::LosslessTag(1, 7, 4, 3, 1, data)});
  const Bitmap& b = Only(bMovie, 7);
  EXPECT_EQ(PixelOf(b, 0, 0), kRed);
  EXPECT_EQ(PixelOf(b, 1, 0), kGreen);
  EXPECT_EQ(PixelOf(b, 2, 0), (Rgba{0, 0, 132, 255}));
}

TEST(LosslessBitmap, ThirtyTwoBitPixels) {
  // Lossless: the first byte is ignored, the picture is opaque.
  const Bytes xrgb = {77, 10, 20, 30, 0, 40, 50, 60};
  const ParsedMovie opaqueMovie = ParseTags({swftest::LosslessTag(1, 8, 5, 2, 1, xrgb)});
  const Bitmap& opaque = Only(opaqueMovie, 8);
  EXPECT_EQ(PixelOf(opaque, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(PixelOf(opaque, 1, 0), (Rgba{40, 50, 60, 255}));
  // Lossless2: premultiplied ARGB, colours clamped to alpha.
  const Bytes argb = {128, 100, 128, 200, 0, 0, 0, 0};
  const ParsedMovie alphaMovie = ParseTags({swftest::LosslessTag(2, 9, 5, 2, 1, argb)});
  const Bitmap& alpha = Only(alphaMovie, 9);
  EXPECT_EQ(PixelOf(alpha, 0, 0), (Rgba{100, 128, 128, 128}));
  EXPECT_EQ(PixelOf(alpha, 1, 0), kNothing);
}

TEST(LosslessBitmap, ShortDataLeavesTheRestTransparent) {
  const Bytes rows = {255, 1, 2, 3};  // one row of a 1 x 3 picture
  const ParsedMovie bMovie = ParseTags({swftest::LosslessTag(2, 4, 5, 1, 3, rows)});
  const Bitmap& b = Only(bMovie, 4);
  EXPECT_EQ(PixelOf(b, 0, 0), (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(PixelOf(b, 0, 1), kNothing);
  EXPECT_EQ(PixelOf(b, 0, 2), kNothing);
}

TEST(LosslessBitmap, OversizedAndUnknownBitmapsAreRefusedAlone) {
  const Bytes one = {0, 255, 0, 0};
  const ParsedMovie movie = ParseTags({swftest::LosslessTag(2, 1, 5, kMaxBitmapSide + 1, 1, one),
                                       swftest::LosslessTag(2, 2, 6, 1, 1, one),
                                       swftest::LosslessTag(2, 3, 5, 1, 1, {255, 0, 255, 0})});
  EXPECT_EQ(movie.bitmaps.count(1), 0u);
  EXPECT_EQ(movie.bitmaps.count(2), 0u);
  EXPECT_EQ(PixelOf(Only(movie, 3), 0, 0), kGreen);
  EXPECT_EQ(movie.warnings.size(), 2u);
}

// 16 x 16 pixels: left half red, right half blue (blocks of 8 keep JPEG exact enough).
Bytes RedBlueRgb() {
  Bytes rgb;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const Rgba c = x < 8 ? kRed : kBlue;
      rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
  }
  return rgb;
}

Bytes JpegTag(uint16_t code, uint16_t id, const Bytes& payload) {
  swftest::BitWriter w;
  w.U16(id);
  w.Append(payload);
  return swftest::Tag(code, w.Take(), true);
}

void ExpectRedBlue(const Bitmap& b, uint8_t alpha = 255) {
  ASSERT_EQ(b.width, 16);
  ASSERT_EQ(b.height, 16);
  const auto scaled = [alpha](Rgba c) {
    return Rgba{static_cast<uint8_t>(c.r * alpha / 255), 0, static_cast<uint8_t>(c.b * alpha / 255), alpha};
  };
  EXPECT_TRUE(Near(PixelOf(b, 2, 3), scaled(kRed), 6));
  EXPECT_TRUE(Near(PixelOf(b, 13, 12), scaled(kBlue), 6));
}

// The EOI + SOI pair older files put before a JPEG stream.
Bytes WithEoiSoiPrefix(const Bytes& jpeg) {
  Bytes out(jpeg.size() + 4);
  out[0] = 0xFF;
  out[1] = 0xD9;
  out[2] = 0xFF;
  out[3] = 0xD8;
  std::copy(jpeg.begin(), jpeg.end(), out.begin() + 4);
  return out;
}

TEST(JpegBitmap, CompleteJpegWithAndWithoutTheErroneousHeader) {
  const Bytes jpeg = swftest::EncodeJpeg(16, 16, RedBlueRgb());
  const Bytes prefixed = WithEoiSoiPrefix(jpeg);
  const ParsedMovie movie = ParseTags({JpegTag(21, 1, jpeg), JpegTag(21, 2, prefixed)});
  ExpectRedBlue(Only(movie, 1));
  ExpectRedBlue(Only(movie, 2));
}

// Splits a JPEG into a tables-only stream (SOI, DQT, DHT, EOI) and the image
// without them, as authoring tools store JPEGTables and DefineBits.
std::pair<Bytes, Bytes> SplitTables(const Bytes& jpeg) {
  Bytes tables = {0xFF, 0xD8};
  Bytes image = {0xFF, 0xD8};
  size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA) {
    const size_t length = (size_t{jpeg[i + 2]} << 8) | jpeg[i + 3];
    Bytes& to = (jpeg[i + 1] == 0xDB || jpeg[i + 1] == 0xC4) ? tables : image;
    to.insert(to.end(), jpeg.begin() + static_cast<ptrdiff_t>(i), jpeg.begin() + static_cast<ptrdiff_t>(i + 2 + length));
    i += 2 + length;
  }
  image.insert(image.end(), jpeg.begin() + static_cast<ptrdiff_t>(i), jpeg.end());
  tables.insert(tables.end(), {0xFF, 0xD9});
  return {tables, image};
}

TEST(JpegBitmap, DefineBitsTakesTheMovieTables) {
  const auto [tables, image] = SplitTables(swftest::EncodeJpeg(16, 16, RedBlueRgb()));
  // Some files start the tables with an EOI + SOI pair too.
  const Bytes prefixedTables = WithEoiSoiPrefix(tables);
  const ParsedMovie movie = ParseTags({swftest::Tag(8, prefixedTables, true), JpegTag(6, 3, image)});
  ExpectRedBlue(Only(movie, 3));
  // Without the tables the image cannot be decoded: the tag alone is skipped.
  const ParsedMovie withoutTables = ParseTags({JpegTag(6, 3, image)});
  EXPECT_EQ(withoutTables.bitmaps.count(3), 0u);
  EXPECT_EQ(withoutTables.warnings.size(), 1u);
}

TEST(JpegBitmap, TablesAndImageInOneBufferAreJoined) {
  const auto [tables, image] = SplitTables(swftest::EncodeJpeg(16, 16, RedBlueRgb()));
  Bytes joined = tables;  // SOI tables EOI SOI image EOI
  joined.insert(joined.end(), image.begin(), image.end());
  const ParsedMovie movie = ParseTags({JpegTag(21, 4, joined)});
  ExpectRedBlue(Only(movie, 4));
}

Bytes Jpeg3Body(uint16_t id, const Bytes& image, const Bytes& alphaStream, bool version4 = false) {
  swftest::BitWriter w;
  w.U16(id);
  w.U32(static_cast<uint32_t>(image.size()));
  if (version4) w.U16(0x0100);
  w.Append(image);
  w.Append(alphaStream);
  return swftest::Tag(version4 ? 90 : 35, w.Take(), true);
}

TEST(JpegBitmap, AlphaPlaneOfJpeg3And4) {
  const Bytes jpeg = swftest::EncodeJpeg(16, 16, RedBlueRgb());
  const Bytes half = swftest::Deflate(Bytes(256, 128));
  const ParsedMovie movie = ParseTags({Jpeg3Body(1, jpeg, half), Jpeg3Body(2, jpeg, half, true),
                                       Jpeg3Body(3, jpeg, {}), Jpeg3Body(4, jpeg, swftest::Deflate(Bytes(20, 0)))});
  // Colours are taken as premultiplied already and clamped to alpha.
  for (uint16_t id : {1, 2}) {
    const Bitmap& b = Only(movie, id);
    EXPECT_EQ(PixelOf(b, 2, 3).a, 128);
    EXPECT_LE(PixelOf(b, 2, 3).r, 128);
    EXPECT_GE(PixelOf(b, 2, 3).r, 122);
    EXPECT_EQ(PixelOf(b, 13, 12).a, 128);
  }
  ExpectRedBlue(Only(movie, 3));  // no alpha plane: opaque
  const Bitmap& shortPlane = Only(movie, 4);  // the first 20 pixels transparent, the rest opaque
  EXPECT_EQ(PixelOf(shortPlane, 3, 1), kNothing);
  EXPECT_EQ(PixelOf(shortPlane, 4, 1).a, 255);
}

TEST(JpegBitmap, CorruptDataIsSkippedAndTruncatedDataKeepsItsSize) {
  Bytes corrupt = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x03, 0x42, 0x13, 0x37, 0xFF, 0xD9};
  // Busy pixels, so that the coded image and not the tables fills the file.
  Bytes busy(64 * 64 * 3);
  for (size_t i = 0; i < busy.size(); ++i) busy[i] = static_cast<uint8_t>((i * 37) ^ (i >> 5));
  const Bytes full = swftest::EncodeJpeg(64, 64, busy);
  const Bytes truncated(full.begin(), full.begin() + static_cast<ptrdiff_t>(full.size() / 2));
  const Bytes headerOnly(full.begin(), full.begin() + 20);
  const ParsedMovie movie = ParseTags({JpegTag(21, 1, corrupt), JpegTag(21, 2, truncated), JpegTag(21, 3, headerOnly)});
  EXPECT_EQ(movie.bitmaps.count(1), 0u);
  EXPECT_EQ(movie.bitmaps.count(3), 0u);
  const Bitmap& cut = Only(movie, 2);
  EXPECT_EQ(cut.width, 64);
  EXPECT_EQ(cut.height, 64);
  EXPECT_EQ(PixelOf(cut, 0, 0).a, 255);
  ASSERT_EQ(movie.warnings.size(), 2u);
  EXPECT_NE(movie.warnings[0].find("JPEG"), std::string::npos) << movie.warnings[0];
}

TEST(JpegBitmap, DecoderRefusesOversizedImagesBeforeAllocating) {
  const Bytes jpeg = swftest::EncodeJpeg(64, 32, Bytes(64 * 32 * 3, 0));
  EXPECT_THROW(DecodeJpeg(jpeg, 63, 1 << 20), ParseError);
  EXPECT_THROW(DecodeJpeg(jpeg, 100, 64 * 32 - 1), ParseError);
  EXPECT_EQ(DecodeJpeg(jpeg, 64, 64 * 32).width, 64);
}

TEST(Jpeg2Payload, PngWithAlphaIsPremultiplied) {
  const Bytes rgba = {255, 0, 0, 255, 0, 0, 255, 128, 10, 20, 30, 0};
  const ParsedMovie bMovie = ParseTags({JpegTag(21, 1, swftest::EncodePng(3, 1, rgba))});
  const Bitmap& b = Only(bMovie, 1);
  EXPECT_EQ(PixelOf(b, 0, 0), kRed);
  EXPECT_EQ(PixelOf(b, 1, 0), (Rgba{0, 0, 128, 128}));
  EXPECT_EQ(PixelOf(b, 2, 0).a, 0);
  // A PNG in a JPEG3 tag keeps its own alpha; the plane is ignored.
  const ParsedMovie threeMovie = ParseTags({Jpeg3Body(2, swftest::EncodePng(3, 1, rgba), swftest::Deflate(Bytes(3, 0)))});
  const Bitmap& three = Only(threeMovie, 2);
  EXPECT_EQ(PixelOf(three, 0, 0), kRed);
}

TEST(Jpeg2Payload, GifFirstFrameWithTransparency) {
  const Bytes indices = {0, 1, 2, 1};
  const Bytes gif = swftest::EncodeGif(2, 2, {kRed, kGreen, kBlue}, indices, 2);
  const ParsedMovie bMovie = ParseTags({JpegTag(21, 1, gif)});
  const Bitmap& b = Only(bMovie, 1);
  ASSERT_EQ(b.width, 2);
  EXPECT_EQ(PixelOf(b, 0, 0), kRed);
  EXPECT_EQ(PixelOf(b, 1, 0), kGreen);
  EXPECT_EQ(PixelOf(b, 0, 1), kNothing);
  EXPECT_EQ(PixelOf(b, 1, 1), kGreen);
  // Cut short after the header: refused alone.
  const Bytes cut(gif.begin(), gif.begin() + 13);
  EXPECT_EQ(ParseTags({JpegTag(21, 2, cut)}).bitmaps.count(2), 0u);
}

// A 2 x 2 bitmap (red, green / blue, white) shown with 5 device pixels per
// bitmap pixel in a 20 x 20 pixel rectangle.
std::vector<Bytes> BitmapSquare(uint8_t fillType, const ColorTransform* tint = nullptr, uint16_t bitmapId = 1) {
  const Bytes xrgb = {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255};
  const Matrix fiveToOne = Matrix::Scale(100, 100);  // bitmap pixel -> twips
  return {swftest::LosslessTag(1, 1, 5, 2, 2, xrgb),
          swftest::RectangleShapeTag(2, {0, 400, 0, 400}, swftest::BitmapFillStyle(fillType, bitmapId, fiveToOne)),
          swftest::PlaceTag(1, 2, nullptr, 0, tint)};
}

class BitmapFillTest : public testing::TestWithParam<Quality> {};

TEST_P(BitmapFillTest, RepeatingFillTilesAndClippedFillExtendsItsEdges) {
  const auto repeat = swftest::RenderTags(BitmapSquare(0x42), GetParam());
  EXPECT_EQ(repeat.At(2, 2), kRed);
  EXPECT_EQ(repeat.At(7, 2), kGreen);
  EXPECT_EQ(repeat.At(2, 7), kBlue);
  EXPECT_EQ(repeat.At(7, 7), kWhite);
  EXPECT_EQ(repeat.At(12, 2), kRed);
  EXPECT_EQ(repeat.At(17, 17), kWhite);
  EXPECT_EQ(repeat.At(12, 17), kBlue);
  EXPECT_EQ(repeat.At(25, 5), kWhite);  // outside the rectangle: background

  const auto clipped = swftest::RenderTags(BitmapSquare(0x43), GetParam());
  EXPECT_EQ(clipped.At(2, 2), kRed);
  EXPECT_EQ(clipped.At(12, 2), kGreen);
  EXPECT_EQ(clipped.At(17, 2), kGreen);
  EXPECT_EQ(clipped.At(2, 17), kBlue);
  EXPECT_EQ(clipped.At(17, 17), kWhite);
}

TEST_P(BitmapFillTest, SmoothedFillBlendsNeighboursAtBothQualities) {
  const auto smooth = swftest::RenderTags(BitmapSquare(0x41), GetParam());
  EXPECT_EQ(smooth.At(2, 2), kRed);  // a bitmap pixel's centre keeps its colour
  const Rgba between = smooth.At(4, 2);  // 0.4 of the way to green
  EXPECT_TRUE(Near(between, {153, 102, 0, 255}, 2)) << int(between.r) << "," << int(between.g);
  // Unsmoothed, the nearest bitmap pixel wins.
  EXPECT_EQ(swftest::RenderTags(BitmapSquare(0x43), GetParam()).At(4, 2), kRed);
}

TEST(BitmapReductions, HalvedCopiesAverageDownToOnePixel) {
  // 3 x 1: red, green, blue -> 2 x 1: (red+green)/2, blue -> 1 x 1.
  const Bytes xrgb = {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255};
  const ParsedMovie movie = ParseTags({swftest::LosslessTag(1, 1, 5, 3, 1, xrgb)});
  const Bitmap& b = Only(movie, 1);
  ASSERT_EQ(b.reductions.size(), 2u);
  EXPECT_EQ(b.reductions[0].width, 2);
  EXPECT_EQ(b.reductions[0].height, 1);
  const auto& first = b.reductions[0].pixels;
  EXPECT_EQ((Rgba{first[0], first[1], first[2], first[3]}), (Rgba{128, 128, 0, 255}));
  EXPECT_EQ((Rgba{first[4], first[5], first[6], first[7]}), kBlue);
  EXPECT_EQ(b.reductions[1].width, 1);
}

TEST(BitmapReductions, ABitmapDrawnMuchSmallerShowsTheAverage) {
  // A 64 x 64 checkerboard of black and white pixels drawn 8 times smaller:
  // every device pixel is mid grey rather than one sampled pixel.
  Bytes xrgb;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint8_t v = (x + y) % 2 ? 255 : 0;
      xrgb.insert(xrgb.end(), {0, v, v, v});
    }
  }
  const Matrix eighth = Matrix::Scale(20.0 / 8, 20.0 / 8);
  const auto p = swftest::RenderTags({swftest::LosslessTag(1, 1, 5, 64, 64, xrgb),
                                      swftest::RectangleShapeTag(2, {0, 160, 0, 160}, swftest::BitmapFillStyle(0x43, 1, eighth)),
                                      swftest::PlaceTag(1, 2)},
                                     Quality::kHigh);
  for (int x : {1, 3, 6}) EXPECT_TRUE(Near(p.At(x, 3), {128, 128, 128, 255}, 2)) << x;
}

TEST_P(BitmapFillTest, ColourTransformAndMissingBitmaps) {
  ColorTransform tint;
  tint.redMult = 128;
  tint.blueAdd = 100;
  const auto tinted = swftest::RenderTags(BitmapSquare(0x43, &tint), GetParam());
  EXPECT_EQ(tinted.At(2, 2), (Rgba{127, 0, 100, 255}));  // 255 * 128 / 256
  EXPECT_EQ(tinted.At(17, 17), (Rgba{127, 255, 255, 255}));
  // A fill naming no bitmap draws nothing.
  const auto missing = swftest::RenderTags(BitmapSquare(0x43, nullptr, 0xFFFF), GetParam());
  EXPECT_EQ(missing.At(2, 2), kWhite);
  EXPECT_EQ(missing.At(17, 17), kWhite);
}

INSTANTIATE_TEST_SUITE_P(BothQualities, BitmapFillTest, testing::Values(Quality::kLow, Quality::kHigh),
                         [](const testing::TestParamInfo<Quality>& test) {
                           return test.param == Quality::kLow ? "Low" : "High";
                         });

}  // namespace
}  // namespace swf
