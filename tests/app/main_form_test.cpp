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

namespace {

TEST(MainFormHelp, ContentWebPageAndAboutGoWhereTheyShould) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {});
  ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
  auto choose = [&](UINT id) { ::SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); };

  choose(app::kMContent);
  choose(app::kMWebPage);
  ASSERT_EQ(fakes.dialogs.shellRequests.size(), 2u);
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder(exe, std::string(exe).rfind('\\') + 1);
  const ui::ShellRequest& help = fakes.dialogs.shellRequests[0];
  EXPECT_EQ(help.owner, form.Handle());
  EXPECT_EQ(help.file, folder + "Quorvel EXE Packager.chm");
  EXPECT_EQ(help.verb, "");
  EXPECT_EQ(help.parameters, "");
  EXPECT_EQ(help.directory, "");
  EXPECT_EQ(help.showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(fakes.dialogs.shellRequests[1].file.rfind("https://", 0), 0u);

  // About: a modal window over the main window, which is disabled meanwhile.
  bool ownerDisabled = false;
  char caption[32] = {};
  fakes.modal.drivers.push_back([&](HWND about) {
    ownerDisabled = !::IsWindowEnabled(form.Handle());
    ::GetWindowTextA(about, caption, sizeof caption);
    ::PostMessageA(about, WM_CLOSE, 0, 0);
  });
  choose(app::kMAbout);
  EXPECT_EQ(fakes.modal.shown, 1);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_STREQ(caption, "About");
  EXPECT_TRUE(::IsWindowEnabled(form.Handle()));
}

}  // namespace
