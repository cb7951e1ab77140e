// The preview's notice line, on screen: a movie with ActionScript 3 code gets
// one line over the bottom of the player control; a plain movie gets none,
// and neither the control's picture nor the thumbnail carries the line.
#include "support/main_form_fixture.h"
#include "support/screen_capture.h"

#include "swf/parse/tag_header.h"
#include "swf/swf_builder.h"
#include "ui/handles.h"

namespace apptest {
namespace {

constexpr uint32_t kBand = 0x282828u;

// SolidMovie's red stage, flagged for ActionScript 3 and carrying its code.
std::string As3RedMovie() {
  using namespace swftest;
  return SolidMovie(255, 0, 0, {Tag(swf::tag::kFileAttributes, {0x08, 0, 0, 0}), Tag(swf::tag::kDoAbc, {0, 0, 0, 0})});
}

// What the window shows on screen now, 0x00RRGGBB, rows top to bottom.
std::vector<uint32_t> ScreenPixels(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT client{};
  ::GetClientRect(window, &client);
  ui::WindowDc screen(window);
  return testsupport::CopyPixels(screen.Get(), 0, 0, client.right, client.bottom);
}

// Rows [first, last) of a picture `width` wide.
std::vector<uint32_t> Rows(const uint32_t* pixels, int width, int first, int last) {
  return std::vector<uint32_t>(pixels + first * width, pixels + last * width);
}

TEST_F(MainFormTest, TheNoticeLineCoversTheBottomOfThePreviewOfAnActionScript3Movie) {
  form->AddMovie(folder.Write("as3.swf", As3RedMovie()));
  Pump();
  const player::TShockwaveFlash& preview = form->ShockwaveFlash();
  ASSERT_TRUE(preview.HasMovie());
  EXPECT_EQ(preview.Notice(), "ActionScript 3 is not run: this movie may not work in a package");
  const int width = preview.Width(), height = preview.Height();
  const std::vector<uint32_t> screen = ScreenPixels(preview.Handle());
  ASSERT_EQ(screen.size(), static_cast<size_t>(width) * height);

  // The band: from its top row down, dark with light letters; above it, the
  // movie's picture untouched.
  int top = height;
  while (top > 0 && screen[(top - 1) * width] == kBand) --top;
  EXPECT_GE(height - top, 10);
  EXPECT_LE(height - top, 30);
  EXPECT_EQ(Rows(screen.data(), width, 0, top), Rows(preview.Pixels(), width, 0, top));
  size_t letters = 0, other = 0;
  for (size_t i = static_cast<size_t>(top) * width; i < screen.size(); ++i) {
    if (screen[i] == kBand) continue;
    ((screen[i] & 0xFF) > 0x80 ? letters : other)++;
  }
  EXPECT_GT(letters, 100u);
  EXPECT_EQ(other, 0u);

  // The control's own picture is the movie's: black letterbox under the red stage.
  EXPECT_EQ(preview.Pixels()[(height - 1) * width + width / 2], 0x000000u);
  EXPECT_EQ(preview.Pixels()[(height / 2) * width + width / 2], 0xFF0000u);
  // And so is its thumbnail, black at the bottom.
  EXPECT_EQ(DrawListPicture(form->ImageList(), 1, ILD_NORMAL, 0x123456u)[129 * 130 + 65], 0x000000u);
}

TEST_F(MainFormTest, APlainMovieIsPreviewedWithoutANotice) {
  form->AddMovie(folder.Write("as3.swf", As3RedMovie()));
  form->AddMovie(folder.Write("red.swf", SolidMovie(255, 0, 0)));
  Pump();
  const player::TShockwaveFlash& preview = form->ShockwaveFlash();
  EXPECT_EQ(preview.Notice(), "");
  const std::vector<uint32_t> screen = ScreenPixels(preview.Handle());
  EXPECT_EQ(screen, Rows(preview.Pixels(), preview.Width(), 0, preview.Height()));
  EXPECT_EQ(screen.back(), 0x000000u);
}

}  // namespace
}  // namespace apptest
