// The build command end to end in-process: entry lines in, the options dialog
// worked as a person would, the real writer, the result box, the package read
// back.
#include "packaging/build_command.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "core/little_endian.h"
#include "core/ole_date.h"
#include "core/package_reader.h"
#include "packaging/CompileUnit.h"
#include "packaging/build_package.h"
#include "packaging_fixture.h"
#include "sys/clock.h"
#include "sys/file_system.h"

namespace packagingtest {
namespace {

using testing_support::Click;
using testing_support::PseudoRandomBytes;
using testing_support::TextOf;
using testing_support::TypeInto;
namespace layout = packaging::compile_layout;

std::string EntryLine(int item, const std::string& path) { return std::to_string(item) + ":1:" + path; }

class BuildCommandTest : public PackagingTest {
 protected:
  // The command with the real writer behind it, using the test's stub.
  void Run(const std::vector<std::string>& entryList) {
    packaging::RunBuildCommand(owner.Handle(), fakes.seams, entryList,
                               [this](const std::vector<std::string>& paths, bool releaseFlag, const std::string& target) {
                                 ++writerCalls;
                                 writerPaths = paths;
                                 return Build(paths, releaseFlag, target);
                               });
  }

  // A driver that reads the memo, types the target, sets the release box
  // and presses Build.
  void BuildAs(const std::string& target, bool release = false) {
    fakes.modal.drivers.push_back([this, target, release](HWND dialog) {
      memoText = TextOf(::GetDlgItem(dialog, layout::kFileMemo.id));
      TypeInto(::GetDlgItem(dialog, layout::kEXEEdit.id), target);
      if (release) Click(::GetDlgItem(dialog, layout::kReleaseCheck.id));
      Click(::GetDlgItem(dialog, layout::kBuildBtn.id));
    });
  }

