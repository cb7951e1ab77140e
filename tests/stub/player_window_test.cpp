// The player window in-process: a real window under Wine with a package of
// movies made in code, the user's dialogs answered by scripted fakes.
#include "stub/player_window.h"

#include "core/release_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "stub/movie_release.h"
#include "stub/stub_menu.h"
#include "stub/stub_texts.h"
#include "stub_movies.h"
#include "support/button_movie.h"
#include "support/fake_seams.h"
#include "support/screen_capture.h"
#include "swf/parse/tag_header.h"
#include "swf/player.h"
#include "swf/swf_builder.h"
#include "sys/temp_folder.h"

namespace {

using testing_support::FakeSeams;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

class FakeFolderChooser final : public stub::FolderChooser {
 public:
  std::deque<std::optional<std::string>> answers;
  int asked = 0;
  std::optional<std::string> ChooseFolder(HWND, const std::string&) override {
    ++asked;
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

const swf::Rgba kBlue{20, 40, 200, 255};
const swf::Rgba kRed{220, 10, 10, 255};
const swf::Rgba kGreen{10, 160, 40, 255};
const swf::Rgba kYellow{250, 220, 0, 255};

std::string Intro() { return stubtest::SquareMovie(400, 300, kBlue, kRed, 30, 40, 3, 12); }
std::string Game() { return stubtest::SquareMovie(320, 200, kGreen, kYellow, 100, 50, 2, 30); }

core::Package PackageOf(const std::vector<std::pair<std::string, std::string>>& movies, bool release) {
  stubtest::CraftedPackage crafted;
  crafted.payload = stubtest::Payload(movies, release ? 1 : 0);
  return core::ReadPackage(stubtest::Assemble(crafted));
}

// The engine's own picture of a movie's first frame at its stage size,
// 0x00RRGGBB as the screen holds it.
std::vector<uint32_t> EngineFirstFrame(const std::string& movie, int width, int height, swf::Quality quality) {
  swf::Player player(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(movie.data()), movie.size()));
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  swf::RenderTarget target{reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4,
                           swf::PixelFormat::kBgra32};
  player.Render(target, quality);
  for (uint32_t& p : pixels) p &= 0x00FFFFFFu;
  return pixels;
}

// What the window's client area shows on screen now.
std::vector<uint32_t> ScreenPixels(HWND window) {
  ::UpdateWindow(window);
  RECT client{};
  ::GetClientRect(window, &client);
  ui::WindowDc screen(window);
  return testsupport::CopyPixels(screen.Get(), 0, 0, client.right, client.bottom);
}

uint32_t Screen(swf::Rgba c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

std::string Caption(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// The captions of a menu's items, "-" for a separator.
std::vector<std::string> Items(HMENU menu) {
  std::vector<std::string> items;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back(text[0] ? text : "-");
  }
  return items;
}

bool HasCommand(HMENU bar, UINT id) { return ::GetMenuState(bar, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

class PlayerWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<stub::PlayerWindow> Open(core::Package package) {
    auto window = std::make_unique<stub::PlayerWindow>(fakes.seams, folders, std::move(package),
                                                       stub::PlayerWindowOptions{"space game", false});
    window->Show(SW_SHOWNORMAL);
    return window;
  }
  void Command(stub::PlayerWindow& window, UINT id) { ::SendMessageA(window.Handle(), WM_COMMAND, id, 0); }

  FakeSeams fakes;
  FakeFolderChooser folders;
  TempFolder work;
};

TEST_F(PlayerWindowTest, PlaysTheFirstMovieAtItsStageSizeWithTheEnginesPixels) {
  const std::string intro = Intro();
  auto window = Open(PackageOf({{"intro.swf", intro}, {"game.swf", Game()}}, false));
  EXPECT_EQ(Caption(window->Handle()), "space game - intro.swf");
  EXPECT_EQ(ClientSize(window->Handle()).cx, 400);
  EXPECT_EQ(ClientSize(window->Handle()).cy, 300);
  EXPECT_EQ(window->MovieIndex(), 0u);
  ASSERT_NE(window->CurrentPlayer(), nullptr);
  EXPECT_TRUE(window->IsPlaying());
  EXPECT_EQ(window->CurrentPlayer()->FrameRate(), 12.0);

  const std::vector<uint32_t> expected = EngineFirstFrame(intro, 400, 300, swf::Quality::kHigh);
  const std::vector<uint32_t> shown = ScreenPixels(window->Handle());
  ASSERT_EQ(shown.size(), expected.size());
  size_t different = 0;
  for (size_t i = 0; i < shown.size(); ++i) different += shown[i] != expected[i];
  EXPECT_EQ(different, 0u);
  // And the picture is the movie: its background, and its square in place.
  EXPECT_EQ(shown[5 * 400 + 5], Screen(kBlue));
  EXPECT_EQ(shown[70 * 400 + 60], Screen(kRed));
}

TEST_F(PlayerWindowTest, TheMoviesMenuSwitchesMoviesAndTheWindowFollowsTheStage) {
  const std::string game = Game();
  auto window = Open(PackageOf({{"intro.swf", Intro()}, {"game & more.swf", game}}, false));
  HMENU bar = window->MenuBar();
  ASSERT_EQ(Items(bar), (std::vector<std::string>{"&Movies", "&Play", "&View", "&Help"}));
  EXPECT_EQ(Items(::GetSubMenu(bar, 0)), (std::vector<std::string>{"intro.swf", "game && more.swf"}));

  Command(*window, stub::command::kFirstMovie + 1);
  EXPECT_EQ(window->MovieIndex(), 1u);
  EXPECT_EQ(Caption(window->Handle()), "space game - game & more.swf");
  EXPECT_EQ(ClientSize(window->Handle()).cx, 320);
  EXPECT_EQ(ClientSize(window->Handle()).cy, 200);
  EXPECT_EQ(window->CurrentPlayer()->CurrentFrame(), 0u);
  EXPECT_EQ(ScreenPixels(window->Handle()), EngineFirstFrame(game, 320, 200, swf::Quality::kHigh));

  // The open Movies menu marks the movie that plays.
  ::SendMessageA(window->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(bar, 0)), 0);
  EXPECT_TRUE(::GetMenuState(bar, stub::command::kFirstMovie + 1, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(::GetMenuState(bar, stub::command::kFirstMovie, MF_BYCOMMAND) & MF_CHECKED);

  Command(*window, stub::command::kFirstMovie);
  EXPECT_EQ(ClientSize(window->Handle()).cx, 400);
  // A command for a movie that is not there changes nothing.
  Command(*window, stub::command::kFirstMovie + 2);
  EXPECT_EQ(window->MovieIndex(), 0u);
}

TEST_F(PlayerWindowTest, PlayPauseStepsAndRewind) {
  auto window = Open(PackageOf({{"intro.swf", Intro()}}, false));
  const swf::Player& player = *window->CurrentPlayer();
  HMENU play = ::GetSubMenu(window->MenuBar(), 0);
  const auto playItem = [&] {
    ::SendMessageA(window->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(play), 0);
    char text[64] = {};
    ::GetMenuStringA(play, stub::command::kPlayPause, text, sizeof text, MF_BYCOMMAND);
    return std::string(text);
  };
  EXPECT_EQ(playItem(), "&Pause\tCtrl+P");
  Command(*window, stub::command::kPlayPause);
  EXPECT_FALSE(window->IsPlaying());
  EXPECT_EQ(playItem(), "&Play\tCtrl+P");
  Command(*window, stub::command::kStepForward);
  Command(*window, stub::command::kStepForward);
  EXPECT_EQ(player.CurrentFrame(), 2u);
  Command(*window, stub::command::kStepForward);  // the last frame stays
  EXPECT_EQ(player.CurrentFrame(), 2u);
  // Frame 2 shows the square 40 pixels further right.
  const std::vector<uint32_t> shown = ScreenPixels(window->Handle());
  EXPECT_EQ(shown[70 * 400 + 60], Screen(kBlue));
  EXPECT_EQ(shown[70 * 400 + 100], Screen(kRed));
  Command(*window, stub::command::kStepBack);
  EXPECT_EQ(player.CurrentFrame(), 1u);
  Command(*window, stub::command::kPlayPause);
  EXPECT_TRUE(window->IsPlaying());
  Command(*window, stub::command::kRewind);
  EXPECT_FALSE(window->IsPlaying());
  EXPECT_EQ(player.CurrentFrame(), 0u);
  Command(*window, stub::command::kStepBack);  // the first frame stays
  EXPECT_EQ(player.CurrentFrame(), 0u);
  // Ctrl and a key do the same; the keys alone are the movie's.
  const auto key = [&](WPARAM code, bool control) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageA(window->Handle(), WM_KEYDOWN, code, 0);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
  };
  key(VK_RIGHT, false);
  key(VK_SPACE, false);
  key(VK_HOME, false);
  key('P', false);
  EXPECT_EQ(player.CurrentFrame(), 0u);
  EXPECT_FALSE(window->IsPlaying());
  key(VK_RIGHT, true);
  key(VK_RIGHT, true);
  EXPECT_EQ(player.CurrentFrame(), 2u);
  key(VK_LEFT, true);
  EXPECT_EQ(player.CurrentFrame(), 1u);
  key('P', true);
  EXPECT_TRUE(window->IsPlaying());
  key('R', true);
  EXPECT_FALSE(window->IsPlaying());
  EXPECT_EQ(player.CurrentFrame(), 0u);
}

TEST_F(PlayerWindowTest, TheClockAdvancesFramesAtTheMoviesRate) {
  auto window = Open(PackageOf({{"game.swf", Game()}}, false));  // 30 frames per second
  const DWORD start = ::GetTickCount();
  MSG message;
  while (window->CurrentPlayer()->CurrentFrame() == 0 && ::GetTickCount() - start < 3000) {
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ::Sleep(5);
  }
  EXPECT_EQ(window->CurrentPlayer()->CurrentFrame(), 1u);
}

// A movie with a stream and an event sound plays through the real wave-out
// path (Wine's sound on ALSA's null device): the buffers written hold sound
// until Mute (menu or Ctrl+M), which the Play menu shows checked.
TEST_F(PlayerWindowTest, PlaysItsSoundThroughTheDeviceUntilMuted) {
  auto window = Open(PackageOf({{"sound.swf", stubtest::SoundMovie(240)}}, false));
  const auto runUntil = [&](auto done) {
    const DWORD start = ::GetTickCount();
    MSG message;
    while (!done() && ::GetTickCount() - start < 5000) {
      while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
      ::Sleep(5);
    }
    return done();
  };
  ASSERT_TRUE(runUntil([&] { return window->SoundWritten().audibleBuffers >= 8; }))
      << window->SoundWritten().buffers << " buffers written, none with sound";
  // The frames run with the sound.
  EXPECT_TRUE(runUntil([&] { return window->CurrentPlayer()->CurrentFrame() >= 3; }));

  HMENU play = ::GetSubMenu(window->MenuBar(), 0);
  const auto muteChecked = [&] {
    ::SendMessageA(window->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(play), 0);
    return (::GetMenuState(play, stub::command::kMute, MF_BYCOMMAND) & MF_CHECKED) != 0;
  };
  EXPECT_FALSE(muteChecked());
  Command(*window, stub::command::kMute);
  EXPECT_TRUE(window->IsMuted());
  EXPECT_TRUE(muteChecked());
  const auto muted = window->SoundWritten();
  ASSERT_TRUE(runUntil([&] { return window->SoundWritten().buffers >= muted.buffers + 8; }));
  EXPECT_EQ(window->SoundWritten().audibleBuffers, muted.audibleBuffers);  // muted from the next buffer on

  // Ctrl+M turns it back on.
  ::SetFocus(window->Handle());
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageA(window->Handle(), WM_KEYDOWN, 'M', 0);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_FALSE(window->IsMuted());
  const auto unmuted = window->SoundWritten();
  EXPECT_TRUE(runUntil([&] { return window->SoundWritten().audibleBuffers >= unmuted.audibleBuffers + 4; }));
}

TEST_F(PlayerWindowTest, QualityAndFullScreenComeAndGo) {
  const std::string intro = Intro();
  auto window = Open(PackageOf({{"intro.swf", intro}}, false));
  Command(*window, stub::command::kPlayPause);
  Command(*window, stub::command::kQualityLow);
  EXPECT_EQ(window->CurrentQuality(), swf::Quality::kLow);
  EXPECT_EQ(ScreenPixels(window->Handle()), EngineFirstFrame(intro, 400, 300, swf::Quality::kLow));
  Command(*window, stub::command::kQualityHigh);
  EXPECT_EQ(window->CurrentQuality(), swf::Quality::kHigh);

  ::SendMessageA(window->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(window->MenuBar(), 1)), 1);
  EXPECT_TRUE(::GetMenuState(window->MenuBar(), stub::command::kQualityHigh, MF_BYCOMMAND) & MF_CHECKED);

  RECT before{};
  ::GetWindowRect(window->Handle(), &before);
  Command(*window, stub::command::kFullScreen);
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_EQ(::GetMenu(window->Handle()), nullptr);
  EXPECT_EQ(ClientSize(window->Handle()).cx, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(ClientSize(window->Handle()).cy, ::GetSystemMetrics(SM_CYSCREEN));
  // Show all: the stage is scaled up and centred; the middle shows the stage.
  const std::vector<uint32_t> full = ScreenPixels(window->Handle());
  EXPECT_EQ(full[(ClientSize(window->Handle()).cy / 2) * ClientSize(window->Handle()).cx + 10], Screen(kBlue));

  ::SendMessageA(window->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(::GetMenu(window->Handle()), window->MenuBar());
  EXPECT_EQ(ClientSize(window->Handle()).cx, 400);
  EXPECT_EQ(ClientSize(window->Handle()).cy, 300);
  RECT after{};
  ::GetWindowRect(window->Handle(), &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(PlayerWindowTest, CtrlFEntersFullScreenAndEscapeLeavesIt) {
  auto window = Open(PackageOf({{"intro.swf", Intro()}}, false));
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageA(window->Handle(), WM_KEYDOWN, 'F', 0);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(window->IsFullScreen());
  ::SendMessageA(window->Handle(), WM_KEYDOWN, 'F', 0);  // F alone does nothing
  EXPECT_TRUE(window->IsFullScreen());
  ::SendMessageA(window->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(window->IsFullScreen());
  ::SendMessageA(window->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);  // and Escape in a window is the movie's
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_TRUE(window->IsPlaying());
  EXPECT_EQ(ClientSize(window->Handle()).cx, 400);
}

TEST_F(PlayerWindowTest, ASmallStageGetsItsClientSizeEvenUnderAWrappedMenuBar) {
  auto window = Open(PackageOf({{"tiny.swf", stubtest::SquareMovie(150, 60, kBlue, kRed, 0, 0)}, {"b.swf", Game()}},
                               true));
  EXPECT_EQ(ClientSize(window->Handle()).cx, 150);
  EXPECT_EQ(ClientSize(window->Handle()).cy, 60);
}

TEST_F(PlayerWindowTest, AStageLargerThanTheScreenIsShownSmallerWithItsAspectKept) {
  auto window = Open(PackageOf({{"huge.swf", stubtest::SquareMovie(3000, 1500, kBlue, kRed, 0, 0)}}, false));
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT outer{};
  ::GetWindowRect(window->Handle(), &outer);
  EXPECT_GE(outer.left, work.left);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(outer.bottom, work.bottom);
  const SIZE client = ClientSize(window->Handle());
  EXPECT_LT(client.cx, 3000);
  EXPECT_NEAR(client.cx, 2 * client.cy, 2);
}

TEST_F(PlayerWindowTest, AResizedWindowShowsTheWholeStage) {
  auto window = Open(PackageOf({{"intro.swf", Intro()}}, false));
  Command(*window, stub::command::kPlayPause);
  RECT outer{};
  ::GetWindowRect(window->Handle(), &outer);
  // 200 wider: the 400 × 300 stage stays 300 high and is centred, with bars.
  ::SetWindowPos(window->Handle(), nullptr, 0, 0, outer.right - outer.left + 200, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  const std::vector<uint32_t> shown = ScreenPixels(window->Handle());
  ASSERT_EQ(ClientSize(window->Handle()).cx, 600);
  EXPECT_EQ(shown[70 * 600 + 160], Screen(kRed));  // the square 100 pixels to the right
  EXPECT_EQ(shown[70 * 600 + 60], Screen(kBlue));
}

TEST_F(PlayerWindowTest, AMovieTheEngineCannotReadSaysSoAndTheOthersStillPlay) {
  auto window = Open(PackageOf({{"broken.swf", "this is no movie"}, {"game.swf", Game()}}, false));
  EXPECT_EQ(window->CurrentPlayer(), nullptr);
  EXPECT_FALSE(window->MovieError().empty());
  EXPECT_FALSE(window->IsPlaying());
  Command(*window, stub::command::kPlayPause);  // nothing to play, nothing breaks
  Command(*window, stub::command::kStepForward);
  EXPECT_EQ(ClientSize(window->Handle()).cx, 550);
  Command(*window, stub::command::kFirstMovie + 1);
  ASSERT_NE(window->CurrentPlayer(), nullptr);
  EXPECT_TRUE(window->IsPlaying());
}

TEST_F(PlayerWindowTest, WithoutTheReleaseFlagThereIsNoSaveCommandAndAStrayOneDoesNothing) {
  auto two = Open(PackageOf({{"a.swf", Intro()}, {"b.swf", Game()}}, false));
  EXPECT_FALSE(HasCommand(two->MenuBar(), stub::command::kSaveMovies));
  EXPECT_EQ(Items(::GetSubMenu(two->MenuBar(), 0)), (std::vector<std::string>{"a.swf", "b.swf"}));
  folders.answers.push_back(work.Path());
  Command(*two, stub::command::kSaveMovies);
  EXPECT_EQ(folders.asked, 0);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_TRUE(std::filesystem::is_empty(work.Path()));

  auto one = Open(PackageOf({{"a.swf", Intro()}}, false));
  EXPECT_EQ(Items(one->MenuBar()), (std::vector<std::string>{"&Play", "&View", "&Help"}));
}

TEST_F(PlayerWindowTest, WithTheReleaseFlagSaveMoviesWritesEveryMovieSafely) {
  const std::string intro = Intro();
  auto window = Open(PackageOf({{"..\\..\\x.swf", intro}, {"C:\\x", "second"}, {"CON", "third"}, {"", ""}}, true));
  EXPECT_EQ(Items(::GetSubMenu(window->MenuBar(), 0)),
            (std::vector<std::string>{"..\\..\\x.swf", "C:\\x", "CON", "(movie 4)", "-", "&Save movies..."}));
  Command(*window, stub::command::kFirstMovie + 3);
  EXPECT_EQ(Caption(window->Handle()), "space game - (movie 4)");
  std::filesystem::create_directories(work / "inner\\out");
  const std::string out = work / "inner\\out";
  folders.answers.push_back(out);
  Command(*window, stub::command::kSaveMovies);
  EXPECT_EQ(folders.asked, 1);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(out)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"C__x", "_.._x.swf", "_CON", "movie4.swf"}));
  EXPECT_EQ(ReadFileBytes(core::JoinFolder(out, "_.._x.swf")), intro);
  EXPECT_EQ(ReadFileBytes(core::JoinFolder(out, "C__x")), "second");
  // Nothing went up or out.
  EXPECT_FALSE(std::filesystem::exists(work / "x.swf"));
  EXPECT_FALSE(std::filesystem::exists(work / "inner\\x.swf"));
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "4 movies saved in " + out + ".");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, stub::texts::kPlayerTitle);
}

TEST_F(PlayerWindowTest, SaveMoviesAsksBeforeOverwritingAndCancelWritesNothing) {
  auto window = Open(PackageOf({{"a.swf", Intro()}, {"b.swf", "new b"}}, true));
  Command(*window, stub::command::kSaveMovies);  // the folder dialog cancelled
  EXPECT_EQ(folders.asked, 1);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());

  const std::string old = work.Write("b.swf", "old b");
  folders.answers.push_back(work.Path());
  fakes.dialogs.messageBoxAnswers = {IDNO, IDOK};
  Command(*window, stub::command::kSaveMovies);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 2u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, old + " exists. Do you want to overwrite it?");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].text,
            "1 movie saved in " + work.Path() + ".\r\n1 existing file was kept.");
  EXPECT_EQ(ReadFileBytes(old), "old b");

