// The movie list as a person uses it: add, remove, clear, with the exact
// EntryList lines and captions.
#include <stdexcept>

#include "app/main_menu.h"
#include "support/main_form_fixture.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

TEST_F(MainFormTest, AddingGivesLinesCaptionsAndGrowingThumbnailIndices) {
  std::string a = folder.Write("a.swf", SolidMovie(255, 0, 0));
  std::string b = folder.Write("b.swf", SolidMovie(0, 255, 0));
  std::string c = folder.Write("c.swf", SolidMovie(0, 0, 255));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);

  EXPECT_EQ(form->EntryList(), (Lines{"0:1:" + a, "1:2:" + b, "2:3:" + c}));
  std::string size = std::to_string(SolidMovie(0, 0, 0).size());
  EXPECT_EQ(Captions(), (Lines{"a.swf (" + size + "Bytes)", "b.swf (" + size + "Bytes)", "c.swf (" + size + "Bytes)"}));
  EXPECT_EQ(ImageOf(0), 1);
  EXPECT_EQ(ImageOf(2), 3);
  EXPECT_EQ(::ImageList_GetImageCount(form->ImageList()), 4);
  // One capture pause per movie, nothing else.
  EXPECT_EQ(fakes.pauses.pauses, (std::vector<DWORD>{300, 300, 300}));
  // The last movie added plays, whatever is selected.
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());
  EXPECT_EQ(form->ShockwaveFlash().MoviePath(), std::wstring(c.begin(), c.end()));
}

TEST_F(MainFormTest, RemovingRenumbersAndClearKeepsThumbnailIndicesGoing) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 2, 3));
  std::string b = folder.Write("b.swf", SolidMovie(1, 2, 3));
  std::string c = folder.Write("c.swf", SolidMovie(1, 2, 3));
  std::string d = folder.Write("d.swf", SolidMovie(1, 2, 3));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);

  form->RemoveMovie(0);
  EXPECT_EQ(form->EntryList(), (Lines{"0:2:" + b, "1:3:" + c}));
  EXPECT_FALSE(form->ShockwaveFlash().IsPlaying());
  EXPECT_EQ(ItemCount(), 2);
  EXPECT_EQ(::ImageList_GetImageCount(form->ImageList()), 4);

  form->RemoveMovie(7);  // no line carries it
  EXPECT_EQ(form->EntryList().size(), 2u);

  form->MClearClick();  // the fake answers Yes
  EXPECT_TRUE(form->EntryList().empty());
  EXPECT_EQ(ItemCount(), 0);
  form->AddMovie(d);
  EXPECT_EQ(form->EntryList(), (Lines{"0:4:" + d}));
}

TEST_F(MainFormTest, MissingPathsAddNothingAndDuplicatesAddTwice) {
  std::string a = folder.Write("a.swf", SolidMovie(9, 9, 9));
  form->AddMovie(folder.Path() + "\\gone.swf");
  form->AddMovie(folder.Path());  // a folder is no movie file
  EXPECT_EQ(ItemCount(), 0);
  EXPECT_TRUE(fakes.pauses.pauses.empty());

  form->AddMovie(a);
  form->AddMovie(a);
  EXPECT_EQ(form->EntryList(), (Lines{"0:1:" + a, "1:2:" + a}));
}

TEST_F(MainFormTest, EmptyFileShowsSizeZeroAndAMessageInsteadOfAPicture) {
  std::string empty = folder.Write("empty.swf", "");
  form->AddMovie(empty);
  EXPECT_EQ(Captions(), Lines{"empty.swf (0Bytes)"});
  EXPECT_FALSE(form->ShockwaveFlash().HasMovie());
  EXPECT_FALSE(form->ShockwaveFlash().LoadError().empty());
}

TEST_F(MainFormTest, ClearAsksEveryTimeAndNoChangesNothing) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  form->AddMovie(a);
  fakes.dialogs.messageBoxAnswers = {IDNO};
  form->MClearClick();
  EXPECT_EQ(form->EntryList().size(), 1u);
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  const ui::MessageBoxRequest& question = fakes.dialogs.messageBoxes[0];
  EXPECT_EQ(question.text, "Do you want to remove all flash movies?");
  EXPECT_EQ(question.caption, "Message");
  EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO));  // no icon, first button default, application-modal
  EXPECT_EQ(question.owner, form->Handle());

  // Yes on an empty list does not touch the player.
  form->RemoveAllMovies();
  form->ShockwaveFlash().Play();
  form->MClearClick();
  EXPECT_EQ(fakes.dialogs.messageBoxes.size(), 2u);
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());
}

TEST_F(MainFormTest, AddFlashAsksWithTheMovieFilterAndAddsTheChoice) {
  std::string a = folder.Write("intro.swf", SolidMovie(5, 5, 5));
  fakes.dialogs.openAnswers.push_back({true, a, 1});
  form->MAddFlashClick();
  fakes.dialogs.openAnswers.push_back({false, "", 1});
  form->MAddFlashClick();

  ASSERT_EQ(fakes.dialogs.openRequests.size(), 2u);
  EXPECT_EQ(fakes.dialogs.openRequests[0].filter, "Shockwave Flash Movies (*.swf)|*.swf|All Files (*.*)|*.*");
  EXPECT_EQ(fakes.dialogs.openRequests[0].defaultExtension, "");
  EXPECT_EQ(fakes.dialogs.openRequests[0].owner, form->Handle());
  EXPECT_EQ(fakes.dialogs.openRequests[1].fileName, a);  // the dialog keeps the last name
  EXPECT_EQ(form->EntryList(), Lines{"0:1:" + a});
}

