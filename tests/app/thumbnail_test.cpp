#include "app/thumbnail.h"

#include "support/main_form_fixture.h"

namespace apptest {
namespace {

TEST(StretchNearest, PicksTheSourcePixelUnderEachCentreWithoutBlending) {
  // 4 × 2 picture to 2 × 2: columns 1 and 3, rows 0 and 1.
  const uint32_t source[] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(app::StretchNearest(source, 4, 2, 2), (std::vector<uint32_t>{2, 4, 6, 8}));
  // Enlarging repeats pixels.
  const uint32_t one[] = {42};
  EXPECT_EQ(app::StretchNearest(one, 1, 1, 3), std::vector<uint32_t>(9, 42));
  // 362 wide to 130: sx = ((2x + 1) * 362) / 260.
  std::vector<uint32_t> ramp(362);
  for (uint32_t i = 0; i < ramp.size(); ++i) ramp[i] = i;
  std::vector<uint32_t> row = app::StretchNearest(ramp.data(), 362, 1, 130);
  EXPECT_EQ(row[0], 1u);
  EXPECT_EQ(row[1], 4u);
  EXPECT_EQ(row[129], 360u);
}

uint32_t ThumbnailPixel(HIMAGELIST list, int index, int x, int y) {
  return DrawListPicture(list, index, ILD_NORMAL, 0x123456u)[y * 130 + x];
}

TEST_F(MainFormTest, ThumbnailSqueezesWhatThePlayerShowsOnBlack) {
  // A 4:3 red stage in the 362 × 324 preview: red across, black bands above and below.
  std::string red = folder.Write("red.swf", SolidMovie(255, 0, 0));
  form->AddMovie(red);
  HIMAGELIST list = form->ImageList();
  EXPECT_EQ(ThumbnailPixel(list, 1, 65, 65), 0xFF0000u);
  EXPECT_EQ(ThumbnailPixel(list, 1, 0, 65), 0xFF0000u);
  EXPECT_EQ(ThumbnailPixel(list, 1, 129, 65), 0xFF0000u);
  EXPECT_EQ(ThumbnailPixel(list, 1, 65, 0), 0x000000u);
  EXPECT_EQ(ThumbnailPixel(list, 1, 65, 129), 0x000000u);

  std::string blue = folder.Write("blue.swf", SolidMovie(0, 0, 255));
  form->AddMovie(blue);
  EXPECT_EQ(ThumbnailPixel(list, 2, 65, 65), 0x0000FFu);
  EXPECT_EQ(ThumbnailPixel(list, 1, 65, 65), 0xFF0000u);  // earlier pictures stay
}

TEST_F(MainFormTest, AWidePreviewIsSqueezedNotCropped) {
  RECT outer{};
  ::GetWindowRect(form->Handle(), &outer);
  ::SetWindowPos(form->Handle(), nullptr, 0, 0, outer.right - outer.left + 400, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  std::string green = folder.Write("green.swf", SolidMovie(0, 255, 0));
  form->AddMovie(green);
  // The stage now sits in the middle of a wide black panel: black at both sides, green in the middle.
  EXPECT_EQ(ThumbnailPixel(form->ImageList(), 1, 65, 65), 0x00FF00u);
  EXPECT_EQ(ThumbnailPixel(form->ImageList(), 1, 2, 65), 0x000000u);
  EXPECT_EQ(ThumbnailPixel(form->ImageList(), 1, 127, 65), 0x000000u);
  EXPECT_EQ(ThumbnailPixel(form->ImageList(), 1, 65, 2), 0x00FF00u);
}

}  // namespace
}  // namespace apptest
