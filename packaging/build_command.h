#pragma once
// The build command (Action, Build EXE file, and the toolbar's build button):
// gathers the movies that still exist, asks for the options in the build
// options dialog, calls the writer and shows its result.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/seams.h"

namespace packaging {

// The writer as the main window offers it: path list, release flag, target
// name in; result text out.
using BuildPackageFunction =
    std::function<std::string(const std::vector<std::string>& paths, bool releaseFlag, const std::string& target)>;

// The paths of the entry lines whose file (not folder) still exists, in order.
std::vector<std::string> ExistingMoviePaths(const std::vector<std::string>& entryList);

void RunBuildCommand(HWND mainWindow, ui::Seams& seams, const std::vector<std::string>& entryList,
                     const BuildPackageFunction& buildPackage);

}  // namespace packaging
