// Bitmap spans: the fast loop for spans lying wholly inside the picture must
// give the colours the general loop (clamping or wrapping every sample) gives.
// A long span that leaves the picture takes the general loop; the same pixels
// asked for one at a time take the fast loop wherever they are inside.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "swf/render/fill_painter.h"

namespace swf {
namespace {

Bitmap TestBitmap(uint8_t alphaOfOddPixels) {
  Bitmap bitmap;
  bitmap.id = 1;
  bitmap.width = 7;
  bitmap.height = 5;
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      const bool odd = (x + y) % 2 == 1;
      const unsigned a = odd ? alphaOfOddPixels : 255;
      // Premultiplied: no channel above alpha.
      bitmap.pixels.push_back(static_cast<uint8_t>((x * 37 + y * 11) % 256 * a / 255));
      bitmap.pixels.push_back(static_cast<uint8_t>((x * 13 + y * 71) % 256 * a / 255));
      bitmap.pixels.push_back(static_cast<uint8_t>((x * 91 + y * 5 + 40) % 256 * a / 255));
      bitmap.pixels.push_back(static_cast<uint8_t>(a));
    }
  }
  return bitmap;
}

void ExpectWholeSpansMatchSinglePixels(const BitmapFill& fill, const BitmapLibrary& library,
                                       const ColorTransform& color) {
  const Matrix toDevice = Matrix::Scale(1 / 20.0, 1 / 20.0);
  const FillPainter painter(fill, toDevice, color, &library);
  ASSERT_FALSE(painter.IsSolid());
  constexpr unsigned kLength = 60;
  for (int y = 0; y < 40; ++y) {
    std::vector<agg::rgba8> whole(kLength);
    painter.Generate(whole.data(), 0, y, kLength);
    for (unsigned x = 0; x < kLength; ++x) {
      agg::rgba8 single;
      painter.Generate(&single, static_cast<int>(x), y, 1);
      ASSERT_EQ(single.r, whole[x].r) << x << "," << y;
      ASSERT_EQ(single.g, whole[x].g) << x << "," << y;
      ASSERT_EQ(single.b, whole[x].b) << x << "," << y;
      ASSERT_EQ(single.a, whole[x].a) << x << "," << y;
    }
  }
}

TEST(BitmapSpans, InsideThePictureGiveTheColoursOfTheGeneralLoop) {
  for (const uint8_t alpha : {uint8_t{255}, uint8_t{128}, uint8_t{0}}) {
    BitmapLibrary library;
    library.emplace(1, TestBitmap(alpha));
    for (const bool repeat : {false, true}) {
      BitmapFill fill;
      fill.bitmapId = 1;
      fill.repeat = repeat;
      fill.smooth = true;
      // Magnified about 5.3 times, turned a little and moved: spans start
      // outside the picture, cross it and leave it again.
      fill.matrix = {20 * 5.3, 20 * 0.4, -20 * 0.7, 20 * 5.1, 20 * 3.25, -20 * 1.5};
      ExpectWholeSpansMatchSinglePixels(fill, library, ColorTransform::Identity());
      ColorTransform tint;
      tint.redMult = 128;
      tint.blueAdd = 30;
      ExpectWholeSpansMatchSinglePixels(fill, library, tint);
    }
  }
}

}  // namespace
}  // namespace swf