  folders.answers.push_back(work.Path());
  fakes.dialogs.messageBoxAnswers = {IDYES, IDYES, IDOK};
  Command(*window, stub::command::kSaveMovies);
  EXPECT_EQ(ReadFileBytes(old), "new b");
}

TEST_F(PlayerWindowTest, SaveMoviesIntoAMissingFolderSaysItFailed) {
  auto window = Open(PackageOf({{"a.swf", Intro()}}, true));
  EXPECT_EQ(Items(window->MenuBar()).front(), "&File");
  folders.answers.push_back(work / "not here");
  Command(*window, stub::command::kSaveMovies);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text.rfind(std::string(stub::texts::kSaveFailed) + "\r\n", 0), 0u);
  EXPECT_NE(fakes.dialogs.messageBoxes[0].text.find("not here"), std::string::npos);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(PlayerWindowTest, AboutNamesThePackageAndItsDate) {
  auto window = Open(PackageOf({{"a.swf", Intro()}, {"b.swf", Game()}}, false));
  Command(*window, stub::command::kAbout);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "About");
  // 46000 days after 30 December 1899.
  EXPECT_NE(fakes.dialogs.messageBoxes[0].text.find("Package \"space game\": 2 movies, built on 2025-12-09."),
            std::string::npos)
      << fakes.dialogs.messageBoxes[0].text;
}

