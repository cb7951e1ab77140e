#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_seams.h"
#include "ui/win32_seams.h"

namespace {

TEST(FileDialog, AsksWithFilterExtensionFlagsAndKeptName) {
  testing_support::FakeSeams fakes;
  ui::FileDialog save(fakes.dialogs, ui::FileDialog::Kind::kSave);
  save.SetFilter("Projects (*.pak)|*.pak|All Files (*.*)|*.*");
  save.SetDefaultExtension("pak");
  fakes.dialogs.saveAnswers.push_back({true, "C:\\work\\first.pak", 2});
  HWND owner = ::GetDesktopWindow();

  ASSERT_TRUE(save.Execute(owner));
  EXPECT_EQ(save.FileName(), "C:\\work\\first.pak");

  // The second use starts from the confirmed name and filter choice.
  EXPECT_FALSE(save.Execute(owner));
  ASSERT_EQ(fakes.dialogs.saveRequests.size(), 2u);
  const ui::FileDialogRequest& first = fakes.dialogs.saveRequests[0];
  EXPECT_EQ(first.owner, owner);
  EXPECT_EQ(first.filter, "Projects (*.pak)|*.pak|All Files (*.*)|*.*");
  EXPECT_EQ(first.defaultExtension, "pak");
  EXPECT_EQ(first.flags, static_cast<DWORD>(0x880004));
  EXPECT_EQ(first.fileName, "");
  EXPECT_EQ(first.filterIndex, 1u);
  const ui::FileDialogRequest& second = fakes.dialogs.saveRequests[1];
  EXPECT_EQ(second.fileName, "C:\\work\\first.pak");
  EXPECT_EQ(second.filterIndex, 2u);
  EXPECT_TRUE(fakes.dialogs.openRequests.empty());
}

TEST(FileDialog, CancelKeepsTheLastConfirmedName) {
  testing_support::FakeSeams fakes;
  ui::FileDialog open(fakes.dialogs, ui::FileDialog::Kind::kOpen);
  fakes.dialogs.openAnswers.push_back({true, "a.swf", 1});
  fakes.dialogs.openAnswers.push_back({false, "ignored.swf", 2});
  ASSERT_TRUE(open.Execute(nullptr));
  EXPECT_FALSE(open.Execute(nullptr));
  EXPECT_EQ(open.FileName(), "a.swf");
  EXPECT_EQ(open.FilterIndex(), 1u);
  EXPECT_EQ(fakes.dialogs.openRequests.at(1).fileName, "a.swf");
}

TEST(DialogFilter, BarsBecomeNulsWithADoubleNulAtTheEnd) {
  const char expected[] = "A (*.a)\0*.a\0All\0*.*\0";  // the literal adds the last NUL
  EXPECT_EQ(ui::DialogFilterFromText("A (*.a)|*.a|All|*.*"), std::string(expected, sizeof expected));
  EXPECT_EQ(ui::DialogFilterFromText(""), std::string("\0\0", 2));
}

}  // namespace
