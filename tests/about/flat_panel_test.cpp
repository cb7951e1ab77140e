// The flat panel's frame, read from real pixels: at rest, under the pointer,
// with the focus, sunken when not flat, and which property changes repaint.
#include "about/mxFlatControls.h"

#include <gtest/gtest.h>

#include "pixels.h"
#include "support/fake_seams.h"

namespace {

using about::TmxFlatPanel;
using about_test::HasPendingPaint;
using about_test::PaintNow;
using about_test::PumpMessages;
using about_test::WindowPixel;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kWidth = 200;
constexpr int kHeight = 65;

COLORREF Sys(int index) { return ::GetSysColor(index); }

// The four pixels that tell the frames apart: the outer ring's top-left and
// bottom-right corners and the inner ring's.
struct Frame {
  COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  bool operator==(const Frame&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Frame& f) {
  return out << std::hex << "{" << f.outerTopLeft << ", " << f.outerBottomRight << ", " << f.innerTopLeft << ", "
             << f.innerBottomRight << "}" << std::dec;
}

Frame ReadFrame(HWND panel) {
  return Frame{WindowPixel(panel, 0, 0), WindowPixel(panel, kWidth - 1, kHeight - 1), WindowPixel(panel, 1, 1),
               WindowPixel(panel, kWidth - 2, kHeight - 2)};
}

Frame RestFrame(COLORREF border = Sys(COLOR_BTNSHADOW)) { return Frame{border, border, kWhite, kWhite}; }
Frame HighlightedFrame() {
  return Frame{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE)};
}
Frame SunkenFrame() {
  return Frame{Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
}

class FlatPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep the real pointer away, so that only the messages a test sends count.
    ::SetCursorPos(1, 1);
    host_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 200, 200, 320, 120, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    panel_.SetColor(about::FixedColor(kWhite));
    panel_.Create(host_, RECT{10, 10, 10 + kWidth, 10 + kHeight}, 1);
    PumpMessages();
    PaintNow(host_);
  }
  void TearDown() override {
    if (host_) ::DestroyWindow(host_);
  }
  HWND Panel() const { return panel_.Handle(); }
  // The pointer enters the panel the way the system reports it.
  void PointerEnters() { ::SendMessageA(Panel(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 20)); }
  void PointerLeaves() { ::SendMessageA(Panel(), WM_MOUSELEAVE, 0, 0); }

  testing_support::FakeSeams fakes_;
  HWND host_ = nullptr;
  TmxFlatPanel panel_{fakes_.seams};
};

TEST_F(FlatPanel, StartsWithItsDocumentedPropertiesAndATwoPixelFrameOutsideTheClientArea) {
  TmxFlatPanel fresh(fakes_.seams);
  EXPECT_TRUE(fresh.Activate());
  EXPECT_TRUE(fresh.Flat());
  EXPECT_TRUE(fresh.ShowBorder());
  EXPECT_EQ(fresh.BorderColor(), about::clBtnShadow);
  EXPECT_EQ(fresh.BorderWidth(), 2);
  EXPECT_FALSE(fresh.MouseInside());

  RECT client{};
  ::GetClientRect(Panel(), &client);
  EXPECT_EQ(client.right, kWidth - 4);
  EXPECT_EQ(client.bottom, kHeight - 4);
  POINT origin{0, 0};
  ::MapWindowPoints(Panel(), host_, &origin, 1);
  EXPECT_EQ(origin.x, 10 + 2);
  EXPECT_EQ(origin.y, 10 + 2);
}

TEST_F(FlatPanel, VersionReadsOneTwentyOneWhateverIsAssigned) {
  EXPECT_EQ(panel_.Version(), "1.21");
  panel_.SetVersion("2.0");
  EXPECT_EQ(panel_.Version(), "1.21");
  panel_.SetVersion("");
  EXPECT_EQ(panel_.Version(), "1.21");
}

TEST_F(FlatPanel, AtRestAShadowLineSurroundsTheStripWithOneBackgroundPixelInside) {
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());
  EXPECT_EQ(WindowPixel(Panel(), kWidth / 2, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(Panel(), 0, kHeight / 2), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(Panel(), kWidth / 2, 1), kWhite);
  EXPECT_EQ(WindowPixel(Panel(), kWidth / 2, kHeight / 2), kWhite);  // client area in Color
}

TEST_F(FlatPanel, PointerOverTheStripSinksTheFrameAndLeavingRestoresIt) {
  PointerEnters();
  EXPECT_TRUE(panel_.MouseInside());
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), HighlightedFrame());

  PointerLeaves();
  EXPECT_FALSE(panel_.MouseInside());
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());
}