// Intro's square and stage with ActionScript 3 code, which is not run.
std::string As3Intro() {
  std::vector<swftest::Bytes> tags = {
      swftest::Tag(swf::tag::kFileAttributes, {0x08, 0, 0, 0}), swftest::Tag(swf::tag::kDoAbc, {0, 0, 0, 0}),
      swftest::Tag(swf::tag::kSetBackgroundColor, {kBlue.r, kBlue.g, kBlue.b}),
      swftest::SquareShapeTag(1, 60 * 20, kRed)};
  const swf::Matrix place = swf::Matrix::Translate(30 * 20, 40 * 20);
  swftest::Place p;
  p.characterId = 1;
  p.matrix = &place;
  tags.push_back(swftest::PlaceObject2(p));
  tags.push_back(swftest::ShowFrame());
  const swftest::Bytes bytes = swftest::Movie(tags, swftest::Signature::kCws, 10, swf::Rect{0, 8000, 0, 6000});
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(PlayerWindowTest, TheCaptionSaysOnceWhatAMovieUsesThatIsNotRunAndThePictureStaysTheEngines) {
  const std::string as3 = As3Intro();
  auto window = Open(PackageOf({{"as3.swf", as3}, {"intro.swf", Intro()}}, false));
  EXPECT_EQ(Caption(window->Handle()),
            "space game - as3.swf - ActionScript 3 is not run: this movie may not work in a package");
  EXPECT_EQ(ScreenPixels(window->Handle()), EngineFirstFrame(as3, 400, 300, swf::Quality::kHigh));
  // Played again, it is still said once.
  Command(*window, stub::command::kFirstMovie);
  EXPECT_EQ(Caption(window->Handle()),
            "space game - as3.swf - ActionScript 3 is not run: this movie may not work in a package");

  Command(*window, stub::command::kFirstMovie + 1);
  EXPECT_EQ(Caption(window->Handle()), "space game - intro.swf");
}

TEST_F(PlayerWindowTest, HelpLicencesShowsEveryNoticeInAReadOnlyWindowThatScrolls) {
  auto window = Open(PackageOf({{"intro.swf", Intro()}}, false));
  HMENU bar = window->MenuBar();
  EXPECT_EQ(Items(::GetSubMenu(bar, ::GetMenuItemCount(bar) - 1)), (std::vector<std::string>{"&Licences", "&About"}));
  EXPECT_EQ(window->Licences(), nullptr);

  Command(*window, stub::command::kLicences);
  const stub::LicencesWindow* licences = window->Licences();
  ASSERT_NE(licences, nullptr);
  EXPECT_TRUE(::IsWindowVisible(licences->Handle()));
  EXPECT_EQ(::GetWindow(licences->Handle(), GW_OWNER), window->Handle());
  EXPECT_EQ(Caption(licences->Handle()), "Licences");
  HWND edit = licences->TextControl();
  const LONG style = ::GetWindowLongA(edit, GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);

  std::string text(static_cast<size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
  EXPECT_EQ(text.rfind("Quorvel EXE Packager\r\n\r\nMIT License\r\n\r\n"
                       "Copyright (c) 2026 the Quorvel EXE Packager developers",
                       0),
            0u);
  // One phrase of each library's notice, in the order of the index.
  size_t from = 0;
  for (const char* phrase :
       {"Jean-loup Gailly and Mark Adler", "based in part on the work of the Independent JPEG Group",
        "The PNG Reference Library Authors", "Eric S. Raymond", "liblzma is in the public domain", "Maxim Shemanarev",
        "mingw-w64 project", "GCC RUNTIME LIBRARY EXCEPTION"}) {
    const size_t at = text.find(phrase, from);
    EXPECT_NE(at, std::string::npos) << phrase;
    if (at != std::string::npos) from = at;
  }
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);

  // On screen: letters in the control, and more lines than fit, which scroll.
  const std::vector<uint32_t> shown = ScreenPixels(edit);
  EXPECT_GT(std::count_if(shown.begin(), shown.end(), [](uint32_t p) { return (p & 0xFF) < 0x60; }), 500);
  EXPECT_GT(::SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 500);
  EXPECT_EQ(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  ::SendMessageA(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
  EXPECT_NE(ScreenPixels(edit), shown);

  // Closing hides it; asked again, the same window comes back at the top.
  ::SendMessageA(licences->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(licences->Handle()));
  Command(*window, stub::command::kLicences);
  EXPECT_EQ(window->Licences(), licences);
  EXPECT_TRUE(::IsWindowVisible(licences->Handle()));
  EXPECT_EQ(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// The cursor is the window's own business in its process: over the button
// it is the system's hand, elsewhere the arrow.
TEST_F(PlayerWindowTest, TheCursorIsTheHandOverAButton) {
  auto window = Open(PackageOf({{"button.swf", testsupport::ButtonMovie()}}, false));
  ::SetForegroundWindow(window->Handle());
  const auto cursorAt = [&](int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(window->Handle(), &at);
    ::SetCursorPos(at.x, at.y);
    // The move and the cursor request come as messages.
    const DWORD start = ::GetTickCount();
    MSG message;
    while (::GetTickCount() - start < 500) {
      while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
      ::Sleep(10);
    }
    CURSORINFO info{};
    info.cbSize = sizeof info;
    ::GetCursorInfo(&info);
    return info.hCursor;
  };
  const HCURSOR hand = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  const HCURSOR arrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  using testsupport::kButtonLeft, testsupport::kButtonTop, testsupport::kButtonSide;
  EXPECT_EQ(cursorAt(kButtonLeft + kButtonSide + 20, kButtonTop), arrow);
  EXPECT_EQ(cursorAt(kButtonLeft + kButtonSide / 2, kButtonTop + kButtonSide / 2), hand);
  EXPECT_EQ(window->CurrentPlayer()->Cursor(), swf::CursorShape::kHand);
  EXPECT_EQ(cursorAt(kButtonLeft + kButtonSide + 20, kButtonTop), arrow);
}

}  // namespace
