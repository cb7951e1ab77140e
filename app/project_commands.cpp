// The File menu's project commands, handed to the project unit.
#include "app/MainUnit.h"
#include "project/project_commands.h"

namespace app {

void TMainForm::MSaveProjectClick() { project::SaveProject(Handle(), GetSeams().dialogs, saveDlg_, entryList_); }

void TMainForm::MOpenProjectClick() {
  project::OpenProject(
      Handle(), openDlg_, [this] { RemoveAllMovies(); }, [this](const std::string& path) { AddMovie(path); });
}

void TMainForm::ToolButton1Click() { MOpenProjectClick(); }
void TMainForm::ToolButton2Click() { MSaveProjectClick(); }

}  // namespace app
