// The real player.dat at the front of real packages, started as its own
// process under Wine and watched from outside the way a person sees it: its
// window, caption and client area, its message boxes and exit codes. Also
// quorvel-pack extract, which releases movies the same way the player does.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/package_writer.h"
#include "packaging/build_package.h"
#include "support/fake_seams.h"
#include "support/screen_capture.h"
#include "core/zlib_stream.h"
#include "core/release_names.h"
#include "stub/movie_release.h"
#include "stub/stub_menu.h"
#include "stub/stub_texts.h"
#include "game_movie.h"
#include "stub/own_package.h"
#include "stub/player_window.h"
#include "stub_movies.h"
#include "core/shared_object_store.h"
#include "support/button_movie.h"
#include "swf/player.h"
#include "sys/process.h"
#include "sys/temp_folder.h"
#include "tools/run_process.h"
#include "ui/handles.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

const swf::Rgba kBlue{20, 40, 200, 255};
const swf::Rgba kRed{220, 10, 10, 255};
const swf::Rgba kGreen{10, 160, 40, 255};
const swf::Rgba kYellow{250, 220, 0, 255};
constexpr DWORD kWindowWait = 30000;

std::string Player() { return sys::ExecutableFolder() + "player.dat"; }

// A started program; ended by force if a test leaves it running.
class Child {
 public:
  explicit Child(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
      process_.Reset(info.hProcess);
      ::CloseHandle(info.hThread);
      id_ = info.dwProcessId;
    }
  }
  ~Child() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.Get(), 99);
      ::WaitForSingleObject(process_.Get(), 5000);
    }
  }
  bool Started() const { return static_cast<bool>(process_); }
  DWORD Id() const { return id_; }
  // The exit code, or -1 if it is still running after `milliseconds`.
  long ExitCode(DWORD milliseconds) const {
    if (::WaitForSingleObject(process_.Get(), milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<long>(code);
  }

 private:
  ui::UniqueKernelHandle process_;
  DWORD id_ = 0;
};

struct WindowSearch {
  DWORD process;
  const char* className;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  ::GetClassNameA(window, className, sizeof className);
  if (owner == search->process && lstrcmpiA(className, search->className) == 0 && ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the process with the given class.
HWND WaitForWindow(const Child& child, const char* className) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kWindowWait) {
    WindowSearch search{child.Id(), className};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (child.ExitCode(0) != -1) return nullptr;
    ::Sleep(50);
  }
  return nullptr;
}

std::string TextOf(HWND window) {
  char text[2048] = {};
  ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter) {
  char className[32] = {};
  ::GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0) *reinterpret_cast<std::string*>(parameter) += TextOf(child);
  return TRUE;
}

// The player's message box: its caption and text; then it is answered OK.
struct BoxSeen {
  std::string caption;
  std::string text;
};
BoxSeen ReadAndCloseMessageBox(const Child& child) {
  HWND box = WaitForWindow(child, "#32770");
  if (!box) return {};
  BoxSeen seen{TextOf(box), {}};
  ::EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen.text));
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  return seen;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

// What the screen shows of the window's client area now.
std::vector<uint32_t> ScreenPixels(HWND window) {
  const SIZE size = ClientSize(window);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  ui::WindowDc screen(nullptr);
  return testsupport::CopyPixels(screen.Get(), origin.x, origin.y, size.cx, size.cy);
}

std::vector<uint32_t> EngineFrame(const std::string& movie, int width, int height) {
  swf::Player player(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(movie.data()), movie.size()));
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  player.Render({reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4, swf::PixelFormat::kBgra32},
                swf::Quality::kHigh);
  for (uint32_t& p : pixels) p &= 0x00FFFFFFu;
  return pixels;
}

class StubProcessTest : public ::testing::Test {
 protected:
  // A package built from the real player.dat, as the packager builds it.
  std::string Package(const std::string& name, const std::vector<std::pair<std::string, std::string>>& movies,
                      bool release) {
    std::filesystem::create_directories(work / "movies");
    std::vector<std::string> paths;
    for (const auto& [movieName, bytes] : movies) paths.push_back(work.Write("movies\\" + movieName, bytes));
    core::BuildPackageFile(Player(), paths, release, 46000.0, work / name);
    return work / name;
  }
  // A package whose appended part is crafted, behind the real player.dat.
  std::string Crafted(const std::string& name, stubtest::CraftedPackage crafted) {
    crafted.stub = ReadFileBytes(Player());
    return work.Write(name, stubtest::Assemble(crafted));
  }
  // Runs a program that cannot play: it must say so in its box and end with 1.
  void ExpectRefusal(const std::string& program, const std::string& reason) {
    Child child(program);
    ASSERT_TRUE(child.Started()) << program;
    const BoxSeen box = ReadAndCloseMessageBox(child);
    EXPECT_EQ(box.caption, stub::texts::kPlayerTitle) << program;
    EXPECT_EQ(box.text.rfind(stub::texts::kNoPackage, 0), 0u) << box.text;
    EXPECT_NE(box.text.find(reason), std::string::npos) << box.text;
    EXPECT_EQ(child.ExitCode(10000), 1) << program;
  }

