// The package writer under Wine with real files and a real progress window.
#include "packaging/build_package.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/ole_date.h"
#include "core/package_reader.h"
#include "packaging_fixture.h"
#include "sys/clock.h"
#include "sys/file_system.h"

namespace packagingtest {
namespace {

using testing_support::PseudoRandomBytes;

const std::vector<DWORD> kAllPauses{100, 300, 300, 300, 300, 300};
const std::vector<int> kAllPositions{0, 10, 30, 60, 70, 90};

class BuildPackageTest : public PackagingTest {
 protected:
  // After every build, failed or not: the progress window has gone and the
  // owner takes input again.
  void ExpectCleanEnd() {
    EXPECT_EQ(FindProgressWindow(), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  }
};

TEST_F(BuildPackageTest, WritesStubAndMoviesThatTheReaderTakesApart) {
  const std::string intro = folder.Write("intro.swf", PseudoRandomBytes(5000, 1));
  const std::string empty = folder.Write("empty.swf", "");
  const std::string target = folder / "game.exe";

  EXPECT_EQ(Build({intro, empty, intro}, true, target), "Mission Accomplished");

  const core::Package package = core::ReadPackageFile(target);
  EXPECT_EQ(Contents(target).substr(0, sizeof kStubBytes - 1), std::string(kStubBytes, sizeof kStubBytes - 1));
  EXPECT_EQ(package.stubSize, sizeof kStubBytes - 1);
  EXPECT_TRUE(package.releaseFlag);
  EXPECT_EQ(package.dateStamp, core::OleDate(sys::LocalDate()));
  ASSERT_EQ(package.movies.size(), 3u);
  EXPECT_EQ(package.movies[0].name, "intro.swf");
  EXPECT_EQ(package.movies[1].name, "empty.swf");
  EXPECT_EQ(package.movies[2].name, "intro.swf");
  EXPECT_EQ(package.MovieData(package.movies[0]), PseudoRandomBytes(5000, 1));
  EXPECT_EQ(package.movies[1].size, 0u);
  EXPECT_EQ(package.MovieData(package.movies[2]), PseudoRandomBytes(5000, 1));
  // Nothing of the writer's scratch files is left beside the package.
  EXPECT_EQ(FolderContents(folder.Path()), (std::vector<std::string>{"empty.swf", "game.exe", "intro.swf"}));
  ExpectCleanEnd();
}

TEST_F(BuildPackageTest, PausesAndProgressComeInOrderWithTheOwnerDisabled) {
  const std::string movie = folder.Write("a.swf", "movie");
  EXPECT_EQ(Build({movie}, false, folder / "a.exe"), "Mission Accomplished");

  EXPECT_EQ(fakes.pauses.pauses, kAllPauses);
  EXPECT_EQ(positions, kAllPositions);  // read while each pause runs; never 100
  EXPECT_EQ(ownerDisabled, std::vector<bool>(6, true));
  EXPECT_FALSE(core::ReadPackageFile(folder / "a.exe").releaseFlag);
  ExpectCleanEnd();
}

TEST_F(BuildPackageTest, ProgressWindowHasItsCaptionSizeLabelAndBar) {
  HWND progress = nullptr;
  std::string caption, label;
  RECT client{}, labelRect{}, barRect{}, windowRect{};
  LONG_PTR style = 0, labelStyle = 0, barStyle = 0;
  PBRANGE range{};
  bool hasSystemMenu = true;
  bool survivedClose = false;
  bool visible = false;
  HWND windowOwner = nullptr;
  fakes.pauses.onPause = [&](DWORD milliseconds) {
    if (milliseconds != 100) return;
    progress = FindProgressWindow();
    ASSERT_NE(progress, nullptr);
    visible = ::IsWindowVisible(progress);
    windowOwner = ::GetWindow(progress, GW_OWNER);
    caption = testing_support::TextOf(progress);
    ::GetClientRect(progress, &client);
    ::GetWindowRect(progress, &windowRect);
    style = ::GetWindowLongPtrA(progress, GWL_STYLE);
    hasSystemMenu = ::GetSystemMenu(progress, FALSE) != nullptr;
    HWND labelWindow = testing_support::ChildWithText(progress, "Building EXE package file...");
    ASSERT_NE(labelWindow, nullptr);
    label = testing_support::TextOf(labelWindow);
    labelStyle = ::GetWindowLongPtrA(labelWindow, GWL_STYLE);
    ::GetWindowRect(labelWindow, &labelRect);
    ::MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&labelRect), 2);
    HWND bar = ProgressBarOf(progress);
    ASSERT_NE(bar, nullptr);
    barStyle = ::GetWindowLongPtrA(bar, GWL_STYLE);
    ::SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    ::GetWindowRect(bar, &barRect);
    ::MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&barRect), 2);
    // The user cannot close it.
    ::SendMessageA(progress, WM_CLOSE, 0, 0);
    survivedClose = ::IsWindow(progress);
  };
  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, folder / "a.exe"), "Mission Accomplished");

  EXPECT_TRUE(visible);
  EXPECT_EQ(windowOwner, owner.Handle());
  EXPECT_EQ(caption, "Progress");
  EXPECT_EQ(client.right, 313);
  EXPECT_EQ(client.bottom, 59);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(hasSystemMenu);
  EXPECT_TRUE(survivedClose);
  EXPECT_EQ(label, "Building EXE package file...");
  EXPECT_EQ(labelStyle & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(labelRect.left, 8);
  EXPECT_EQ(labelRect.top, 8);
  EXPECT_EQ(labelRect.right - labelRect.left, 297);
  EXPECT_EQ(labelRect.bottom - labelRect.top, 13);
  EXPECT_EQ(barRect.left, 8);
  EXPECT_EQ(barRect.top, 32);
  EXPECT_EQ(barRect.right - barRect.left, 297);
  EXPECT_EQ(barRect.bottom - barRect.top, 17);
  EXPECT_FALSE(barStyle & PBS_SMOOTH);
  EXPECT_FALSE(barStyle & PBS_VERTICAL);
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  // Centred over the owner.
  RECT own{};
  ::GetWindowRect(owner.Handle(), &own);
  const int width = windowRect.right - windowRect.left;
  const int height = windowRect.bottom - windowRect.top;
  EXPECT_EQ(windowRect.left, own.left + (own.right - own.left - width) / 2);
  EXPECT_EQ(windowRect.top, own.top + (own.bottom - own.top - height) / 2);
  ExpectCleanEnd();
}

