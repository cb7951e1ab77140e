#pragma once
// Save Project and Open Project: the movie list as a .pak file of paths.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/file_dialog.h"
#include "ui/seams.h"

namespace project {

inline constexpr const char* kProjectFilter = "Quorvel EXE Projects (*.pak)|*.pak|All Files (*.*)|*.*";

// Asks for a name with `saveDlg` and writes the path of every entry line.
// An empty list shows "No flash movie" and no dialog; an existing file is
// replaced only after a Yes. File errors are thrown for the general error
// report.
void SaveProject(HWND owner, ui::Dialogs& dialogs, ui::FileDialog& saveDlg, const std::vector<std::string>& entryList);

// Asks for a project with `openDlg`, empties the list and adds every line of
// the file in order. A file that cannot be read leaves the list empty and
// throws "Cannot open file %s".
void OpenProject(HWND owner, ui::FileDialog& openDlg, const std::function<void()>& removeAllMovies,
                 const std::function<void(const std::string&)>& addMovie);

}  // namespace project