TEST_F(MainFormTest, EditMenuEnablesRemoveOnlyWithASelection) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  form->AddMovie(a);
  HMENU edit = form->EditMenu();
  auto openEditMenu = [&] { ::SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1); };

  EXPECT_FALSE(::GetMenuState(edit, app::kMRemove, MF_BYCOMMAND) & MF_GRAYED);  // enabled at start
  openEditMenu();
  EXPECT_TRUE(::GetMenuState(edit, app::kMRemove, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(::GetMenuState(edit, app::kMClear, MF_BYCOMMAND) & MF_GRAYED);
  Select(0);
  openEditMenu();
  EXPECT_FALSE(::GetMenuState(edit, app::kMRemove, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainFormTest, ToolbarRemoveNeedsASelectionWhateverTheMenuSays) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  std::string b = folder.Write("b.swf", SolidMovie(5, 5, 5));
  form->AddMovie(a);
  form->AddMovie(b);
  ::SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->EditMenu()), 1);  // greys Remove

  form->ToolButton5Click();
  EXPECT_EQ(ItemCount(), 2);

  Select(1);
  Pump();
  form->ToolButton5Click();
  EXPECT_EQ(form->EntryList(), Lines{"0:1:" + a});
}

TEST_F(MainFormTest, CommandsArrivingDuringTheCaptureRunAfterIt) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  // A Clear chosen while the capture lets messages through.
  ::PostMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(app::kMClear, 0), 0);
  size_t linesWhenAsked = 99;
  fakes.dialogs.onMessageBox = [&](const ui::MessageBoxRequest&) { linesWhenAsked = form->EntryList().size(); };

  form->AddMovie(a);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());  // held back
  EXPECT_EQ(form->EntryList().size(), 1u);

  Pump();
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(linesWhenAsked, 1u);  // the add had finished, line included
  EXPECT_TRUE(form->EntryList().empty());
  EXPECT_EQ(ItemCount(), 0);
}

TEST_F(MainFormTest, FailureDuringTheAddLeavesNoItemWithoutItsLine) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  fakes.pauses.onPause = [](DWORD) { throw std::runtime_error("interrupted"); };
  EXPECT_THROW(form->AddMovie(a), std::runtime_error);
  EXPECT_EQ(ItemCount(), 0);
  EXPECT_TRUE(form->EntryList().empty());

  fakes.pauses.onPause = nullptr;
  form->AddMovie(a);
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(form->EntryList().size(), 1u);
}

TEST_F(MainFormTest, SelectingPlaysAndAVanishedFileDropsOut) {
  std::string a = folder.Write("a.swf", SolidMovie(5, 5, 5));
  std::string b = folder.Write("b.swf", SolidMovie(5, 5, 5));
  std::string c = folder.Write("c.swf", SolidMovie(5, 5, 5));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);

  Select(0);
  EXPECT_EQ(form->ShockwaveFlash().MoviePath(), std::wstring(a.begin(), a.end()));
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());

  ::DeleteFileA(b.c_str());
  Select(1);  // a is deselected (and restarted), then b is selected but gone
  EXPECT_EQ(form->EntryList(), (Lines{"0:1:" + a, "1:3:" + c}));
  EXPECT_EQ(ItemCount(), 2);
  EXPECT_FALSE(form->ShockwaveFlash().IsPlaying());
}

}  // namespace
}  // namespace apptest

namespace apptest {
namespace {

// Clicks a point of the list view as the mouse would.
void ClickList(HWND listView, POINT at) {
  LPARAM where = MAKELPARAM(at.x, at.y);
  ::SendMessageA(listView, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageA(listView, WM_LBUTTONUP, 0, where);
}

POINT ItemCentre(HWND listView, int item) {
  RECT r{};
  r.left = LVIR_ICON;
  ::SendMessageA(listView, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(MainFormTest, ClickSequencesPlayTheItemsConcerned) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 0, 0));
  std::string b = folder.Write("b.swf", SolidMovie(2, 0, 0));
  std::string c = folder.Write("c.swf", SolidMovie(3, 0, 0));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);
  HWND list = form->ListView();
  auto playing = [&] {
    const std::wstring& path = form->ShockwaveFlash().MoviePath();
    return std::string(path.begin(), path.end());
  };

  ClickList(list, ItemCentre(list, 0));
  EXPECT_EQ(playing(), a);
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());

  // B after A: A is deselected (and loaded again), then B selected; B plays.
  ClickList(list, ItemCentre(list, 1));
  EXPECT_EQ(playing(), b);

  // Clicking B again changes no selection, so nothing restarts.
  form->ShockwaveFlash().Stop();
  ClickList(list, ItemCentre(list, 1));
  EXPECT_FALSE(form->ShockwaveFlash().IsPlaying());

  // Empty space deselects B, which plays again from the start.
  RECT client{};
  ::GetClientRect(list, &client);
  ClickList(list, POINT{client.right - 3, client.bottom - 3});
  EXPECT_EQ(playing(), b);
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());
  EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(MainFormTest, AVanishedFileDeselectedByAClickDropsOutAndTheNextItemIsSelected) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 0, 0));
  std::string b = folder.Write("b.swf", SolidMovie(2, 0, 0));
  std::string c = folder.Write("c.swf", SolidMovie(3, 0, 0));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);
  HWND list = form->ListView();
  ClickList(list, ItemCentre(list, 0));
  ::DeleteFileA(a.c_str());

  // A's deselection drops A from inside the notification; the items move up.
  POINT whereBWas = ItemCentre(list, 1);
  ClickList(list, whereBWas);
  EXPECT_EQ(form->EntryList(), (std::vector<std::string>{"0:2:" + b, "1:3:" + c}));
  EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
}

}  // namespace
}  // namespace apptest
