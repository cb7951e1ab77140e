#pragma once
// The main window's commands: one identifier per menu item and per toolbar
// button, so that a toolbar click can run its own test before the command.

#include <windows.h>

#include <vector>

#include "ui/menu.h"

namespace app {

enum CommandId : UINT {
  kMOpenProject = 100,
  kMSaveProject,
  kMExit,
  kMAddFlash,
  kMRemove,
  kMClear,
  kMBuildEXEfile,
  kMContent,
  kMWebPage,
  kMAbout,
};

// File, Edit, Action and Help with their items, in menu order.
std::vector<ui::Popup> MainMenuLayout();

}  // namespace app