// Pixels of the bar's middle row in the highlight colour, read from the
// screen while the writer pauses: the bar has been drawn without any message
// loop running.
int FilledPixels(HWND bar) {
  RECT r{};
  ::GetClientRect(bar, &r);
  HDC dc = ::GetDC(bar);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  int filled = 0;
  for (int x = 0; x < r.right; ++x) {
    if (::GetPixel(dc, x, r.bottom / 2) == highlight) ++filled;
  }
  ::ReleaseDC(bar, dc);
  return filled;
}

TEST_F(BuildPackageTest, EachBarPositionIsDrawnAtOnce) {
  std::vector<int> filled;
  fakes.pauses.onPause = [&](DWORD) { filled.push_back(FilledPixels(ProgressBarOf(FindProgressWindow()))); };
  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, folder / "a.exe"), "Mission Accomplished");

  ASSERT_EQ(filled.size(), 6u);
  EXPECT_EQ(filled[0], 0);
  for (size_t i = 1; i < filled.size(); ++i) EXPECT_GT(filled[i], filled[i - 1]) << "at pause " << i;
  // Blocks with gaps, not one smooth run: at 90 some pixels in the filled part are not highlight.
  EXPECT_LT(filled[5], 297 * 90 / 100);
}

TEST_F(BuildPackageTest, MissingStubIsReportedAfterSeventyAndNoTargetIsMade) {
  testing_support::TempFolder noStub;
  const std::string target = folder / "out.exe";
  packaging::BuildPackageOptions options;
  options.stubFolder = noStub.Path();

  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, target, options),
            "Error: Cannot open file " + noStub.Path() + "\\player.dat");
  EXPECT_EQ(positions, (std::vector<int>{0, 10, 30, 60, 70}));
  EXPECT_FALSE(sys::FileExists(target));
  ExpectCleanEnd();
}

