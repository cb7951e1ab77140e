#pragma once
// Scripted stand-ins for the seams: they answer from queues that a test fills
// in advance and record every request, so that a test can check exactly what a
// command asked (text, caption, buttons, filter, default extension, pauses).

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/seams.h"

namespace testing_support {

class FakeDialogs final : public ui::Dialogs {
 public:
  // Answers, consumed in order. A message box with no scripted answer gets
  // the box's first button (IDOK, or IDYES for Yes/No); a file dialog with
  // none is cancelled.
  std::deque<int> messageBoxAnswers;
  std::deque<ui::FileDialogResult> openAnswers;
  std::deque<ui::FileDialogResult> saveAnswers;

  std::vector<ui::MessageBoxRequest> messageBoxes;
  std::vector<ui::FileDialogRequest> openRequests;
  std::vector<ui::FileDialogRequest> saveRequests;
  std::vector<ui::ShellRequest> shellRequests;

  // Runs while a message box is "up", for tests that check what the program
  // looks like behind it (for example that a window has already gone).
  std::function<void(const ui::MessageBoxRequest&)> onMessageBox;

  int ShowMessageBox(const ui::MessageBoxRequest& request) override;
  ui::FileDialogResult ShowOpenDialog(const ui::FileDialogRequest& request) override;
  ui::FileDialogResult ShowSaveDialog(const ui::FileDialogRequest& request) override;
  void OpenWithShell(const ui::ShellRequest& request) override;
};

class FakePauses final : public ui::Pauses {
 public:
  std::vector<DWORD> pauses;
  std::function<void(DWORD)> onPause;
  void Pause(DWORD milliseconds) override;
};

// Runs the scripted drivers in order, one per modal window shown. A modal
// window shown with no driver left is closed with WM_CLOSE, so that a test
// never hangs on a window nobody works.
class FakeModalDriver final : public ui::ModalDriver {
 public:
  std::deque<std::function<void(HWND)>> drivers;
  int shown = 0;
  void ModalShown(HWND window) override;
};

// One set of fakes, ready to hand to the program's windows.
struct FakeSeams {
  FakeDialogs dialogs;
  FakePauses pauses;
  FakeModalDriver modal;
  ui::Seams seams{dialogs, pauses, modal};
};

// A person's actions on a live control.
void TypeInto(HWND edit, const std::string& text);  // focus, select all, type characters
void Click(HWND button);                            // press and release
std::string TextOf(HWND window);
HWND ChildWithText(HWND parent, const std::string& text);

}  // namespace testing_support
