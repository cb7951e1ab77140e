// The logo linked into the program: a baseline JFIF JPEG of 200 x 60 with
// three components, decoded by libjpeg; and what the decoder does with data
// that is not a picture.
#include "about/about_logo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

// Finds the first start-of-frame marker and returns its code (0xC0 baseline,
// 0xC2 progressive, ...), with the frame's size and component count.
struct FrameHeader {
  int marker = 0, width = 0, height = 0, components = 0;
};

FrameHeader ReadFrameHeader(std::span<const std::uint8_t> data) {
  size_t i = 2;  // after SOI
  while (i + 9 < data.size()) {
    if (data[i] != 0xFF) return {};
    int marker = data[i + 1];
    int length = (data[i + 2] << 8) | data[i + 3];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return FrameHeader{marker, (data[i + 7] << 8) | data[i + 8], (data[i + 5] << 8) | data[i + 6], data[i + 9]};
    }
    i += 2 + static_cast<size_t>(length);
  }
  return {};
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(AboutLogo, ResourceIsABaselineJfifPictureOf200By60WithThreeComponents) {
  std::span<const std::uint8_t> data = about::LogoJpegData();
  ASSERT_GT(data.size(), 20u);
  EXPECT_EQ(data[0], 0xFF);
  EXPECT_EQ(data[1], 0xD8);
  EXPECT_EQ(data[2], 0xFF);
  EXPECT_EQ(data[3], 0xE0);  // APP0, the JFIF header
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[6]), 5), std::string("JFIF\0", 5));
  FrameHeader frame = ReadFrameHeader(data);
  EXPECT_EQ(frame.marker, 0xC0);
  EXPECT_EQ(frame.width, 200);
  EXPECT_EQ(frame.height, 60);
  EXPECT_EQ(frame.components, 3);
}

TEST(AboutLogo, DecodesTo200By60WithAWhiteBackgroundAndTheColouredEmblem) {
  about::DecodedImage logo = about::DecodeLogo();
  ASSERT_EQ(logo.width, 200);
  ASSERT_EQ(logo.height, 60);
  ASSERT_EQ(logo.pixels.size(), static_cast<size_t>(logo.Stride()) * 60);
  // White around the picture (the strip's colour) and along the last row,
  // which the strip's client area cuts off.
  EXPECT_TRUE(Near(logo.PixelAt(0, 0), RGB(255, 255, 255), 6));
  EXPECT_TRUE(Near(logo.PixelAt(199, 0), RGB(255, 255, 255), 6));
  for (int x = 0; x < 200; x += 20) EXPECT_TRUE(Near(logo.PixelAt(x, 59), RGB(255, 255, 255), 8)) << x;
  // The emblem's tile is blue at its top-left corner and teal at its
  // bottom-right: the channels arrive in the right order.
  COLORREF blue = logo.PixelAt(10, 10);
  EXPECT_GT(GetBValue(blue), GetRValue(blue) + 60);
  COLORREF teal = logo.PixelAt(47, 46);
  EXPECT_GT(GetGValue(teal), GetRValue(teal) + 60);
  // Dark lettering of the product name.
  bool darkText = false;
  for (int x = 60; x < 160 && !darkText; ++x) darkText = GetRValue(logo.PixelAt(x, 22)) < 80;
  EXPECT_TRUE(darkText);
}

TEST(AboutLogo, DataThatIsNotAPictureIsRefusedWithLibjpegsReason) {
  const std::vector<std::uint8_t> text{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
  try {
    about::DecodeJpeg(text);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("cannot be read"), std::string::npos) << error.what();
  }
  EXPECT_THROW(about::DecodeJpeg({}), std::runtime_error);
}

TEST(AboutLogo, AHeaderClaimingAHugePictureIsRefusedBeforeAnythingIsAllocated) {
  std::span<const std::uint8_t> original = about::LogoJpegData();
  std::vector<std::uint8_t> damaged(original.begin(), original.end());
  // Find SOF0 and make the picture 60 x 50000.
  size_t i = 2;
  while (i + 9 < damaged.size() && damaged[i + 1] != 0xC0) i += 2 + ((damaged[i + 2] << 8) | damaged[i + 3]);
  ASSERT_LT(i + 9, damaged.size());
  damaged[i + 5] = 50000 >> 8;
  damaged[i + 6] = 50000 & 0xFF;
  try {
    about::DecodeJpeg(damaged);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
  }
}

TEST(AboutLogo, DibSectionHoldsTheDecodedPixels) {
  about::DecodedImage logo = about::DecodeLogo();
  ui::UniqueBitmap bitmap = about::MakeDibSection(logo);
  ASSERT_TRUE(bitmap);
  BITMAP info{};
  ASSERT_TRUE(::GetObjectA(bitmap.Get(), sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 200);
  EXPECT_EQ(info.bmHeight, 60);
  EXPECT_EQ(info.bmBitsPixel, 24);
  ui::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ui::ScopedSelect selected(dc.Get(), bitmap.Get());
  for (POINT p : {POINT{0, 0}, POINT{10, 10}, POINT{47, 46}, POINT{120, 22}, POINT{199, 59}}) {
    EXPECT_EQ(::GetPixel(dc.Get(), p.x, p.y), logo.PixelAt(p.x, p.y)) << p.x << "," << p.y;
  }
}

}  // namespace
