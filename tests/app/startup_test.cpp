// Start-up: the command-line movie, the timer, and a main window that cannot
// be created.
#include "app/startup.h"

#include "app/main_menu.h"
#include "core/command_line.h"

#include <stdexcept>

#include "support/main_form_fixture.h"
#include "ui/message_loop.h"

namespace apptest {
namespace {

// Runs the loop until `done` or about `limitMs` have passed, then closes the form.
void RunUntil(app::TMainForm& form, const std::function<bool()>& done, DWORD limitMs = 5000) {
  DWORD start = ::GetTickCount();
  MSG message;
  while (!done() && ::GetTickCount() - start < limitMs) {
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    } else {
      ::Sleep(5);
    }
  }
  (void)form;
}

TEST(Startup, TheTimerAddsTheFirstArgumentOnce) {
  testing_support::FakeSeams fakes;
  TempFolder folder;
  std::string movie = folder.Write("first.swf", SolidMovie(1, 1, 1));
  std::string other = folder.Write("second.swf", SolidMovie(1, 1, 1));
  app::TMainForm form(fakes.seams, {movie, other});
  form.ShowAtStart();
  EXPECT_TRUE(form.EntryList().empty());  // nothing before the first tick

  RunUntil(form, [&] { return !form.EntryList().empty(); });
  ASSERT_EQ(form.EntryList().size(), 1u);
  EXPECT_EQ(form.EntryList()[0], "0:1:" + movie);
  // Later ticks never come: the timer went off for good.
  RunUntil(form, [] { return false; }, 800);
  EXPECT_EQ(form.EntryList().size(), 1u);
}

TEST(Startup, WithoutArgumentsTheListStaysEmpty) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {});
  form.ShowAtStart();
  RunUntil(form, [] { return false; }, 700);
  EXPECT_TRUE(form.EntryList().empty());
  EXPECT_TRUE(fakes.pauses.pauses.empty());
}

TEST(Startup, AMissingMovieAddsNothingAndSaysNothing) {
  testing_support::FakeSeams fakes;
  app::TMainForm form(fakes.seams, {"C:\\nowhere\\missing.swf"});
  form.ShowAtStart();
  RunUntil(form, [] { return false; }, 700);
  EXPECT_TRUE(form.EntryList().empty());
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
}

TEST(Startup, MainWindowThatCannotBeCreatedEndsWithApplicationErrorAndCodeOne) {
  testing_support::FakeSeams fakes;
  auto failingPlayer = [](ui::Seams&, HWND, const RECT&) -> std::unique_ptr<player::TShockwaveFlash> {
    throw std::runtime_error("Class not registered");
  };
  EXPECT_EQ(app::RunPackager(fakes.seams, "QuorvelPackager.exe", failingPlayer), 1);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Application Error");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Class not registered");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TASKMODAL));
  EXPECT_EQ(::FindWindowA("TMainForm", nullptr), nullptr);
}

void CALLBACK ChooseExit(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  HWND main = ::FindWindowA("TMainForm", nullptr);
  if (main) ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(app::kMExit, 0), 0);
}

TEST(Startup, RunEndsWithCodeZeroWhenTheWindowCloses) {
  testing_support::FakeSeams fakes;
  // Close the main window as soon as it is up: Exit from the File menu.
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ChooseExit);
  EXPECT_EQ(app::RunPackager(fakes.seams, "\"C:\\Program Files\\QuorvelPackager.exe\""), 0);
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
}

}  // namespace
}  // namespace apptest

namespace apptest {
namespace {

// Runs only under code page 932 (the CodePage932 CTest entry sets a Japanese
// locale): a name whose double-byte character ends in 0x5C, the backslash.
TEST(StartupCodePage932, QuotedDoubleByteArgumentIsOneMovieWithItsWholeName) {
  if (::GetACP() != 932) GTEST_SKIP() << "needs code page 932";
  testing_support::FakeSeams fakes;
  TempFolder folder;
  const std::string name = "\x95\x5C \x83\x5C.swf";  // two characters whose trail byte is "\"
  std::string movie = folder.Write(name, SolidMovie(1, 2, 3));
  std::string commandLine = "\"C:\\QuorvelPackager.exe\" \"" + movie + "\" ignored.swf";

  std::vector<std::string> arguments = core::SplitCommandLine(commandLine.c_str());
  ASSERT_EQ(arguments.size(), 3u);
  EXPECT_EQ(arguments[1], movie);

  app::TMainForm form(fakes.seams, {arguments[1], arguments[2]});
  form.ShowAtStart();
  RunUntil(form, [&] { return !form.EntryList().empty(); });
  ASSERT_EQ(form.EntryList().size(), 1u);
  EXPECT_EQ(form.EntryList()[0], "0:1:" + movie);
  char caption[MAX_PATH] = {};
  LVITEMA item{};
  item.pszText = caption;
  item.cchTextMax = sizeof caption;
  ::SendMessageA(form.ListView(), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::string(caption), name + " (" + std::to_string(SolidMovie(1, 2, 3).size()) + "Bytes)");
}

}  // namespace
}  // namespace apptest
