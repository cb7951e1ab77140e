// Save Project and Open Project on a real main window with real files.
#include <windows.h>

#include <fstream>
#include <iterator>

#include "app/main_menu.h"
#include "support/main_form_fixture.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ProjectTest : public MainFormTest {
 protected:
  // Runs a command as the menu does, so that its errors reach the general report.
  void Choose(UINT command) { ::SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }
  void AnswerSave(const std::string& name) { fakes.dialogs.saveAnswers.push_back({true, name, 1}); }
  void AnswerOpen(const std::string& name) { fakes.dialogs.openAnswers.push_back({true, name, 1}); }
};

TEST_F(ProjectTest, SaveWritesEveryPathWithCrLfAndNothingElse) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  std::string b = folder.Write("b b.swf", SolidMovie(1, 1, 1));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(a);
  std::string project = folder.Path() + "\\list.pak";
  AnswerSave(project);
  Choose(app::kMSaveProject);

  EXPECT_EQ(ReadBytes(project), a + "\r\n" + b + "\r\n" + a + "\r\n");
  ASSERT_EQ(fakes.dialogs.saveRequests.size(), 1u);
  const ui::FileDialogRequest& request = fakes.dialogs.saveRequests[0];
  EXPECT_EQ(request.filter, "Quorvel EXE Projects (*.pak)|*.pak|All Files (*.*)|*.*");
  EXPECT_EQ(request.defaultExtension, "pak");
  EXPECT_EQ(request.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING));
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
}

TEST_F(ProjectTest, TheFortyFiveByteExample) {
  // C:\Movies\intro.swf and D:\Clips\logo show.swf.
  ::CreateDirectoryA("C:\\Movies", nullptr);
  std::string intro = "C:\\Movies\\intro.swf";
  std::ofstream(intro, std::ios::binary) << SolidMovie(3, 3, 3);
  // The test prefix maps D: to a folder of its own.
  ::CreateDirectoryA("D:\\Clips", nullptr);
  std::ofstream("D:\\Clips\\logo show.swf", std::ios::binary) << SolidMovie(4, 4, 4);
  ASSERT_NE(::GetFileAttributesA("D:\\Clips\\logo show.swf"), INVALID_FILE_ATTRIBUTES);

  form->AddMovie(intro);
  form->AddMovie("D:\\Clips\\logo show.swf");
  std::string project = folder.Path() + "\\example.pak";
  AnswerSave(project);
  Choose(app::kMSaveProject);
  std::string bytes = ReadBytes(project);

  ::DeleteFileA("D:\\Clips\\logo show.swf");
  ::RemoveDirectoryA("D:\\Clips");
  ::DeleteFileA(intro.c_str());
  ::RemoveDirectoryA("C:\\Movies");
  EXPECT_EQ(bytes.size(), 45u);
  EXPECT_EQ(bytes, "C:\\Movies\\intro.swf\r\nD:\\Clips\\logo show.swf\r\n");
}

TEST_F(ProjectTest, EmptyListSaysNoFlashMovieWithoutADialog) {
  Choose(app::kMSaveProject);
  EXPECT_TRUE(fakes.dialogs.saveRequests.empty());
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "No flash movie");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Error");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(ProjectTest, OverwriteIsAskedNoKeepsTheOldFileYesReplacesItWhole) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  std::string project = folder.Write("old.pak", std::string(500, 'x'));
  form->AddMovie(a);

  AnswerSave(project);
  fakes.dialogs.messageBoxAnswers = {IDNO};
  Choose(app::kMSaveProject);
  EXPECT_EQ(ReadBytes(project), std::string(500, 'x'));
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "File exists. Do you want to overwrite it?");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Message");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(fakes.dialogs.saveRequests.size(), 1u);  // not asked for a name again

  AnswerSave(project);
  Choose(app::kMSaveProject);  // the fake answers Yes
  EXPECT_EQ(ReadBytes(project), a + "\r\n");
}