TEST_F(BuildPackageTest, MissingStubLeavesAnExistingTargetAsItWas) {
  testing_support::TempFolder noStub;
  const std::string target = folder.Write("out.exe", "old package");
  packaging::BuildPackageOptions options;
  options.stubFolder = noStub.Path();
  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, target, options).rfind("Error: Cannot open file ", 0), 0u);
  EXPECT_EQ(Contents(target), "old package");
}

TEST_F(BuildPackageTest, LockedMovieStopsTheBuild) {
  const std::string movie = folder.Write("locked.swf", "x");
  HANDLE lock = ::CreateFileA(movie.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const std::string target = folder.Write("out.exe", "old");
  const std::string result = Build({movie}, false, target);
  ::CloseHandle(lock);

  EXPECT_EQ(result, "Error: Cannot open file " + movie);
  EXPECT_EQ(positions, (std::vector<int>{0, 10, 30}));
  EXPECT_EQ(Contents(target), "old");
  ExpectCleanEnd();
}

TEST_F(BuildPackageTest, TargetsThatCannotBeCreatedAreRefusedAndLeftAsTheyWere) {
  const std::string movie = folder.Write("a.swf", "x");

  const std::string inMissingFolder = folder / "missing\\out.exe";
  EXPECT_EQ(Build({movie}, false, inMissingFolder), "Error: Cannot create file " + inMissingFolder);

  const std::string aFolder = folder / "sub";
  ASSERT_TRUE(::CreateDirectoryA(aFolder.c_str(), nullptr));
  EXPECT_EQ(Build({movie}, false, aFolder), "Error: Cannot create file " + aFolder);

  const std::string readOnly = folder.Write("readonly.exe", "kept");
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Build({movie}, false, readOnly), "Error: Cannot create file " + readOnly);
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Contents(readOnly), "kept");

  const std::string inUse = folder.Write("inuse.exe", "busy");
  HANDLE reader = ::CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Build({movie}, false, inUse), "Error: Cannot create file " + inUse);
  ::CloseHandle(reader);
  EXPECT_EQ(Contents(inUse), "busy");

  // Every refusal came after the stub was open, and left no scratch file.
  EXPECT_EQ(positions.back(), 90);
  EXPECT_EQ(FolderContents(folder.Path()), (std::vector<std::string>{"a.swf", "inuse.exe", "readonly.exe", "sub"}));
  ExpectCleanEnd();
}

TEST_F(BuildPackageTest, StubAsItsOwnTargetIsRefusedAndStaysIntact) {
  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, stubPath), "Error: Cannot create file " + stubPath);
  EXPECT_EQ(Contents(stubPath), std::string(kStubBytes, sizeof kStubBytes - 1));
  EXPECT_EQ(FolderContents(stubFolder.Path()), std::vector<std::string>{"player.dat"});
}

TEST_F(BuildPackageTest, MovieAsTargetIsReplacedByThePackage) {
  const std::string movie = folder.Write("a.swf", "movie bytes");
  EXPECT_EQ(Build({movie}, false, movie), "Mission Accomplished");
  const core::Package package = core::ReadPackageFile(movie);
  ASSERT_EQ(package.movies.size(), 1u);
  EXPECT_EQ(package.MovieData(package.movies[0]), "movie bytes");
}

TEST_F(BuildPackageTest, LongerExistingTargetIsReplacedWhole) {
  // Wine's ReplaceFile does not carry the old file's attributes over as
  // Windows does, so only the content is checked here.
  const std::string target = folder.Write("out.exe", std::string(100000, 'o'));
  EXPECT_EQ(Build({folder.Write("a.swf", "x")}, false, target), "Mission Accomplished");
  const std::string bytes = Contents(target);
  EXPECT_LT(bytes.size(), 1000u);
  EXPECT_EQ(core::ReadPackage(bytes).movies.size(), 1u);
}

// Runs in the scratch folder as the process's current folder.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    ::GetCurrentDirectoryA(MAX_PATH, previous_);
    ::SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { ::SetCurrentDirectoryA(previous_); }

 private:
  char previous_[MAX_PATH] = {};
};