  TempFolder work;
  const std::string intro = stubtest::SquareMovie(400, 300, kBlue, kRed, 30, 40, 3, 12);
  const std::string game = stubtest::SquareMovie(320, 200, kGreen, kYellow, 100, 50, 2, 30);
};

TEST_F(StubProcessTest, APackageOfTwoMoviesPlaysSwitchesAndCloses) {
  Child child(Package("space.exe", {{"intro.swf", intro}, {"game.swf", game}}, false));
  ASSERT_TRUE(child.Started());
  HWND window = WaitForWindow(child, "QuorvelPlayerWindow");
  ASSERT_NE(window, nullptr) << "exit code " << child.ExitCode(0);
  EXPECT_EQ(TextOf(window), "space - intro.swf");
  EXPECT_EQ(ClientSize(window).cx, 400);
  EXPECT_EQ(ClientSize(window).cy, 300);

  // Paused on its first frame, the window shows exactly the engine's picture.
  ::SendMessageA(window, WM_COMMAND, stub::command::kRewind, 0);
  ::SetForegroundWindow(window);
  ::Sleep(300);
  const std::vector<uint32_t> expected = EngineFrame(intro, 400, 300);
  const std::vector<uint32_t> shown = ScreenPixels(window);
  ASSERT_EQ(shown.size(), expected.size());
  EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [&, i = size_t{0}](uint32_t p) mutable {
              return p != expected[i++];
            }),
            0);
  EXPECT_EQ(shown[5 * 400 + 5], 0x1428C8u);    // the blue background
  EXPECT_EQ(shown[70 * 400 + 60], 0xDC0A0Au);  // the red square

  ::SendMessageA(window, WM_COMMAND, stub::command::kFirstMovie + 1, 0);
  EXPECT_EQ(TextOf(window), "space - game.swf");
  EXPECT_EQ(ClientSize(window).cx, 320);
  EXPECT_EQ(ClientSize(window).cy, 200);

  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.ExitCode(10000), 0);
}

TEST_F(StubProcessTest, APackageFromThePackagersOwnWriterStartsOnItsOwn) {
  // The writer behind the build command, with its progress window, takes
  // player.dat from the folder of the running program, as the packager does.
  testing_support::FakeSeams fakes;
  ui::UniqueWindow owner(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           ::GetModuleHandleA(nullptr), nullptr));
  const std::string target = work / "built by the packager.exe";
  const std::string result = packaging::BuildPackage(
      owner.Get(), fakes.seams, {work.Write("intro.swf", intro), work.Write("game.swf", game)}, true, target);
  ASSERT_EQ(result, "Mission Accomplished");

  Child child(target);
  HWND window = WaitForWindow(child, "QuorvelPlayerWindow");
  ASSERT_NE(window, nullptr) << "exit code " << child.ExitCode(0);
  EXPECT_EQ(TextOf(window), "built by the packager - intro.swf");
  EXPECT_EQ(ClientSize(window).cx, 400);
  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.ExitCode(10000), 0);
}

TEST_F(StubProcessTest, TheBarePlayerSaysWhatItIsAndEndsWithOne) {
  std::filesystem::copy_file(Player(), work / "player.dat");
  ExpectRefusal(work / "player.dat", stub::texts::kBareStub);
}

