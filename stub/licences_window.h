#pragma once
// Help, Licences: a plain window over the player with the licence texts in a
// read-only edit control that scrolls. Closing it only hides it; the player
// window owns it and shows it again.

#include <windows.h>

#include <string_view>

#include "ui/window.h"

namespace stub {

class LicencesWindow final : public ui::Window {
 public:
  // Created hidden, owned by `owner`, holding `text` ("\n" line ends).
  LicencesWindow(ui::Seams& seams, HWND owner, std::string_view text);

  // Shows the window in front, its text scrolled to the top.
  void ShowInFront();
  HWND TextControl() const { return edit_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND edit_ = nullptr;  // a child: destroyed with the window
};

}  // namespace stub