TEST_F(FlatPanel, RealPointerMovingOverAndAwayChangesTheFrame) {
  RECT window{};
  ::GetWindowRect(Panel(), &window);
  ::SetCursorPos(window.left + 50, window.top + 30);
  for (int i = 0; i < 50 && !panel_.MouseInside(); ++i) {
    PumpMessages();
    ::Sleep(10);
  }
  ASSERT_TRUE(panel_.MouseInside());
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), HighlightedFrame());

  ::SetCursorPos(1, 1);
  for (int i = 0; i < 50 && panel_.MouseInside(); ++i) {
    PumpMessages();
    ::Sleep(10);
  }
  EXPECT_FALSE(panel_.MouseInside());
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());
}

TEST_F(FlatPanel, FocusSinksTheFrameUntilItGoesElsewhere) {
  ::SetFocus(Panel());
  ASSERT_EQ(::GetFocus(), Panel());
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), HighlightedFrame());

  ::SetFocus(host_);
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());
}

TEST_F(FlatPanel, WithActivateOffNeitherPointerNorFocusChangesTheFrame) {
  panel_.SetActivate(false);
  EXPECT_FALSE(HasPendingPaint(Panel()));  // a plain stored value: no refresh

  PointerEnters();
  EXPECT_TRUE(panel_.MouseInside());       // the flag follows the pointer regardless
  EXPECT_FALSE(HasPendingPaint(Panel()));  // but nothing is refreshed
  ::SetFocus(Panel());
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());

  // Switching it back on shows only at the next frame drawing.
  panel_.SetActivate(true);
  EXPECT_FALSE(HasPendingPaint(Panel()));
  EXPECT_EQ(ReadFrame(Panel()), RestFrame());
  ::RedrawWindow(Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(ReadFrame(Panel()), HighlightedFrame());
}

TEST_F(FlatPanel, NotFlatDrawsATwoPixelSunkenEdgeThatHoverDoesNotChange) {
  panel_.SetFlat(false);
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), SunkenFrame());

  PointerEnters();
  EXPECT_FALSE(HasPendingPaint(Panel()));
  ::RedrawWindow(Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(ReadFrame(Panel()), SunkenFrame());
}

TEST_F(FlatPanel, WithoutShowBorderTheRestingStripHasNoFrame) {
  panel_.SetShowBorder(false);
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), (Frame{kWhite, kWhite, kWhite, kWhite}));

  // The hover frame does not depend on ShowBorder.
  PointerEnters();
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), HighlightedFrame());
}

TEST_F(FlatPanel, BorderColorChangedWhileNotFlatRepaintsNothingAndShowsOnceFlat) {
  constexpr COLORREF kRed = RGB(200, 0, 0);
  panel_.SetFlat(false);
  PaintNow(Panel());

  panel_.SetBorderColor(about::FixedColor(kRed));
  EXPECT_FALSE(HasPendingPaint(Panel()));
  EXPECT_EQ(ReadFrame(Panel()), SunkenFrame());

  panel_.SetFlat(true);
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame(kRed));
}

TEST_F(FlatPanel, BorderColorChangedWhileFlatRepaintsTheFrame) {
  constexpr COLORREF kBlue = RGB(0, 0, 180);
  panel_.SetBorderColor(about::FixedColor(kBlue));
  EXPECT_TRUE(HasPendingPaint(Panel()));
  PaintNow(Panel());
  EXPECT_EQ(ReadFrame(Panel()), RestFrame(kBlue));
}

TEST_F(FlatPanel, AssigningTheCurrentValueDoesNothing) {
  ASSERT_FALSE(HasPendingPaint(Panel()));
  panel_.SetFlat(true);
  panel_.SetShowBorder(true);
  panel_.SetBorderColor(about::clBtnShadow);
  EXPECT_FALSE(HasPendingPaint(Panel()));
}

TEST_F(FlatPanel, ClicksGoToTheWindowlessChildUnderThePointerElseToThePanel) {
  class Box final : public about::GraphicControl {
   public:
    void Paint(HDC) const override {}
  } box;
  box.SetBounds(2, 2, 50, 30);
  int boxClicks = 0;
  int panelClicks = 0;
  box.OnClick = [&] { ++boxClicks; };
  panel_.OnClick = [&] { ++panelClicks; };
  panel_.AddGraphicChild(box);

  auto click = [&](int x, int y) {
    ::SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageA(Panel(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  click(10, 10);
  EXPECT_EQ(boxClicks, 1);
  EXPECT_EQ(panelClicks, 0);
  click(150, 40);
  click(-1, -2);  // on the frame, outside the client area
  EXPECT_EQ(boxClicks, 1);
  EXPECT_EQ(panelClicks, 2);

  // Released away from the panel: no click.
  ::SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ::SendMessageA(Panel(), WM_LBUTTONUP, 0, MAKELPARAM(kWidth + 40, 10));
  EXPECT_EQ(boxClicks, 1);
  EXPECT_EQ(panelClicks, 2);
}

}  // namespace
