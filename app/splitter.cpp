#include "app/splitter.h"

#include <windowsx.h>

namespace app {

namespace {
constexpr const char* kClassName = "TSplitter";
}

int ClampPaneWidth(int wanted, int current, int clientWidth, int minimum, int splitterWidth) {
  int largest = clientWidth - splitterWidth - minimum;
  if (largest < minimum) return current;  // no room to move without collapsing a pane
  if (wanted < minimum) return minimum;
  if (wanted > largest) return largest;
  return wanted;
}

Splitter::Splitter(ui::Seams& seams, HWND parent, std::function<void(int)> onDrag)
    : ui::Window(seams), onDrag_(std::move(onDrag)) {
  RegisterWindowClass(ClassDescription(kClassName, IDC_SIZEWE, COLOR_BTNFACE));
  Create(0, kClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, 0, parent, nullptr);
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      dragging_ = true;
      grabOffset_ = GET_X_LPARAM(lParam);
      ::SetCapture(Handle());
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(Handle(), ::GetParent(Handle()), &p, 1);
        onDrag_(p.x - grabOffset_);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) ::ReleaseCapture();
      }
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace app