TEST_F(StubProcessTest, EveryCraftedPackageIsRefusedWithoutACrash) {
  const std::string payload = stubtest::Payload({{"a.swf", intro}, {"b.swf", game}}, 1);
  struct Case {
    const char* name;
    stubtest::CraftedPackage package;
    const char* reason;
  };
  std::string corrupt = core::Deflate(payload);
  for (size_t i = corrupt.size() / 3; i < corrupt.size() / 3 + 8; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
  const auto craft = [](std::string bytes, long long u = -1, long long z = -1, std::string block = "") {
    stubtest::CraftedPackage crafted;
    crafted.payload = std::move(bytes);
    crafted.payloadSizeField = u;
    crafted.compressedSizeField = z;
    crafted.compressedOverride = std::move(block);
    return crafted;
  };
  const long long size = static_cast<long long>(payload.size());
  const std::vector<Case> cases = {
      {"past.exe", craft(payload, -1, 0x7FFFFF00), "exceeds the file"},
      {"huge.exe", craft(payload, 0x7FFFFFFF), "cannot come from"},
      {"longer.exe", craft(payload, size + 100), "The payload holds"},
      {"shorter.exe", craft(payload, size - 1), "longer than its recorded"},
      {"sums.exe", craft(stubtest::Payload({{"a.swf", intro}}, 1, -1, "a.swf:10\r\n")), "bytes of movie data"},
      {"zlib.exe", craft(payload, -1, -1, corrupt), "The compressed block"},
      {"empty.exe", craft(stubtest::Payload({}, 1)), ""},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name) == "empty.exe") {
      Child child(Crafted(c.name, c.package));
      const BoxSeen box = ReadAndCloseMessageBox(child);
      EXPECT_EQ(box.text, stub::texts::kNoMovies);
      EXPECT_EQ(child.ExitCode(10000), 1);
      continue;
    }
    ExpectRefusal(Crafted(c.name, c.package), c.reason);
  }
}

// A person's mouse and keys, through the system's input queue.
void MoveMouse(HWND window, int x, int y) {
  POINT at{x, y};
  ::ClientToScreen(window, &at);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((at.x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
  input.mi.dy = static_cast<LONG>((at.y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof input);
}

void MouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  ::SendInput(1, &input, sizeof input);
}

void PressKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof inputs[0]);
}

// Waits (up to 5 seconds) until the screen shows `color` at (x, y) of the
// window's client area; the colour seen last.
uint32_t WaitForPixel(HWND window, int x, int y, uint32_t color) {
  const DWORD start = ::GetTickCount();
  uint32_t seen = 0;
  do {
    seen = ScreenPixels(window)[static_cast<size_t>(y) * ClientSize(window).cx + x];
    if (seen == color) break;
    ::Sleep(30);
  } while (::GetTickCount() - start < 5000);
  return seen;
}

// The cursor on the screen, once it differs from `other` (up to 5 seconds).
// Another process's cursor handle tells no more than that: its picture is
// not ours to read (the in-process window tests check that it is the hand).
HCURSOR CursorOtherThan(HCURSOR other) {
  const DWORD start = ::GetTickCount();
  CURSORINFO info{};
  info.cbSize = sizeof info;
  do {
    if (::GetCursorInfo(&info) && info.hCursor != other) break;
    ::Sleep(30);
  } while (::GetTickCount() - start < 5000);
  return info.hCursor;
}

TEST_F(StubProcessTest, AButtonAnswersTheMouseAndTheArrowsAndSpaceReachTheMovie) {
  using namespace testsupport;
  constexpr uint32_t kRedUp = 0xDC0A0Au, kBlueOver = 0x1428C8u, kGreenDown = 0x0AA028u;
  constexpr uint32_t kYellowMarker = 0xFADC00u, kWhite = 0xFFFFFFu;
  Child child(Package("buttons.exe", {{"button.swf", ButtonMovie()}}, false));
  ASSERT_TRUE(child.Started());
  HWND window = WaitForWindow(child, "QuorvelPlayerWindow");
  ASSERT_NE(window, nullptr) << "exit code " << child.ExitCode(0);
  ASSERT_EQ(ClientSize(window).cx, kButtonMovieWidth);
  ::SetForegroundWindow(window);
  const int x = kButtonLeft + kButtonSide / 2, y = kButtonTop + kButtonSide / 2;
  const int markerX = kMarkerLeft + kMarkerSide / 2;

  MoveMouse(window, 120, 170);
  EXPECT_EQ(WaitForPixel(window, x, y, kRedUp), kRedUp);
  ::Sleep(200);
  const HCURSOR away = CursorOtherThan(nullptr);
  MoveMouse(window, x, y);
  EXPECT_EQ(WaitForPixel(window, x, y, kBlueOver), kBlueOver);
  const HCURSOR over = CursorOtherThan(away);
  EXPECT_NE(over, away);  // the player changed its cursor over the button
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(WaitForPixel(window, x, y, kGreenDown), kGreenDown);
  MouseButton(MOUSEEVENTF_LEFTUP);
  MoveMouse(window, 120, 170);
  EXPECT_EQ(CursorOtherThan(over), away);  // and back off it
  // The release went to "done", whose marker shows; off the button it is up.
  EXPECT_EQ(WaitForPixel(window, markerX, MarkerTop(1) + 5, kYellowMarker), kYellowMarker);
  EXPECT_EQ(WaitForPixel(window, x, y, kRedUp), kRedUp);

  // Space and the arrows: each key-press condition goes to its own frame.
  const WORD keys[] = {VK_SPACE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
  for (int k = 0; k < 5; ++k) {
    PressKey(keys[k]);
    const int frame = k + 2;
    EXPECT_EQ(WaitForPixel(window, markerX, MarkerTop(frame) + 5, kYellowMarker), kYellowMarker)
        << kButtonMovieLabels[frame - 1];
    EXPECT_EQ(WaitForPixel(window, markerX, MarkerTop(frame - 1) + 5, kWhite), kWhite);
  }
  // The player's own commands stayed out of it: the window is still the
  // movie's, windowed.
  EXPECT_EQ(ClientSize(window).cx, kButtonMovieWidth);

  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.ExitCode(10000), 0);
}

void HoldKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof input);
}

void Click(HWND window, int x, int y) {
  MoveMouse(window, x, y);
  ::Sleep(60);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ::Sleep(60);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ::Sleep(120);
}

// The first column of `color` in row `y`, or -1.
int FirstColumnOf(HWND window, int y, uint32_t color) {
  const std::vector<uint32_t> pixels = ScreenPixels(window);
  const int width = ClientSize(window).cx;
  for (int x = 0; x < width; ++x) {
    if (pixels[static_cast<size_t>(y) * width + x] == color) return x;
  }
  return -1;
}

// A game-like package played as a person plays it: the preloader lets the
// game start, the arrows move the hero, Space makes it jump, the button
// scores, and the high score is still there when the package runs again.
TEST_F(StubProcessTest, AGameMovesJumpsScoresAndKeepsItsHighScoreAcrossRuns) {
  using namespace stubtest;
  constexpr uint32_t kHero = 0xDC0A0Au, kBar = 0x1428C8u, kWhite = 0xFFFFFFu;
  const std::string package = Package("jumper.exe", {{"jumper.swf", GameMovie()}}, false);
  const std::string storeFolder = stub::DefaultSharedObjectsFolder() + "\\" +
                                  core::SharedObjectStore::FolderName(stub::PackageDisplayName(package));
  ASSERT_FALSE(storeFolder.empty());
  std::filesystem::remove_all(storeFolder);
  const int groundRow = kHeroGroundY + kHeroSide / 2;
  const int barRow = kBarY + 5;
  const auto barCell = [&](int points) { return kBarX + points * kBarUnit - kBarUnit / 2; };

  {
    Child child(package);
    HWND window = WaitForWindow(child, "QuorvelPlayerWindow");
    ASSERT_NE(window, nullptr) << "exit code " << child.ExitCode(0);
    ::SetForegroundWindow(window);
    // Past the preloader: the loop runs, and no high score yet hides the bar.
    EXPECT_EQ(WaitForPixel(window, kHeroStartX + 5, groundRow, kHero), kHero);
    EXPECT_EQ(WaitForPixel(window, barCell(1), barRow, kWhite), kWhite);

    HoldKey(VK_RIGHT, true);
    const int farther = kHeroStartX + 10 * kHeroStep;
    EXPECT_EQ(WaitForPixel(window, farther + kHeroSide - 2, groundRow, kHero), kHero);
    HoldKey(VK_RIGHT, false);
    ::Sleep(300);
    const int heroX = FirstColumnOf(window, groundRow, kHero);
    EXPECT_GE(heroX, farther);
    HoldKey(VK_LEFT, true);
    EXPECT_EQ(WaitForPixel(window, heroX - 2 * kHeroStep, groundRow, kHero), kHero);
    HoldKey(VK_LEFT, false);
    ::Sleep(300);
    const int landed = FirstColumnOf(window, groundRow, kHero);
    EXPECT_LT(landed, heroX);

    HoldKey(VK_SPACE, true);
    EXPECT_EQ(WaitForPixel(window, landed + 5, kHeroJumpY + 5, kHero), kHero);
    EXPECT_EQ(WaitForPixel(window, landed + 5, groundRow, kWhite), kWhite);
    HoldKey(VK_SPACE, false);
    EXPECT_EQ(WaitForPixel(window, landed + 5, groundRow, kHero), kHero);

    for (int i = 0; i < 3; ++i) Click(window, kGameButtonX + kGameButtonSide / 2, kGameButtonY + kGameButtonSide / 2);
    EXPECT_EQ(WaitForPixel(window, barCell(3), barRow, kBar), kBar);
    EXPECT_EQ(WaitForPixel(window, barCell(4), barRow, kWhite), kWhite);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(10000), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(storeFolder));

  {
    Child child(package);
    HWND window = WaitForWindow(child, "QuorvelPlayerWindow");
    ASSERT_NE(window, nullptr) << "exit code " << child.ExitCode(0);
    ::SetForegroundWindow(window);
    // The high score of the first run, before anything is clicked.
    EXPECT_EQ(WaitForPixel(window, barCell(3), barRow, kBar), kBar);
    EXPECT_EQ(WaitForPixel(window, barCell(4), barRow, kWhite), kWhite);
    // Two points do not beat it; five do.
    for (int i = 0; i < 2; ++i) Click(window, kGameButtonX + kGameButtonSide / 2, kGameButtonY + kGameButtonSide / 2);
    ::Sleep(300);
    EXPECT_EQ(WaitForPixel(window, barCell(4), barRow, kWhite), kWhite);
    for (int i = 0; i < 3; ++i) Click(window, kGameButtonX + kGameButtonSide / 2, kGameButtonY + kGameButtonSide / 2);
    EXPECT_EQ(WaitForPixel(window, barCell(5), barRow, kBar), kBar);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(10000), 0);
  }
  std::filesystem::remove_all(storeFolder);
}

