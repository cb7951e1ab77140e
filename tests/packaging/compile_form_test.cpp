// The build options dialog, shown for real and worked through the modal seam.
#include "packaging/CompileUnit.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "packaging_fixture.h"
#include "ui/file_dialog.h"

namespace packagingtest {
namespace {

using testing_support::Click;
using testing_support::TextOf;
using testing_support::TypeInto;
namespace layout = packaging::compile_layout;

HWND Control(HWND dialog, const layout::Place& place) { return ::GetDlgItem(dialog, place.id); }

RECT PlaceIn(HWND dialog, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Posts a key to a control and lets the dialog manager handle it as the
// modal loop would.
void PressKey(HWND dialog, HWND control, UINT key) {
  ::SetFocus(control);
  ::PostMessageA(control, WM_KEYDOWN, key, 1);
  ::PostMessageA(control, WM_KEYUP, key, 0xC0000001);
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!::IsDialogMessageA(dialog, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

std::vector<std::string> MemoLines(HWND memo) {
  std::vector<std::string> lines;
  const int count = static_cast<int>(::SendMessageA(memo, EM_GETLINECOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[1024] = {};
    *reinterpret_cast<WORD*>(buffer) = sizeof buffer - 1;
    const LRESULT length = ::SendMessageA(memo, EM_GETLINE, i, reinterpret_cast<LPARAM>(buffer));
    lines.emplace_back(buffer, static_cast<size_t>(length));
  }
  return lines;
}

class CompileFormTest : public PackagingTest {
 protected:
  // Ending the dialog enables its owner again; while the owner is still
  // disabled, the dialog is open.
  bool StillOpen() const { return !::IsWindowEnabled(owner.Handle()); }

  // Shows the dialog with `driver` working it; returns the code it ended with.
  INT_PTR Show(packaging::TCompileForm& form, std::function<void(HWND)> driver) {
    fakes.modal.drivers.push_back(std::move(driver));
    return form.ShowModal(owner.Handle());
  }
};

constexpr const char* kIntroduction = "You are going to compile the following flash movies as an executable file";

TEST_F(CompileFormTest, LayoutTextsAndTabOrderAreTheStoredOnes) {
  packaging::TCompileForm form(fakes.seams);
  struct Expected {
    layout::Place place;
    const char* windowClass;
    const char* text;
  };
  const Expected expected[] = {
      {layout::kFileMemo, "Edit", nullptr},
      {layout::kLabel1, "Static", "EXE File:"},
      {layout::kEXEEdit, "Edit", ""},
      {layout::kSaveBtn, "Button", "Browse..."},
      {layout::kReleaseCheck, "Button", "This executable file is allowed to release the flash movies"},
      {layout::kBuildBtn, "Button", "Build"},
      {layout::kCancelBtn, "Button", "Cancel"},
  };
  Show(form, [&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), "Properties");
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 383);
    EXPECT_EQ(client.bottom, 201);
    const LONG_PTR style = ::GetWindowLongPtrA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner.Handle());
    EXPECT_FALSE(::IsWindowEnabled(owner.Handle()));
    // Centred over the owner.
    RECT own{}, mine{};
    ::GetWindowRect(owner.Handle(), &own);
    ::GetWindowRect(dialog, &mine);
    EXPECT_EQ(mine.left, own.left + (own.right - own.left - (mine.right - mine.left)) / 2);
    EXPECT_EQ(mine.top, own.top + (own.bottom - own.top - (mine.bottom - mine.top)) / 2);

    for (const Expected& e : expected) {
      HWND control = Control(dialog, e.place);
      ASSERT_NE(control, nullptr) << e.place.id;
      const RECT r = PlaceIn(dialog, control);
      EXPECT_EQ(r.left, e.place.left) << e.place.id;
      EXPECT_EQ(r.top, e.place.top) << e.place.id;
      EXPECT_EQ(r.right - r.left, e.place.width) << e.place.id;
      EXPECT_EQ(r.bottom - r.top, e.place.height) << e.place.id;
      char windowClass[32] = {};
      ::GetClassNameA(control, windowClass, sizeof windowClass);
      EXPECT_STRCASEEQ(windowClass, e.windowClass);
      if (e.text) {
        EXPECT_EQ(TextOf(control), e.text);
      }
      LOGFONTA font{};
      ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
      EXPECT_EQ(font.lfHeight, -11) << e.place.id;
      EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    }
    HWND memo = Control(dialog, layout::kFileMemo);
    EXPECT_TRUE(::GetWindowLongPtrA(memo, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(::GetWindowLongPtrA(memo, GWL_STYLE) & ES_MULTILINE);
    EXPECT_EQ(::SendMessageA(Control(dialog, layout::kReleaseCheck), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::GetWindowLongPtrA(Control(dialog, layout::kBuildBtn), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(::SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    // Focus starts on the memo, with nothing selected in it.
    EXPECT_EQ(::GetFocus(), memo);
    DWORD start = 0, end = 0;
    ::SendMessageA(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end);

    // Tab order: memo, edit, Browse, release box, Build, Cancel, and round.
    const int order[] = {layout::kEXEEdit.id, layout::kSaveBtn.id, layout::kReleaseCheck.id, layout::kBuildBtn.id,
                         layout::kCancelBtn.id, layout::kFileMemo.id};
    HWND at = memo;
    for (int id : order) {
      at = ::GetNextDlgTabItem(dialog, at, FALSE);
      EXPECT_EQ(::GetDlgCtrlID(at), id);
    }
    Click(Control(dialog, layout::kCancelBtn));
  });
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

TEST_F(CompileFormTest, MemoShowsTheTwoOpeningLinesAndThenEachPath) {
  const std::vector<std::string> paths{"C:\\movies\\intro.swf", "D:\\a b\\game.swf"};
  packaging::TCompileForm withList(fakes.seams);
  withList.SetFileList(paths);
  std::vector<std::string> lines;
  Show(withList, [&](HWND dialog) {
    lines = MemoLines(Control(dialog, layout::kFileMemo));
    Click(Control(dialog, layout::kCancelBtn));
  });
  EXPECT_EQ(lines, (std::vector<std::string>{kIntroduction, "", paths[0], paths[1]}));

  packaging::TCompileForm withoutList(fakes.seams);
  Show(withoutList, [&](HWND dialog) {
    lines = MemoLines(Control(dialog, layout::kFileMemo));
    Click(Control(dialog, layout::kCancelBtn));
  });
  EXPECT_EQ(lines, (std::vector<std::string>{kIntroduction, ""}));
}

TEST_F(CompileFormTest, MemoIsPaintedInTheButtonFaceColour) {
  packaging::TCompileForm form(fakes.seams);
  COLORREF inside = CLR_INVALID;
  Show(form, [&](HWND dialog) {
    // The dialog manager shows the window once its loop goes idle; the
    // driver runs before that.
    ::ShowWindow(dialog, SW_SHOW);
    ::UpdateWindow(dialog);
    HWND memo = Control(dialog, layout::kFileMemo);
    ::RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r{};
    ::GetClientRect(memo, &r);
    HDC dc = ::GetDC(memo);
    inside = ::GetPixel(dc, r.right - 4, r.bottom - 4);  // below the text
    ::ReleaseDC(memo, dc);
    Click(Control(dialog, layout::kCancelBtn));
  });
  EXPECT_EQ(inside, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(CompileFormTest, EmptyNameIsRefusedAndTheDialogStaysOpen) {
  packaging::TCompileForm form(fakes.seams);
  bool openAfterRefusal = false;
  Show(form, [&](HWND dialog) {
    Click(Control(dialog, layout::kBuildBtn));
    openAfterRefusal = StillOpen();
    Click(Control(dialog, layout::kCancelBtn));
  });
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  const ui::MessageBoxRequest& box = fakes.dialogs.messageBoxes[0];
  EXPECT_EQ(box.text, "Please input the file name");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));  // no icon, application-modal
  EXPECT_NE(box.owner, nullptr);
  EXPECT_NE(box.owner, owner.Handle());  // the dialog itself
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_FALSE(form.BuildFlag());
}

TEST_F(CompileFormTest, OverwriteIsAskedAgainAfterEachNo) {
  const std::string existing = folder.Write("old.exe", "old");
  fakes.dialogs.messageBoxAnswers = {IDNO, IDNO, IDYES};
  packaging::TCompileForm form(fakes.seams);
  std::vector<bool> openAfter;
  Show(form, [&](HWND dialog) {
    TypeInto(Control(dialog, layout::kEXEEdit), existing);
    Click(Control(dialog, layout::kReleaseCheck));
    for (int i = 0; i < 3; ++i) {
      Click(Control(dialog, layout::kBuildBtn));
      openAfter.push_back(StillOpen());
    }
  });
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 3u);
  for (const ui::MessageBoxRequest& box : fakes.dialogs.messageBoxes) {
    EXPECT_EQ(box.text, "File exists. Do you want to overwrite it?");
    EXPECT_EQ(box.caption, "Message");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO));  // Yes default, no icon
  }
  EXPECT_TRUE(openAfter[0]);
  EXPECT_TRUE(openAfter[1]);
  EXPECT_TRUE(form.BuildFlag());
  EXPECT_EQ(form.FileName(), existing);
  EXPECT_TRUE(form.ReleaseFlag());
  EXPECT_EQ(Contents(existing), "old");  // the dialog itself writes nothing
}

TEST_F(CompileFormTest, TypedNameIsKeptExactlyWithSpacesAndWithoutExtension) {
  packaging::TCompileForm form(fakes.seams);
  Show(form, [&](HWND dialog) {
    TypeInto(Control(dialog, layout::kEXEEdit), "  my game  ");
    Click(Control(dialog, layout::kBuildBtn));
  });
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_TRUE(form.BuildFlag());
  EXPECT_EQ(form.FileName(), "  my game  ");
  EXPECT_FALSE(form.ReleaseFlag());
}

TEST_F(CompileFormTest, ExistingFolderIsNotAnExistingFile) {
  packaging::TCompileForm form(fakes.seams);
  Show(form, [&](HWND dialog) {
    TypeInto(Control(dialog, layout::kEXEEdit), folder.Path());
    Click(Control(dialog, layout::kBuildBtn));
  });
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_TRUE(form.BuildFlag());
  EXPECT_EQ(form.FileName(), folder.Path());
}

TEST_F(CompileFormTest, EnterBuildsEscDoesNothing) {
  packaging::TCompileForm form(fakes.seams);
  bool openAfterEsc = false;
  Show(form, [&](HWND dialog) {
    HWND edit = Control(dialog, layout::kEXEEdit);
    TypeInto(edit, "out.exe");
    PressKey(dialog, edit, VK_ESCAPE);
    openAfterEsc = StillOpen();
    PressKey(dialog, Control(dialog, layout::kFileMemo), VK_RETURN);  // Enter in the memo too
  });
  EXPECT_TRUE(openAfterEsc);
  EXPECT_TRUE(form.BuildFlag());
  EXPECT_EQ(form.FileName(), "out.exe");
}

TEST_F(CompileFormTest, CancelAndTheCloseBoxLeaveBuildFlagFalse) {
  packaging::TCompileForm cancelled(fakes.seams);
  EXPECT_EQ(Show(cancelled,
                 [&](HWND dialog) {
                   TypeInto(Control(dialog, layout::kEXEEdit), "out.exe");
                   Click(Control(dialog, layout::kCancelBtn));
                 }),
            IDCANCEL);
  EXPECT_FALSE(cancelled.BuildFlag());

  packaging::TCompileForm closed(fakes.seams);
  Show(closed, [&](HWND dialog) {
    TypeInto(Control(dialog, layout::kEXEEdit), "out.exe");
    ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_FALSE(closed.BuildFlag());
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_FALSE(sys::FileExists("out.exe"));
}

TEST_F(CompileFormTest, BrowseFillsTheNameAndStartsFromItTheSecondTime) {
  fakes.dialogs.saveAnswers.push_back({true, "C:\\games\\first.exe", 1});
  fakes.dialogs.saveAnswers.push_back({false, "", 1});
  packaging::TCompileForm form(fakes.seams);
  std::vector<std::string> editTexts;
  Show(form, [&](HWND dialog) {
    HWND browse = Control(dialog, layout::kSaveBtn);
    Click(browse);
    editTexts.push_back(TextOf(Control(dialog, layout::kEXEEdit)));
    Click(browse);  // cancelled: the edit box keeps its text
    editTexts.push_back(TextOf(Control(dialog, layout::kEXEEdit)));
    Click(Control(dialog, layout::kBuildBtn));
  });
  ASSERT_EQ(fakes.dialogs.saveRequests.size(), 2u);
  const ui::FileDialogRequest& first = fakes.dialogs.saveRequests[0];
  EXPECT_EQ(first.filter, "Executable Files (*.exe)|*.exe");
  EXPECT_EQ(first.defaultExtension, "exe");  // the save dialog adds ".exe" to a bare name
  EXPECT_EQ(first.flags, ui::FileDialog::kFlags);
  EXPECT_EQ(first.fileName, "");
  EXPECT_NE(first.owner, owner.Handle());
  EXPECT_EQ(fakes.dialogs.saveRequests[1].fileName, "C:\\games\\first.exe");
  EXPECT_EQ(editTexts, (std::vector<std::string>{"C:\\games\\first.exe", "C:\\games\\first.exe"}));
  EXPECT_EQ(form.FileName(), "C:\\games\\first.exe");
}

}  // namespace
}  // namespace packagingtest
