// The window base and the message loop against real windows.
#include "ui/window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/fake_seams.h"
#include "ui/message_loop.h"

namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kRecord = WM_APP + 2;
constexpr UINT kQuit = WM_APP + 3;

class ProbeWindow : public ui::Window {
 public:
  explicit ProbeWindow(ui::Seams& seams, bool failCreate = false) : ui::Window(seams), failCreate_(failCreate) {
    WNDCLASSEXA windowClass{};
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuorvelProbeWindow";
    RegisterWindowClass(windowClass);
    Create(0, "QuorvelProbeWindow", "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr);
  }
  std::vector<UINT> handled;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CREATE:
        if (failCreate_) throw std::runtime_error("Cannot create the probe");
        return 0;
      case kThrow:
        throw std::runtime_error("Command failed: " + std::to_string(wParam));
      case kRecord:
        handled.push_back(static_cast<UINT>(wParam));
        return 0;
      case kQuit:
        ::PostQuitMessage(static_cast<int>(wParam));
        return 0;
      default:
        return Default(message, wParam, lParam);
    }
  }

 private:
  bool failCreate_;
};

TEST(Window, IsBoundToItsHandleAndLetsGoWhenDestroyed) {
  testing_support::FakeSeams fakes;
  HWND hwnd;
  {
    ProbeWindow window(fakes.seams);
    hwnd = window.Handle();
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(::SendMessageA(hwnd, kRecord, 5, 0), 0);
    EXPECT_EQ(window.handled, std::vector<UINT>{5});
  }
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Window, LoopGoesOnAfterAnExceptionEndsACommand) {
  testing_support::FakeSeams fakes;
  ProbeWindow window(fakes.seams);
  ::PostMessageA(window.Handle(), kThrow, 7, 0);
  ::PostMessageA(window.Handle(), kRecord, 1, 0);
  ::PostMessageA(window.Handle(), kThrow, 8, 0);
  ::PostMessageA(window.Handle(), kRecord, 2, 0);
  ::PostMessageA(window.Handle(), kQuit, 9, 0);

  EXPECT_EQ(ui::RunMessageLoop(), 9);

  EXPECT_EQ(window.handled, (std::vector<UINT>{1, 2}));
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 2u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Command failed: 7.");
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].text, "Command failed: 8.");
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].caption, "Quorvel EXE Packager");
}

TEST(Window, FailureWhileCreatingReachesTheCreatorUnreported) {
  testing_support::FakeSeams fakes;
  try {
    ProbeWindow window(fakes.seams, true);
    FAIL() << "creation should have failed";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Cannot create the probe");
  }
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
  EXPECT_EQ(::FindWindowA("QuorvelProbeWindow", "probe"), nullptr);
}

TEST(MessageLoop, PendingPassHandlesWaitingMessagesAndKeepsQuitForTheLoop) {
  testing_support::FakeSeams fakes;
  ProbeWindow window(fakes.seams);
  ::PostMessageA(window.Handle(), kRecord, 1, 0);
  ::PostMessageA(window.Handle(), kRecord, 2, 0);
  ::PostQuitMessage(4);

  ui::ProcessPendingMessages();
  EXPECT_EQ(window.handled, (std::vector<UINT>{1, 2}));

  // The quit met by the pass is still there for the main loop.
  EXPECT_EQ(ui::RunMessageLoop(), 4);
}

}  // namespace
