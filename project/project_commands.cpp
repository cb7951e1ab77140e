#include "project/project_commands.h"

#include "core/entry_line.h"
#include "core/project_file.h"
#include "sys/file_system.h"

namespace project {

namespace {

constexpr const char* kNoFlashMovie = "No flash movie";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kOverwriteQuestion = "File exists. Do you want to overwrite it?";
constexpr const char* kMessageCaption = "Message";

int Ask(ui::Dialogs& dialogs, HWND owner, const char* text, const char* caption, UINT type) {
  ui::MessageBoxRequest box;
  box.owner = owner;
  box.text = text;
  box.caption = caption;
  box.type = type;
  return dialogs.ShowMessageBox(box);
}

}  // namespace

void SaveProject(HWND owner, ui::Dialogs& dialogs, ui::FileDialog& saveDlg, const std::vector<std::string>& entryList) {
  if (entryList.empty()) {
    Ask(dialogs, owner, kNoFlashMovie, kErrorCaption, MB_OK);
    return;
  }
  saveDlg.SetFilter(kProjectFilter);
  saveDlg.SetDefaultExtension("pak");
  if (!saveDlg.Execute(owner)) return;
  const std::string name = saveDlg.FileName();
  if (sys::FileExists(name) && Ask(dialogs, owner, kOverwriteQuestion, kMessageCaption, MB_YESNO) != IDYES) return;

  std::vector<std::string> paths;
  paths.reserve(entryList.size());
  for (const std::string& line : entryList) paths.push_back(core::EntryLinePath(line));
  core::WriteProjectFile(name, paths);
}

void OpenProject(HWND owner, ui::FileDialog& openDlg, const std::function<void()>& removeAllMovies,
                 const std::function<void(const std::string&)>& addMovie) {
  openDlg.SetFilter(kProjectFilter);
  openDlg.SetDefaultExtension("");
  if (!openDlg.Execute(owner)) return;
  const std::string name = openDlg.FileName();
  removeAllMovies();
  for (const std::string& path : core::ReadProjectFile(name)) addMovie(path);
}

}  // namespace project
