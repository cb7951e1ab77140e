#include "app/flash_panel.h"

namespace app {

namespace {
constexpr const char* kClassName = "TFlashPanel";
}

FlashPanelWindow::FlashPanelWindow(ui::Seams& seams, HWND parent, std::function<void(int, int)> onResize)
    : ui::Window(seams), onResize_(std::move(onResize)) {
  RegisterWindowClass(ClassDescription(kClassName, IDC_ARROW, COLOR_BTNFACE));
  Create(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr);
}

LRESULT FlashPanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    int width = LOWORD(lParam);
    int height = HIWORD(lParam);
    // The control fills the panel at all times, before anybody hears of it.
    if (content_) ::MoveWindow(content_, 0, 0, width, height, TRUE);
    if (onResize_) onResize_(width, height);
    return 0;
  }
  return Default(message, wParam, lParam);
}

}  // namespace app
