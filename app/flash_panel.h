#pragma once
// FlashPanel: the preview area, a plain panel that keeps the player control
// filling it and tells its owner of every size change.

#include <windows.h>

#include <functional>

#include "ui/window.h"

namespace app {

class FlashPanelWindow : public ui::Window {
 public:
  FlashPanelWindow(ui::Seams& seams, HWND parent, std::function<void(int, int)> onResize);
  void SetContent(HWND content) { content_ = content; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::function<void(int, int)> onResize_;
  HWND content_ = nullptr;
};

}  // namespace app
