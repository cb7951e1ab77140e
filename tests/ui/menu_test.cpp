#include "ui/menu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string MenuText(HMENU menu, UINT position) {
  char buffer[128] = {};
  ::GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
  return buffer;
}

TEST(AccessKeys, FirstLetterNotYetTakenInTheSameMenu) {
  std::set<unsigned char> taken;
  EXPECT_EQ(ui::WithAccessKey("Open Project", taken), "&Open Project");
  EXPECT_EQ(ui::WithAccessKey("Options", taken), "O&ptions");
  EXPECT_EQ(ui::WithAccessKey("pot", taken), "po&t");  // P and O are taken
  EXPECT_EQ(ui::WithAccessKey("1. Exit", taken), "1. &Exit");  // digits are not letters
  EXPECT_EQ(ui::WithAccessKey("opp", taken), "opp");  // nothing left
  EXPECT_EQ(ui::WithAccessKey("R&D", taken), "&R&&D");
}

TEST(MenuBar, BuildsPopupsSeparatorsAndKeys) {
  std::vector<HMENU> popups;
  ui::UniqueMenu bar = ui::BuildMenuBar(
      {{"File", {{1, "Open", false}, ui::MenuItem::Separator(), {2, "Exit", false}}},
       {"Format", {{3, "Font", true}, {4, "Fill", false}}}},
      &popups);
  ASSERT_TRUE(bar);
  ASSERT_EQ(popups.size(), 2u);
  EXPECT_EQ(::GetMenuItemCount(bar.Get()), 2);
  EXPECT_EQ(MenuText(bar.Get(), 0), "&File");
  EXPECT_EQ(MenuText(bar.Get(), 1), "F&ormat");
  EXPECT_EQ(::GetMenuItemCount(popups[0]), 3);
  EXPECT_EQ(MenuText(popups[0], 0), "&Open");
  EXPECT_EQ(::GetMenuItemID(popups[0], 2), 2u);
  EXPECT_EQ(MenuText(popups[0], 2), "&Exit");
  EXPECT_EQ(MenuText(popups[1], 1), "F&ill");

  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_BITMAP;
  ASSERT_TRUE(::GetMenuItemInfoA(popups[0], 1, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);
  ASSERT_TRUE(::GetMenuItemInfoA(popups[1], 0, TRUE, &info));
  EXPECT_EQ(info.hbmpItem, HBMMENU_CALLBACK);
}

}  // namespace
