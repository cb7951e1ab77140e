// The main window as created at start: place, size, caption, menus, Exit.
#include "app/MainUnit.h"
#include "app/main_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_seams.h"
#include "ui/message_loop.h"

namespace {

std::string MenuText(HMENU menu, UINT position) {
  char buffer[128] = {};
  ::GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
  return buffer;
}

std::vector<std::string> PopupTexts(HMENU popup) {
  std::vector<std::string> texts;
  for (int i = 0; i < ::GetMenuItemCount(popup); ++i) texts.push_back(MenuText(popup, static_cast<UINT>(i)));
  return texts;
}

TEST(MainForm, OpensAtItsPlaceWithItsClientSize) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {});
  HWND hwnd = form.Handle();
  ::ShowWindow(hwnd, SW_SHOWNORMAL);

  RECT client{};
  ::GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 566);
  EXPECT_EQ(client.bottom, 349);
  RECT outer{};
  ::GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.left, 223);
  EXPECT_EQ(outer.top, 157);

  char text[64] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  EXPECT_STREQ(text, "Quorvel EXE Packager");
  char className[64] = {};
  ::GetClassNameA(hwnd, className, sizeof className);
  EXPECT_STREQ(className, "TMainForm");
  EXPECT_EQ(::GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
}

TEST(MainForm, MenuBarCarriesCaptionsWithAccessKeys) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {});
  HMENU bar = ::GetMenu(form.Handle());
  ASSERT_EQ(bar, form.MainMenu());
  ASSERT_EQ(::GetMenuItemCount(bar), 4);
  EXPECT_EQ(PopupTexts(bar), (std::vector<std::string>{"&File", "&Edit", "&Action", "&Help"}));
  EXPECT_EQ(PopupTexts(::GetSubMenu(bar, 0)), (std::vector<std::string>{"&Open Project", "&Save Project", "", "&Exit"}));
  EXPECT_EQ(PopupTexts(::GetSubMenu(bar, 1)), (std::vector<std::string>{"&Add Flash", "&Remove", "", "&Clear"}));
  EXPECT_EQ(PopupTexts(::GetSubMenu(bar, 2)), (std::vector<std::string>{"&Build EXE file"}));
  EXPECT_EQ(PopupTexts(::GetSubMenu(bar, 3)),
            (std::vector<std::string>{"&Content", "", "&Web Page", "", "&About"}));
}

TEST(MainForm, ExitClosesTheWindowAndEndsTheLoopWithCodeZero) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {});
  HWND hwnd = form.Handle();
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  // Exit chosen from the menu, as the loop delivers it.
  ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(app::kMExit, 0), 0);

  EXPECT_EQ(ui::RunMessageLoop(), 0);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
}

}  // namespace