  int writerCalls = 0;
  std::vector<std::string> writerPaths;
  std::string memoText;
};

constexpr const char* kMemoStart =
    "You are going to compile the following flash movies as an executable file\r\n";

TEST_F(BuildCommandTest, EmptyListSaysNoFlashMovieWithoutADialog) {
  Run({});
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  const ui::MessageBoxRequest& box = fakes.dialogs.messageBoxes[0];
  EXPECT_EQ(box.text, "No flash movie");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(box.owner, owner.Handle());
  EXPECT_EQ(fakes.modal.shown, 0);
  EXPECT_EQ(writerCalls, 0);
}

TEST_F(BuildCommandTest, AllMoviesVanishedSaysNoFlashMovie) {
  const std::string gone = folder.Write("gone.swf", "x");
  ASSERT_TRUE(::DeleteFileA(gone.c_str()));
  // A folder is no movie file either, and an empty line is skipped.
  Run({EntryLine(0, gone), "", EntryLine(1, folder.Path())});
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "No flash movie");
  EXPECT_EQ(fakes.modal.shown, 0);
  EXPECT_EQ(writerCalls, 0);
}

TEST_F(BuildCommandTest, BuildsWithTheExistingMoviesOnlyAndReportsAfterTheProgressWindowHasGone) {
  const std::string first = folder.Write("first.swf", PseudoRandomBytes(3000, 7));
  const std::string gone = folder.Write("gone.swf", "gone");
  const std::string second = folder.Write("second.swf", "second movie");
  ASSERT_TRUE(::DeleteFileA(gone.c_str()));
  const std::string target = folder / "game.exe";
  BuildAs(target, true);
  bool progressGoneAtResult = false;
  bool ownerEnabledAtResult = false;
  fakes.dialogs.onMessageBox = [&](const ui::MessageBoxRequest&) {
    progressGoneAtResult = FindProgressWindow() == nullptr;
    ownerEnabledAtResult = ::IsWindowEnabled(owner.Handle());
  };

  Run({EntryLine(0, first), EntryLine(1, gone), EntryLine(2, second)});

  EXPECT_EQ(memoText, std::string(kMemoStart) + "\r\n" + first + "\r\n" + second);
  EXPECT_EQ(writerPaths, (std::vector<std::string>{first, second}));
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  const ui::MessageBoxRequest& box = fakes.dialogs.messageBoxes[0];
  EXPECT_EQ(box.text, "Mission Accomplished");
  EXPECT_EQ(box.caption, "Message");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(box.owner, owner.Handle());
  EXPECT_TRUE(progressGoneAtResult);
  EXPECT_TRUE(ownerEnabledAtResult);

  // The package, byte by byte: the stub, one zlib stream whose payload is the
  // movies, the directory and the trailer, then U and Z.
  const std::string file = Contents(target);
  const std::string stub(kStubBytes, sizeof kStubBytes - 1);
  ASSERT_GT(file.size(), stub.size() + 8);
  EXPECT_EQ(file.substr(0, stub.size()), stub);
  const core::Package package = core::ReadPackage(file);
  const std::string directory = "first.swf:3000\r\nsecond.swf:12\r\n";
  std::string payload = PseudoRandomBytes(3000, 7) + "second movie" + directory;
  payload += '\x01';
  payload += '\x00';
  core::AppendDouble(payload, core::OleDate(sys::LocalDate()));
  core::AppendUint32(payload, static_cast<std::uint32_t>(directory.size()));
  EXPECT_EQ(package.payload, payload);
  EXPECT_EQ(package.payloadSize, payload.size());
  EXPECT_EQ(file.size(), stub.size() + package.compressedSize + 8);
  EXPECT_EQ(static_cast<unsigned char>(file[stub.size()]), 0x78);  // zlib header, level 9
  EXPECT_EQ(static_cast<unsigned char>(file[stub.size() + 1]), 0xDA);
}

TEST_F(BuildCommandTest, SameMovieTwiceIsPackedTwice) {
  const std::string movie = folder.Write("twice.swf", "abc");
  BuildAs(folder / "twice.exe");
  Run({EntryLine(0, movie), EntryLine(1, movie)});
  EXPECT_EQ(memoText, std::string(kMemoStart) + "\r\n" + movie + "\r\n" + movie);
  const core::Package package = core::ReadPackageFile(folder / "twice.exe");
  ASSERT_EQ(package.movies.size(), 2u);
  EXPECT_EQ(package.movies[0].name, "twice.swf");
  EXPECT_EQ(package.movies[1].name, "twice.swf");
  EXPECT_EQ(package.payload.substr(0, 6), "abcabc");
  EXPECT_FALSE(package.releaseFlag);
}

TEST_F(BuildCommandTest, CancelOrCloseWritesNothingAndShowsNothing) {
  const std::string movie = folder.Write("a.swf", "x");
  fakes.modal.drivers.push_back([](HWND dialog) {
    TypeInto(::GetDlgItem(dialog, layout::kEXEEdit.id), "never.exe");
    Click(::GetDlgItem(dialog, layout::kCancelBtn.id));
  });
  fakes.modal.drivers.push_back([](HWND dialog) {
    TypeInto(::GetDlgItem(dialog, layout::kEXEEdit.id), "never.exe");
    ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  Run({EntryLine(0, movie)});
  Run({EntryLine(0, movie)});
  EXPECT_EQ(fakes.modal.shown, 2);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_EQ(writerCalls, 0);
  EXPECT_EQ(FolderContents(folder.Path()), std::vector<std::string>{"a.swf"});
}

TEST_F(BuildCommandTest, FolderAsTargetGetsNoQuestionAndFailsToBeCreated) {
  const std::string movie = folder.Write("a.swf", "x");
  BuildAs(folder.Path());
  Run({EntryLine(0, movie)});
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Error: Cannot create file " + folder.Path());
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Message");
}

TEST_F(BuildCommandTest, WriterFailureIsShownAsItsResultText) {
  const std::string movie = folder.Write("a.swf", "x");
  BuildAs(folder / "out.exe");
  packaging::RunBuildCommand(owner.Handle(), fakes.seams, {EntryLine(0, movie)},
                             [](const std::vector<std::string>&, bool, const std::string&) {
                               return std::string("Error: Stream write error");
                             });
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Error: Stream write error");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Message");
}

}  // namespace
}  // namespace packagingtest
