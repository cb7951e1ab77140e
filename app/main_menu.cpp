#include "app/main_menu.h"

namespace app {

std::vector<ui::Popup> MainMenuLayout() {
  using ui::MenuItem;
  return {
      {"File",
       {MenuItem{kMOpenProject, "Open Project", true}, MenuItem{kMSaveProject, "Save Project", true},
        MenuItem::Separator(), MenuItem{kMExit, "Exit", false}}},
      {"Edit",
       {MenuItem{kMAddFlash, "Add Flash", true}, MenuItem{kMRemove, "Remove", true}, MenuItem::Separator(),
        MenuItem{kMClear, "Clear", true}}},
      {"Action", {MenuItem{kMBuildEXEfile, "Build EXE file", true}}},
      {"Help",
       {MenuItem{kMContent, "Content", false}, MenuItem::Separator(), MenuItem{kMWebPage, "Web Page", false},
        MenuItem::Separator(), MenuItem{kMAbout, "About", false}}},
  };
}

}  // namespace app
