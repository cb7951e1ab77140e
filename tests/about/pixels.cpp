#include "pixels.h"

namespace about_test {

COLORREF WindowPixel(HWND window, int x, int y) {
  HDC dc = ::GetWindowDC(window);
  COLORREF colour = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return colour;
}

void PaintNow(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void PumpMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

bool HasPendingPaint(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

}  // namespace about_test
