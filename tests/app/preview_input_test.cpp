// The preview's player control passes the mouse and the keys to the movie:
// a button in it turns over and down under the mouse, its release and its
// key presses take the movie to their frames.
#include "support/button_movie.h"
#include "support/main_form_fixture.h"

#include "swf/render/render_target.h"

namespace apptest {
namespace {

using namespace testsupport;

constexpr uint32_t kRedUp = 0xDC0A0Au, kBlueOver = 0x1428C8u, kGreenDown = 0x0AA028u, kYellow = 0xFADC00u;

TEST_F(MainFormTest, AButtonInThePreviewAnswersTheMouseAndTheKeys) {
  form->AddMovie(folder.Write("button.swf", ButtonMovie()));
  Pump();
  player::TShockwaveFlash& preview = form->ShockwaveFlash();
  ASSERT_TRUE(preview.HasMovie());
  // The preview plays the movie on from its first frame, where it would
  // stop by itself; the button is still there on every frame.
  preview.GotoFrame(0);
  preview.Stop();
  HWND control = preview.Handle();
  // Stage pixels to the control's: the stage is shown whole and centred.
  const swf::Matrix view = swf::ShowAllTransform({0, kButtonMovieWidth * 20, 0, kButtonMovieHeight * 20},
                                                 preview.Width(), preview.Height());
  const auto place = [&](int x, int y) {
    const swf::Point at = view.Apply({x * 20.0, y * 20.0});
    return POINT{static_cast<LONG>(at.x), static_cast<LONG>(at.y)};
  };
  const auto send = [&](UINT message, WPARAM wParam, POINT at) {
    ::SendMessageA(control, message, wParam, MAKELPARAM(at.x, at.y));
    ::Sleep(150);  // a frame or two
    Pump();
  };
  const auto shown = [&](POINT at) { return preview.Pixels()[at.y * preview.Width() + at.x]; };
  const POINT button = place(kButtonLeft + kButtonSide / 2, kButtonTop + kButtonSide / 2);
  const POINT away = place(kButtonMovieWidth / 2, kButtonMovieHeight - 5);

  send(WM_MOUSEMOVE, 0, away);
  EXPECT_EQ(shown(button), kRedUp);
  send(WM_MOUSEMOVE, 0, button);
  EXPECT_EQ(shown(button), kBlueOver);
  send(WM_LBUTTONDOWN, MK_LBUTTON, button);
  EXPECT_EQ(shown(button), kGreenDown);
  EXPECT_EQ(preview.CurrentFrame(), 0);
  EXPECT_EQ(::GetFocus(), control);  // a click gives the movie the keys
  send(WM_LBUTTONUP, 0, button);
  EXPECT_EQ(preview.CurrentFrame(), 1);
  EXPECT_EQ(shown(button), kBlueOver);
  EXPECT_EQ(shown(place(kMarkerLeft + 5, MarkerTop(1) + 5)), kYellow);

  send(WM_KEYDOWN, VK_SPACE, {});
  EXPECT_EQ(preview.CurrentFrame(), 2);
  send(WM_KEYDOWN, VK_DOWN, {});
  EXPECT_EQ(preview.CurrentFrame(), 6);
  EXPECT_EQ(shown(place(kMarkerLeft + 5, MarkerTop(6) + 5)), kYellow);
}

}  // namespace
}  // namespace apptest
