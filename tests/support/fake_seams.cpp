#include "support/fake_seams.h"

namespace testing_support {

int FakeDialogs::ShowMessageBox(const ui::MessageBoxRequest& request) {
  messageBoxes.push_back(request);
  if (onMessageBox) onMessageBox(request);
  if (!messageBoxAnswers.empty()) {
    int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
  }
  return (request.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

namespace {

ui::FileDialogResult NextAnswer(std::deque<ui::FileDialogResult>& answers) {
  if (answers.empty()) return {};
  ui::FileDialogResult answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

ui::FileDialogResult FakeDialogs::ShowOpenDialog(const ui::FileDialogRequest& request) {
  openRequests.push_back(request);
  return NextAnswer(openAnswers);
}

ui::FileDialogResult FakeDialogs::ShowSaveDialog(const ui::FileDialogRequest& request) {
  saveRequests.push_back(request);
  return NextAnswer(saveAnswers);
}

void FakeDialogs::OpenWithShell(const ui::ShellRequest& request) { shellRequests.push_back(request); }

void FakePauses::Pause(DWORD milliseconds) {
  pauses.push_back(milliseconds);
  if (onPause) onPause(milliseconds);
}

void FakeModalDriver::ModalShown(HWND window) {
  ++shown;
  if (drivers.empty()) {
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    return;
  }
  auto driver = std::move(drivers.front());
  drivers.pop_front();
  driver(window);
}

void TypeInto(HWND edit, const std::string& text) {
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, -1);
  for (unsigned char c : text) ::SendMessageA(edit, WM_CHAR, c, 1);
}

void Click(HWND button) { ::SendMessageA(button, BM_CLICK, 0, 0); }

std::string TextOf(HWND window) {
  int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

HWND ChildWithText(HWND parent, const std::string& text) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (TextOf(child) == text) return child;
  }
  return nullptr;
}

}  // namespace testing_support