TEST_F(BuildPackageTest, RelativeTargetIsTakenFromTheCurrentFolderAndShownAsTyped) {
  const std::string movie = folder.Write("a.swf", "x");
  CurrentFolder here(folder.Path());
  EXPECT_EQ(Build({movie}, false, "nowhere\\out.exe"), "Error: Cannot create file nowhere\\out.exe");
  EXPECT_EQ(Build({movie}, false, "out.exe"), "Mission Accomplished");
  EXPECT_EQ(core::ReadPackageFile(folder / "out.exe").movies.size(), 1u);
  EXPECT_EQ(FolderContents(folder.Path()), (std::vector<std::string>{"a.swf", "out.exe"}));
}

TEST_F(BuildPackageTest, VanishedMoviesAreLeftOutWithoutAWord) {
  const std::string kept = folder.Write("kept.swf", "kept");
  const std::string gone = folder.Write("gone.swf", "gone");
  ASSERT_TRUE(::DeleteFileA(gone.c_str()));
  EXPECT_EQ(Build({gone, kept}, false, folder / "some.exe"), "Mission Accomplished");
  const core::Package some = core::ReadPackageFile(folder / "some.exe");
  ASSERT_EQ(some.movies.size(), 1u);
  EXPECT_EQ(some.movies[0].name, "kept.swf");

  // With all of them gone the payload is its trailer alone.
  EXPECT_EQ(Build({gone}, true, folder / "none.exe"), "Mission Accomplished");
  const core::Package none = core::ReadPackageFile(folder / "none.exe");
  EXPECT_TRUE(none.movies.empty());
  EXPECT_EQ(none.payloadSize, 14u);
  EXPECT_EQ(none.directorySize, 0u);
}

// Registered a second time to run under code page 932, where the second byte
// of a double-byte character may be 0x5C, a backslash.
TEST_F(BuildPackageTest, CodePage932NameWithTrailByte5CIsKeptWhole) {
  if (::GetACP() != 932) GTEST_SKIP() << "runs under code page 932 only";
  const std::string name = "\x95\x5c.swf";  // one double-byte character, then ".swf"
  const std::string movie = folder.Write(name, "movie");
  EXPECT_EQ(Build({movie}, false, folder / "jp.exe"), "Mission Accomplished");
  const core::Package package = core::ReadPackageFile(folder / "jp.exe");
  ASSERT_EQ(package.movies.size(), 1u);
  EXPECT_EQ(package.movies[0].name, name);
}

TEST_F(BuildPackageTest, PayloadBeyondTheSizeLimitIsRefused) {
  const std::string movie = folder.Write("big.swf", std::string(100, 'a'));
  // "big.swf:100" CR LF is 13 bytes and the trailer 14: 127 bytes fit exactly.
  packaging::BuildPackageOptions options;
  options.sizeLimit = 126;
  EXPECT_EQ(Build({movie}, false, folder / "big.exe", options), "Error: Package would exceed 2 GB");
  EXPECT_EQ(positions, (std::vector<int>{0, 10, 30}));
  EXPECT_FALSE(sys::FileExists(folder / "big.exe"));
  ExpectCleanEnd();

  options.sizeLimit = 127;
  EXPECT_EQ(Build({movie}, false, folder / "big.exe", options), "Mission Accomplished");
}

TEST_F(BuildPackageTest, CompressedBlockBeyondTheSizeLimitIsRefused) {
  // An empty payload of 14 bytes grows when compressed.
  EXPECT_EQ(Build({}, false, folder / "probe.exe"), "Mission Accomplished");
  const std::uint32_t compressed = core::ReadPackageFile(folder / "probe.exe").compressedSize;
  ASSERT_GT(compressed, 14u);

  packaging::BuildPackageOptions options;
  options.sizeLimit = compressed - 1;
  EXPECT_EQ(Build({}, false, folder / "small.exe", options), "Error: Package would exceed 2 GB");
  EXPECT_FALSE(sys::FileExists(folder / "small.exe"));
  options.sizeLimit = compressed;
  EXPECT_EQ(Build({}, false, folder / "small.exe", options), "Mission Accomplished");
}

}  // namespace
}  // namespace packagingtest