// quorvel-pack extract: the console twin of "Save movies...".
class ExtractTest : public StubProcessTest {
 protected:
  testing_support::ProcessResult Extract(const std::string& package, const std::string& folder,
                                         std::vector<std::string> more = {}) {
    std::vector<std::string> arguments{"extract", package, folder};
    arguments.insert(arguments.end(), more.begin(), more.end());
    std::filesystem::create_directories(work / "scratch");
    return testing_support::RunProcess(sys::ExecutableFolder() + "quorvel-pack.exe", arguments, work / "scratch");
  }
};

TEST_F(ExtractTest, RoundTripsByteExactUnderTheNamesThePlayerGives) {
  const std::string big = testing_support::PseudoRandomBytes(200000, 7);
  stubtest::CraftedPackage crafted;
  const std::vector<std::pair<std::string, std::string>> movies = {
      {"..\\..\\x.swf", intro}, {"C:\\x", big}, {"CON", "con"}, {"", ""}, {"game.swf", game}, {"GAME.swf", "2"}};
  crafted.payload = stubtest::Payload(movies, 1);
  const std::string package = Crafted("hostile.exe", crafted);
  std::filesystem::create_directories(work / "out");
  const testing_support::ProcessResult result = Extract(package, work / "out");
  ASSERT_EQ(result.exitCode, 0) << result.errors;

  const core::Package read = core::ReadPackage(ReadFileBytes(package));
  const std::vector<std::string> names = core::ReleaseFileNames(read.movies);
  EXPECT_EQ(names, (std::vector<std::string>{"_.._x.swf", "C__x", "_CON", "movie4.swf", "game.swf", "GAME (2).swf"}));
  for (size_t i = 0; i < movies.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(work / ("out\\" + names[i])), movies[i].second) << names[i];
  }
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(work / "out")) ++files;
  EXPECT_EQ(files, movies.size());
  EXPECT_FALSE(std::filesystem::exists(work / "x.swf"));

  // A second run overwrites nothing without --force.
  work.Write("out\\C__x", "kept");
  const testing_support::ProcessResult again = Extract(package, work / "out");
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(ReadFileBytes(work / "out\\C__x"), "kept");
  EXPECT_EQ(Extract(package, work / "out", {"--force"}).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(work / "out\\C__x"), big);
}

TEST_F(ExtractTest, APackageWithoutTheReleaseFlagReleasesNothing) {
  const std::string package = Package("locked.exe", {{"intro.swf", intro}}, false);
  std::filesystem::create_directories(work / "out");
  const testing_support::ProcessResult result = Extract(package, work / "out");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.errors.find("does not allow releasing"), std::string::npos) << result.errors;
  EXPECT_TRUE(std::filesystem::is_empty(work / "out"));
}

}  // namespace
