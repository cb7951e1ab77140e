#include "ui/message_loop.h"

namespace ui {

int RunMessageLoop() {
  MSG message{};
  BOOL got;
  while ((got = ::GetMessageA(&message, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

void ProcessPendingMessages() {
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

}  // namespace ui
