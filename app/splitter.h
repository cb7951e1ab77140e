#pragma once
// Splitter1: the 3-pixel bar between the list pane and the preview. Dragging
// it asks its owner for the new list-pane width; the owner applies the
// limits and lays the window out again.

#include <windows.h>

#include <functional>

#include "ui/window.h"

namespace app {

class Splitter : public ui::Window {
 public:
  static constexpr int kWidth = 3;
  // `onDrag` gets the pane width the pointer asks for.
  Splitter(ui::Seams& seams, HWND parent, std::function<void(int)> onDrag);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::function<void(int)> onDrag_;
  bool dragging_ = false;
  int grabOffset_ = 0;  // where in the bar the pointer took hold
};

// The list-pane width a drag may reach: neither pane narrower than the
// minimum; a window too narrow for both keeps the pane as it was.
int ClampPaneWidth(int wanted, int current, int clientWidth, int minimum, int splitterWidth);

}  // namespace app
