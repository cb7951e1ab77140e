#pragma once
// TMainForm: the program's only main window.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/handles.h"
#include "ui/window.h"

namespace app {

class TMainForm : public ui::Window {
 public:
  // The window's place and client size; every inner size derives from the
  // client size, so it governs over the frame the system draws around it.
  static constexpr POINT kPosition{223, 157};
  static constexpr SIZE kClientSize{566, 349};

  // Creates the window (hidden); `arguments` are the command line's arguments
  // after the program name.
  TMainForm(ui::Seams& seams, std::vector<std::string> arguments);

  // Shows the window in the state the process was started with.
  void ShowAtStart();

  HMENU MainMenu() const { return mainMenu_; }

  void MExitClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void OnCommand(UINT id);

  std::vector<std::string> arguments_;
  HMENU mainMenu_ = nullptr;  // owned by the window once attached
};

}  // namespace app
