// The main window's panes, splitter, toolbar and pictures.
#include <windowsx.h>

#include "app/splitter.h"
#include "support/main_form_fixture.h"

namespace apptest {
namespace {

RECT ChildRect(HWND parent, HWND child) {
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Drag(HWND splitter, int byPixels) {
  ::SendMessageA(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
  ::SendMessageA(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1 + byPixels, 10));
  ::SendMessageA(splitter, WM_LBUTTONUP, 0, MAKELPARAM(1 + byPixels, 10));
}

TEST_F(MainFormTest, PanesFillTheClientAreaAtTheFormsSize) {
  HWND main = form->Handle();
  RECT toolbar = ChildRect(main, form->ToolBar());
  RECT list = ChildRect(main, form->ListView());
  RECT splitter = ChildRect(main, form->SplitterHandle());
  RECT panel = ChildRect(main, form->FlashPanel());
  EXPECT_EQ(toolbar.bottom - toolbar.top, 25);
  EXPECT_EQ(toolbar.right - toolbar.left, 566);
  EXPECT_EQ(list.left, 0);
  EXPECT_EQ(list.top, 25);
  EXPECT_EQ(list.right, 201);
  EXPECT_EQ(splitter.left, 201);
  EXPECT_EQ(splitter.right, 204);
  EXPECT_EQ(panel.left, 204);
  EXPECT_EQ(panel.right - panel.left, 362);
  EXPECT_EQ(panel.bottom - panel.top, 324);
  // The player control fills the panel.
  EXPECT_EQ(form->ShockwaveFlash().Width(), 362);
  EXPECT_EQ(form->ShockwaveFlash().Height(), 324);
  EXPECT_EQ(::GetClassLongPtrA(form->SplitterHandle(), GCLP_HCURSOR),
            reinterpret_cast<ULONG_PTR>(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE))));
  EXPECT_EQ(::SendMessageA(form->ListView(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(::GetSysColor(COLOR_APPWORKSPACE)));
  LONG_PTR style = ::GetWindowLongPtrA(form->ListView(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_ICON);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_FALSE(style & LVS_EDITLABELS);
}

TEST_F(MainFormTest, SplitterStopsAtTwoHundredPixelsOnEitherSide) {
  HWND splitter = form->SplitterHandle();
  Drag(splitter, -50);
  EXPECT_EQ(form->PaneWidth(), 200);
  Drag(splitter, 100);
  EXPECT_EQ(form->PaneWidth(), 300);
  Drag(splitter, 500);
  EXPECT_EQ(form->PaneWidth(), 566 - 3 - 200);
  RECT panel = ChildRect(form->Handle(), form->FlashPanel());
  EXPECT_EQ(panel.right - panel.left, 200);
  EXPECT_EQ(form->ShockwaveFlash().Width(), 200);
}

TEST_F(MainFormTest, WideningTheWindowWidensOnlyThePreview) {
  RECT outer{};
  ::GetWindowRect(form->Handle(), &outer);
  ::SetWindowPos(form->Handle(), nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 40,
                 SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(form->PaneWidth(), 201);
  EXPECT_EQ(form->ShockwaveFlash().Width(), 462);
  EXPECT_EQ(form->ShockwaveFlash().Height(), 364);
  // The resized player holds the keyboard focus.
  EXPECT_EQ(::GetFocus(), form->ShockwaveFlash().Handle());
}

TEST(ClampPaneWidth, KeepsBothPanesAtTheMinimum) {
  EXPECT_EQ(app::ClampPaneWidth(150, 201, 566, 200, 3), 200);
  EXPECT_EQ(app::ClampPaneWidth(250, 201, 566, 200, 3), 250);
  EXPECT_EQ(app::ClampPaneWidth(400, 201, 566, 200, 3), 363);
  // Too narrow a window for two panes: the splitter does not move at all.
  EXPECT_EQ(app::ClampPaneWidth(250, 201, 350, 200, 3), 201);
}

TEST_F(MainFormTest, ToolbarHasEightPlacesWithHints) {
  HWND toolbar = form->ToolBar();
  ASSERT_EQ(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 8);
  const int expectedLeft[] = {0, 23, 46, 54, 77, 100, 123, 131};
  for (int i = 0; i < 8; ++i) {
    RECT r{};
    ::SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, expectedLeft[i]) << "place " << i;
  }
  const char* hints[] = {"Open Project", "Save Project", nullptr, "Add Flash", "Remove", "Clear", nullptr,
                         "Build EXE File"};
  for (int i = 0; i < 8; ++i) {
    TBBUTTON button{};
    ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    if (!hints[i]) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP);
      continue;
    }
    NMTTDISPINFOA request{};
    request.hdr.hwndFrom = toolbar;
    request.hdr.idFrom = static_cast<UINT_PTR>(button.idCommand);
    request.hdr.code = TTN_GETDISPINFOA;
    ::SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_STREQ(request.lpszText, hints[i]);
  }
  EXPECT_EQ(::ImageList_GetImageCount(form->BtnImageList()), 6);
}

TEST_F(MainFormTest, PlaceholderIsWhiteInAGreyFrameWithATransparentRing) {
  // Draw picture 0 over green: whatever is transparent shows green.
  std::vector<uint32_t> pixels = DrawListPicture(form->ImageList(), 0, ILD_TRANSPARENT, 0x00FF00u);
  auto at = [&](int x, int y) { return pixels[y * 130 + x]; };
  EXPECT_EQ(at(0, 0), 0x00FF00u);
  EXPECT_EQ(at(129, 64), 0x00FF00u);
  EXPECT_EQ(at(1, 1), 0x808080u);
  EXPECT_EQ(at(128, 64), 0x808080u);
  EXPECT_EQ(at(64, 1), 0x808080u);
  EXPECT_EQ(at(5, 5), 0xFFFFFFu);
  EXPECT_EQ(at(124, 124), 0xFFFFFFu);
  // The words are transparent: the middle band shows some green.
  int green = 0;
  for (int y = 55; y < 75; ++y)
    for (int x = 10; x < 120; ++x) green += at(x, y) == 0x00FF00u;
  EXPECT_GT(green, 20);
}

}  // namespace
}  // namespace apptest