TEST_F(ProjectTest, FilesThatCannotBeWrittenAreReportedAndLeftAsTheyWere) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  form->AddMovie(a);
  std::string readOnly = folder.Write("locked.pak", "keep me\r\n");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  std::string inUse = folder.Write("busy.pak", "busy\r\n");
  HANDLE holder = ::CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string missingFolder = folder.Path() + "\\nowhere\\x.pak";

  for (const std::string& name : {readOnly, inUse, missingFolder, folder.Path()}) {
    AnswerSave(name);
    Choose(app::kMSaveProject);
  }
  ::CloseHandle(holder);

  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 6u);  // two overwrite questions, four reports
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].text, "Cannot create file " + readOnly + ".");
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].caption, "Quorvel EXE Packager");
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(fakes.dialogs.messageBoxes[3].text, "Cannot create file " + inUse + ".");
  EXPECT_EQ(fakes.dialogs.messageBoxes[4].text, "Cannot create file " + missingFolder + ".");
  // A folder is no existing file: no question, just the report.
  EXPECT_EQ(fakes.dialogs.messageBoxes[5].text, "Cannot create file " + folder.Path() + ".");
  EXPECT_EQ(ReadBytes(readOnly), "keep me\r\n");
  EXPECT_EQ(ReadBytes(inUse), "busy\r\n");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  // No temporary file is left behind.
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((folder.Path() + "\\qvt*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

TEST_F(ProjectTest, SaveThenOpenRoundTripsAndSkipsVanishedMovies) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  std::string b = folder.Write("b.swf", SolidMovie(2, 2, 2));
  std::string c = folder.Write("c.swf", SolidMovie(3, 3, 3));
  form->AddMovie(a);
  form->AddMovie(b);
  form->AddMovie(c);
  std::string project = folder.Path() + "\\round.pak";
  AnswerSave(project);
  Choose(app::kMSaveProject);

  ::DeleteFileA(b.c_str());
  AnswerOpen(project);
  Choose(app::kMOpenProject);
  EXPECT_EQ(form->EntryList(), (Lines{"0:4:" + a, "1:5:" + c}));  // no capture for the vanished one
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_EQ(fakes.dialogs.openRequests.at(0).filter, "Quorvel EXE Projects (*.pak)|*.pak|All Files (*.*)|*.*");
  EXPECT_EQ(fakes.dialogs.openRequests.at(0).defaultExtension, "");
  EXPECT_EQ(form->ShockwaveFlash().MoviePath(), std::wstring(c.begin(), c.end()));
  EXPECT_TRUE(form->ShockwaveFlash().IsPlaying());
}

TEST_F(ProjectTest, EveryLineEndAndANulAreRead) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  std::string b = folder.Write("b.swf", SolidMovie(1, 1, 1));
  std::string c = folder.Write("c.swf", SolidMovie(1, 1, 1));
  std::string text = a + "\r" + b + "\n\n" + a + "\r\n\r\n" + c + std::string("\0", 1) + "\r\n" + b + "\r\n";
  std::string project = folder.Write("mixed.pak", text);
  AnswerOpen(project);
  Choose(app::kMOpenProject);
  EXPECT_EQ(form->EntryList(), (Lines{"0:1:" + a, "1:2:" + b, "2:3:" + a, "3:4:" + c}));
}

TEST_F(ProjectTest, AProjectWithoutALineEndAtTheEndAndRelativePaths) {
  folder.Write("rel.swf", SolidMovie(1, 1, 1));
  std::string project = folder.Write("rel.pak", "rel.swf");
  char previous[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, previous);
  ::SetCurrentDirectoryA(folder.Path().c_str());
  AnswerOpen(project);
  Choose(app::kMOpenProject);
  ::SetCurrentDirectoryA(previous);
  EXPECT_EQ(form->EntryList(), Lines{"0:1:rel.swf"});
}

TEST_F(ProjectTest, OpeningReplacesTheListAndAnUnreadableFileLeavesItEmpty) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  form->AddMovie(a);
  std::string missing = folder.Path() + "\\missing.pak";
  AnswerOpen(missing);
  Choose(app::kMOpenProject);
  EXPECT_TRUE(form->EntryList().empty());
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Cannot open file " + missing + ".");

  // A file open for writing elsewhere cannot be read either.
  std::string project = folder.Write("open.pak", a + "\r\n");
  HANDLE writer = ::CreateFileA(project.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  AnswerOpen(project);
  Choose(app::kMOpenProject);
  ::CloseHandle(writer);
  EXPECT_TRUE(form->EntryList().empty());
  EXPECT_EQ(fakes.dialogs.messageBoxes.at(1).text, "Cannot open file " + project + ".");

  // Cancel changes nothing.
  form->AddMovie(a);
  Choose(app::kMOpenProject);
  EXPECT_EQ(form->EntryList().size(), 1u);
}

TEST_F(ProjectTest, OpenOffersTheNameLastChosenForAddFlash) {
  std::string a = folder.Write("a.swf", SolidMovie(1, 1, 1));
  AnswerOpen(a);
  Choose(app::kMAddFlash);
  Choose(app::kMOpenProject);  // cancelled
  ASSERT_EQ(fakes.dialogs.openRequests.size(), 2u);
  EXPECT_EQ(fakes.dialogs.openRequests[1].fileName, a);
}

}  // namespace
}  // namespace apptest
